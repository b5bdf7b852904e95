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
#include "tests/status/StatusExpect.h"
#include "zyostrelapi.h"

namespace zyerr {
namespace {

constexpr uint32_t kUnknownFunction = 4321;

// A session on the default instrument and one on the simulated resource.
class FetchElaborationTest : public zytest::SessionTest {
protected:
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
};

TEST_F(FetchElaborationTest, ReturnsTheLastFailingCommandsElaboration) {
    const int32_t failure = failUnknownFunction(session);
    ASSERT_EQ(failure, ZYEMU_STATUS_UNKNOWN_COMMAND);
    Status status;
    EXPECT_EQ(fetchElaboration(session, failure, status), 0);
    EXPECT_CODE(failure, status);

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
        EXPECT_CODE(-52005, status);
        EXPECT_STREQ(elaborationText(status), "");
    }
    EXPECT_EQ(zyemu_call_count(), 1u);  // the one fetch from the session
}

TEST_F(FetchElaborationTest, SimulatedSessionNeverReachesTheRuntime) {
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
    EXPECT_CODE(3, status);
    EXPECT_STREQ(elaborationText(status), R"({"kept":1})");
}

TEST_F(FetchElaborationTest, FailingCallLeavesTheStatusUntouched) {
    answerElaboration(ZYEMU_STATUS_INJECTED_FAULT);
    Status status;
    EXPECT_EQ(fetchElaboration(session, -52005, status), ZYEMU_STATUS_INJECTED_FAULT);
    EXPECT_CODE(0, status);
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
    EXPECT_CODE(-61070, status);
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
    EXPECT_CODE(codes::MemoryFull, status);
    EXPECT_STREQ(elaborationText(status), R"({"mine":1})");
    Status warning(7);  // a warning is replaced by the fetched error
    EXPECT_EQ(fetchElaboration(session, failure, warning), 0);
    EXPECT_CODE(failure, warning);
    EXPECT_NE(std::strstr(elaborationText(warning), "kUsageTypeFunctionNumber"), nullptr);
}

}  // namespace
}  // namespace zyerr
