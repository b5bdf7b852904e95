// The firmware bundle: an archive held in memory with a "manifest.json" that lists, per
// device, the images to write. Read only; every failure is a thrown zyerr::Exception.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "firmware/fwextract/ArchiveReader.h"
#include "firmware/fwextract/JsonAccess.h"

namespace zyostrel::fwextract {

// The most bytes one image may expand to. The largest configuration flash of these instruments
// holds 256 MiB; an entry that would expand beyond this is refused before it can exhaust memory.
constexpr std::size_t kMostImageBytes = std::size_t{1} << 30;

// The most bytes "manifest.json" may expand to: a manifest lists a few dozen images in a few
// KiB, so anything near this bound is not a manifest.
constexpr std::size_t kMostManifestBytes = std::size_t{1} << 20;

enum class FirmwareImageType : uint32_t {
    Bitfile = 0,
    Cpld = 1,
    Eeprom = 2,
    Xmega = 3,
    OamFpgaFlash = 4,
};

enum class FirmwareBoard : uint32_t { Base = 0, Oam = 1 };

struct OamFlashInfo {
    uint8_t fpgaIndex = 0;
    uint32_t crcHigh = 0;
    uint32_t crcLow = 0;
    uint32_t revision = 0;
};

// SHA-256 of bytes as 64 lower-case hexadecimal digits.
std::string sha256Hex(const std::vector<uint8_t>& bytes);
std::string sha256Hex(const uint8_t* bytes, std::size_t size);

class FirmwareBundle {
public:
    // Copies the bytes, proves they are an archive and reads and parses "manifest.json".
    // -304431 empty or not an archive, or a manifest beyond kMostManifestBytes; -304433 no
    // manifest; -304432 manifest unreadable or longer than its header declares; -52005
    // manifest not JSON; -304017 out of memory.
    FirmwareBundle(const uint8_t* bytes, std::size_t size);
    FirmwareBundle(const FirmwareBundle&) = delete;
    FirmwareBundle& operator=(const FirmwareBundle&) = delete;
    ~FirmwareBundle();

    // The root "version" (unsigned 32-bit).
    uint32_t getBundleVersion() const;

    // The "name" of each image entry of deviceKey, in manifest order.
    std::vector<std::string> listImageNames(const std::string& deviceKey) const;

    // The verified bytes of the image called name. data is emptied first and left empty on
    // failure; the other outputs are optional and written only on success, except defaultload,
    // written as soon as the entry is found to carry a boolean "defaultload". An image beyond
    // kMostImageBytes is -304431 and one longer than its header declares -304432, both found
    // before more than the bound is read; running out of memory is -304017. The bundle stays
    // usable after every failure.
    void extractImage(const std::string& deviceKey, const std::string& name,
                      std::vector<uint8_t>& data, uint32_t* version = nullptr,
                      FirmwareImageType* type = nullptr, FirmwareBoard* board = nullptr,
                      std::string* identifier = nullptr, bool* defaultload = nullptr);

    // Flash description of an adapter-module FPGA image; -304431 for any other image type or
    // a missing or mistyped member.
    OamFlashInfo getOamFlashInfo(const std::string& deviceKey, const std::string& name) const;

    const std::vector<uint8_t>& manifestText() const { return manifestText_; }

private:
    // Replaces the reader by a fresh one over the bundle bytes.
    ArchiveReader& freshReader(bool checkEntryChecksums = true);
    const cJSON& findImageEntry(const std::string& deviceKey, const std::string& name) const;

    std::vector<uint8_t> bytes_;
    std::unique_ptr<ArchiveReader> reader_;
    std::vector<uint8_t> manifestText_;
    json::Tree manifest_;
};

}  // namespace zyostrel::fwextract
