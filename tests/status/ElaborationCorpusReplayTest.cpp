// Replays the saved fuzz corpus of the elaboration reader and writer through the fuzz entry
// itself, so that every input the fuzzer ever kept is checked by the regular build.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/elaboration/ElaborationFuzz.h"

namespace {

TEST(ElaborationFuzzCorpus, EverySavedInputKeepsTheInvariants) {
    std::size_t replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ZY_ELABORATION_CORPUS_DIR)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream file(entry.path(), std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                      std::istreambuf_iterator<char>());
        SCOPED_TRACE(entry.path().filename().string());
        zyfuzz::exerciseElaboration(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                    bytes.size());
        ++replayed;
    }
    EXPECT_GE(replayed, 8u);
}

}  // namespace
