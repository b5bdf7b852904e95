// Reads a firmware bundle without writing anything: its manifest and, for every entry, the
// size and SHA-256 digest, so the tool can show what an update would use and check the
// digests. The archive is read as the library reads it: every format libarchive reads, no
// compression filter, entries matched by their exact path (the first of a path counts).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace ostrel {

struct BundleEntry {
    uint64_t size = 0;
    std::string sha256;     // 64 lower-case hexadecimal digits
    bool tooLarge = false;  // passed the library's bound on an image; not read further
    bool sparse = false;    // holes in the entry, which the library refuses; not read
};

struct BundleContents {
    std::string format;  // the archive format, as libarchive names it
    std::string manifest;
    std::map<std::string, BundleEntry> entries;  // by path, "manifest.json" included
};

// Throws a Failure: ZYOSTREL_Status_InvalidFirmwareBundle (not an archive, a manifest beyond
// its bound), ZYOSTREL_Status_CorruptFirmwareBundle (unreadable entry data) or
// ZYOSTREL_Status_FileMissingInFirmwareBundle (no "manifest.json").
BundleContents readBundle(const std::vector<uint8_t>& bytes);

}  // namespace ostrel
