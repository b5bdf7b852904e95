// Control functions of the emulated flash.
#include <algorithm>
#include <cstring>

#include "../Emulator.h"
#include "FlashState.h"
#include "zyemu/control.h"

using zyemu::FlashState;

extern "C" {

ZYEMU_API int32_t zyemu_get_flash_state(const char* resource, ZyEmuFlashState* state) {
    if (state == nullptr) return ZYEMU_STATUS_INVALID_ARGUMENT;
    return zyemu::withInstrument(resource, [&](zyemu::Instrument& instrument) -> int32_t {
        const FlashState& flash = zyemu::flashOf(instrument);
        *state = ZyEmuFlashState{};
        state->bundleVersion = flash.bundleVersion;
        for (uint32_t i = 0; i < zyemu::kFlashSlotCount; ++i) {
            state->slotHoldsImage[i] = flash.slots[i].holdsImage ? 1 : 0;
            state->slotAutoload[i] = flash.slots[i].autoload;
            state->slotMetadataSize[i] = flash.slots[i].metadata.size();
        }
        for (uint32_t i = 0; i < zyemu::kAdapterFpgaCount; ++i) {
            state->adapterRevision[i] = flash.adapterFpgas[i].revision;
            state->adapterImageSize[i] = flash.adapterFpgas[i].image.size();
        }
        state->slotWrites = flash.slotWrites;
        state->adapterWrites = flash.adapterWrites;
        state->unprotectedGoldenWrites = flash.unprotectedGoldenWrites;
        return 0;
    });
}

ZYEMU_API int64_t zyemu_get_flash_metadata(const char* resource, uint32_t slot, char* metadata,
                                           size_t size) {
    if (slot >= zyemu::kFlashSlotCount) return ZYEMU_STATUS_INVALID_ARGUMENT;
    int64_t length = 0;
    const int32_t status =
        zyemu::withInstrument(resource, [&](zyemu::Instrument& instrument) -> int32_t {
            const std::string& text = zyemu::flashOf(instrument).slots[slot].metadata;
            if (metadata != nullptr)
                std::memcpy(metadata, text.data(), std::min(size, text.size()));
            length = static_cast<int64_t>(text.size());
            return 0;
        });
    return status != 0 ? status : length;
}

ZYEMU_API int32_t zyemu_set_flash_slot(const char* resource, uint32_t slot, const char* metadata,
                                       uint8_t autoload) {
    if (slot >= zyemu::kFlashSlotCount) return ZYEMU_STATUS_INVALID_ARGUMENT;
    return zyemu::withInstrument(resource, [&](zyemu::Instrument& instrument) -> int32_t {
        zyemu::FlashSlot& target = zyemu::flashOf(instrument).slots[slot];
        target = zyemu::FlashSlot{};
        if (metadata != nullptr) target = {true, metadata, autoload};
        zyemu::saveFlash(instrument);
        return 0;
    });
}

ZYEMU_API int32_t zyemu_set_flash_write_time(const char* resource, uint32_t milliseconds) {
    return zyemu::withInstrument(resource, [&](zyemu::Instrument& instrument) -> int32_t {
        zyemu::flashOf(instrument).writeMilliseconds = milliseconds;
        return 0;
    });
}

ZYEMU_API int32_t zyemu_set_flash_state_directory(const char* path) {
    return zyemu::guarded([&]() -> int32_t {
        zyemu::setFlashStateDirectory(path != nullptr ? path : "");
        return 0;
    });
}

}  // extern "C"
