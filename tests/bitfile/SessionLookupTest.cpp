// A session opened on a bitfile answers register and FIFO lookups from its document.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>

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

    // The lookup's status and the register's offset.
    std::pair<int32_t, uint32_t> findRegister(const char* name, uint32_t type = ZYFPGA_ANY_TYPE) {
        uint32_t offset = 0;
        const int32_t status = ZyFpgaDll_FindRegisterPrivate(session_, name, type, &offset);
        return {status, offset};
    }

    // The lookup's status, the FIFO's number, implementation and number of elements.
    std::tuple<int32_t, uint32_t, uint32_t, uint32_t> findFifo(const char* name, uint32_t type) {
        uint32_t number = 0, implementation = 0, elements = 0;
        const int32_t status =
            ZyFpgaDll_FindFifoPrivate(session_, name, type, &number, &implementation, &elements);
        return {status, number, implementation, elements};
    }

    uint32_t session_ = 0;
};

constexpr int32_t kNotFound = ZYEMU_STATUS_NOT_FOUND;

// Internal registers are not user registers; a type other than the register's is no match.
TEST_F(SessionLookupTest, RegistersOfTheSampleFileAreFoundWithTheirOffsets) {
    ASSERT_EQ(open(ZY_SAMPLE_BITFILE), 0);
    EXPECT_EQ(findRegister("Sample Count"), std::make_pair(0, 0x8020u));
    EXPECT_EQ(findRegister("Gain & Offset", 10), std::make_pair(0, 0x8024u));
    EXPECT_EQ(findRegister("Gain & Offset", 7).first, kNotFound);
    EXPECT_EQ(findRegister("ViControl").first, kNotFound);
}

TEST_F(SessionLookupTest, FifosOfADocumentTextAreFound) {
    ASSERT_EQ(open(sampleText()), 0);
    EXPECT_EQ(findFifo("Peer Input", ZYFPGA_ANY_TYPE), std::make_tuple(0, 2u, 2u, 1023u));
    EXPECT_EQ(std::get<1>(findFifo("AI Samples", 4)), 0u);
    EXPECT_EQ(std::get<0>(findFifo("AI Samples", 4)), 0);
    EXPECT_EQ(std::get<0>(findFifo("AI Samples", 9)), kNotFound);
    EXPECT_EQ(std::get<0>(findFifo("Nothing", ZYFPGA_ANY_TYPE)), kNotFound);
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
    EXPECT_EQ(findRegister("Sample Count").first, kNotFound);
    EXPECT_EQ(findRegister("ostrel.module.dram ready 0").first, 0);
}

}  // namespace
