// Flash of one emulated instrument: the three FPGA image slots with their stored bitfile
// metadata and autoload flags, the stored bundle version and the adapter module's FPGA flash.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zyemu {

class Instrument;

struct FlashSlot {
    bool holdsImage = false;
    std::string metadata;  // the bitfile document of the image
    uint8_t autoload = 0;
};

struct AdapterFpgaFlash {
    uint32_t revision = 1;
    uint32_t crcHigh = 0;
    uint32_t crcLow = 0;
    std::vector<uint8_t> image;
};

inline constexpr uint32_t kFlashSlotCount = 3;
inline constexpr uint32_t kGoldenSlot = 0;
inline constexpr uint32_t kDefaultSlot = 1;
inline constexpr uint8_t kAdapterFpgaCount = 2;

struct FlashState {
    FlashState();

    bool loaded = false;  // read from the state directory (or found absent there)
    std::array<FlashSlot, kFlashSlotCount> slots;
    uint32_t bundleVersion = 0;
    std::array<AdapterFpgaFlash, kAdapterFpgaCount> adapterFpgas;
    uint32_t writeMilliseconds = 0;  // time one slot or adapter flash write takes
    // Counters for tests: writes done, and golden writes made while the default slot could
    // not have brought the instrument up (no image, or autoload clear).
    uint32_t slotWrites = 0;
    uint32_t adapterWrites = 0;
    uint32_t unprotectedGoldenWrites = 0;
};

// The instrument's flash, read from the state directory on first use.
FlashState& flashOf(Instrument& instrument);
// Writes the instrument's flash to the state directory, when one is set.
void saveFlash(Instrument& instrument);

// The bitfile the instruments ship with in their golden and default slots.
const std::string& factoryBitfile();

// The revision an adapter FPGA reports for an image: its first four bytes, little-endian
// (0 for a shorter image). Images built for the emulator carry their revision there.
uint32_t revisionOfImage(const std::vector<uint8_t>& image);

// The directory where flash content is kept between processes; "" for none.
void setFlashStateDirectory(const std::string& path);
std::string flashStateDirectory();

}  // namespace zyemu
