#include "platform/Semaphore.h"

#include <fcntl.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "status/StatusCodes.h"

namespace zyostrel::platform {
namespace {

constexpr const char* kSemaphoreSource = "zyapal/protons/synchronization/tSemaphore";

int32_t codeForErrno(int error) noexcept {
    switch (error) {
        case EPERM:
            return zyerr::codes::InternalSoftwareFault;
        case EINVAL:
            return zyerr::codes::InvalidParameter;
        case ENOSPC:
            return zyerr::codes::OsFault;
        case ENOSYS:
            return zyerr::codes::OperationNotSupported;
        default:
            return zyerr::codes::OsFault;
    }
}

// The outcome goes into a record of its own first and is then merged into the caller's,
// location fields included.
void reportCreation(int error, uint64_t line, zyerr::StatusRecord& record) noexcept {
    zyerr::StatusRecord outcome = zyerr::makeStatusRecord();
    zyerr::setStatusRecord(outcome, codeForErrno(error), zyerr::kComponent, kSemaphoreSource, line);
    zyerr::mergeStatusRecord(record, outcome);
}

}  // namespace

void createSemaphore(ApalSemaphore& semaphore, uint32_t initialValue,
                     zyerr::StatusRecord& record) noexcept {
    semaphore.inUse = nullptr;
    if (sem_init(&semaphore.semaphore, 0, initialValue) != 0) {
        reportCreation(errno, __LINE__, record);
        return;
    }
    semaphore.inUse = &semaphore.semaphore;
}

void openNamedSemaphore(ApalSemaphore& semaphore, const char* name, uint32_t initialValue,
                        bool unlinkOnDestroy, zyerr::StatusRecord& record) noexcept {
    semaphore.inUse = nullptr;
    if (name == nullptr) {
        reportCreation(EINVAL, __LINE__, record);
        return;
    }
    char* ownedName = strdup(name);
    if (ownedName == nullptr) {
        reportCreation(ENOMEM, __LINE__, record);
        return;
    }
    sem_t* opened = sem_open(name, O_CREAT, 0600, initialValue);
    if (opened == SEM_FAILED) {
        const int error = errno;
        std::free(ownedName);
        reportCreation(error, __LINE__, record);
        return;
    }
    semaphore.inUse = opened;
    semaphore.name = ownedName;
    semaphore.unlinkOnDestroy = unlinkOnDestroy;
}

void waitSemaphore(ApalSemaphore& semaphore) {
    if (semaphore.inUse == nullptr) return;
    while (sem_wait(semaphore.inUse) != 0 && errno == EINTR) {
    }
}

void postSemaphore(ApalSemaphore& semaphore) noexcept {
    if (semaphore.inUse != nullptr) sem_post(semaphore.inUse);
}

void destroySemaphore(ApalSemaphore& semaphore) noexcept {
    if (semaphore.inUse != nullptr) {
        if (semaphore.name != nullptr) {
            sem_close(semaphore.inUse);
        } else {
            sem_destroy(semaphore.inUse);
        }
    }
    if (semaphore.name != nullptr) {
        if (semaphore.unlinkOnDestroy) sem_unlink(semaphore.name);
        std::free(semaphore.name);
    }
    semaphore.inUse = nullptr;
    semaphore.name = nullptr;
    semaphore.unlinkOnDestroy = false;
}

}  // namespace zyostrel::platform
