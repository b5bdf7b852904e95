// Replays the bitfile fuzz corpus: every input that was ever saved must still parse or fail
// with a status.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "BitfileFuzzTarget.h"

namespace {

TEST(BitfileCorpus, EveryInputParsesOrFailsWithAStatus) {
    std::size_t replayed = 0;
    for (const auto& item : std::filesystem::directory_iterator(ZY_BITFILE_CORPUS)) {
        SCOPED_TRACE(item.path().string());
        std::ifstream in(item.path(), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
        zyfuzz::parseBitfileInput(bytes.data(), bytes.size());
        ++replayed;
    }
    EXPECT_GT(replayed, 0u);
}

}  // namespace
