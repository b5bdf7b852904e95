// Reading firmware bundles: archive formats, the manifest's rules and the image checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fwextract/BundleFixtures.h"
#include "status/StatusCodes.h"

namespace {

using zyostrel::fwextract::FirmwareBoard;
using zyostrel::fwextract::FirmwareBundle;
using zyostrel::fwextract::FirmwareImageType;
using zytest::BundleFormat;
using zytest::bundleOf;
using zytest::entryNamed;
using zytest::ImageEntry;
using zytest::kDevice;
using zytest::manifestOf;
using zytest::openStatus;
using zytest::statusOf;

constexpr int32_t kInvalid = zyerr::codes::InvalidFirmwareBundle;
constexpr int32_t kCorrupt = zyerr::codes::CorruptFirmwareBundle;
constexpr int32_t kMissing = zyerr::codes::FileMissingInFirmwareBundle;
constexpr int32_t kTypeMismatch = zyerr::codes::TypeMismatch;
constexpr int32_t kNotJson = zyerr::codes::InvalidParameter;
constexpr int32_t kNotFound = zyerr::codes::ResourceNotFound;
constexpr BundleFormat kFormats[] = {BundleFormat::ZipStored, BundleFormat::ZipDeflated,
                                     BundleFormat::Tar};

std::vector<uint8_t> imageBytes(const std::string& path) {
    for (const auto& file : zytest::standardImages()) {
        if (file.path == path) return file.bytes;
    }
    return {};
}

// A bundle that must open, with the image last extracted from it.
struct Opened {
    explicit Opened(const std::vector<uint8_t>& bytes) : bundle(bytes.data(), bytes.size()) {}
    // The status of extracting name into data.
    zytest::Thrown extract(const std::string& name) {
        return statusOf([&] { bundle.extractImage(kDevice, name, data); });
    }
    FirmwareBundle bundle;
    std::vector<uint8_t> data;
};

// Each of the six rows uses one format, type and board, so that every one of them is read once;
// the image is longer than several of the pieces copied and digested together.
TEST(BundleArchive, EveryFormatTypeAndBoardIsRead) {
    const char* types[] = {"bitfile", "cpld", "eeprom", "xmega", "oamFpgaFlash"};
    for (uint32_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        ImageEntry entry;
        entry["type"] = std::string("\"") + types[i % 5] + "\"";
        entry["board"] = i % 2 == 0 ? "\"base\"" : "\"oam\"";
        auto bytes = bundleOf(kFormats[i % 3], manifestOf({entry}));
        Opened opened(bytes);
        std::fill(bytes.begin(), bytes.end(), 0);  // the bundle keeps its own copy
        uint32_t version = 0;
        auto type = static_cast<FirmwareImageType>(99);
        auto board = static_cast<FirmwareBoard>(99);
        std::string identifier;
        opened.bundle.extractImage(kDevice, "fpga", opened.data, &version, &type, &board,
                                   &identifier);
        EXPECT_TRUE(opened.data == imageBytes("images/fpga.bit"));
        EXPECT_EQ(version, 3u);
        EXPECT_EQ(static_cast<uint32_t>(type), i % 5);
        EXPECT_EQ(board, i % 2 == 0 ? FirmwareBoard::Base : FirmwareBoard::Oam);
        EXPECT_EQ(identifier, "default_bitfile");
        EXPECT_EQ(opened.bundle.getBundleVersion(), 7u);
    }
}

TEST(BundleArchive, UnreadableBytesAreAnInvalidBundle) {
    EXPECT_EQ(statusOf([] { FirmwareBundle bundle(nullptr, 0); }), kInvalid);
    const uint8_t one = 0;
    EXPECT_EQ(statusOf([&] { FirmwareBundle bundle(&one, 0); }), kInvalid);
    EXPECT_EQ(openStatus(zytest::bytesOf("this is not an archive of any kind, just text")),
              kInvalid);
    // A compressed stream is not unwrapped.
    EXPECT_EQ(openStatus(bundleOf(BundleFormat::TarGzip, manifestOf({ImageEntry()}))), kInvalid);
    // An mtree description names files on the local disk; it is not an archive format here.
    const std::string mtree =
        "#mtree\nmanifest.json type=file contents=" ZY_FWEXTRACT_TEST_MANIFEST "\n";
    EXPECT_EQ(openStatus(zytest::bytesOf(mtree)), kInvalid);
}

TEST(BundleArchive, ManifestMustBeNamedExactly) {
    const std::string manifest = manifestOf({ImageEntry()});
    for (const char* path : {"./manifest.json", "Manifest.json", "dir/manifest.json"}) {
        EXPECT_EQ(openStatus(bundleOf(BundleFormat::Tar, manifest, zytest::standardImages(), path)),
                  kMissing)
            << path;
    }
    // The manifest need not come first.
    auto files = zytest::standardImages();
    files.push_back({"manifest.json", zytest::bytesOf(manifest)});
    EXPECT_EQ(openStatus(zyostrel::bundletool::writeBundle(BundleFormat::ZipDeflated, files)), 0);
}

TEST(BundleArchive, ManifestMustBeJson) {
    EXPECT_EQ(openStatus(bundleOf(BundleFormat::Tar, "{\"version\":1,")), kNotJson);
    const auto bytes = bundleOf(BundleFormat::Tar, "[");
    EXPECT_NE(openStatus(bytes).elaboration.find("jsonErrorsInvalidJSON"), std::string::npos);
}

TEST(BundleArchive, ManifestFailingItsArchiveChecksumIsCorrupt) {
    // A stored zip entry whose bytes no longer match the CRC in its header: the reader only
    // warns at the end of the data, again at every further read, and that must end the read.
    auto bytes = bundleOf(BundleFormat::ZipStored, manifestOf({ImageEntry()}));
    const std::string marker = "{\"version\":7";
    const auto at = std::search(bytes.begin(), bytes.end(), marker.begin(), marker.end());
    ASSERT_NE(at, bytes.end());
    *(at + static_cast<long>(marker.size()) - 1) = '8';
    EXPECT_EQ(openStatus(bytes), kCorrupt);
}

TEST(ManifestNumbers, VersionsAreUnsigned32BitWithTheFractionDropped) {
    auto versionOf = [](const std::string& text) -> std::pair<int32_t, uint32_t> {
        uint32_t version = 0;
        const zytest::Thrown status = statusOf([&] {
            const auto bytes = bundleOf(BundleFormat::Tar, manifestOf({ImageEntry()}, text));
            version = FirmwareBundle(bytes.data(), bytes.size()).getBundleVersion();
        });
        return {status.code, version};
    };
    EXPECT_EQ(versionOf("4294967295"), std::make_pair(0, 4294967295u));
    EXPECT_EQ(versionOf("-0.5"), std::make_pair(0, 0u));
    EXPECT_EQ(versionOf("4294967295.5"), std::make_pair(0, 4294967295u));
    EXPECT_EQ(versionOf("4294967296").first, kInvalid);
    EXPECT_EQ(versionOf("-1").first, kInvalid);
    EXPECT_EQ(versionOf("1e999").first, kInvalid);
    EXPECT_EQ(versionOf("\"7\"").first, kTypeMismatch);
    Opened opened(bundleOf(BundleFormat::Tar, "{\"firmwares\":{}}"));
    EXPECT_EQ(statusOf([&] { opened.bundle.getBundleVersion(); }), kNotFound);
}

TEST(ManifestLookup, MemberNamesIgnoreCaseWhileValuesDoNot) {
    std::string manifest = manifestOf({ImageEntry()});
    manifest.replace(manifest.find("\"firmwares\""), 11, "\"Firmwares\"");
    manifest.replace(manifest.find("\"version\""), 9, "\"VERSION\"");
    Opened opened(bundleOf(BundleFormat::ZipStored, manifest));
    EXPECT_EQ(opened.bundle.getBundleVersion(), 7u);
    EXPECT_EQ(opened.bundle.listImageNames(kDevice), std::vector<std::string>{"fpga"});
    EXPECT_EQ(opened.extract("FPGA"), kInvalid);
}

// Of a duplicate name, the first entry is the one extracted.
TEST(ManifestLookup, ListsNamesInManifestOrderAndExtractsTheFirstOfADuplicate) {
    Opened opened(bundleOf(BundleFormat::Tar, manifestOf({entryNamed("b", "images/cpld.jed"),
                                                          entryNamed("a", "images/fpga.bit"),
                                                          entryNamed("b", "images/empty.bin")})));
    EXPECT_EQ(opened.bundle.listImageNames(kDevice), (std::vector<std::string>{"b", "a", "b"}));
    EXPECT_EQ(statusOf([&] { opened.bundle.listImageNames("other-device"); }), kInvalid);
    ASSERT_EQ(opened.extract("b"), 0);
    EXPECT_EQ(opened.data, imageBytes("images/cpld.jed"));
}

TEST(ManifestLookup, DeviceValuesThatAreNotListsAreHandledByKind) {
    auto listStatus = [](const std::string& firmwares) {
        Opened opened(
            bundleOf(BundleFormat::Tar, "{\"version\":1,\"firmwares\":" + firmwares + "}"));
        std::vector<std::string> names{"sentinel"};
        const zytest::Thrown status = statusOf([&] { names = opened.bundle.listImageNames("d"); });
        return std::make_pair(status.code, names.size());
    };
    EXPECT_EQ(listStatus("{\"d\":5}"), std::make_pair(0, std::size_t{0}));
    EXPECT_EQ(listStatus("{\"d\":{}}"), std::make_pair(0, std::size_t{0}));
    EXPECT_EQ(listStatus("{\"d\":{\"name\":\"x\"}}").first, kTypeMismatch);
    EXPECT_EQ(listStatus("{\"d\":[{\"title\":\"x\"}]}").first, kNotFound);
    EXPECT_EQ(listStatus("{\"d\":[7]}").first, kTypeMismatch);
    EXPECT_EQ(listStatus("[1]").first, kInvalid);
    EXPECT_EQ(listStatus("{}").first, kInvalid);
}

TEST(ImageExtraction, EmptyImageHasTheDigestOfNoData) {
    Opened opened(
        bundleOf(BundleFormat::ZipDeflated, manifestOf({entryNamed("empty", "images/empty.bin")})));
    opened.data = {1, 2, 3};
    ASSERT_EQ(opened.extract("empty"), 0);
    EXPECT_TRUE(opened.data.empty());
    // Lower case, in digest order.
    EXPECT_EQ(zyostrel::fwextract::sha256Hex(opened.data),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

TEST(ImageExtraction, DigestMustMatchInLowerCase) {
    std::string upper = zyostrel::bundletool::sha256Of(imageBytes("images/fpga.bit"));
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    ImageEntry entry;
    entry["sha256sum"] = "\"" + upper + "\"";
    entry["defaultload"] = "true";
    Opened opened(bundleOf(BundleFormat::Tar, manifestOf({entry})));
    opened.data = {9};
    uint32_t version = 99;
    std::string identifier = "unchanged";
    bool defaultload = false;
    EXPECT_EQ(statusOf([&] {
                  opened.bundle.extractImage(kDevice, "fpga", opened.data, &version, nullptr,
                                             nullptr, &identifier, &defaultload);
              }),
              kInvalid);
    EXPECT_TRUE(opened.data.empty());
    EXPECT_EQ(version, 99u);
    EXPECT_EQ(identifier, "unchanged");
    EXPECT_TRUE(defaultload);  // written as soon as the entry was read
}

TEST(ImageExtraction, DefaultloadIsWrittenOnlyFromABoolean) {
    auto defaultloadOf = [](const std::string& value, bool initial) {
        ImageEntry entry;
        entry["defaultload"] = value;
        Opened opened(bundleOf(BundleFormat::Tar, manifestOf({entry})));
        bool defaultload = initial;
        opened.bundle.extractImage(kDevice, "fpga", opened.data, nullptr, nullptr, nullptr, nullptr,
                                   &defaultload);
        return defaultload;
    };
    EXPECT_FALSE(defaultloadOf("false", true));
    EXPECT_FALSE(defaultloadOf("\"true\"", false));
    EXPECT_TRUE(defaultloadOf("", true));
}

TEST(ImageExtraction, EntryMembersAreCheckedBeforeTheArchiveIsRead) {
    struct Row {
        const char* name;
        void (*change)(ImageEntry&);
        int32_t status;
    };
    const Row rows[] = {
        // An unknown type is found before the board is read.
        {"type", [](ImageEntry& e) { e["type"] = "\"Bitfile\"", e["board"] = ""; }, kInvalid},
        {"board", [](ImageEntry& e) { e["board"] = "\"carrier\""; }, kInvalid},
        {"identifier", [](ImageEntry& e) { e["identifier"] = ""; }, kNotFound},
        {"version text", [](ImageEntry& e) { e["version"] = "\"3\""; }, kTypeMismatch},
        {"negative version", [](ImageEntry& e) { e["version"] = "-3"; }, kInvalid},
        {"path", [](ImageEntry& e) { e["path"] = "17"; }, kTypeMismatch},
        // The archive path is matched exactly, letter case included.
        {"path case", [](ImageEntry& e) { e["path"] = "\"Images/fpga.bit\""; }, kMissing},
        {"digest",
         [](ImageEntry& e) { e["sha256sum"] = "null", e["path"] = "\"not in the archive\""; },
         kTypeMismatch},
    };
    for (const Row& row : rows) {
        ImageEntry entry;
        row.change(entry);
        EXPECT_EQ(Opened(bundleOf(BundleFormat::Tar, manifestOf({entry}))).extract("fpga"),
                  row.status)
            << row.name;
    }
}

TEST(OamFlashInfo, ReadsTheFlashDescription) {
    auto infoStatus = [](const std::string& type, const std::string& info) {
        ImageEntry entry = entryNamed("oam", "oam/flash.bin");
        entry["type"] = type;
        entry["board"] = "\"oam\"";
        entry["oam_fpga_flash_info"] = info;
        Opened opened(bundleOf(BundleFormat::ZipStored, manifestOf({entry})));
        zyostrel::fwextract::OamFlashInfo result;
        const zytest::Thrown status =
            statusOf([&] { result = opened.bundle.getOamFlashInfo(kDevice, "oam"); });
        return std::make_pair(status, result);
    };
    const std::string rest = ",\"fpga_image_crc_low\":17,\"fpga_image_revision\":3}";
    const std::string good = "{\"fpga_index\":255.9,\"fpga_image_crc_high\":4294967295" + rest;
    const auto [status, info] = infoStatus("\"oamFpgaFlash\"", good);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(info.fpgaIndex, 255);
    EXPECT_EQ(info.crcHigh, 4294967295u);
    EXPECT_EQ(info.crcLow, 17u);
    EXPECT_EQ(info.revision, 3u);

    EXPECT_EQ(infoStatus("\"bitfile\"", good).first, kInvalid);
    for (const std::string& bad :
         {std::string(), std::string("[]"), std::string("{\"fpga_index\":1}"),
          "{\"fpga_index\":256,\"fpga_image_crc_high\":1" + rest,
          "{\"fpga_index\":1,\"fpga_image_crc_high\":\"1\"" + rest}) {
        EXPECT_EQ(infoStatus("\"oamFpgaFlash\"", bad).first, kInvalid) << bad;
    }
}

// A tar entry with holes (GNU sparse form) must be refused: appending its data blocks one
// after the other would close the holes and hand back bytes the file does not hold.
void putOctal(uint8_t* header, std::size_t at, std::size_t width, uint64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*llo", static_cast<int>(width - 1),
                  static_cast<unsigned long long>(value));
    std::memcpy(header + at, text, width - 1);
}

TEST(SparseEntry, HoleInTheImageIsCorruptNotClosed) {
    const std::vector<uint8_t> stored(10, 0x5A);
    std::vector<uint8_t> whole(8192, 0);  // the file as it stands, holes read as zeros
    std::copy(stored.begin(), stored.end(), whole.begin() + 4096);
    const std::string manifest =
        manifestOf({ImageEntry()}, "7", kDevice, {{"images/fpga.bit", whole}});
    auto archive = bundleOf(BundleFormat::Tar, manifest, {{"images/fpga.bit", stored}});

    // Turn the image's header into the GNU layout with a sparse map of one extent.
    const std::string name("images/fpga.bit\0", 16);  // the header's, not the manifest's
    const auto at = std::search(archive.begin(), archive.end(), name.begin(), name.end());
    ASSERT_NE(at, archive.end());
    uint8_t* header = &*at;
    header[156] = 'S';
    std::memcpy(header + 257, "ustar  ", 8);
    putOctal(header, 386, 12, 4096);
    putOctal(header, 398, 12, stored.size());
    putOctal(header, 483, 12, whole.size());
    std::memset(header + 148, ' ', 8);
    unsigned sum = 0;
    for (std::size_t i = 0; i < 512; ++i) sum += header[i];
    putOctal(header, 148, 7, sum);

    Opened opened(archive);
    opened.data = {1};
    EXPECT_EQ(opened.extract("fpga"), kCorrupt);
    EXPECT_TRUE(opened.data.empty());
    EXPECT_EQ(opened.bundle.listImageNames(kDevice).size(), 1u);  // still usable
}

}  // namespace
