// Replays the bitfile fuzz corpus: every input that was ever saved must still parse or fail
// with a status.
#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BitfileFuzzTarget.h"

namespace {

TEST(BitfileCorpus, EveryInputParsesOrFailsWithAStatus) {
    DIR* listing = opendir(ZY_BITFILE_CORPUS);
    ASSERT_NE(listing, nullptr);
    std::size_t replayed = 0;
    while (const dirent* item = readdir(listing)) {
        if (item->d_name[0] == '.') continue;
        const std::string path = std::string(ZY_BITFILE_CORPUS) + "/" + item->d_name;
        SCOPED_TRACE(path);
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
        zyfuzz::parseBitfileInput(bytes.data(), bytes.size());
        ++replayed;
    }
    closedir(listing);
    EXPECT_GT(replayed, 0u);
}

}  // namespace
