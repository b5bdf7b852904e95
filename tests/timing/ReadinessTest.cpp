// Waiting for the adapter module and for power-over-coax channels, against the emulated
// module's schedule. Timeouts are short or zero; no assertion depends on elapsed time.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "support/EmulatorFixture.h"

namespace {

using zytest::AttributeCall;
using zytest::Fault;

constexpr uint32_t kIoReady = 0x40000003;
constexpr uint32_t kIoError = 0x1000000D;
constexpr uint32_t kResetBug = 0x4000000D;
constexpr uint32_t kSiPoc = 0x2000002D;
constexpr uint32_t kSoPoc = 0x2000002E;
constexpr uint32_t kLongMs = 600000;

class ReadinessTest : public zytest::SessionTest {
protected:
    // The waits poll without sleeping, so one wait of some tens of milliseconds makes far more
    // calls than the log keeps by default; these tests read back all of them.
    void SetUp() override {
        SessionTest::SetUp();
        zyemu_set_log_limit(SIZE_MAX, SIZE_MAX);
    }
    static void schedule(uint32_t readyMs, int32_t ioError, uint32_t dramMs, uint32_t validMs) {
        ASSERT_EQ(
            zyemu_schedule_io_module(ZYEMU_RESOURCE_DEFAULT, readyMs, ioError, dramMs, validMs), 0);
    }
    int32_t waitReady(int32_t timeoutMs, int32_t* ready = nullptr, int32_t* error = nullptr) {
        return zyOstrel_WaitForIoReady(session, timeoutMs, ready, error);
    }
    // Opens a session on the sample bitfile, its text changed by edit.
    static uint32_t openOnSample(void (*edit)(std::string&)) {
        std::ifstream in(ZY_SAMPLE_BITFILE, std::ios::binary);
        std::string document(std::istreambuf_iterator<char>(in), {});
        edit(document);
        uint32_t opened = 0;
        EXPECT_STATUS(0, zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, document.c_str(), 0, &opened),
                      opened);
        zyemu_clear_log();
        return opened;
    }
};

TEST_F(ReadinessTest, ReadyModuleSucceedsInOnePassAtTimeoutZero) {
    int32_t ready = 0;
    int32_t error = 7;
    EXPECT_STATUS(0, waitReady(0, &ready, &error));
    EXPECT_NE(ready, 0);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(attributeCalls(),
              (std::vector<AttributeCall>{
                  {721, kIoReady, ""}, {721, kIoError, ""}, {721, kResetBug, ""}}));
    EXPECT_EQ(callsOf(ZYEMU_ENTRY_FIND_REGISTER).size(), 2u);
    EXPECT_EQ(callsOf(ZYEMU_ENTRY_READ_BOOL).size(), 2u);
}

