// Replays the saved fuzz corpora of the error description file parser and of translation
// through the fuzz entries themselves, so every input the fuzzers kept is checked here.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/translator/TranslatorFuzz.h"

namespace {

template <class Entry>
std::size_t replay(const char* directory, Entry entry) {
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

TEST(TranslatorFuzzCorpus, EveryErrorFileInputKeepsTheRules) {
    EXPECT_GE(replay(ZY_ERRORFILE_CORPUS_DIR, &zyfuzz::exerciseErrorFile), 4u);
}

TEST(TranslatorFuzzCorpus, EveryElaborationInputIsDescribed) {
    EXPECT_GE(replay(ZY_TRANSLATE_CORPUS_DIR, &zyfuzz::exerciseTranslation), 5u);
}

}  // namespace
