// A session opened on a bitfile answers register and FIFO lookups from its document.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "bitfile/BitfileDocuments.h"
#include "channel/FpgaRuntime.h"
#include "zyemu/control.h"

namespace {

class SessionLookupTest : public ::testing::Test {
protected:
    void SetUp() override { zyemu_reset(); }
    void TearDown() override {
        if (session_ != 0) {
            EXPECT_EQ(ZyFpgaDll_Close(session_, 0), 0);
        }
        EXPECT_EQ(zyemu_open_session_count(), 0u);
        zyemu_reset();
    }

    int32_t open(const std::string& image) {
        return ZyFpgaDll_Open(image.c_str(), nullptr, ZYEMU_RESOURCE_DEFAULT,
                              ZYFPGA_OPEN_ATTRIBUTE_LIBRARY, &session_);
    }

    static std::string sampleText() {
        std::ifstream in(ZY_SAMPLE_BITFILE, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    uint32_t session_ = 0;
};

TEST_F(SessionLookupTest, RegistersOfTheSampleFileAreFoundWithTheirOffsets) {
    ASSERT_EQ(open(ZY_SAMPLE_BITFILE), 0);
    uint32_t offset = 0;
    EXPECT_EQ(ZyFpgaDll_FindRegisterPrivate(session_, "Sample Count", ZYFPGA_ANY_TYPE, &offset), 0);
    EXPECT_EQ(offset, 0x8020u);
    EXPECT_EQ(ZyFpgaDll_FindRegisterPrivate(session_, "Gain & Offset", 10, &offset), 0);
    EXPECT_EQ(offset, 0x8024u);
    EXPECT_EQ(ZyFpgaDll_FindRegisterPrivate(session_, "Gain & Offset", 7, &offset),
              ZYEMU_STATUS_NOT_FOUND);
    // Internal registers are not user registers.
    EXPECT_EQ(ZyFpgaDll_FindRegisterPrivate(session_, "ViControl", ZYFPGA_ANY_TYPE, &offset),
              ZYEMU_STATUS_NOT_FOUND);
}

TEST_F(SessionLookupTest, FifosOfADocumentTextAreFound) {
    ASSERT_EQ(open(sampleText()), 0);
    uint32_t number = 0, implementation = 0, elements = 0;
    EXPECT_EQ(ZyFpgaDll_FindFifoPrivate(session_, "Peer Input", ZYFPGA_ANY_TYPE, &number,
                                        &implementation, &elements),
              0);
    EXPECT_EQ(number, 2u);
    EXPECT_EQ(implementation, 2u);
    EXPECT_EQ(elements, 1023u);
    EXPECT_EQ(
        ZyFpgaDll_FindFifoPrivate(session_, "AI Samples", 4, &number, &implementation, &elements),
        0);
    EXPECT_EQ(number, 0u);
    EXPECT_EQ(
        ZyFpgaDll_FindFifoPrivate(session_, "AI Samples", 9, &number, &implementation, &elements),
        ZYEMU_STATUS_NOT_FOUND);
    EXPECT_EQ(ZyFpgaDll_FindFifoPrivate(session_, "Nothing", ZYFPGA_ANY_TYPE, &number,
                                        &implementation, &elements),
              ZYEMU_STATUS_NOT_FOUND);
}

TEST_F(SessionLookupTest, DocumentsTheModelRejectsDoNotOpen) {
    zytest::DocumentParts parts;
    parts.blocks.clear();  // the FIFO has no register block
    for (const std::string& text :
         {std::string("<Bitfile><VI/></Bitfile>"), std::string("<Bitfile>"),
          std::string("<Bitfile/><Bitfile/>"), std::string("<Bitfile/>"),
          std::string("<?xml version=\"1.0\"?>\n<Bitfile></Bitfile>\n"), parts.text()}) {
        EXPECT_EQ(open(text), ZYEMU_STATUS_BITFILE_INVALID) << text.substr(0, 40);
        EXPECT_EQ(session_, 0u);
    }
}

TEST_F(SessionLookupTest, StoredImagesKeepTheirOwnRegisters) {
    ASSERT_EQ(ZyFpgaDll_Open("/com::zy::ostrel::image::default", nullptr, ZYEMU_RESOURCE_DEFAULT,
                             ZYFPGA_OPEN_ATTRIBUTE_LIBRARY | ZYFPGA_OPEN_ATTRIBUTE_STORED_IMAGE,
                             &session_),
              0);
    uint32_t offset = 0;
    EXPECT_EQ(ZyFpgaDll_FindRegisterPrivate(session_, "Sample Count", ZYFPGA_ANY_TYPE, &offset),
              ZYEMU_STATUS_NOT_FOUND);
    EXPECT_EQ(ZyFpgaDll_FindRegisterPrivate(session_, "ostrel.module.dram ready 0", ZYFPGA_ANY_TYPE,
                                            &offset),
              0);
}

}  // namespace
