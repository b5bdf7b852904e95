// Bundles whose entries expand far beyond their archive: the reader refuses them at their
// bound, with a status naming the entry, and within bounded memory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fwextract/BombBundles.h"
#include "fwextract/BoundedChild.h"
#include "fwextract/BundleFixtures.h"
#include "status/StatusCodes.h"

namespace {

using zyostrel::fwextract::FirmwareBundle;
using zyostrel::fwextract::kMostImageBytes;
using zyostrel::fwextract::kMostManifestBytes;
using zytest::bombBundle;
using zytest::BombEntry;
using zytest::ImageEntry;
using zytest::statusOf;

constexpr int32_t kInvalid = zyerr::codes::InvalidFirmwareBundle;
constexpr int32_t kCorrupt = zyerr::codes::CorruptFirmwareBundle;
constexpr const char* kDevice = "ostrel-7976";
constexpr const char* kBombPath = "images/bomb.bin";

// 3.75 GiB of zeros in about 4 MiB, and a header that states the true size or a small one.
BombEntry imageBomb(bool declareTrueSize) {
    BombEntry entry{kBombPath, {}, 3840, declareTrueSize, 4096};
    return entry;
}

// A manifest naming the good FPGA image "fpga" and the bomb "bomb", followed by the files.
std::vector<uint8_t> bundleWithImage(const BombEntry& image) {
    ImageEntry bomb;
    bomb["name"] = "\"bomb\"";
    bomb["path"] = std::string("\"") + kBombPath + "\"";
    const std::string manifest = zytest::manifestOf({ImageEntry(), bomb});
    std::vector<BombEntry> entries = {{"manifest.json", zytest::bytesOf(manifest)}, image};
    for (const auto& file : zytest::standardImages()) entries.push_back({file.path, file.bytes});
    return bombBundle(entries);
}

// Fails the test unless thrown is code with an elaboration naming the entry and the bound.
void expectRefusal(const zytest::Thrown& thrown, int32_t code, const std::string& entry,
                   uint64_t bound) {
    EXPECT_EQ(thrown, code);
    EXPECT_NE(thrown.elaboration.find("\"" + entry + "\""), std::string::npos) << thrown;
    EXPECT_NE(thrown.elaboration.find("\"" + std::to_string(bound) + "\""), std::string::npos)
        << thrown;
}

zytest::Thrown openStatus(const std::vector<uint8_t>& bytes) {
    return statusOf([&] { FirmwareBundle bundle(bytes.data(), bytes.size()); });
}

TEST(BundleBounds, ManifestMayReachItsBoundButNotPassIt) {
    const std::string manifest = zytest::manifestOf({ImageEntry()});
    for (const std::size_t size : {kMostManifestBytes, kMostManifestBytes + 1}) {
        SCOPED_TRACE(size);
        std::string padded = manifest;
        padded.resize(size, ' ');
        const auto bytes = zytest::bundleOf(zytest::BundleFormat::ZipDeflated, padded);
        if (size == kMostManifestBytes) {
            EXPECT_EQ(openStatus(bytes), 0);
        } else {
            expectRefusal(openStatus(bytes), kInvalid, "manifest.json", kMostManifestBytes);
        }
    }
}

TEST(BundleBounds, ManifestBombIsRefusedByItsHeaderOrAtItsDeclaredSize) {
    // 2 GiB of zeros as the manifest, declared truly, then declared as 100 bytes.
    const auto honest = bombBundle({{"manifest.json", {}, 2048}});
    expectRefusal(openStatus(honest), kInvalid, "manifest.json", kMostManifestBytes);
    const auto lying = bombBundle({{"manifest.json", {}, 2048, false, 100}});
    expectRefusal(openStatus(lying), kCorrupt, "manifest.json", 100);
}

TEST(BundleBounds, ImageBombIsRefusedAndTheBundleStaysUsable) {
    for (const bool declareTrueSize : {true, false}) {
        SCOPED_TRACE(declareTrueSize);
        const auto bytes = bundleWithImage(imageBomb(declareTrueSize));
        FirmwareBundle bundle(bytes.data(), bytes.size());
        std::vector<uint8_t> data(3, 1);
        const auto thrown = statusOf([&] { bundle.extractImage(kDevice, "bomb", data); });
        if (declareTrueSize) {
            expectRefusal(thrown, kInvalid, kBombPath, kMostImageBytes);
        } else {
            expectRefusal(thrown, kCorrupt, kBombPath, 4096);
        }
        EXPECT_TRUE(data.empty());
        EXPECT_EQ(statusOf([&] { bundle.extractImage(kDevice, "fpga", data); }), 0);
        EXPECT_EQ(data.size(), zytest::standardImages()[0].bytes.size());
    }
}

// Under an address-space limit far below what the bombs expand to, they still end in their
// own statuses; a header that declares more than the limit allows ends in -304017, and the
// bundle then still extracts its other images.
TEST(BundleBounds, BombsStayWithinBoundedMemory) {
    if (!zytest::kAddressSpaceLimitWorks) GTEST_SKIP() << "address-space limit under sanitizer";
    const std::size_t headroom = std::size_t{64} << 20;
    const auto honest = bundleWithImage(imageBomb(true));
    const auto lying = bundleWithImage(imageBomb(false));
    const auto manifestBomb = bombBundle({{"manifest.json", {}, 2048}});
    // 1 MiB of zeros whose header claims 900 MiB: room is taken for the claim at once.
    const auto overclaim = bundleWithImage({kBombPath, {}, 1, false, 900u << 20});
    const auto runs = [&](const std::vector<uint8_t>& bytes, int32_t code) {
        return zytest::runWithHeadroom(headroom, [&] {
            FirmwareBundle bundle(bytes.data(), bytes.size());
            std::vector<uint8_t> data;
            if (statusOf([&] { bundle.extractImage(kDevice, "bomb", data); }) != code) return 1;
            if (statusOf([&] { bundle.extractImage(kDevice, "fpga", data); }) != 0) return 2;
            return 0;
        });
    };
    EXPECT_EQ(runs(honest, kInvalid), 0);
    EXPECT_EQ(runs(lying, kCorrupt), 0);
    EXPECT_EQ(runs(overclaim, zyerr::codes::OutOfMemory), 0);
    // The same claim in an archive of a few KiB takes room only for what it could expand to,
    // and is found shorter than declared.
    ImageEntry bomb;
    bomb["name"] = "\"bomb\"";
    bomb["path"] = std::string("\"") + kBombPath + "\"";
    const std::string manifest = zytest::manifestOf({bomb});
    const auto smallOverclaim = bombBundle(
        {{"manifest.json", zytest::bytesOf(manifest)}, {kBombPath, {}, 1, false, 900u << 20}});
    EXPECT_EQ(zytest::runWithHeadroom(
                  headroom,
                  [&] {
                      FirmwareBundle bundle(smallOverclaim.data(), smallOverclaim.size());
                      std::vector<uint8_t> data;
                      const auto thrown =
                          statusOf([&] { bundle.extractImage(kDevice, "bomb", data); });
                      return thrown == kCorrupt ? 0 : 1;  // shorter than declared
                  }),
              0);
    EXPECT_EQ(zytest::runWithHeadroom(headroom,
                                      [&] { return openStatus(manifestBomb) == kInvalid ? 0 : 1; }),
              0);
}

}  // namespace
