// Bundles for the tests: a manifest text and image files written by the bundle builder.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "BundleWriter.h"
#include "firmware/fwextract/FirmwareExtract.h"
#include "tests/status/StatusExpect.h"

namespace zytest {

using zyostrel::bundletool::BundleFile;
using zyostrel::bundletool::BundleFormat;

constexpr const char* kDevice = "ostrel-7976";

inline std::vector<uint8_t> bytesOf(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// One image entry of a manifest: members are written as JSON values exactly as given (strings
// must carry their quotes); members set to "" are left out.
struct ImageEntry : std::map<std::string, std::string> {
    ImageEntry()
        : map({{"name", "\"fpga\""},
               {"version", "3"},
               {"path", "\"images/fpga.bit\""},
               {"type", "\"bitfile\""},
               {"board", "\"base\""},
               {"identifier", "\"default_bitfile\""}}) {}
};

// The default entry under another name and path.
inline ImageEntry entryNamed(const std::string& name, const std::string& path) {
    ImageEntry entry;
    entry["name"] = "\"" + name + "\"";
    entry["path"] = "\"" + path + "\"";
    return entry;
}

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
    for (ImageEntry entry : entries) {
        if (entry["sha256sum"].empty()) {
            entry["sha256sum"] = "\"" + std::string(64, '0') + "\"";
            for (const BundleFile& file : files) {
                if ("\"" + file.path + "\"" == entry["path"])
                    entry["sha256sum"] = "\"" + zyostrel::bundletool::sha256Of(file.bytes) + "\"";
            }
        }
        std::string text;
        for (const auto& [key, value] : entry) {
            if (!value.empty()) text += (text.empty() ? "{\"" : ",\"") + key + "\":" + value;
        }
        list += (list.empty() ? "" : ",") + text + "}";
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

// What opening the bytes as a bundle threw.
inline Thrown openStatus(const std::vector<uint8_t>& bytes) {
    return statusOf(
        [&] { zyostrel::fwextract::FirmwareBundle bundle(bytes.data(), bytes.size()); });
}

}  // namespace zytest
