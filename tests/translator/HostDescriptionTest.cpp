// Descriptions for the graphical host: its string handles grown, reused and shrunk, its
// language, and the attribute variants that write each failure's description.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "ErrorsDirFixture.h"
#include "status/OstrelErrors.h"
#include "support/EmulatorFixture.h"
#include "support/HostBlock.h"

namespace {

using zytest::Block;
using zytest::blockOf;

struct HostStub {
    int resizes = 0;
    bool failNextResize = false;
    bool failNextHandle = false;
    std::string language = "English";
    std::vector<Block*> blocks;
} host;

}  // namespace

extern "C" {

ZyHostHandle DSNewHandle(size_t size) {
    if (std::exchange(host.failNextHandle, false)) return nullptr;
    auto* block = new Block;
    block->resize(size);
    host.blocks.push_back(block);
    return &block->data;
}

int32_t DSGetHandleSize(ZyHostHandle handle) {
    return static_cast<int32_t>(blockOf(handle)->store.size() - 1);
}

int32_t DSSetHandleSize(ZyHostHandle handle, size_t size) {
    blockOf(handle)->resize(size);
    return 0;
}

int32_t NumericArrayResize(int32_t typeCode, int32_t dimensions, ZyHostHandle* handle,
                           size_t count) {
    EXPECT_EQ(std::make_pair(typeCode, dimensions), std::make_pair(1, 1));
    if (std::exchange(host.failNextResize, false)) return 2;
    ++host.resizes;
    blockOf(*handle)->resize(4 + count);
    return 0;
}

__attribute__((visibility("default"))) void GetLangStr(unsigned char* text) {
    text[0] = static_cast<unsigned char>(host.language.size());
    std::memcpy(text + 1, host.language.data(), host.language.size());
}

__attribute__((visibility("default"))) int32_t PStrCmp(const unsigned char* first,
                                                       const unsigned char* second) {
    return first[0] == second[0] && std::memcmp(first + 1, second + 1, first[0]) == 0 ? 0 : 1;
}

}  // extern "C"

namespace {

using zytest::descriptionFile;

const std::string kLong(300, 'L');

class HostDescriptionTest : public zytest::SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        host.resizes = 0;
        host.language = "English";
        shared.writeErrors(
            "English", "codes.txt",
            descriptionFile({{"-9", "Nine."},
                             {"-10", kLong},
                             {std::to_string(ZYEMU_STATUS_INVALID_VALUE), "Refused value."}}));
        shared.writeErrors("French", "codes.txt", descriptionFile({{"-9", "Neuf."}}));
    }
    void TearDown() override {
        for (Block* block : host.blocks) delete block;
        host.blocks.clear();
        SessionTest::TearDown();
    }
    static std::string textOf(ZyHostHandle handle) {
        return std::string(zyerr::hostStringText(handle, 1u << 20));
    }
    // A host string holding text, whose length field claims length.
    static ZyHostHandle hostString(const std::string& text, int32_t length) {
        ZyHostHandle made = DSNewHandle(4 + text.size());
        std::memcpy(*made, &length, sizeof length);
        std::memcpy(*made + 4, text.data(), text.size());
        return made;
    }

    zytest::SharedDir shared;
    ZyHostHandle handle = nullptr;
};

TEST_F(HostDescriptionTest, NothingToWriteReturnsAtOnce) {
    EXPECT_EQ(zyOstrel_WBGetError(0, -9, nullptr), 0);
    EXPECT_EQ(zyOstrel_WBGetError(0, 0, &handle), 0);
    EXPECT_EQ(handle, nullptr);
}

TEST_F(HostDescriptionTest, HandleIsMadeGrownReusedAndShrunk) {
    ASSERT_EQ(zyOstrel_WBGetError(0, -9, &handle), 0);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(textOf(handle), "\nNine.\n\n");
    EXPECT_EQ(host.resizes, 1) << "the new 8-byte handle holds 4 characters";

    ASSERT_EQ(zyOstrel_WBGetError(0, -10, &handle), 0);
    EXPECT_EQ(textOf(handle), "\n" + kLong + "\n\n");
    EXPECT_EQ(host.resizes, 2);
    ASSERT_EQ(zyOstrel_WBGetError(0, -10, &handle), 0);
    EXPECT_EQ(host.resizes, 2) << "the same length reuses the handle";

    ASSERT_EQ(zyOstrel_WBGetError(0, -9, &handle), 0);
    EXPECT_EQ(textOf(handle), "\nNine.\n\n");
    EXPECT_EQ(host.resizes, 3) << "less than half the old length shrinks it";
    EXPECT_EQ(DSGetHandleSize(handle), 4 + 8);
}

TEST_F(HostDescriptionTest, FailedResizeLeavesTheHandleAsItWas) {
    host.failNextHandle = true;
    EXPECT_EQ(zyOstrel_WBGetError(0, -9, &handle), -52000);
    EXPECT_EQ(handle, nullptr) << "a handle the host could not make";
    ASSERT_EQ(zyOstrel_WBGetError(0, -9, &handle), 0);
    host.failNextResize = true;
    EXPECT_EQ(zyOstrel_WBGetError(0, -10, &handle), -52000);
    EXPECT_EQ(textOf(handle), "\nNine.\n\n");
}

