// The emulated instrument's attribute and stream handlers against records the library would
// never send: short records, small reply buffers, unknown values. Each is an error status
// with an elaboration, never a crash.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "AttributeSession.h"
#include "channel/CommandChannel.h"

namespace {

using zyostrel::channel::sendInterfaceCommand;

class MalformedRecordsTest : public zytest::SessionTest {
protected:
    // A record of size bytes with the interface and method in its header, the rest zero
    // except what the test writes in.
    static std::vector<uint8_t> record(uint32_t interface, uint32_t method, size_t size) {
        std::vector<uint8_t> bytes(size < 20 ? 20 : size, 0);
        std::memcpy(bytes.data(), &interface, 4);
        std::memcpy(bytes.data() + 16, &method, 4);
        bytes.resize(size);
        return bytes;
    }
    template <class T>
    static void put(std::vector<uint8_t>& bytes, size_t offset, T value) {
        std::memcpy(bytes.data() + offset, &value, sizeof value);
    }
    int32_t send(const std::vector<uint8_t>& bytes, size_t replySize) {
        std::vector<uint8_t> reply(replySize);
        return sendInterfaceCommand(session, bytes.data(), bytes.size(),
                                    replySize != 0 ? reply.data() : nullptr, replySize);
    }
};

TEST_F(MalformedRecordsTest, ShortRecordsAreRefusedWithTheirSizes) {
    const struct {
        uint32_t interface, method;
        size_t size, reply;
    } cases[] = {{258, 721, 283, 281}, {258, 722, 564, 0}, {258, 723, 100, 0},
                 {258, 724, 20, 1},    {257, 272, 23, 0},  {257, 276, 35, 9},
                 {257, 277, 63, 28},   {257, 278, 20, 0},  {257, 279, 40, 28}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.method);
        EXPECT_EQ(send(record(c.interface, c.method, c.size), c.reply),
                  ZYEMU_STATUS_RECORD_TOO_SHORT);
        EXPECT_NE(zytest::elaborationOf(session).find("kUsageTypeExpectedRecordSize"),
                  std::string::npos);
    }
}

TEST_F(MalformedRecordsTest, SmallReplyBuffersAreRefused) {
    auto get = record(258, 721, 284);
    put<uint32_t>(get, 20, 0x20000010);
    put<uint32_t>(get, 24, 1);
    EXPECT_EQ(send(get, 280), ZYEMU_STATUS_REPLY_TOO_SMALL);
    EXPECT_EQ(send(get, 281), 0);
    auto wait = record(257, 276, 36);
    EXPECT_EQ(send(wait, 8), ZYEMU_STATUS_REPLY_TOO_SMALL);
    auto read = record(257, 277, 64);
    EXPECT_EQ(send(read, 27), ZYEMU_STATUS_REPLY_TOO_SMALL);
}

TEST_F(MalformedRecordsTest, ReadsAndWritesWithUnknownCodesAreRefused) {
    ASSERT_EQ(zyOstrel_StartStream(session, 0), 0);
    int16_t samples[4];
    auto read = record(257, 277, 64);
    put<uint64_t>(read, 24, 8);
    put<uint64_t>(read, 32, 1);
    put<uint64_t>(read, 40, static_cast<uint64_t>(reinterpret_cast<uintptr_t>(samples)));
    put<uint32_t>(read, 60, 3);  // no such element type
    EXPECT_EQ(send(read, 28), ZYEMU_STATUS_INVALID_VALUE);
    put<uint32_t>(read, 60, 7);
    put<uint64_t>(read, 24, 7);  // not whole elements
    EXPECT_EQ(send(read, 28), ZYEMU_STATUS_INVALID_VALUE);
    put<uint64_t>(read, 24, 8);
    put<uint64_t>(read, 32, uint64_t{1} << 40);  // far beyond what is emulated
    EXPECT_EQ(send(read, 28), ZYEMU_STATUS_INVALID_VALUE);

    auto write = record(257, 279, 64);
    put<uint32_t>(write, 20, 40);
    put<uint64_t>(write, 24, 8);
    put<uint64_t>(write, 32, 1);
    put<uint64_t>(write, 40, static_cast<uint64_t>(reinterpret_cast<uintptr_t>(samples)));
    put<uint32_t>(write, 48, 2);
    put<uint32_t>(write, 56, 1);  // codes that do not go together
    put<uint32_t>(write, 60, 7);
    EXPECT_EQ(send(write, 28), ZYEMU_STATUS_INVALID_VALUE);
    EXPECT_NE(zytest::elaborationOf(session).find("kUsageTypeWriteCodeB"), std::string::npos);
    put<uint32_t>(write, 56, 5);
    put<uint64_t>(write, 24, 6);  // complex elements are 4 bytes
    EXPECT_EQ(send(write, 28), ZYEMU_STATUS_INVALID_VALUE);
    put<uint64_t>(write, 24, 8);
    put<uint32_t>(write, 60, 8);
    EXPECT_EQ(send(write, 28), ZYEMU_STATUS_INVALID_VALUE);
    put<uint32_t>(write, 60, 7);
    EXPECT_EQ(send(write, 28), 0);
}

TEST_F(MalformedRecordsTest, QueryAnswersWhetherTheAttributeExists) {
    auto query = record(258, 724, 284);
    put<uint32_t>(query, 20, 0x20000010);
    uint8_t answer = 9;
    ASSERT_EQ(sendInterfaceCommand(session, query.data(), query.size(), &answer, 1), 0);
    EXPECT_EQ(answer, 1);
    put<uint32_t>(query, 20, 0x20000001);
    ASSERT_EQ(sendInterfaceCommand(session, query.data(), query.size(), &answer, 1), 0);
    EXPECT_EQ(answer, 0);
}

TEST_F(MalformedRecordsTest, ControlFunctionsCheckTheirArguments) {
    EXPECT_EQ(zyemu_stream_fail_transfer("no such resource", 0, 4, 1),
              ZYEMU_STATUS_RESOURCE_NOT_FOUND);
    EXPECT_EQ(zyemu_stream_fail_transfer(ZYEMU_RESOURCE_DEFAULT, 64, 4, 1),
              ZYEMU_STATUS_INVALID_STREAM);
    EXPECT_EQ(zyemu_stream_written(nullptr, 40, nullptr, 0), ZYEMU_STATUS_RESOURCE_NOT_FOUND);
    EXPECT_EQ(zyemu_set_attribute_f64(ZYEMU_RESOURCE_DEFAULT, 0x20000001, "", 1.0),
              ZYEMU_STATUS_UNKNOWN_ATTRIBUTE);
    EXPECT_EQ(zyemu_get_attribute_i64(ZYEMU_RESOURCE_DEFAULT, 0x10000000, "0", nullptr),
              ZYEMU_STATUS_INVALID_ARGUMENT);
    int64_t count = 0;
    ASSERT_EQ(zyemu_get_attribute_i64(ZYEMU_RESOURCE_DEFAULT, 0x1000000F, nullptr, &count), 0);
    EXPECT_EQ(count, 4);
}

}  // namespace
