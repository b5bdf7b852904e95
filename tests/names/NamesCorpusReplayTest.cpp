// Replays the saved fuzz corpus of the name grammar through the fuzz entry itself, so that
// every input the fuzzer ever kept is checked by the regular build.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

TEST(NamesFuzzCorpus, EverySavedInputAgreesWithTheReference) {
    std::size_t replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ZY_NAMES_CORPUS_DIR)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream file(entry.path(), std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                      std::istreambuf_iterator<char>());
        SCOPED_TRACE(entry.path().filename().string());
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                         bytes.size()),
                  0);
        ++replayed;
    }
    EXPECT_GE(replayed, 20u);
}

}  // namespace
