// Semaphores, their creation failures and the monotonic clock.
#include <gtest/gtest.h>

#include <unistd.h>
#include <climits>
#include <string>
#include <thread>

#include "platform/Clock.h"
#include "platform/Semaphore.h"

namespace zyostrel::platform {
namespace {

// The initial value counts waits through; once spent, a post releases a blocked waiter.
TEST(SemaphoreTest, InitialValueCountsWaitsThroughThenPostReleasesAWaiter) {
    zyerr::StatusRecord record = zyerr::makeStatusRecord();
    ApalSemaphore semaphore;
    createSemaphore(semaphore, 2, record);
    ASSERT_NE(semaphore.inUse, nullptr);
    EXPECT_EQ(record.code, 0);
    waitSemaphore(semaphore);
    waitSemaphore(semaphore);
    int value = -1;
    sem_getvalue(semaphore.inUse, &value);
    EXPECT_EQ(value, 0);
    std::thread waiter([&] { waitSemaphore(semaphore); });
    postSemaphore(semaphore);
    waiter.join();
    destroySemaphore(semaphore);
    EXPECT_EQ(semaphore.inUse, nullptr);
}

TEST(SemaphoreTest, InvalidInitialValueMapsToInvalidParameterUnlessAnErrorIsHeld) {
    zyerr::StatusRecord record = zyerr::makeStatusRecord();
    ApalSemaphore semaphore;
    createSemaphore(semaphore, static_cast<uint32_t>(SEM_VALUE_MAX) + 1u, record);
    EXPECT_EQ(semaphore.inUse, nullptr);
    EXPECT_EQ(record.code, -52005);
    EXPECT_STREQ(record.file, "zyapal/protons/synchronization/tSemaphore");
    EXPECT_STREQ(record.component, "zyostrela");
    // A failed semaphore is inert.
    waitSemaphore(semaphore);
    postSemaphore(semaphore);
    destroySemaphore(semaphore);
    // The failure does not overwrite an earlier error.
    record = zyerr::makeStatusRecord();
    zyerr::setStatusRecord(record, -1, "first", "first.c", 1);
    createSemaphore(semaphore, static_cast<uint32_t>(SEM_VALUE_MAX) + 1u, record);
    EXPECT_EQ(record.code, -1);
    EXPECT_STREQ(record.file, "first.c");
}

TEST(SemaphoreTest, NamedSemaphoreIsUnlinkedWhenAskedAndABadNameFails) {
    const std::string name = "/zyostrel_test_" + std::to_string(getpid());
    zyerr::StatusRecord record = zyerr::makeStatusRecord();
    ApalSemaphore semaphore;
    openNamedSemaphore(semaphore, name.c_str(), 1, true, record);
    ASSERT_NE(semaphore.inUse, nullptr) << record.code;
    waitSemaphore(semaphore);
    postSemaphore(semaphore);
    destroySemaphore(semaphore);
    EXPECT_EQ(semaphore.name, nullptr);
    EXPECT_EQ(sem_open(name.c_str(), 0), SEM_FAILED);  // gone
    openNamedSemaphore(semaphore, "/no/slashes/allowed", 0, false, record);
    EXPECT_EQ(semaphore.inUse, nullptr);
    EXPECT_LT(record.code, 0);  // the bad name's errno, mapped
    destroySemaphore(semaphore);
}

TEST(MonotonicClockTest, NeverGoesBackwards) {
    uint64_t previous = monotonicNanoseconds();
    for (int i = 0; i < 1000; ++i) {
        const uint64_t now = monotonicNanoseconds();
        ASSERT_GE(now, previous);
        previous = now;
    }
    EXPECT_GT(previous, 0u);
}

}  // namespace
}  // namespace zyostrel::platform
