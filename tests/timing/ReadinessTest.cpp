// Waiting for the adapter module and for power-over-coax channels, against the emulated
// module's schedule. Timeouts are short or zero; no assertion depends on elapsed time.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "timing/TimingFixture.h"

namespace {

constexpr uint32_t kIoReady = 0x40000003;
constexpr uint32_t kIoError = 0x1000000D;
constexpr uint32_t kResetBug = 0x4000000D;
constexpr uint32_t kSiPoc = 0x2000002D;
constexpr uint32_t kSoPoc = 0x2000002E;
constexpr uint32_t kLongMs = 600000;

class ReadinessTest : public zytest::TimingTest {
protected:
    static void schedule(uint32_t readyMs, int32_t ioError, uint32_t dramMs, uint32_t validMs) {
        ASSERT_EQ(
            zyemu_schedule_io_module(ZYEMU_RESOURCE_DEFAULT, readyMs, ioError, dramMs, validMs), 0);
    }

    int32_t waitReady(int32_t timeoutMs, int32_t* ready, int32_t* error) {
        return zyOstrel_WaitForIoReady(session, timeoutMs, ready, error);
    }

    static size_t countEntries(uint32_t entry) {
        size_t count = 0;
        for (const ZyEmuCall& call : calls()) count += call.entry == entry ? 1 : 0;
        return count;
    }

