// Bundles for the tests: a manifest text and image files written by the bundle builder.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "BundleWriter.h"
#include "firmware/fwextract/FirmwareExtract.h"
#include "tests/status/StatusExpect.h"

namespace zytest {

using zyostrel::bundletool::BundleFile;
using zyostrel::bundletool::BundleFormat;

inline std::vector<uint8_t> bytesOf(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// One image entry of a manifest; fields set to "" are left out, others are written as JSON
// values exactly as given (strings must carry their quotes).
struct ImageEntry {
    std::string name = "\"fpga\"";
    std::string version = "3";
    std::string path = "\"images/fpga.bit\"";
    std::string sha256sum;  // filled from the file at path when empty
    std::string type = "\"bitfile\"";
    std::string board = "\"base\"";
    std::string identifier = "\"default_bitfile\"";
    std::string extra;  // further members, with a leading comma

    std::string json(const std::string& digest) const {
        const std::pair<const char*, std::string> members[] = {
            {"name", name},
            {"version", version},
            {"path", path},
            {"sha256sum", sha256sum.empty() ? "\"" + digest + "\"" : sha256sum},
            {"type", type},
            {"board", board},
            {"identifier", identifier}};
        std::string text = "{";
        for (const auto& [key, value] : members) {
            if (!value.empty())
                text += (text.size() > 1 ? ",\"" : "\"") + std::string(key) + "\":" + value;
        }
        return text + extra + "}";
    }
};

// The image files every bundle of the tests carries. The FPGA image spans several 64 KiB
// pieces with a ragged tail, in a pattern that does not repeat at any power of two.
inline std::vector<BundleFile> standardImages() {
    std::vector<uint8_t> fpga(3 * 65536 + 4321);
    uint32_t state = 12345;
    for (uint8_t& byte : fpga) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<uint8_t>(state >> 23);
    }
    return {{"images/fpga.bit", fpga},
            {"images/cpld.jed", bytesOf("CPLD image")},
            {"images/empty.bin", {}},
            {"oam/flash.bin", bytesOf("adapter flash image")}};
}

// A manifest listing entries for device; each entry without a "sha256sum" of its own gets the
// digest of the file at its path (64 zeros when there is none).
inline std::string manifestOf(const std::vector<ImageEntry>& entries,
                              const std::string& version = "7",
                              const std::string& device = "ostrel-7976",
                              const std::vector<BundleFile>& files = standardImages()) {
    std::string list;
    for (const ImageEntry& entry : entries) {
        std::string digest(64, '0');
        for (const BundleFile& file : files) {
            if ("\"" + file.path + "\"" == entry.path)
                digest = zyostrel::bundletool::sha256Of(file.bytes);
        }
        if (!list.empty()) list += ",";
        list += entry.json(digest);
    }
    return "{\"version\":" + version + ",\"firmwares\":{\"" + device + "\":[" + list + "]}}";
}

// A bundle with manifest first, then the files.
inline std::vector<uint8_t> bundleOf(BundleFormat format, const std::string& manifest,
                                     const std::vector<BundleFile>& files = standardImages(),
                                     const std::string& manifestPath = "manifest.json") {
    std::vector<BundleFile> all = {{manifestPath, bytesOf(manifest)}};
    all.insert(all.end(), files.begin(), files.end());
    return zyostrel::bundletool::writeBundle(format, all);
}

// What body threw, compared as a status code; a mismatch prints the elaboration too.
inline Thrown statusOf(const std::function<void()>& body) { return thrownBy(body); }

}  // namespace zytest
