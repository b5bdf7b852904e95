// zyOstrel_GetError on the emulated instrument: the buffer rules, the device's elaboration,
// and the code alone when that cannot be fetched.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "ErrorsDirFixture.h"
#include "support/EmulatorFixture.h"

namespace {

using zytest::descriptionFile;

constexpr int32_t kInvalidValue = ZYEMU_STATUS_INVALID_VALUE;
constexpr const char* kInvalidValueText = "The instrument does not accept the value.";
constexpr const char* kFailedText = "Failed to translate error elaboration.";

class GetErrorTest : public zytest::SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        shared.writeErrors("English", "codes.txt",
                           descriptionFile({{std::to_string(kInvalidValue), kInvalidValueText},
                                            {"-52005", "An argument or an input is invalid."}}));
    }

    std::string describe(uint32_t on, int32_t code) {
        char text[1024];
        std::memset(text, '#', sizeof text);
        EXPECT_EQ(zyOstrel_GetError(on, code, sizeof text, text), 0);
        return text;
    }
    // Makes the device fail an enumerated attribute's set, leaving its elaboration.
    int32_t failSet() {
        return zyOstrel_SetAttributeInt32(session, "", ZYOSTREL_Attr_StreamDataFormat, 7);
    }

    zytest::SharedDir shared;
};

TEST_F(GetErrorTest, CodeZeroTouchesNothing) {
    char text[4] = "abc";
    EXPECT_EQ(zyOstrel_GetError(session, 0, sizeof text, text), 0);
    EXPECT_STREQ(text, "abc");
    EXPECT_EQ(zyOstrel_GetError(session, 0, 100, nullptr), 0);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(GetErrorTest, BufferSizesAndCutting) {
    char text[8];
    std::memset(text, '#', sizeof text);
    EXPECT_EQ(zyOstrel_GetError(0, -52005, 0, text), 0);
    EXPECT_EQ(text[0], '#') << "size 0 writes nothing";
    EXPECT_EQ(zyOstrel_GetError(0, -52005, 0, nullptr), 0);
    EXPECT_EQ(zyOstrel_GetError(0, -52005, 1, text), 0);
    EXPECT_EQ(text[0], '\0');
    EXPECT_EQ(text[1], '#');
    EXPECT_EQ(zyOstrel_GetError(0, -52005, sizeof text, text), 0);
    EXPECT_EQ(std::string(text, sizeof text), std::string("An argu\0", 8));
    EXPECT_EQ(zyOstrel_GetError(0, -52005, 16, nullptr), -52005);

    // A short text is padded with zeros up to the size given.
    char padded[64];
    std::memset(padded, '#', sizeof padded);
    shared.writeErrors("English", "short.txt", descriptionFile({{"-9", "Nine."}}));
    EXPECT_EQ(zyOstrel_GetError(0, -9, sizeof padded, padded), 0);
    EXPECT_EQ(std::string(padded, 8), std::string("Nine.\n\n\0", 8));
    EXPECT_EQ(padded[sizeof padded - 1], '\0');
}

TEST_F(GetErrorTest, WithoutTheDeviceElaborationTheCodeAloneIsDescribed) {
    const std::string expected = std::string(kInvalidValueText) + "\n\n";
    EXPECT_EQ(describe(0, kInvalidValue), expected);
    EXPECT_EQ(describe(simulated, kInvalidValue), expected) << "the simulated query fails";
    zytest::Fault::function(800).status(-61210).add();
    EXPECT_EQ(describe(session, kInvalidValue), expected) << "the query fails";
    EXPECT_EQ(describe(0, -123456), kFailedText) << "no file describes the code";
}

TEST_F(GetErrorTest, DeviceFailureIsDescribedAndConcurrentDescriptionsAgree) {
    ASSERT_EQ(failSet(), kInvalidValue);
    const std::string expected = describe(session, kInvalidValue);
    EXPECT_EQ(expected.rfind(kInvalidValueText, 0), 0u) << expected;
    std::string results[3];
    std::vector<std::thread> threads;
    for (std::string& result : results) {
        threads.emplace_back([&] { result = describe(session, kInvalidValue); });
    }
    for (std::thread& thread : threads) thread.join();
    for (const std::string& result : results) EXPECT_EQ(result, expected);
}

TEST(ExportedCreateTest, OnlyTheScriptTranslatorIsOffered) {
    zyerr::Status status;
    auto* c = reinterpret_cast<zyxlator_Status*>(&status);
    EXPECT_EQ(zyxlator_exported_create("zyxlator_default", "{}", c), nullptr);
    EXPECT_FAILURE(-52005, "\"name\":\"zyxlator_default\"", status);
    EXPECT_EQ(zyxlator_exported_create("mxlator_zyostrelapi", "{}", c), nullptr)
        << "a status holding an error creates nothing";
    EXPECT_EQ(zyxlator_exported_create("x", "{}", nullptr), nullptr);
}

}  // namespace
