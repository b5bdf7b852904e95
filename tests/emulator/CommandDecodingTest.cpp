// The emulated daemon decodes what it is sent defensively and explains every refusal. What
// the library sends, the faults tests inject and the register entries are exercised by the
// tests of the library itself; these are the calls it never makes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "channel/FpgaRuntime.h"
#include "support/EmulatorFixture.h"

namespace {

class CommandDecodingTest : public zytest::SessionTest {
protected:
    int32_t call(uint32_t function, const void* input, uint64_t inputSize, void* output = nullptr,
                 uint64_t outputSize = 0) {
        return ZyFpgaDll_ClientFunctionCall(session, 2, function, input, inputSize, output,
                                            outputSize);
    }
    // Sends an interface record of size bytes (zero but for its interface and method).
    int32_t sendRecord(uint32_t interfaceNumber, uint32_t method, size_t size, size_t replySize) {
        std::vector<uint8_t> record(std::max<size_t>(size, 20), 0);
        std::memcpy(record.data(), &interfaceNumber, 4);
        std::memcpy(record.data() + 16, &method, 4);
        std::vector<uint8_t> reply(replySize);
        return call(256, size != 0 ? record.data() : nullptr, size,
                    replySize != 0 ? reply.data() : nullptr, replySize);
    }
    // What command 800 answers for a code.
    std::string elaborationFor(int32_t code) {
        std::vector<char> reply(8192, 'x');
        reply[0] = 0;
        EXPECT_STATUS(0, call(800, &code, sizeof code, reply.data(), reply.size()));
        return std::string(reply.data());
    }
};

TEST_F(CommandDecodingTest, ShortRecordsAndSmallRepliesAreRefusedWithTheirSizes) {
    const struct {
        uint32_t interfaceNumber, method;
        size_t size, reply;
        int32_t status;
    } rows[] = {
        {258, 721, 0, 0, ZYEMU_STATUS_RECORD_TOO_SHORT},  // shorter than the header
        {258, 721, 19, 0, ZYEMU_STATUS_RECORD_TOO_SHORT},
        {258, 721, 283, 281, ZYEMU_STATUS_RECORD_TOO_SHORT},
        {258, 722, 564, 0, ZYEMU_STATUS_RECORD_TOO_SHORT},
        {257, 276, 35, 9, ZYEMU_STATUS_RECORD_TOO_SHORT},
        {257, 277, 63, 28, ZYEMU_STATUS_RECORD_TOO_SHORT},
        {257, 279, 40, 28, ZYEMU_STATUS_RECORD_TOO_SHORT},
        {257, 276, 36, 8, ZYEMU_STATUS_REPLY_TOO_SMALL},
        {257, 277, 64, 27, ZYEMU_STATUS_REPLY_TOO_SMALL},
    };
    for (const auto& row : rows) {
        EXPECT_STATUS(row.status, sendRecord(row.interfaceNumber, row.method, row.size, row.reply))
            << row.method << ", " << row.size << " bytes";
    }
    EXPECT_NE(elaborationFor(ZYEMU_STATUS_REPLY_TOO_SMALL), "");
}

TEST_F(CommandDecodingTest, MalformedCallsAreRefused) {
    const int32_t code = 0;
    char reply[16];
    EXPECT_EQ(ZyFpgaDll_ClientFunctionCall(session, 3, 800, &code, 4, reply, 8),
              ZYEMU_STATUS_BAD_FUNCTION_GROUP);
    EXPECT_EQ(ZyFpgaDll_ClientFunctionCall(session + 1, 2, 800, nullptr, 0, nullptr, 0),
              ZYEMU_STATUS_INVALID_SESSION);
    EXPECT_STATUS(ZYEMU_STATUS_INVALID_ARGUMENT, call(800, nullptr, 4)) << "size without input";
    EXPECT_STATUS(ZYEMU_STATUS_INVALID_ARGUMENT, call(800, &code, 4, nullptr, 100));
    EXPECT_STATUS(ZYEMU_STATUS_RECORD_TOO_SHORT, call(800, &code, 2, reply, sizeof reply));
    EXPECT_EQ(zyemu_add_fault(nullptr), ZYEMU_STATUS_INVALID_ARGUMENT);
    ZyEmuFault fault{};
    fault.replySize = 4;  // without bytes
    EXPECT_EQ(zyemu_add_fault(&fault), ZYEMU_STATUS_INVALID_ARGUMENT);
}

TEST_F(CommandDecodingTest, ElaborationIsKeptPerSessionForItsLastFailingCodeOnly) {
    EXPECT_EQ(elaborationFor(ZYEMU_STATUS_UNKNOWN_COMMAND), "");  // nothing failed yet
    ZyFpgaDll_ClientFunctionCall(simulated, 2, 12345, nullptr, 0, nullptr, 0);
    EXPECT_EQ(elaborationFor(ZYEMU_STATUS_UNKNOWN_COMMAND), "") << "another session's";
    EXPECT_NE(zytest::elaborationOf(simulated), "");
    call(12345, nullptr, 0);
    EXPECT_FALSE(elaborationFor(ZYEMU_STATUS_UNKNOWN_COMMAND).empty());
    EXPECT_EQ(elaborationFor(-52005), "");
    EXPECT_EQ(elaborationFor(0), "");

    // The text is cut to the reply buffer, and nothing is written past it.
    call(12345, nullptr, 0);
    const int32_t code = ZYEMU_STATUS_UNKNOWN_COMMAND;
    char reply[11];
    std::memset(reply, 'x', sizeof reply);
    EXPECT_STATUS(0, call(800, &code, 4, reply, 10));
    EXPECT_EQ(std::string(reply, 11), std::string("{\"transla\0x", 11));
}

}  // namespace
