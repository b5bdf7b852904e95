// Firmware bundles for the update tests: a golden and a default bitfile and an adapter FPGA
// image, and helpers that run an update and collect its progress.
#pragma once

#include <string>
#include <tuple>
#include <vector>

#include "bitfile/BitfileDocuments.h"
#include "fwextract/BundleFixtures.h"
#include "support/EmulatorFixture.h"

namespace zytest {

constexpr const char* kResource = ZYEMU_RESOURCE_DEFAULT;

// A bitfile document whose signature is 32 copies of mark.
inline std::string bitfileSigned(char mark) {
    return replaced(DocumentParts().text(), "0123456789ABCDEF0123456789ABCDEF",
                    std::string(32, mark));
}

// An adapter FPGA image that reports revision once written: five bytes, so that it is padded.
inline std::vector<uint8_t> adapterImage(uint8_t revision) { return {revision, 0, 0, 0, 0xAA}; }

inline ImageEntry bitfileEntry(const std::string& name, const std::string& path) {
    ImageEntry entry = entryNamed(name, path);
    entry["identifier"] = "\"" + name + "\"";
    return entry;
}

inline ImageEntry adapterEntry(uint32_t manifestRevision) {
    ImageEntry entry = bitfileEntry("oam0", "oam/flash.bin");
    entry["type"] = "\"oamFpgaFlash\"";
    entry["board"] = "\"oam\"";
    entry["oam_fpga_flash_info"] =
        "{\"fpga_index\":0,\"fpga_image_crc_high\":1,\"fpga_image_crc_low\":2,"
        "\"fpga_image_revision\":" +
        std::to_string(manifestRevision) + "}";
    return entry;
}

struct UpdateBundle {
    std::vector<ImageEntry> entries = {bitfileEntry("golden_image", "golden.bit"),
                                       bitfileEntry("default_bitfile", "default.bit"),
                                       adapterEntry(5)};
    std::vector<BundleFile> files = {{"golden.bit", bytesOf(bitfileSigned('G'))},
                                     {"default.bit", bytesOf(bitfileSigned('D'))},
                                     {"oam/flash.bin", adapterImage(5)}};
    std::string version = "7";
    BundleFormat format = BundleFormat::ZipDeflated;

    std::vector<uint8_t> bytes() const {
        return bundleOf(format, manifestOf(entries, version, kDevice, files), files);
    }
};

// A progress query: its status, the percent, and the in-progress and failed flags.
using Progress = std::tuple<int32_t, uint32_t, int, int>;

inline Progress progressOf(const char* resource = kResource) {
    uint32_t percent = 0;
    uint8_t inProgress = 0, failed = 0;
    const int32_t status =
        zyOstrel_GetFirmwareUpdateProgress(resource, &percent, &inProgress, &failed);
    return {status, percent, inProgress, failed};
}

// What the first query after an update reports, then that the record is gone.
inline Progress endedAs(bool failed) { return {0, 100, 0, failed ? 1 : 0}; }
inline const Progress kCollected{ZYOSTREL_Status_NoFirmwareUpdate, 0, 0, 0};

inline int32_t updateWith(const std::vector<uint8_t>& bundle, bool force = false) {
    return zyOstrel_UpdateFirmware(kResource, kDevice, bundle.size(), bundle.data(), force ? 1 : 0);
}

inline ZyEmuFlashState flashState() {
    ZyEmuFlashState state{};
    zyemu_get_flash_state(kResource, &state);
    return state;
}

inline std::string slotText(uint32_t slot) {
    std::string text(static_cast<size_t>(zyemu_get_flash_metadata(kResource, slot, nullptr, 0)),
                     '\0');
    zyemu_get_flash_metadata(kResource, slot, &text[0], text.size());
    return text;
}

}  // namespace zytest
