// Counting semaphores, the library's blocking primitive between threads.
#pragma once

#include <semaphore.h>

#include <cstdint>

#include "status/StatusRecord.h"

namespace zyostrel::platform {

struct ApalSemaphore {
    sem_t semaphore{};
    sem_t* inUse = nullptr;  // null when creation failed
    char* name = nullptr;    // owned; set for a named semaphore
    bool unlinkOnDestroy = false;
};

// An unnamed, process-private semaphore. On failure inUse stays null and errno maps into
// record: EPERM -52003, EINVAL -52005, ENOSPC -52008, ENOSYS -52002, others -52008.
void createSemaphore(ApalSemaphore& semaphore, uint32_t initialValue,
                     zyerr::StatusRecord& record) noexcept;

// A named semaphore (created when missing), unlinked on destruction when asked.
void openNamedSemaphore(ApalSemaphore& semaphore, const char* name, uint32_t initialValue,
                        bool unlinkOnDestroy, zyerr::StatusRecord& record) noexcept;

// Waits, retrying when a signal interrupts. A semaphore that failed creation is ignored.
// Not noexcept: the wait is a cancellation point, and a cancelled thread unwinds through it.
void waitSemaphore(ApalSemaphore& semaphore);
void postSemaphore(ApalSemaphore& semaphore) noexcept;
// Closes a named or destroys an unnamed semaphore, unlinks the name when asked, frees it.
void destroySemaphore(ApalSemaphore& semaphore) noexcept;

}  // namespace zyostrel::platform
