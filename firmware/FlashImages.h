// Flash image slots, bitfile metadata and the adapter module's FPGA flash: one or two direct
// functions each, returning the runtime's or the device's status unchanged.
#pragma once

#include <cstddef>
#include <cstdint>

#include "firmware/FlashRecords.h"

namespace zyostrel::firmware {

int32_t setSlotAutoload(uint32_t session, FlashImageSlot slot, bool autoload);
// autoload is written whatever the status (0 unless the device answered).
int32_t getSlotAutoload(uint32_t session, FlashImageSlot slot, uint8_t& autoload);
int32_t clearSlot(uint32_t session, FlashImageSlot slot);
int32_t promoteSession(uint32_t session, uint32_t slot);
int32_t readBundleVersion(uint32_t session, uint32_t& version);
int32_t writeBundleVersion(uint32_t session, uint32_t version);

// -304451 when the user slot holds no image.
int32_t setUserAutoload(uint32_t session, int32_t autoload);

// The two-call metadata protocol: with a null buffer the size is stored in *size; with a
// buffer, *size bytes are asked for. Neither size nor buffer: -52005.
int32_t getRunningMetadata(uint32_t session, std::size_t* size, void* buffer);
int32_t getSlotMetadata(uint32_t session, uint32_t slot, std::size_t* size, void* buffer);

// revision is written whatever the status (0 unless the device answered).
int32_t getOamFpgaRevision(uint32_t session, uint8_t fpgaIndex, uint32_t& revision);
// -52005 for a null image or a size the record cannot state; -304017 out of memory.
int32_t writeOamFpgaFlash(uint32_t session, uint8_t fpgaIndex, uint32_t crcHigh, uint32_t crcLow,
                          const void* image, std::size_t size);

// A simulated session gets -1 without the runtime being called.
int32_t getTreeSerialization(uint32_t session, uint32_t argument, void* buffer, std::size_t size);

}  // namespace zyostrel::firmware
