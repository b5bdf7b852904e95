// Exported firmware update entry points.
#include "zyostrelapi.h"

#include "firmware/FirmwareUpdateRegistry.h"
#include "firmware/OstrelFirmwareDevice.h"
#include "status/EntryPoint.h"

using zyerr::callBoundary;
namespace firmware = zyostrel::firmware;

static_assert(ZYOSTREL_FIRMWARE_MAX_IMAGE_SIZE == zyostrel::fwextract::kMostImageBytes);
static_assert(ZYOSTREL_FIRMWARE_MAX_MANIFEST_SIZE == zyostrel::fwextract::kMostManifestBytes);

extern "C" {

int32_t zyOstrel_UpdateFirmware(const char* resourceName, const char* deviceKey, size_t bundleSize,
                                const uint8_t* bundle, uint8_t force) {
    if (resourceName == nullptr || deviceKey == nullptr) return ZYOSTREL_Status_InvalidParameter;
    return callBoundary([&] {
        const auto record = firmware::FirmwareUpdateRegistry::instance().start(resourceName);
        if (record == nullptr) return int32_t{ZYOSTREL_Status_FirmwareUpdateBusy};
        firmware::OstrelFirmwareDevice device(*record, resourceName, deviceKey, force != 0);
        return device.updateDevice(bundle, bundleSize);
    });
}

int32_t zyOstrel_GetFirmwareUpdateProgress(const char* resourceName, uint32_t* progressPercent,
                                           uint8_t* inProgress, uint8_t* failed) {
    if (resourceName == nullptr || progressPercent == nullptr || inProgress == nullptr ||
        failed == nullptr) {
        return ZYOSTREL_Status_InvalidParameter;
    }
    return callBoundary([&] {
        firmware::UpdateProgress progress;
        const bool found =
            firmware::FirmwareUpdateRegistry::instance().collect(resourceName, progress);
        *progressPercent = progress.progressPercent;
        *inProgress = progress.inProgress ? 1 : 0;
        *failed = progress.failed ? 1 : 0;
        return found ? 0 : int32_t{ZYOSTREL_Status_NoFirmwareUpdate};
    });
}

}  // extern "C"
