// Exported flash-image, bitfile-metadata and adapter-flash entry points. Each checks the
// pointers it requires, then runs its work through the exception boundary.
#include "zyostrelapi.h"

#include "firmware/FlashImages.h"
#include "status/EntryPoint.h"

using zyerr::callBoundary;
namespace firmware = zyostrel::firmware;
using firmware::FlashImageSlot;

extern "C" {

int32_t zyOstrel_SetUserAutoloadFlag(uint32_t session, int32_t autoload) {
    return callBoundary([&] { return firmware::setUserAutoload(session, autoload); });
}

int32_t zyOstrel_ClearUserImage(uint32_t session) {
    return callBoundary([&] { return firmware::clearSlot(session, FlashImageSlot::User); });
}

int32_t ostrel_PromoteSessionToFlash(uint32_t session, uint32_t slot) {
    return callBoundary([&] { return firmware::promoteSession(session, slot); });
}

int32_t zyOstrel_PromoteSessionToUserImage(uint32_t session) {
    return ostrel_PromoteSessionToFlash(session, static_cast<uint32_t>(FlashImageSlot::User));
}

int32_t zyOstrel_GetBitfileMetadata(uint32_t session, size_t* size, void* buffer) {
    return callBoundary([&] { return firmware::getRunningMetadata(session, size, buffer); });
}

int32_t zyOstrel_GetBitfileMetadataFromFlash(uint32_t session, uint32_t slot, size_t* size,
                                             void* buffer) {
    return callBoundary([&] { return firmware::getSlotMetadata(session, slot, size, buffer); });
}

int32_t zyOstrel_GetOamFpgaRevision(uint32_t session, uint8_t fpgaIndex, uint32_t* revision) {
    if (revision == nullptr) return ZYOSTREL_Status_InvalidParameter;
    return callBoundary(
        [&] { return firmware::getOamFpgaRevision(session, fpgaIndex, *revision); });
}

int32_t zyOstrel_WriteOamFpgaFlash(uint32_t session, uint8_t fpgaIndex, uint32_t crcHigh,
                                   uint32_t crcLow, const void* image, size_t size) {
    return callBoundary([&] {
        return firmware::writeOamFpgaFlash(session, fpgaIndex, crcHigh, crcLow, image, size);
    });
}

int32_t ostrel_GetTreeSerialization(uint32_t session, uint32_t argument, void* buffer,
                                    size_t size) {
    return callBoundary(
        [&] { return firmware::getTreeSerialization(session, argument, buffer, size); });
}

}  // extern "C"