TEST_F(HostDescriptionTest, ClaimedLengthBeyondTheBlockIsResized) {
    handle = hostString("abcd", 1000);
    ASSERT_EQ(zyOstrel_WBGetError(0, -10, &handle), 0);
    EXPECT_EQ(textOf(handle), "\n" + kLong + "\n\n");
}

TEST_F(HostDescriptionTest, HostLanguageChoosesTheFolder) {
    host.language = "French";
    EXPECT_EQ(zyerr::getHostLanguage(), 1u);
    ASSERT_EQ(zyOstrel_WBGetError(0, -9, &handle), 0);
    EXPECT_EQ(textOf(handle), "\nNeuf.\n\n");
    ASSERT_EQ(zyOstrel_WBGetError(0, -10, &handle), 0);
    EXPECT_EQ(textOf(handle), "\n" + kLong + "\n\n") << "English where French has no text";
    host.language = "ChineseS";
    EXPECT_EQ(zyerr::getHostLanguage(), 5u);
    host.language = "Klingon";
    EXPECT_EQ(zyerr::getHostLanguage(), 0u);
}

TEST_F(HostDescriptionTest, AttributeVariantsDescribeTheirFailures) {
    const int32_t refused = 7;
    EXPECT_STATUS(ZYEMU_STATUS_INVALID_VALUE,
                  zyOstrel_SetAttributeInt32WB(session, nullptr, ZYOSTREL_Attr_StreamDataFormat,
                                               &refused, &handle));
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(textOf(handle).rfind("\nRefused value.", 0), 0u) << textOf(handle);
    EXPECT_EQ(zyOstrel_SetAttributeInt32WB(session, nullptr, ZYOSTREL_Attr_StreamDataFormat,
                                           nullptr, nullptr),
              -52005);

    ZyHostHandle value = nullptr;
    EXPECT_STATUS(0, zyOstrel_GetAttributeStringWB(session, nullptr, ZYOSTREL_Attr_SerialNumber,
                                                   &value, &handle));
    ASSERT_NE(value, nullptr);
    EXPECT_FALSE(textOf(value).empty());
}

TEST_F(HostDescriptionTest, ChannelTextComesFromTheHandle) {
    ZyHostHandle channel = hostString("AI1", 3);
    const double range = 2.5;
    EXPECT_STATUS(
        0, zyOstrel_SetAttributeDoubleWB(session, channel, ZYOSTREL_Attr_AIRange, &range, &handle));
    double read = 0;
    EXPECT_STATUS(
        0, zyOstrel_GetAttributeDoubleWB(session, channel, ZYOSTREL_Attr_AIRange, &read, &handle));
    EXPECT_EQ(read, 2.5);
    EXPECT_EQ(handle, nullptr) << "no failure, no description";

    // A length claiming more than the block holds reads only the block: "AI1" again.
    read = 0;
    EXPECT_STATUS(0, zyOstrel_GetAttributeDoubleWB(session, hostString("AI1", 100000),
                                                   ZYOSTREL_Attr_AIRange, &read, &handle));
    EXPECT_EQ(read, 2.5);
}

TEST_F(HostDescriptionTest, BooleanIsStoredOnlyWhenRead) {
    const uint32_t id = ZYOSTREL_Attr_StreamFinite;
    const uint8_t one = 1;
    ASSERT_STATUS(0, zyOstrel_SetAttributeBoolWB(session, nullptr, id, &one, nullptr));
    uint8_t value = 7;
    zytest::Fault::attribute(id, 721).afterRunning().status(5).times(1).add();
    EXPECT_STATUS(5, zyOstrel_GetAttributeBoolWB(session, nullptr, id, &value, nullptr));
    EXPECT_EQ(value, 7) << "a warning delivers no value";
    zytest::Fault::attribute(id, 721).status(-61210).times(1).add();
    EXPECT_STATUS(-61210, zyOstrel_GetAttributeBoolWB(session, nullptr, id, &value, nullptr));
    EXPECT_EQ(value, 7);
    ASSERT_STATUS(0, zyOstrel_GetAttributeBoolWB(session, nullptr, id, &value, nullptr));
    EXPECT_EQ(value, 1);
}

TEST_F(HostDescriptionTest, TimestampIsWrittenOnlyWhenRead) {
    uint64_t timestamp[2] = {9, 9};
    ASSERT_STATUS(0, zyOstrel_GetAttributeTimestampWB(
                         session, nullptr, ZYOSTREL_Attr_CalibrationDateTime, timestamp, nullptr));
    uint64_t expected = 0;
    ASSERT_STATUS(
        0, zyOstrel_GetAttributeUInt64(session, "", ZYOSTREL_Attr_CalibrationDateTime, &expected));
    EXPECT_EQ(timestamp[0], 0u);
    EXPECT_EQ(timestamp[1], expected);
    timestamp[1] = 9;
    EXPECT_STATUS(-63196, zyOstrel_GetAttributeTimestampWB(session, nullptr, 0x4FFFFFFFu, timestamp,
                                                           nullptr));
    EXPECT_EQ(timestamp[1], 9u);
}

}  // namespace
