#include "firmware/FlashImages.h"

#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "channel/CommandChannel.h"
#include "status/StatusCodes.h"

namespace zyostrel::firmware {
namespace {

constexpr uint32_t fn(FlashFunction function) noexcept { return static_cast<uint32_t>(function); }
constexpr uint32_t slotNumber(FlashImageSlot slot) noexcept { return static_cast<uint32_t>(slot); }

template <class Input>
int32_t sendInput(uint32_t session, FlashFunction function, const Input& input) {
    return channel::sendDirectCommand(session, fn(function), &input, sizeof input, nullptr, 0);
}

// The reply goes to output whatever the status, starting from zero.
template <class Output>
int32_t sendForReply(uint32_t session, FlashFunction function, const void* input,
                     std::size_t inputSize, Output& output) {
    Output reply{};
    const int32_t status =
        channel::sendDirectCommand(session, fn(function), input, inputSize, &reply, sizeof reply);
    output = reply;
    return status;
}

// The size call answers with a u32; the data call fills the caller's *size bytes. The size
// is asked for first even when a buffer is given, so that a slot the device cannot describe
// fails before the caller's buffer is touched.
int32_t twoCallMetadata(uint32_t session, FlashFunction sizeFunction, FlashFunction dataFunction,
                        const void* input, std::size_t inputSize, std::size_t* size, void* buffer) {
    if (size == nullptr) return zyerr::codes::InvalidParameter;
    uint32_t reply = 0;
    const int32_t status = sendForReply(session, sizeFunction, input, inputSize, reply);
    if (buffer == nullptr) {
        *size = reply;
        return status;
    }
    // A warning of the size call is kept, as every multi-step operation keeps its first one.
    int32_t result = 0;
    if (!channel::mergeStatus(result, status)) return result;
    channel::mergeStatus(result, channel::sendDirectCommand(session, fn(dataFunction), input,
                                                            inputSize, buffer, *size));
    return result;
}

}  // namespace

int32_t setSlotAutoload(uint32_t session, FlashImageSlot slot, bool autoload) {
    const SlotAutoloadRecord record{slotNumber(slot), autoload ? 1u : 0u};
    return sendInput(session, FlashFunction::SetAutoload, record);
}

int32_t getSlotAutoload(uint32_t session, FlashImageSlot slot, uint8_t& autoload) {
    const uint32_t number = slotNumber(slot);
    return sendForReply(session, FlashFunction::GetAutoload, &number, sizeof number, autoload);
}

int32_t clearSlot(uint32_t session, FlashImageSlot slot) {
    return sendInput(session, FlashFunction::ClearSlot, slotNumber(slot));
}

int32_t promoteSession(uint32_t session, uint32_t slot) {
    return sendInput(session, FlashFunction::PromoteSession, slot);
}

int32_t readBundleVersion(uint32_t session, uint32_t& version) {
    return sendForReply(session, FlashFunction::ReadBundleVersion, nullptr, 0, version);
}

int32_t writeBundleVersion(uint32_t session, uint32_t version) {
    return sendInput(session, FlashFunction::WriteBundleVersion, version);
}

int32_t setUserAutoload(uint32_t session, int32_t autoload) {
    const uint32_t user = slotNumber(FlashImageSlot::User);
    uint32_t size = 0;
    const int32_t status =
        sendForReply(session, FlashFunction::SlotMetadataSize, &user, sizeof user, size);
    if (status == zyerr::codes::UserImageMissing) return zyerr::codes::UserImageAutoloadUnavailable;
    if (status < 0) return status;
    return setSlotAutoload(session, FlashImageSlot::User, autoload != 0);
}

int32_t getRunningMetadata(uint32_t session, std::size_t* size, void* buffer) {
    return twoCallMetadata(session, FlashFunction::RunningMetadataSize,
                           FlashFunction::RunningMetadata, nullptr, 0, size, buffer);
}

int32_t getSlotMetadata(uint32_t session, uint32_t slot, std::size_t* size, void* buffer) {
    return twoCallMetadata(session, FlashFunction::SlotMetadataSize, FlashFunction::SlotMetadata,
                           &slot, sizeof slot, size, buffer);
}

int32_t getOamFpgaRevision(uint32_t session, uint8_t fpgaIndex, uint32_t& revision) {
    return sendForReply(session, FlashFunction::OamFpgaRevision, &fpgaIndex, sizeof fpgaIndex,
                        revision);
}

int32_t writeOamFpgaFlash(uint32_t session, uint8_t fpgaIndex, uint32_t crcHigh, uint32_t crcLow,
                          const void* image, std::size_t size) {
    // The record states the size in 32 bits: a larger image would be sent with a wrong size.
    if (image == nullptr || size > std::numeric_limits<uint32_t>::max()) {
        return zyerr::codes::InvalidParameter;
    }
    std::vector<uint8_t> record;
    try {
        record.resize(sizeof(OamFlashHeader) + size);
    } catch (const std::bad_alloc&) {
        return zyerr::codes::OutOfMemory;
    }
    const OamFlashHeader header{fpgaIndex, crcHigh, crcLow, static_cast<uint32_t>(size)};
    std::memcpy(record.data(), &header, sizeof header);
    if (size != 0) std::memcpy(record.data() + sizeof header, image, size);
    return channel::sendDirectCommand(session, fn(FlashFunction::WriteOamFpgaFlash), record.data(),
                                      record.size(), nullptr, 0);
}

int32_t getTreeSerialization(uint32_t session, uint32_t argument, void* buffer, std::size_t size) {
    const TreeSerializationRequest request{
        {channel::InterfaceId(channel::Interface::ConfigurationTree), kTreeSerializationMethod},
        argument};
    return channel::sendInterfaceCommand(session, &request, sizeof request, buffer, size);
}

}  // namespace zyostrel::firmware
