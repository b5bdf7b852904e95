// Replays the bundle fuzz corpora: every saved archive and manifest must still be read or
// fail with a status.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BundleFuzzTarget.h"

namespace {

// Feeds every file of directory to read; fails when the directory holds none.
void replay(const std::string& directory, int (*read)(const uint8_t*, std::size_t)) {
    std::size_t replayed = 0;
    for (const auto& item : std::filesystem::directory_iterator(directory)) {
        SCOPED_TRACE(item.path().string());
        std::ifstream in(item.path(), std::ios::binary);
        const std::vector<uint8_t> input((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
        read(input.data(), input.size());
        ++replayed;
    }
    EXPECT_GT(replayed, 0u) << directory;
}

TEST(BundleCorpus, EveryArchiveAndManifestIsReadOrFailsWithAStatus) {
    replay(ZY_BUNDLE_ARCHIVE_CORPUS, zyfuzz::readBundleArchive);
    replay(ZY_BUNDLE_MANIFEST_CORPUS, zyfuzz::readBundleManifest);
}

}  // namespace
