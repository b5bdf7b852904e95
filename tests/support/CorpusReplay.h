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
#include <type_traits>
#include <vector>

namespace zytest {

// Feeds every file of directory to entry; an entry that returns a status must return 0 (the
// entries abort on any fault). Fails when the directory holds fewer than least files.
template <class Entry>
void replayCorpus(const std::string& directory, Entry entry, std::size_t least = 1) {
    std::size_t replayed = 0;
    for (const auto& item : std::filesystem::directory_iterator(directory)) {
        if (!item.is_regular_file()) continue;
        SCOPED_TRACE(item.path().string());
        std::ifstream in(item.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                              std::istreambuf_iterator<char>());
        if constexpr (std::is_void_v<decltype(entry(bytes.data(), bytes.size()))>) {
            entry(bytes.data(), bytes.size());
        } else {
            EXPECT_EQ(entry(bytes.data(), bytes.size()), 0);
        }
        ++replayed;
    }
    EXPECT_GE(replayed, least) << directory;
}

}  // namespace zytest
