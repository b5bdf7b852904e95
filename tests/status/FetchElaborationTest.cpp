// Fetching the device's elaboration of a code (command 800) on the emulated instrument.
#include <gtest/gtest.h>

#include <cstring>

#include "channel/CommandChannel.h"
#include "status/FetchElaboration.h"
#include "support/EmulatorFixture.h"
#include "tests/status/StatusExpect.h"
#include "zyostrelapi.h"

namespace zyerr {
namespace {

// The device's numbers, written out here: a test that took them from the library's own
// constants would follow a wrong one.
constexpr uint32_t kFetchFunction = 800;
constexpr std::size_t kReplySize = 8192;

class FetchElaborationTest : public zytest::SessionTest {
protected:
    // A command the device does not know: it fails and leaves an elaboration.
    int32_t failUnknownFunction() {
        return zyostrel::channel::sendDirectCommand(session, 4321, nullptr, 0, nullptr, 0);
    }
};

TEST_F(FetchElaborationTest, ReturnsTheLastFailingCommandsElaboration) {
    const int32_t failure = failUnknownFunction();
    ASSERT_EQ(failure, ZYEMU_STATUS_UNKNOWN_COMMAND);
    Status status;
    EXPECT_EQ(fetchElaboration(session, failure, status), 0);
    EXPECT_FAILURE(failure, "kUsageTypeFunctionNumber", status);
    EXPECT_EQ(elaborationText(status), zytest::elaborationOf(session));

    const ZyEmuCall call = lastCall();
    EXPECT_EQ(call.functionNumber, kFetchFunction);
    EXPECT_EQ(call.session, session);
    ASSERT_EQ(call.inputSize, 4u);
    EXPECT_EQ(zytest::fieldAt<int32_t>(call, 0), failure);
    EXPECT_TRUE(call.outputGiven);
    EXPECT_EQ(call.outputSize, kReplySize);
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

// A simulated session is answered without the runtime; a failing query changes nothing.
TEST_F(FetchElaborationTest, SimulatedSessionOrFailingQueryLeavesTheStatusUntouched) {
    Status status(3);
    ASSERT_TRUE(setElaboration(status, R"({"kept":1})"));
    EXPECT_EQ(fetchElaboration(simulated, ZYEMU_STATUS_UNKNOWN_COMMAND, status), -1);
    EXPECT_EQ(zyemu_call_count(), 0u);
    zytest::Fault::function(kFetchFunction).status(ZYEMU_STATUS_INJECTED_FAULT).add();
    EXPECT_EQ(fetchElaboration(session, -52005, status), ZYEMU_STATUS_INJECTED_FAULT);
    EXPECT_FAILURE(3, R"({"kept":1})", status);
}

TEST_F(FetchElaborationTest, FullReplyWithoutNulCannotOverrun) {
    zytest::Bytes reply(kReplySize, 'x');  // no terminating NUL anywhere in the reply
    reply[0] = '{';
    zytest::Fault::function(kFetchFunction).reply(reply).add();
    Status status;
    EXPECT_EQ(fetchElaboration(session, -61070, status), 0);
    EXPECT_CODE(-61070, status);
    ASSERT_NE(status.elaboration, nullptr);
    EXPECT_EQ(std::strlen(status.elaboration), kReplySize);
    EXPECT_EQ(std::memcmp(status.elaboration, reply.data(), reply.size()), 0);
    EXPECT_EQ(status.elaboration[status.capacity - 1], 'J');
}

TEST_F(FetchElaborationTest, OnlyAStatusWithoutAnErrorTakesTheFetchedText) {
    const int32_t failure = failUnknownFunction();
    Status status(codes::MemoryFull);
    ASSERT_TRUE(setElaboration(status, R"({"mine":1})"));
    EXPECT_EQ(fetchElaboration(session, failure, status), 0);
    EXPECT_FAILURE(codes::MemoryFull, R"({"mine":1})", status);
    Status warning(7);  // a warning is replaced by the fetched error
    EXPECT_EQ(fetchElaboration(session, failure, warning), 0);
    EXPECT_CODE(failure, warning);
    EXPECT_EQ(elaborationText(warning), zytest::elaborationOf(session));
}

}  // namespace
}  // namespace zyerr
