// The emulated daemon decodes what it is sent defensively and explains every refusal.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "channel/FpgaRuntime.h"
#include "emulator/SessionFixture.h"

namespace {

class CommandDecodingTest : public zytest::OneSessionTest {
protected:
    std::string elaborationFor(int32_t code) {
        std::vector<char> reply(8192, 'x');
        reply[0] = 0;
        EXPECT_EQ(ZyFpgaDll_ClientFunctionCall(session, 2, 800, &code, sizeof code, reply.data(),
                                               reply.size()),
                  0);
        return std::string(reply.data());
    }

    void callUnknownFunction(uint32_t on) {
        ZyFpgaDll_ClientFunctionCall(on, 2, 12345, nullptr, 0, nullptr, 0);
    }
};

TEST_F(CommandDecodingTest, InterfaceRecordShorterThanItsHeaderIsRefused) {
    for (uint64_t size : {0, 1, 16, 19}) {
        std::vector<uint8_t> record(20, 0);
        record[0] = 0x02;
        record[1] = 0x01;
        const int32_t status = ZyFpgaDll_ClientFunctionCall(
            session, 2, 256, size != 0 ? record.data() : nullptr, size, nullptr, 0);
        EXPECT_EQ(status, ZYEMU_STATUS_RECORD_TOO_SHORT) << "size " << size;
    }
    EXPECT_NE(elaborationFor(ZYEMU_STATUS_RECORD_TOO_SHORT).find("\"kUsageTypeRecordSize\""),
              std::string::npos);
}

TEST_F(CommandDecodingTest, UnknownInterfaceMethodIsExplained) {
    uint32_t record[5] = {0x4242, 0, 0, 0, 99};
    EXPECT_EQ(ZyFpgaDll_ClientFunctionCall(session, 2, 256, record, sizeof record, nullptr, 0),
              ZYEMU_STATUS_UNKNOWN_COMMAND);
    const std::string text = elaborationFor(ZYEMU_STATUS_UNKNOWN_COMMAND);
    EXPECT_EQ(text.rfind("{\"translator\":\"mxlator_zyostrelapi\"", 0), 0u) << text;
    EXPECT_NE(text.find("{\"type\":\"usage\",\"usage\":\"kUsageTypeInterface\","
                        "\"value\":\"16962\",\"value_type\":\"uint64_t\"}"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\"value\":\"99\""), std::string::npos) << text;
}

TEST_F(CommandDecodingTest, UnknownFunctionNumberIsRefused) {
    EXPECT_EQ(ZyFpgaDll_ClientFunctionCall(session, 2, 12345, nullptr, 0, nullptr, 0),
              ZYEMU_STATUS_UNKNOWN_COMMAND);
    EXPECT_NE(elaborationFor(ZYEMU_STATUS_UNKNOWN_COMMAND).find("\"value\":\"12345\""),
              std::string::npos);
}

TEST_F(CommandDecodingTest, MalformedCallsAreRefused) {
    const int32_t code = 0;
    char reply[16];
    struct Row {
        const char* name;
        uint32_t on;
        uint32_t group;
        const void* input;
        uint64_t inputSize;
        void* output;
        uint64_t outputSize;
        int32_t status;
    };
    const Row rows[] = {
        {"other function group", session, 3, &code, 4, reply, 8, ZYEMU_STATUS_BAD_FUNCTION_GROUP},
        {"input size without buffer", session, 2, nullptr, 4, nullptr, 0,
         ZYEMU_STATUS_INVALID_ARGUMENT},
        {"output size without buffer", session, 2, &code, 4, nullptr, 100,
         ZYEMU_STATUS_INVALID_ARGUMENT},
        {"unknown session", session + 1, 2, nullptr, 0, nullptr, 0, ZYEMU_STATUS_INVALID_SESSION},
        {"half an elaboration code", session, 2, &code, 2, reply, sizeof reply,
         ZYEMU_STATUS_RECORD_TOO_SHORT},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ZyFpgaDll_ClientFunctionCall(row.on, row.group, 800, row.input, row.inputSize,
                                               row.output, row.outputSize),
                  row.status)
            << row.name;
    }
}

TEST_F(CommandDecodingTest, ElaborationIsGivenOnlyForTheLastFailingCode) {
    EXPECT_EQ(elaborationFor(ZYEMU_STATUS_UNKNOWN_COMMAND), "");  // nothing failed yet
    callUnknownFunction(session);
    EXPECT_FALSE(elaborationFor(ZYEMU_STATUS_UNKNOWN_COMMAND).empty());
    EXPECT_EQ(elaborationFor(-52005), "");
    EXPECT_EQ(elaborationFor(0), "");
}

TEST_F(CommandDecodingTest, ElaborationIsCutToTheReplyBuffer) {
    callUnknownFunction(session);
    const int32_t code = ZYEMU_STATUS_UNKNOWN_COMMAND;
    char reply[11];
    std::memset(reply, 'x', sizeof reply);
    EXPECT_EQ(ZyFpgaDll_ClientFunctionCall(session, 2, 800, &code, 4, reply, 10), 0);
    EXPECT_EQ(std::string(reply), "{\"transla");
    EXPECT_EQ(reply[10], 'x');  // nothing written past the given size
}

TEST_F(CommandDecodingTest, ElaborationsOfSessionsAreKeptApart) {
    uint32_t other = 0;
    ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &other), 0);
    callUnknownFunction(other);
    EXPECT_EQ(elaborationFor(ZYEMU_STATUS_UNKNOWN_COMMAND), "");
    EXPECT_NE(zytest::elaborationOf(other), "");
    EXPECT_EQ(zyOstrel_CloseSession(other, 0), 0);
}

}  // namespace
