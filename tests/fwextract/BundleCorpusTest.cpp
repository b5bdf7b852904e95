// Replays the bundle fuzz corpora: every saved archive and manifest must still be read or
// fail with a status.
#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BundleFuzzTarget.h"

namespace {

// Feeds every file of directory to read; fails when the directory holds none.
void replay(const std::string& directory, int (*read)(const uint8_t*, std::size_t)) {
    DIR* listing = opendir(directory.c_str());
    ASSERT_NE(listing, nullptr) << directory;
    std::size_t replayed = 0;
    while (const dirent* item = readdir(listing)) {
        if (item->d_name[0] == '.') continue;
        SCOPED_TRACE(item->d_name);
        std::ifstream in(directory + "/" + item->d_name, std::ios::binary);
        const std::vector<uint8_t> input((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
        read(input.data(), input.size());
        ++replayed;
    }
    closedir(listing);
    EXPECT_GT(replayed, 0u) << directory;
}

TEST(BundleCorpus, EveryArchiveAndManifestIsReadOrFailsWithAStatus) {
    replay(ZY_BUNDLE_ARCHIVE_CORPUS, zyfuzz::readBundleArchive);
    replay(ZY_BUNDLE_MANIFEST_CORPUS, zyfuzz::readBundleManifest);
}

}  // namespace
