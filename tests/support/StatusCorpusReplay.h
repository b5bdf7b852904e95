// Replays a saved fuzz corpus through its fuzz entry, so that every input a fuzzer kept is
// checked by the regular build.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace zytest {

// Runs entry on each regular file of directory; returns how many it ran.
template <class Entry>
std::size_t replayCorpus(const char* directory, Entry entry) {
    std::size_t replayed = 0;
    for (const auto& file : std::filesystem::directory_iterator(directory)) {
        if (!file.is_regular_file()) continue;
        std::ifstream stream(file.path(), std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(stream)),
                                      std::istreambuf_iterator<char>());
        SCOPED_TRACE(file.path().filename().string());
        entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++replayed;
    }
    return replayed;
}

}  // namespace zytest
