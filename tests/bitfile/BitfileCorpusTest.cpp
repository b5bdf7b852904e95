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

std::vector<std::string> corpusFiles(const std::string& directory) {
    std::vector<std::string> files;
    if (DIR* listing = opendir(directory.c_str())) {
        while (const dirent* item = readdir(listing)) {
            if (item->d_name[0] != '.') files.push_back(directory + "/" + item->d_name);
        }
        closedir(listing);
    }
    return files;
}

TEST(BitfileCorpus, EveryInputParsesOrFailsWithAStatus) {
    const auto files = corpusFiles(ZY_BITFILE_CORPUS);
    ASSERT_FALSE(files.empty());
    for (const std::string& path : files) {
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        SCOPED_TRACE(path);
        zyfuzz::parseBitfileInput(bytes.data(), bytes.size());
    }
}

}  // namespace
