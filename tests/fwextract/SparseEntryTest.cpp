// A tar entry with holes (GNU sparse form) must be refused: appending its data blocks one
// after the other would close the holes and hand back bytes the file does not hold.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fwextract/BundleFixtures.h"
#include "status/StatusCodes.h"

namespace {

using zyostrel::fwextract::FirmwareBundle;
using zytest::statusOf;

constexpr std::size_t kBlock = 512;

void putOctal(std::vector<uint8_t>& header, std::size_t at, std::size_t width, uint64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*llo", static_cast<int>(width - 1),
                  static_cast<unsigned long long>(value));
    std::memcpy(header.data() + at, text, width - 1);
}

// One header block in the GNU layout; typeflag 'S' carries a sparse map of one extent.
std::vector<uint8_t> tarHeader(const std::string& name, char typeflag, uint64_t storedSize,
                               uint64_t extentOffset = 0, uint64_t realSize = 0) {
    std::vector<uint8_t> header(kBlock, 0);
    std::memcpy(header.data(), name.data(), name.size());
    putOctal(header, 100, 8, 0644);
    putOctal(header, 124, 12, storedSize);
    header[156] = static_cast<uint8_t>(typeflag);
    std::memcpy(header.data() + 257, "ustar  ", 8);
    if (typeflag == 'S') {
        putOctal(header, 386, 12, extentOffset);
        putOctal(header, 398, 12, storedSize);
        putOctal(header, 483, 12, realSize);
    }
    std::memset(header.data() + 148, ' ', 8);
    unsigned sum = 0;
    for (uint8_t byte : header) sum += byte;
    char checksum[8];
    std::snprintf(checksum, sizeof checksum, "%06o", sum);
    std::memcpy(header.data() + 148, checksum, 7);
    return header;
}

void appendPadded(std::vector<uint8_t>& archive, const std::vector<uint8_t>& data) {
    archive.insert(archive.end(), data.begin(), data.end());
    archive.resize((archive.size() + kBlock - 1) / kBlock * kBlock, 0);
}

TEST(SparseEntry, HoleInTheImageIsCorruptNotClosed) {
    const std::vector<uint8_t> stored(10, 0x5A);
    std::vector<uint8_t> whole(8192, 0);  // the file as it stands, holes read as zeros
    std::copy(stored.begin(), stored.end(), whole.begin() + 4096);

    zytest::ImageEntry entry;
    entry.path = "\"images/fpga.bit\"";
    const std::string manifest =
        zytest::manifestOf({entry}, "7", "ostrel-7976", {{"images/fpga.bit", whole}});

    std::vector<uint8_t> archive;
    appendPadded(archive, tarHeader("manifest.json", '0', manifest.size()));
    appendPadded(archive, std::vector<uint8_t>(manifest.begin(), manifest.end()));
    appendPadded(archive, tarHeader("images/fpga.bit", 'S', stored.size(), 4096, whole.size()));
    appendPadded(archive, stored);
    archive.resize(archive.size() + 2 * kBlock, 0);

    FirmwareBundle bundle(archive.data(), archive.size());
    std::vector<uint8_t> data{1};
    EXPECT_EQ(statusOf([&] { bundle.extractImage("ostrel-7976", "fpga", data); }),
              zyerr::codes::CorruptFirmwareBundle);
    EXPECT_TRUE(data.empty());
    EXPECT_EQ(bundle.listImageNames("ostrel-7976").size(), 1u);  // still usable
}

}  // namespace
