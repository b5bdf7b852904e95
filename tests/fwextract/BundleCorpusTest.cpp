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

std::vector<std::vector<uint8_t>> corpus(const std::string& directory) {
    std::vector<std::vector<uint8_t>> inputs;
    if (DIR* listing = opendir(directory.c_str())) {
        while (const dirent* item = readdir(listing)) {
            if (item->d_name[0] == '.') continue;
            std::ifstream in(directory + "/" + item->d_name, std::ios::binary);
            inputs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        closedir(listing);
    }
    return inputs;
}

TEST(BundleCorpus, EveryArchiveIsReadOrFailsWithAStatus) {
    const auto inputs = corpus(ZY_BUNDLE_ARCHIVE_CORPUS);
    ASSERT_FALSE(inputs.empty());
    for (const auto& input : inputs) zyfuzz::readBundleArchive(input.data(), input.size());
}

TEST(BundleCorpus, EveryManifestIsReadOrFailsWithAStatus) {
    const auto inputs = corpus(ZY_BUNDLE_MANIFEST_CORPUS);
    ASSERT_FALSE(inputs.empty());
    for (const auto& input : inputs) zyfuzz::readBundleManifest(input.data(), input.size());
}

}  // namespace
