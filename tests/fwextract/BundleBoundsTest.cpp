// Bundles whose entries expand far beyond their archive: the reader refuses them at their
// bound, with a status naming the entry, and within bounded memory.
#include <gtest/gtest.h>

#include <sstream>
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
using zytest::kDevice;
using zytest::openStatus;
using zytest::statusOf;

constexpr int32_t kInvalid = zyerr::codes::InvalidFirmwareBundle;
constexpr int32_t kCorrupt = zyerr::codes::CorruptFirmwareBundle;
constexpr const char* kBombPath = "images/bomb.bin";

// A manifest naming the good FPGA image "fpga" and the bomb "bomb", the bomb, and with
// images the standard image files.
std::vector<uint8_t> bundleWithImage(const BombEntry& image, bool images = true) {
    const std::string manifest =
        zytest::manifestOf({zytest::ImageEntry(), zytest::entryNamed("bomb", kBombPath)});
    std::vector<BombEntry> entries = {{"manifest.json", zytest::bytesOf(manifest)}, image};
    if (images) {
        for (const auto& file : zytest::standardImages())
            entries.push_back({file.path, file.bytes});
    }
    return bombBundle(entries);
}

// 3.75 GiB of zeros in about 4 MiB, with a header that states the true size or 4096 bytes.
BombEntry imageBomb(bool declareTrueSize) { return {kBombPath, {}, 3840, declareTrueSize, 4096}; }

// What differs from code with an elaboration naming the entry and the bound (unless the entry
// is empty); empty if nothing.
std::string refusalDifference(const zytest::Thrown& thrown, int32_t code, const std::string& entry,
                              uint64_t bound) {
    const auto names = [&](const std::string& text) {
        return thrown.elaboration.find("\"" + text + "\"") != std::string::npos;
    };
    if (thrown == code && (entry.empty() || (names(entry) && names(std::to_string(bound))))) {
        return "";
    }
    std::ostringstream out;
    out << "expected " << code << " naming " << entry << " and " << bound << ", got " << thrown;
    return out.str();
}

TEST(BundleBounds, ManifestMayReachItsBoundButNotPassIt) {
    std::string manifest = zytest::manifestOf({zytest::ImageEntry()});
    manifest.resize(kMostManifestBytes, ' ');
    EXPECT_EQ(openStatus(zytest::bundleOf(zytest::BundleFormat::ZipDeflated, manifest)), 0);
    manifest += ' ';
    const auto bytes = zytest::bundleOf(zytest::BundleFormat::ZipDeflated, manifest);
    EXPECT_EQ(refusalDifference(openStatus(bytes), kInvalid, "manifest.json", kMostManifestBytes),
              "");
}

// Under an address-space limit far below what the bombs expand to, each ends in its own
// status; a refused image leaves the output empty and the bundle usable. A header that
// claims more than the limit allows ends in -304017 (where the limit works), while the same
// claim in an archive of a few KiB takes room only for what it could expand to and is found
// shorter than declared.
// The entry a bomb is: the manifest (refused when the bundle opens), an image beside the
// standard images, or an image alone in its archive.
enum Kind { Manifest, Image, LoneImage };

TEST(BundleBounds, BombsAreRefusedAtTheirBoundWithinBoundedMemory) {
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        Kind kind;
        int32_t code;
        const char* entry;
        uint64_t bound;
    } rows[] = {
        {"manifest", bombBundle({{"manifest.json", {}, 2048}}), Manifest, kInvalid, "manifest.json",
         kMostManifestBytes},
        {"lying manifest", bombBundle({{"manifest.json", {}, 2048, false, 100}}), Manifest,
         kCorrupt, "manifest.json", 100},
        {"image", bundleWithImage(imageBomb(true)), Image, kInvalid, kBombPath, kMostImageBytes},
        {"lying image", bundleWithImage(imageBomb(false)), Image, kCorrupt, kBombPath, 4096},
        // Found short by the archive reader, which names neither.
        {"small overclaim", bundleWithImage({kBombPath, {}, 1, false, 900u << 20}, false),
         LoneImage, kCorrupt, "", 0},
        {"overclaim", bundleWithImage({kBombPath, {}, 1, false, 900u << 20}), Image,
         zyerr::codes::OutOfMemory, kBombPath, kMostImageBytes},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.code == zyerr::codes::OutOfMemory && !zytest::kAddressSpaceLimitWorks) continue;
        zytest::expectWithinHeadroom(std::size_t{64} << 20, [&]() -> std::string {
            if (row.kind == Manifest)
                return refusalDifference(openStatus(row.bytes), row.code, row.entry, row.bound);
            FirmwareBundle bundle(row.bytes.data(), row.bytes.size());
            std::vector<uint8_t> data(3, 1);
            const auto thrown = statusOf([&] { bundle.extractImage(kDevice, "bomb", data); });
            std::string wrong = refusalDifference(thrown, row.code, row.entry, row.bound);
            if (!data.empty()) wrong += "; the output was not emptied";
            const auto fpga = statusOf([&] { bundle.extractImage(kDevice, "fpga", data); });
            const bool whole = data.size() == zytest::standardImages()[0].bytes.size();
            if (row.kind == Image && (fpga != 0 || !whole)) {
                wrong += "; the bundle was not usable afterwards";
            }
            return wrong;
        });
    }
}

}  // namespace
