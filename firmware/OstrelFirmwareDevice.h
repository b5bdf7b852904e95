// One firmware update of one device: reads the bundle, compares each image with what the
// device's flash holds and writes what differs, through short-lived sessions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "firmware/FirmwareUpdateRegistry.h"
#include "firmware/FlashRecords.h"
#include "firmware/fwextract/FirmwareExtract.h"

namespace zyrask {
class Bitfile;
}

namespace zyostrel::firmware {

class OstrelFirmwareDevice {
public:
    OstrelFirmwareDevice(FirmwareUpdateDevice& record, std::string resourceName,
                         std::string deviceKey, bool force);

    // Runs the whole update and returns its status; the record ends with inProgress false and
    // progress 100 on every path, failed set unless the status is 0.
    int32_t updateDevice(const uint8_t* bundle, std::size_t size) noexcept;

private:
    int32_t runUpdate(const uint8_t* bundle, std::size_t size);
    uint32_t readStoredBundleVersion();
    void writeStoredBundleVersion(uint32_t version);
    void updateImage(const std::string& name);
    void updateAdapterFlash(const std::string& name, std::vector<uint8_t>& data);
    void writeBitfileImage(const std::string& text, FlashImageSlot slot, bool autoload,
                           bool slotKnownEmpty = false);
    void writeSessionToSlot(uint32_t session, const std::string& text, FlashImageSlot slot,
                            bool autoload);
    bool flashHoldsSameBitfile(uint32_t session, const std::string& text, FlashImageSlot slot);
    std::shared_ptr<const zyrask::Bitfile> readFlashBitfile(uint32_t session, FlashImageSlot slot,
                                                            int32_t& status);
    // Takes a step's status while the update's is still 0 (the first failure wins).
    void merge(int32_t stepStatus) {
        if (status_ == 0) status_ = stepStatus;
    }

    FirmwareUpdateDevice& record_;
    const std::string resourceName_;
    const std::string deviceKey_;
    const bool force_;
    int32_t status_ = 0;
    std::unique_ptr<fwextract::FirmwareBundle> bundle_;
};

}  // namespace zyostrel::firmware