TEST_F(ReadinessTest, EachScheduleEndsInItsStatusWithOrWithoutOutputs) {
    const struct {
        const char* name;
        uint32_t readyMs;
        int32_t ioError;
        uint32_t dramMs, validMs;
        int32_t timeoutMs, status, ready, error;
        size_t attributeReads;  // 0: more than one pass
    } rows[] = {
        {"not ready at timeout zero", kLongMs, 0, 0, 0, 0, ZYOSTREL_Status_IoModuleNotReady, 0, 0,
         2},
        {"short timeout", kLongMs, 0, 0, 0, 20, ZYOSTREL_Status_IoModuleNotReady, 0, 0, 0},
        {"negative timeout waits", 30, 0, 40, 50, -1, 0, 1, 0, 0},
        {"negative I/O error", 0, -3, 0, 0, 1000, ZYOSTREL_Status_IoModuleNotReady, 0, -3, 2},
        {"positive I/O error ends the wait", 0, 5, 0, 0, 0, 0, 0, 5, 3},
        {"DRAM not ready", 0, 0, kLongMs, 0, 0, ZYOSTREL_Status_DramNotReady, 1, 0, 2},
        {"data not valid", 0, 0, 0, kLongMs, 10, ZYOSTREL_Status_DataNotValid, 1, 0, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        schedule(row.readyMs, row.ioError, row.dramMs, row.validMs);
        zyemu_clear_log();
        int32_t ready = 9;
        int32_t error = 9;
        EXPECT_STATUS(row.status, waitReady(row.timeoutMs, &ready, &error));
        EXPECT_EQ(ready, row.ready);
        EXPECT_EQ(error, row.error);
        const size_t reads = attributeCalls().size();
        if (row.attributeReads != 0) {
            EXPECT_EQ(reads, row.attributeReads);
        } else {
            EXPECT_GT(reads, 2u) << "polls again before the deadline";
        }
        // Before the adapter module is ready the image's registers are not looked at.
        EXPECT_EQ(callsOf(ZYEMU_ENTRY_FIND_REGISTER).empty(),
                  row.status == ZYOSTREL_Status_IoModuleNotReady);
        schedule(row.readyMs, row.ioError, row.dramMs, row.validMs);
        ready = 9;  // and with the ready output only
        EXPECT_STATUS(row.status, waitReady(row.timeoutMs, &ready));
        EXPECT_EQ(ready, row.ready);
    }
}

TEST_F(ReadinessTest, MetRegisterIsNotReadAgain) {
    schedule(0, 0, 0, 40);
    EXPECT_STATUS(0, waitReady(-1));
    size_t dramReads = 0;
    for (const ZyEmuCall& call : callsOf(ZYEMU_ENTRY_READ_BOOL)) dramReads += call.word == 0x18000;
    EXPECT_EQ(dramReads, 1u);
}

TEST_F(ReadinessTest, RegistersTheImageLacksCountAsReady) {
    const uint32_t bare = openOnSample([](std::string& document) {
        const std::string name = "<Name>ostrel.module.dram ready 0</Name>";
        document.replace(document.find(name), name.size(), "<Name>renamed register</Name>");
    });
    schedule(0, 0, kLongMs, kLongMs);
    EXPECT_STATUS(0, zyOstrel_WaitForIoReady(bare, 0, nullptr, nullptr), bare);
    EXPECT_EQ(callsOf(ZYEMU_ENTRY_FIND_REGISTER).size(), 2u);
    EXPECT_TRUE(callsOf(ZYEMU_ENTRY_READ_BOOL).empty());
    EXPECT_STATUS(0, zyOstrel_CloseSession(bare, 0), bare);
}

TEST_F(ReadinessTest, RegisterOfTheBitfileIsPolledAtItsOffset) {
    const uint32_t onBitfile = openOnSample([](std::string&) {});
    schedule(0, 0, 30, kLongMs);
    // The sample image defines the DRAM indicator only: data valid counts as met.
    EXPECT_STATUS(0, zyOstrel_WaitForIoReady(onBitfile, -1, nullptr, nullptr), onBitfile);
    for (const ZyEmuCall& call : callsOf(ZYEMU_ENTRY_READ_BOOL)) EXPECT_EQ(call.word, 0x8000u);
    EXPECT_STATUS(0, zyOstrel_CloseSession(onBitfile, 0), onBitfile);
}

TEST_F(ReadinessTest, FailuresWarningsAndTheResetBug) {
    Fault::entry(ZYEMU_ENTRY_READ_BOOL).status(-61).times(1).add();
    EXPECT_STATUS(-61, waitReady(0));
    Fault::entry(ZYEMU_ENTRY_READ_BOOL).status(6).afterRunning().times(1).add();
    EXPECT_STATUS(6, waitReady(0)) << "the first warning is returned";
    // A failing attribute read returns without writing the outputs.
    Fault::attribute(kIoError, 721).status(-62).times(1).add();
    int32_t ready = 9;
    EXPECT_STATUS(-62, waitReady(0, &ready));
    EXPECT_EQ(ready, 9);
    ASSERT_EQ(zyemu_set_attribute_bool(ZYEMU_RESOURCE_DEFAULT, kResetBug, "", 1), 0);
    EXPECT_STATUS(ZYOSTREL_Status_FixedLogicResetBugPresent, waitReady(0));
}

class PocTest : public ReadinessTest {
protected:
    template <size_t N>
    int32_t waitSafe(const char* list, int32_t timeoutMs, char (&notSafe)[N]) {
        return zyOstrel_WaitForPoCSafeToDisconnect(session, list, timeoutMs, N, notSafe);
    }
    static void power(const char* channel, int powered, uint32_t fallAfterMs = 0) {
        ASSERT_EQ(zyemu_set_poc_power(ZYEMU_RESOURCE_DEFAULT, channel, powered, fallAfterMs), 0);
    }
};

TEST_F(PocTest, MixedListReportsTheChannelThatStaysPoweredAndPollsOnlyIt) {
    power("SO1", 1);
    for (int32_t timeoutMs : {0, 20}) {
        SCOPED_TRACE(timeoutMs);
        zyemu_clear_log();
        char notSafe[16];
        std::memset(notSafe, 'x', sizeof notSafe);
        EXPECT_STATUS(ZYOSTREL_Status_PowerOverCoaxUnsafe, waitSafe("SI0,SO1", timeoutMs, notSafe));
        EXPECT_STREQ(notSafe, "SO1");
        std::vector<AttributeCall> reads = attributeCalls();
        ASSERT_GE(reads.size(), 2u);
        EXPECT_EQ(reads.size() == 2, timeoutMs == 0) << "one pass at timeout zero";
        std::vector<AttributeCall> expected{{721, kSiPoc, "SI0"}};
        expected.resize(reads.size(), {721, kSoPoc, "SO1"});
        EXPECT_EQ(reads, expected);
    }
}

TEST_F(PocTest, SafeChannelsWriteAnEmptyList) {
    power("SI2", 0, 40);
    char notSafe[8] = "junk";
    EXPECT_STATUS(0, waitSafe("SI2", -1, notSafe)) << "a negative timeout waits for the fall";
    EXPECT_STREQ(notSafe, "");
    char zeroed[4] = {'a', 'b', 'c', 'd'};
    zyemu_clear_log();
    EXPECT_STATUS(0, waitSafe("SI0-SI3", 0, zeroed));
    EXPECT_EQ(std::string(zeroed, 4), std::string(4, '\0'));
    EXPECT_EQ(attributeCalls().size(), 4u);
    // An empty list polls the output voltage without a channel.
    zyemu_clear_log();
    EXPECT_STATUS(0, zyOstrel_WaitForPoCSafeToDisconnect(session, "", 0, 0, nullptr));
    EXPECT_EQ(attributeCalls(), (std::vector<AttributeCall>{{721, kSoPoc, ""}}));
}

TEST_F(PocTest, ListIsCutLikeStrncpy) {
    power("SO1", 1);
    power("SO2", 1);
    char small[4];
    EXPECT_STATUS(ZYOSTREL_Status_PowerOverCoaxUnsafe, waitSafe("SO1,SO2", 0, small));
    EXPECT_EQ(std::string(small, 4), "SO1,");
    char large[10];
    std::memset(large, 'x', sizeof large);
    EXPECT_STATUS(ZYOSTREL_Status_PowerOverCoaxUnsafe, waitSafe("SO1,SO2", 0, large));
    EXPECT_EQ(std::string(large, 10), std::string("SO1,SO2\0\0\0", 10));
}

TEST_F(PocTest, WarningReadNeverCountsAsSafe) {
    Fault::attribute(kSoPoc, 721).status(4).afterRunning().add();
    char notSafe[8];
    EXPECT_STATUS(ZYOSTREL_Status_PowerOverCoaxUnsafe, waitSafe("SO0", 0, notSafe));
    EXPECT_STREQ(notSafe, "SO0");
}

TEST_F(PocTest, FailuresLeaveTheBufferAlone) {
    char notSafe[8] = "keep";
    EXPECT_STATUS(ZYOSTREL_Status_InvalidTerminalName, waitSafe("SI0,,SO1", 0, notSafe));
    Fault::attribute(kSoPoc, 721).status(-63).add();
    EXPECT_STATUS(-63, waitSafe("SO1", 0, notSafe));
    EXPECT_STATUS(ZYOSTREL_Status_InvalidParameter, waitSafe(nullptr, 0, notSafe));
    EXPECT_STREQ(notSafe, "keep");
}

}  // namespace