    static std::string sampleBitfile() {
        std::ifstream in(ZY_SAMPLE_BITFILE, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(ReadinessTest, ReadyModuleSucceedsInOnePassAtTimeoutZero) {
    int32_t ready = 0;
    int32_t error = 7;
    EXPECT_EQ(waitReady(0, &ready, &error), 0);
    EXPECT_NE(ready, 0);
    EXPECT_EQ(error, 0);
    const auto reads = attributeCalls();
    ASSERT_EQ(reads.size(), 3u);
    EXPECT_EQ(reads[0].id, kIoReady);
    EXPECT_EQ(reads[1].id, kIoError);
    EXPECT_EQ(reads[2].id, kResetBug);
    EXPECT_EQ(countEntries(ZYEMU_ENTRY_FIND_REGISTER), 2u);
    EXPECT_EQ(countEntries(ZYEMU_ENTRY_READ_BOOL), 2u);
}

TEST_F(ReadinessTest, ModuleNotReadyAtTimeoutZeroWritesBothOutputs) {
    schedule(kLongMs, 0, 0, 0);
    int32_t ready = 9;
    int32_t error = 9;
    EXPECT_EQ(waitReady(0, &ready, &error), ZYOSTREL_Status_IoModuleNotReady);
    EXPECT_EQ(ready, 0);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(attributeCalls().size(), 2u);  // one pass
    EXPECT_EQ(countEntries(ZYEMU_ENTRY_FIND_REGISTER), 0u);
}

TEST_F(ReadinessTest, EachScheduleEndsInItsStatusWithOrWithoutOutputs) {
    struct Row {
        const char* name;
        uint32_t readyMs;
        int32_t ioError;
        uint32_t dramMs;
        uint32_t validMs;
        int32_t timeoutMs;
        int32_t status;
        int32_t ready;
        int32_t error;
        bool pollsAgain;  // before its deadline
    };
    const Row rows[] = {
        {"short timeout", kLongMs, 0, 0, 0, 20, ZYOSTREL_Status_IoModuleNotReady, 0, 0, true},
        {"negative timeout waits", 30, 0, 40, 50, -1, 0, 1, 0, true},
        {"negative I/O error", 0, -3, 0, 0, 1000, ZYOSTREL_Status_IoModuleNotReady, 0, -3, false},
        {"DRAM not ready", 0, 0, kLongMs, 0, 0, ZYOSTREL_Status_DramNotReady, 1, 0, false},
        {"data not valid", 0, 0, 0, kLongMs, 10, ZYOSTREL_Status_DataNotValid, 1, 0, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        schedule(row.readyMs, row.ioError, row.dramMs, row.validMs);
        int32_t ready = 9;
        int32_t error = 9;
        EXPECT_EQ(waitReady(row.timeoutMs, &ready, &error), row.status);
        EXPECT_EQ(ready, row.ready);
        EXPECT_EQ(error, row.error);
        schedule(row.readyMs, row.ioError, row.dramMs, row.validMs);
        zyemu_clear_log();
        EXPECT_EQ(waitReady(row.timeoutMs, nullptr, nullptr), row.status);
        if (row.pollsAgain) {
            EXPECT_GT(attributeCalls().size(), 2u);
        }
    }
}

TEST_F(ReadinessTest, TimeoutWithoutOutputsWritesNothingAndSkipsTheRegisters) {
    schedule(kLongMs, 0, 0, 0);
    EXPECT_EQ(waitReady(0, nullptr, nullptr), ZYOSTREL_Status_IoModuleNotReady);
    EXPECT_EQ(countEntries(ZYEMU_ENTRY_FIND_REGISTER), 0u);
    schedule(0, -3, 0, 0);
    int32_t ready = 9;
    EXPECT_EQ(waitReady(0, &ready, nullptr), ZYOSTREL_Status_IoModuleNotReady);
    EXPECT_EQ(ready, 0);
    EXPECT_EQ(countEntries(ZYEMU_ENTRY_FIND_REGISTER), 0u);
}

TEST_F(ReadinessTest, PositiveIoErrorEndsTheWaitForReadiness) {
    schedule(0, 5, 0, 0);
    int32_t ready = 9;
    int32_t error = 0;
    EXPECT_EQ(waitReady(0, &ready, &error), 0);
    EXPECT_EQ(ready, 0);
    EXPECT_EQ(error, 5);
    EXPECT_EQ(countEntries(ZYEMU_ENTRY_READ_BOOL), 2u);  // on to the module registers
}

TEST_F(ReadinessTest, MetRegisterIsNotReadAgain) {
    schedule(0, 0, 0, 40);
    EXPECT_EQ(waitReady(-1, nullptr, nullptr), 0);
    const auto log = calls();
    size_t dramReads = 0;
    for (const ZyEmuCall& call : log) {
        dramReads += call.entry == ZYEMU_ENTRY_READ_BOOL && call.word == 0x18000 ? 1 : 0;
    }
    EXPECT_EQ(dramReads, 1u);
}

TEST_F(ReadinessTest, RegistersTheImageLacksCountAsReady) {
    std::string document = sampleBitfile();
    const auto start = document.find("<Name>ostrel.module.dram ready 0</Name>");
    ASSERT_NE(start, std::string::npos);
    document.replace(start, std::strlen("<Name>ostrel.module.dram ready 0</Name>"),
                     "<Name>renamed register</Name>");
    uint32_t bare = 0;
    ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, document.c_str(), 0, &bare), 0);
    schedule(0, 0, kLongMs, kLongMs);
    zyemu_clear_log();
    EXPECT_EQ(zyOstrel_WaitForIoReady(bare, 0, nullptr, nullptr), 0);
    EXPECT_EQ(countEntries(ZYEMU_ENTRY_FIND_REGISTER), 2u);
    EXPECT_EQ(countEntries(ZYEMU_ENTRY_READ_BOOL), 0u);
    EXPECT_EQ(zyOstrel_CloseSession(bare, 0), 0);
}

TEST_F(ReadinessTest, RegisterOfTheBitfileIsPolledAtItsOffset) {
    uint32_t onBitfile = 0;
    ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, ZY_SAMPLE_BITFILE, 0, &onBitfile), 0);
    schedule(0, 0, 30, kLongMs);
    zyemu_clear_log();
    // The sample image defines the DRAM indicator only: data valid counts as met.
    EXPECT_EQ(zyOstrel_WaitForIoReady(onBitfile, -1, nullptr, nullptr), 0);
    for (const ZyEmuCall& call : calls()) {
        if (call.entry == ZYEMU_ENTRY_READ_BOOL) {
            EXPECT_EQ(call.word, 0x8000u);
        }
    }
    EXPECT_EQ(zyOstrel_CloseSession(onBitfile, 0), 0);
}

TEST_F(ReadinessTest, RegisterReadFailureOrFirstWarningIsReturned) {
    for (const uint32_t action : {ZYEMU_FAULT_REPLACE, ZYEMU_FAULT_AFTER_RUNNING}) {
        const int32_t status = action == ZYEMU_FAULT_REPLACE ? -61 : 6;
        zyemu_clear_faults();
        ZyEmuFault fault = makeFault(ZYEMU_MATCH_ENTRY, status, action);
        fault.entry = ZYEMU_ENTRY_READ_BOOL;
        addFault(fault);
        EXPECT_EQ(waitReady(0, nullptr, nullptr), status);
    }
}

TEST_F(ReadinessTest, AttributeReadFailureReturnsWithoutWritingOutputs) {
    faultAttribute(kIoError, -62, 721);
    int32_t ready = 9;
    EXPECT_EQ(waitReady(0, &ready, nullptr), -62);
    EXPECT_EQ(ready, 9);
}

TEST_F(ReadinessTest, ResetBugGivesAWarningOnSuccess) {
    ASSERT_EQ(zyemu_set_attribute_bool(ZYEMU_RESOURCE_DEFAULT, kResetBug, "", 1), 0);
    EXPECT_EQ(waitReady(0, nullptr, nullptr), ZYOSTREL_Status_FixedLogicResetBugPresent);
}

TEST_F(ReadinessTest, SimulatedSessionFailsOnTheFirstReadWithoutReachingTheRuntime) {
    EXPECT_EQ(zyOstrel_WaitForIoReady(simulated, 0, nullptr, nullptr), -1);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

class PocTest : public ReadinessTest {
protected:
    template <size_t N>
    int32_t waitSafe(const char* list, int32_t timeoutMs, char (&notSafe)[N]) {
        return zyOstrel_WaitForPoCSafeToDisconnect(session, list, timeoutMs, N, notSafe);
    }
};

TEST_F(PocTest, MixedListReportsTheChannelThatStaysPoweredAndPollsOnlyIt) {
    ASSERT_EQ(zyemu_set_poc_power(ZYEMU_RESOURCE_DEFAULT, "SO1", 1, 0), 0);
    for (int32_t timeoutMs : {0, 20}) {
        SCOPED_TRACE(timeoutMs);
        zyemu_clear_log();
        char notSafe[16];
        std::memset(notSafe, 'x', sizeof notSafe);
        EXPECT_EQ(waitSafe("SI0,SO1", timeoutMs, notSafe), ZYOSTREL_Status_PowerOverCoaxUnsafe);
        EXPECT_STREQ(notSafe, "SO1");
        const auto reads = attributeCalls();
        ASSERT_GE(reads.size(), 2u);
        if (timeoutMs == 0) {
            EXPECT_EQ(reads.size(), 2u);  // one pass
        }
        EXPECT_EQ(reads[0].id, kSiPoc);
        EXPECT_EQ(reads[0].qualifier, "SI0");
        EXPECT_EQ(reads[1].id, kSoPoc);
        EXPECT_EQ(reads[1].qualifier, "SO1");
        for (size_t i = 2; i < reads.size(); ++i) EXPECT_EQ(reads[i].qualifier, "SO1");
    }
}

TEST_F(PocTest, NegativeTimeoutWaitsForTheVoltageToFall) {
    ASSERT_EQ(zyemu_set_poc_power(ZYEMU_RESOURCE_DEFAULT, "SI2", 0, 40), 0);
    char notSafe[8] = "junk";
    EXPECT_EQ(waitSafe("SI2", -1, notSafe), 0);
    EXPECT_STREQ(notSafe, "");
}

TEST_F(PocTest, SafeChannelsAtTimeoutZeroWriteAnEmptyList) {
    char notSafe[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(waitSafe("SI0-SI3", 0, notSafe), 0);
    for (char c : notSafe) EXPECT_EQ(c, 0);
    EXPECT_EQ(attributeCalls().size(), 4u);
}

TEST_F(PocTest, EmptyListPollsTheOutputVoltageWithoutAChannel) {
    EXPECT_EQ(zyOstrel_WaitForPoCSafeToDisconnect(session, "", 0, 0, nullptr), 0);
    const auto reads = attributeCalls();
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].id, kSoPoc);
    EXPECT_EQ(reads[0].qualifier, "");
}

TEST_F(PocTest, ListIsCutLikeStrncpy) {
    ASSERT_EQ(zyemu_set_poc_power(ZYEMU_RESOURCE_DEFAULT, "SO1", 1, 0), 0);
    ASSERT_EQ(zyemu_set_poc_power(ZYEMU_RESOURCE_DEFAULT, "SO2", 1, 0), 0);
    char small[4];
    EXPECT_EQ(waitSafe("SO1,SO2", 0, small), ZYOSTREL_Status_PowerOverCoaxUnsafe);
    EXPECT_EQ(0, std::memcmp(small, "SO1,", 4));
    char large[10];
    std::memset(large, 'x', sizeof large);
    EXPECT_EQ(waitSafe("SO1,SO2", 0, large), ZYOSTREL_Status_PowerOverCoaxUnsafe);
    EXPECT_EQ(0, std::memcmp(large, "SO1,SO2\0\0\0", 10));
}

TEST_F(PocTest, WarningReadNeverCountsAsSafe) {
    ZyEmuFault fault = makeFault(ZYEMU_MATCH_ATTRIBUTE, 4, ZYEMU_FAULT_AFTER_RUNNING);
    fault.attributeId = kSoPoc;
    addFault(fault);
    char notSafe[8];
    EXPECT_EQ(waitSafe("SO0", 0, notSafe), ZYOSTREL_Status_PowerOverCoaxUnsafe);
    EXPECT_STREQ(notSafe, "SO0");
}

TEST_F(PocTest, FailuresLeaveTheBufferAloneOnEverySession) {
    char notSafe[8] = "keep";
    EXPECT_EQ(waitSafe("SI0,,SO1", 0, notSafe), ZYOSTREL_Status_InvalidTerminalName);
    faultAttribute(kSoPoc, -63, 721);
    EXPECT_EQ(waitSafe("SO1", 0, notSafe), -63);
    EXPECT_STREQ(notSafe, "keep");
    EXPECT_EQ(waitSafe(nullptr, 0, notSafe), ZYOSTREL_Status_InvalidParameter);
    // The simulated session fails on the first read, without reaching the runtime.
    zyemu_clear_log();
    EXPECT_EQ(zyOstrel_WaitForPoCSafeToDisconnect(simulated, "SI0", 0, sizeof notSafe, notSafe),
              -1);
    EXPECT_STREQ(notSafe, "keep");
    EXPECT_EQ(zyemu_call_count(), 0u);
}

}  // namespace
