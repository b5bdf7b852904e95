// Flash commands of the emulated instrument: slot metadata, autoload flags, promotion of a
// session's bitfile, clearing, the stored bundle version and the adapter FPGA flash.
#include <chrono>
#include <thread>

#include "../CommandRegistry.h"
#include "../Instrument.h"
#include "../Session.h"
#include "../StoredImages.h"
#include "FlashState.h"
#include "status/StatusCodes.h"
#include "zyemu/control.h"

namespace zyemu {
namespace {

// The daemon's answer for metadata of a slot that holds no image.
constexpr int32_t kSlotEmpty = zyerr::codes::UserImageMissing;
constexpr std::size_t kOamHeaderSize = 16;

FlashState& flash(CommandContext& context) { return flashOf(context.instrument); }

int32_t invalidValue(CommandContext& context, const char* usage, uint64_t value) {
    context.elaboration.addUsage(usage, value);
    return ZYEMU_STATUS_INVALID_VALUE;
}

// Reads the slot number at the start of the record; 0 when it names a slot.
int32_t readSlot(CommandContext& context, uint32_t& slot) {
    if (int32_t status = requireRecordSize(context, 4)) return status;
    context.input.read(0, slot);
    return slot < kFlashSlotCount ? 0 : invalidValue(context, "kUsageTypeFlashSlot", slot);
}

int32_t readFullSlot(CommandContext& context, const FlashSlot*& found) {
    uint32_t slot = 0;
    if (int32_t status = readSlot(context, slot)) return status;
    found = &flash(context).slots[slot];
    if (!found->holdsImage) {
        context.elaboration.addUsage("kUsageTypeFlashSlot", uint64_t{slot});
        return kSlotEmpty;
    }
    return 0;
}

// A write to flash takes the configured time; the instrument is busy meanwhile.
void takeWriteTime(CommandContext& context) {
    const uint32_t milliseconds = flash(context).writeMilliseconds;
    if (milliseconds != 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// The document the session runs: its bitfile, or for a stored image the slot's metadata.
const std::string& runningDocument(CommandContext& context) {
    const Session& session = context.session;
    if (session.source != ImageSource::StoredImage) return session.bitfileText;
    return flash(context).slots[storedImageSlot(session.image).value_or(1)].metadata;
}

int32_t replyMetadata(CommandContext& context, const std::string& document) {
    const std::size_t copied = std::min(context.reply.capacity(), document.size());
    context.reply.bytes(0, document.data(), copied);
    return 0;
}

int32_t replySize(CommandContext& context, const std::string& document) {
    if (int32_t status = requireReplySize(context, 4)) return status;
    context.reply.write(0, static_cast<uint32_t>(document.size()));
    return 0;
}

int32_t runningMetadataSize(CommandContext& context) {
    return replySize(context, runningDocument(context));
}

int32_t runningMetadata(CommandContext& context) {
    return replyMetadata(context, runningDocument(context));
}

int32_t slotMetadataSize(CommandContext& context) {
    const FlashSlot* slot = nullptr;
    if (int32_t status = readFullSlot(context, slot)) return status;
    return replySize(context, slot->metadata);
}

int32_t slotMetadata(CommandContext& context) {
    const FlashSlot* slot = nullptr;
    if (int32_t status = readFullSlot(context, slot)) return status;
    return replyMetadata(context, slot->metadata);
}

int32_t setAutoload(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, 8)) return status;
    uint32_t slot = 0;
    uint32_t autoload = 0;
    if (int32_t status = readSlot(context, slot)) return status;
    context.input.read(4, autoload);
    if (autoload > 1) return invalidValue(context, "kUsageTypeValue", autoload);
    flash(context).slots[slot].autoload = static_cast<uint8_t>(autoload);
    saveFlash(context.instrument);
    return 0;
}

int32_t getAutoload(CommandContext& context) {
    uint32_t slot = 0;
    if (int32_t status = readSlot(context, slot)) return status;
    if (int32_t status = requireReplySize(context, 1)) return status;
    context.reply.write(0, flash(context).slots[slot].autoload);
    return 0;
}

int32_t readBundleVersion(CommandContext& context) {
    if (int32_t status = requireReplySize(context, 4)) return status;
    context.reply.write(0, flash(context).bundleVersion);
    return 0;
}

int32_t writeBundleVersion(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, 4)) return status;
    context.input.read(0, flash(context).bundleVersion);
    saveFlash(context.instrument);
    return 0;
}

int32_t clearSlot(CommandContext& context) {
    uint32_t slot = 0;
    if (int32_t status = readSlot(context, slot)) return status;
    flash(context).slots[slot] = FlashSlot{};
    saveFlash(context.instrument);
    return 0;
}

// The slot keeps the bitfile the session was opened with, as its metadata.
int32_t promoteSession(CommandContext& context) {
    uint32_t slot = 0;
    if (int32_t status = readSlot(context, slot)) return status;
    FlashState& state = flash(context);
    const std::string document = runningDocument(context);
    if (document.empty()) return invalidValue(context, "kUsageTypeFlashSlot", slot);
    const FlashSlot& fallback = state.slots[kDefaultSlot];
    if (slot == kGoldenSlot && !(fallback.holdsImage && fallback.autoload == 1)) {
        ++state.unprotectedGoldenWrites;
    }
    takeWriteTime(context);
    state.slots[slot].holdsImage = true;
    state.slots[slot].metadata = document;
    ++state.slotWrites;
    saveFlash(context.instrument);
    return 0;
}

int32_t oamFpgaRevision(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, 1)) return status;
    if (int32_t status = requireReplySize(context, 4)) return status;
    const uint8_t index = context.input.data()[0];
    if (index >= kAdapterFpgaCount) return invalidValue(context, "kUsageTypeFpgaIndex", index);
    context.reply.write(0, flash(context).adapterFpgas[index].revision);
    return 0;
}

// The adapter FPGA reports the revision its new image carries.
int32_t writeOamFpgaFlash(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, kOamHeaderSize)) return status;
    uint32_t index = 0;
    uint32_t size = 0;
    AdapterFpgaFlash written;
    context.input.read(0, index);
    context.input.read(4, written.crcHigh);
    context.input.read(8, written.crcLow);
    context.input.read(12, size);
    if (index >= kAdapterFpgaCount) return invalidValue(context, "kUsageTypeFpgaIndex", index);
    if (size != context.input.size() - kOamHeaderSize) {
        return invalidValue(context, "kUsageTypeByteCount", size);
    }
    const uint8_t* image = context.input.data() + kOamHeaderSize;
    written.image.assign(image, image + size);
    written.revision = revisionOfImage(written.image);
    takeWriteTime(context);
    FlashState& state = flash(context);
    state.adapterFpgas[index] = std::move(written);
    ++state.adapterWrites;
    saveFlash(context.instrument);
    return 0;
}

const CommandRegistration kRegistrations[] = {
    {DirectCommand{18}, &runningMetadataSize}, {DirectCommand{19}, &runningMetadata},
    {DirectCommand{21}, &setAutoload},         {DirectCommand{27}, &slotMetadataSize},
    {DirectCommand{28}, &slotMetadata},        {DirectCommand{29}, &getAutoload},
    {DirectCommand{30}, &readBundleVersion},   {DirectCommand{31}, &writeBundleVersion},
    {DirectCommand{32}, &clearSlot},           {DirectCommand{41}, &oamFpgaRevision},
    {DirectCommand{42}, &writeOamFpgaFlash},   {DirectCommand{777}, &promoteSession},
};

}  // namespace
}  // namespace zyemu
