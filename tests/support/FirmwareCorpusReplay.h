// Replays a saved fuzz corpus through its fuzz entry, so that the regular build checks every
// input the fuzzer ever kept.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zytest {

// Feeds every file of directory to entry, which must return 0 (the entries abort on any
// fault); fails when the directory holds fewer than least files.
inline void replayCorpus(const std::string& directory,
                         int (*entry)(const std::uint8_t*, std::size_t), std::size_t least = 1) {
    std::size_t replayed = 0;
    for (const auto& item : std::filesystem::directory_iterator(directory)) {
        if (!item.is_regular_file()) continue;
        SCOPED_TRACE(item.path().string());
        std::ifstream in(item.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                              std::istreambuf_iterator<char>());
        EXPECT_EQ(entry(bytes.data(), bytes.size()), 0);
        ++replayed;
    }
    EXPECT_GE(replayed, least) << directory;
}

}  // namespace zytest
