// Fetching the device's elaboration of a code (command 800) on the emulated instrument.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "channel/CommandChannel.h"
#include "status/ElaborationReader.h"
#include "status/ElaborationWriter.h"
#include "status/FetchElaboration.h"
#include "support/EmulatorFixture.h"
#include "zyostrelapi.h"

namespace zyerr {
namespace {

constexpr uint32_t kUnknownFunction = 4321;

class FetchElaborationTest : public zytest::EmulatorTest {
protected:
    void SetUp() override {
        EmulatorTest::SetUp();
        ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &session), 0);
    }
    void TearDown() override {
        zyemu_clear_faults();
        EXPECT_EQ(zyOstrel_CloseSession(session, 0), 0);
        EmulatorTest::TearDown();
    }

    // A command the device does not know: it fails and leaves an elaboration.
    int32_t failUnknownFunction(uint32_t target) {
        return zyostrel::channel::sendDirectCommand(target, kUnknownFunction, nullptr, 0, nullptr,
                                                    0);
    }

    // Makes the runtime answer the elaboration function with this status and reply.
    static void answerElaboration(int32_t status, const char* reply = nullptr, size_t size = 0) {
        ZyEmuFault fault{};
        fault.match = ZYEMU_MATCH_FUNCTION;
        fault.functionNumber = kElaborationFunction;
        fault.status = status;
        fault.reply = reply;
        fault.replySize = size;
        ASSERT_GT(zyemu_add_fault(&fault), 0);
    }

    uint32_t session = 0;
};

TEST_F(FetchElaborationTest, ReturnsTheLastFailingCommandsElaboration) {
    const int32_t failure = failUnknownFunction(session);
    ASSERT_EQ(failure, ZYEMU_STATUS_UNKNOWN_COMMAND);
    Status status;
    EXPECT_EQ(fetchElaboration(session, failure, status), 0);
    EXPECT_EQ(status.code, failure);

    const JsonText text(elaborationText(status));
    EXPECT_TRUE(text.stringEquals(text.findKey(0, "translator"), "mxlator_zyostrelapi"))
        << elaborationText(status);
    const std::size_t data = text.findKey(text.findKey(0, "translator_info"), "ordered_data");
    bool sawFunction = false;
    for (std::size_t item = text.firstElement(data); item != JsonText::npos;
         item = text.nextElement(item)) {
        if (text.stringEquals(text.findKey(item, "usage"), "kUsageTypeFunctionNumber")) {
            sawFunction = text.stringEquals(text.findKey(item, "value"), "4321");
        }
    }
    EXPECT_TRUE(sawFunction) << elaborationText(status);

    const ZyEmuCall call = lastCall();
    EXPECT_EQ(call.functionNumber, kElaborationFunction);
    EXPECT_EQ(call.session, session);
    ASSERT_EQ(call.inputSize, 4u);
    EXPECT_EQ(zytest::fieldAt<int32_t>(call, 0), failure);
    EXPECT_TRUE(call.outputGiven);
    EXPECT_EQ(call.outputSize, kElaborationReplySize);
}

// Session 0 never asks the device; a code the device left no text for reads the same.
TEST_F(FetchElaborationTest, CodeWithoutElaborationOrSessionGivesTheEmptyText) {
    for (const uint32_t target : {session, 0u}) {
        Status status;
        EXPECT_EQ(fetchElaboration(target, -52005, status), 0);
        EXPECT_EQ(status.code, -52005);
        EXPECT_STREQ(elaborationText(status), "");
    }
    EXPECT_EQ(zyemu_call_count(), 2u);  // the open and the one fetch from the session
}

TEST_F(FetchElaborationTest, SimulatedSessionNeverReachesTheRuntime) {
    uint32_t simulated = 0;
    ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_SIMULATED, nullptr, 0, &simulated), 0);
    ASSERT_TRUE(zyostrel::channel::isSimulatedSession(simulated));
    // Other direct functions do reach it...
    failUnknownFunction(simulated);
    const std::size_t before = zyemu_call_count();
    EXPECT_EQ(lastCall().session, simulated);

    // ...but the elaboration is never asked of a simulated session.
    Status status(3);
    ASSERT_TRUE(setElaboration(status, R"({"kept":1})"));
    EXPECT_EQ(fetchElaboration(simulated, ZYEMU_STATUS_UNKNOWN_COMMAND, status), -1);
    EXPECT_EQ(zyemu_call_count(), before);
    EXPECT_EQ(status.code, 3);
    EXPECT_STREQ(elaborationText(status), R"({"kept":1})");
    EXPECT_EQ(zyOstrel_CloseSession(simulated, 0), 0);
}

TEST_F(FetchElaborationTest, FailingCallLeavesTheStatusUntouched) {
    answerElaboration(ZYEMU_STATUS_INJECTED_FAULT);
    Status status;
    EXPECT_EQ(fetchElaboration(session, -52005, status), ZYEMU_STATUS_INJECTED_FAULT);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(status.elaboration, nullptr);
}

TEST_F(FetchElaborationTest, FullReplyWithoutNulCannotOverrun) {
    // 8192 bytes of a string value with no terminating NUL anywhere in the reply.
    std::vector<char> reply(kElaborationReplySize, 'x');
    const std::string head = R"({"translator":"mxlator_zyostrelapi","text":")";
    std::memcpy(reply.data(), head.data(), head.size());
    answerElaboration(0, reply.data(), reply.size());
    Status status;
    EXPECT_EQ(fetchElaboration(session, -61070, status), 0);
    EXPECT_EQ(status.code, -61070);
    ASSERT_NE(status.elaboration, nullptr);
    EXPECT_EQ(std::strlen(status.elaboration), kElaborationReplySize);
    EXPECT_EQ(std::memcmp(status.elaboration, reply.data(), reply.size()), 0);
    EXPECT_EQ(status.elaboration[status.capacity - 1], 'J');

    // The cut text is unbalanced: nothing can be added to it, and reading finds no end.
    EXPECT_TRUE(rootCursor(status).isNull());
    const JsonText text(elaborationText(status));
    EXPECT_EQ(text.endOf(0), JsonText::npos);
    EXPECT_EQ(text.stringAt(text.findKey(0, "text"), "dflt"), "dflt");
}

TEST_F(FetchElaborationTest, OnlyAStatusWithoutAnErrorTakesTheFetchedText) {
    const int32_t failure = failUnknownFunction(session);
    Status status(codes::MemoryFull);
    ASSERT_TRUE(setElaboration(status, R"({"mine":1})"));
    EXPECT_EQ(fetchElaboration(session, failure, status), 0);
    EXPECT_EQ(status.code, codes::MemoryFull);
    EXPECT_STREQ(elaborationText(status), R"({"mine":1})");
    Status warning(7);  // a warning is replaced by the fetched error
    EXPECT_EQ(fetchElaboration(session, failure, warning), 0);
    EXPECT_EQ(warning.code, failure);
    EXPECT_NE(std::strstr(elaborationText(warning), "kUsageTypeFunctionNumber"), nullptr);
}

}  // namespace
}  // namespace zyerr
