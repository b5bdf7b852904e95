#include "firmware/OstrelFirmwareDevice.h"

#include <algorithm>
#include <new>

#include "bitfile/Bitfile.h"
#include "channel/FpgaRuntime.h"
#include "firmware/FlashImages.h"
#include "platform/Trace.h"
#include "status/EntryPoint.h"
#include "status/StatusCodes.h"
#include "zyostrelapi.h"

namespace zyostrel::firmware {
namespace {

using fwextract::FirmwareBoard;
using fwextract::FirmwareImageType;

// The device opens these as the bitfile's document or as a stored image; what the word means
// is the runtime's business.
constexpr uint32_t kOpenAttribute = 0xC0000000;
constexpr const char* kDefaultBitfileName = "default_bitfile";
constexpr const char* kGoldenImageName = "golden_image";
constexpr uint32_t kTraceLevel = platform::kTraceThreshold;

// How the trace names an image type.
const char* traceNameOf(FirmwareImageType type) noexcept {
    switch (type) {
        case FirmwareImageType::Bitfile:
            return "Bitfile";
        case FirmwareImageType::Cpld:
            return "CPLD";
        case FirmwareImageType::Eeprom:
            return "EEPROM";
        case FirmwareImageType::Xmega:
            return "Xmega";
        case FirmwareImageType::OamFpgaFlash:
            return "OAM FPGA Flash";
    }
    return "unknown";
}

// A session the update opened for one step. It is closed on every path; the close's status
// counts only while the update's status is still 0, and not at all when an exception ends
// the step.
class StepSession {
public:
    StepSession(const std::string& image, const std::string& resource, int32_t& status)
        : status_(status) {
        if (status_ != 0) return;
        status_ =
            ZyFpgaDll_Open(image.c_str(), nullptr, resource.c_str(), kOpenAttribute, &handle_);
        open_ = status_ == 0;
    }
    StepSession(const StepSession&) = delete;
    StepSession& operator=(const StepSession&) = delete;
    ~StepSession() {
        if (open_) ZyFpgaDll_Close(handle_, 0);
    }
    bool isOpen() const { return open_; }
    uint32_t handle() const { return handle_; }
    void close() {
        if (!open_) return;
        open_ = false;
        const int32_t closed = ZyFpgaDll_Close(handle_, 0);
        if (status_ == 0) status_ = closed;
    }

private:
    int32_t& status_;
    uint32_t handle_ = 0;
    bool open_ = false;
};

std::string textOf(const std::vector<uint8_t>& data) {
    return std::string(data.begin(), data.end());
}

// Adapter flash is written in 32-bit words: an image is padded with erased-flash bytes to the
// next multiple of four.
void padToWords(std::vector<uint8_t>& data) {
    const std::size_t remainder = data.size() % 4;
    if (remainder != 0) data.insert(data.end(), 4 - remainder, 0xFF);
}

}  // namespace

OstrelFirmwareDevice::OstrelFirmwareDevice(FirmwareUpdateDevice& record, std::string resourceName,
                                           std::string deviceKey, bool force)
    : record_(record),
      resourceName_(std::move(resourceName)),
      deviceKey_(std::move(deviceKey)),
      force_(force) {}

int32_t OstrelFirmwareDevice::updateDevice(const uint8_t* bundle, std::size_t size) noexcept {
    int32_t result = zyerr::codes::SoftwareError;
    try {
        result = runUpdate(bundle, size);
    } catch (const zyerr::Exception& exception) {
        // An exception without a code is still a failure, never a success.
        result = zyerr::boundaryCodeOf(exception);
    } catch (const std::bad_alloc&) {
        result = zyerr::codes::OutOfMemory;
    } catch (...) {
        result = zyerr::codes::SoftwareError;
    }
    record_.finish(result != 0);
    return result;
}

int32_t OstrelFirmwareDevice::runUpdate(const uint8_t* bundle, std::size_t size) {
    bundle_ = std::make_unique<fwextract::FirmwareBundle>(bundle, size);
    std::vector<std::string> names = bundle_->listImageNames(deviceKey_);
    const uint32_t bundleVersion = bundle_->getBundleVersion();
    const uint32_t stored = readStoredBundleVersion();
    if (status_ != 0) return status_;
    if (stored == bundleVersion && !force_) {
        platform::traceLine(kTraceLevel, ZY_TRACE_LOCATION, "Bundle version %u is installed",
                            bundleVersion);
        return 0;
    }
    // The default bitfile goes first, so that a loadable default image exists before the
    // golden one is rewritten.
    const auto defaultBitfile = std::find(names.begin(), names.end(), kDefaultBitfileName);
    if (defaultBitfile != names.end()) std::iter_swap(names.begin(), defaultBitfile);

    record_.progressPercent.store(1);
    for (std::size_t i = 0; i < names.size(); ++i) {
        updateImage(names[i]);
        const auto done = static_cast<float>(i + 1) * 100.0f / static_cast<float>(names.size());
        record_.progressPercent.store(static_cast<uint32_t>(done));
        if (status_ != 0) break;
    }
    writeStoredBundleVersion(bundleVersion);
    return status_;
}

// The version lives behind the golden bitfile: a session on it reads the version.
uint32_t OstrelFirmwareDevice::readStoredBundleVersion() {
    std::vector<uint8_t> golden;
    bundle_->extractImage(deviceKey_, kGoldenImageName, golden);
    golden.push_back(0);
    uint32_t version = 0;
    StepSession session(reinterpret_cast<const char*>(golden.data()), resourceName_, status_);
    std::vector<uint8_t>().swap(golden);
    if (session.isOpen()) merge(readBundleVersion(session.handle(), version));
    session.close();
    return version;
}

// The golden image's digest was checked when the version was read; it is not read again.
void OstrelFirmwareDevice::writeStoredBundleVersion(uint32_t version) {
    if (status_ != 0) return;
    StepSession session(ZYOSTREL_IMAGE_GOLDEN, resourceName_, status_);
    if (session.isOpen()) merge(writeBundleVersion(session.handle(), version));
    session.close();
}

void OstrelFirmwareDevice::updateImage(const std::string& name) {
    if (status_ != 0) return;
    std::vector<uint8_t> data;
    auto type = FirmwareImageType::Bitfile;
    auto board = FirmwareBoard::Base;
    std::string identifier;
    bool defaultload = false;
    bundle_->extractImage(deviceKey_, name, data, nullptr, &type, &board, &identifier,
                          &defaultload);
    platform::traceLine(kTraceLevel, ZY_TRACE_LOCATION, "Type: %s", traceNameOf(type));
    switch (type) {
        case FirmwareImageType::Bitfile: {
            std::string text = textOf(data);
            std::vector<uint8_t>().swap(data);
            if (identifier == kDefaultBitfileName) {
                writeBitfileImage(text, FlashImageSlot::Default, defaultload);
            } else if (identifier == kGoldenImageName) {
                writeBitfileImage(text, FlashImageSlot::Golden, defaultload);
            } else {
                merge(zyerr::codes::UnknownBundleBitfile);
            }
            break;
        }
        case FirmwareImageType::OamFpgaFlash:
            if (board == FirmwareBoard::Oam) updateAdapterFlash(name, data);
            break;
        default:
            // The other images belong to parts this instrument updates by other means.
            break;
    }
}

void OstrelFirmwareDevice::updateAdapterFlash(const std::string& name, std::vector<uint8_t>& data) {
    const fwextract::OamFlashInfo info = bundle_->getOamFlashInfo(deviceKey_, name);
    StepSession session(ZYOSTREL_IMAGE_DEFAULT, resourceName_, status_);
    if (session.isOpen()) {
        uint32_t revision = 0;
        merge(getOamFpgaRevision(session.handle(), info.fpgaIndex, revision));
        if (status_ == 0 && (revision != info.revision || force_)) {
            padToWords(data);
            merge(writeOamFpgaFlash(session.handle(), info.fpgaIndex, info.crcHigh, info.crcLow,
                                    data.data(), data.size()));
            if (status_ == 0) merge(getOamFpgaRevision(session.handle(), info.fpgaIndex, revision));
            if (status_ == 0 && revision != info.revision) {
                merge(zyerr::codes::AdapterFpgaRevisionMismatch);
            }
        }
    }
    session.close();
}

void OstrelFirmwareDevice::writeBitfileImage(const std::string& text, FlashImageSlot slot,
                                             bool autoload, bool slotKnownEmpty) {
    if (status_ != 0) return;
    StepSession session(text, resourceName_, status_);
    if (session.isOpen() &&
        (slotKnownEmpty || !flashHoldsSameBitfile(session.handle(), text, slot)) && status_ == 0) {
        writeSessionToSlot(session.handle(), text, slot, autoload);
    }
    session.close();
}

// The golden image is written only while the default slot holds a loadable image with
// autoload set, so that an interrupted write leaves a device that still comes up; the
// previous state of the default slot is restored afterwards.
void OstrelFirmwareDevice::writeSessionToSlot(uint32_t session, const std::string& text,
                                              FlashImageSlot slot, bool autoload) {
    if (slot != FlashImageSlot::Golden) {
        merge(setSlotAutoload(session, FlashImageSlot::Default, false));
        if (status_ == 0) merge(promoteSession(session, static_cast<uint32_t>(slot)));
        if (status_ == 0) merge(setSlotAutoload(session, FlashImageSlot::Default, autoload));
        return;
    }
    // Only a default slot the device reports empty (or holding no metadata) gets a temporary
    // image. A read that fails otherwise says nothing about the slot: taking it for empty
    // would overwrite the default image and clear it afterwards, leaving none.
    int32_t readStatus = 0;
    const bool temporaryDefault =
        readFlashBitfile(session, FlashImageSlot::Default, readStatus) == nullptr;
    if (readStatus != zyerr::codes::UserImageMissing) merge(readStatus);
    // The slot was just found to hold nothing: comparing with it again could only fail.
    if (temporaryDefault && status_ == 0) {
        writeBitfileImage(text, FlashImageSlot::Default, false, true);
    }
    uint8_t oldAutoload = 0;
    if (status_ == 0) merge(getSlotAutoload(session, FlashImageSlot::Default, oldAutoload));
    if (status_ == 0) merge(setSlotAutoload(session, FlashImageSlot::Default, true));
    if (status_ == 0) merge(promoteSession(session, static_cast<uint32_t>(FlashImageSlot::Golden)));
    if (status_ == 0) {
        merge(setSlotAutoload(session, FlashImageSlot::Default, oldAutoload != 0));
    }
    if (status_ == 0 && temporaryDefault) merge(clearSlot(session, FlashImageSlot::Default));
}

bool OstrelFirmwareDevice::flashHoldsSameBitfile(uint32_t session, const std::string& text,
                                                 FlashImageSlot slot) {
    const auto wanted = zyrask::Bitfile::create(text, false, false);
    const auto stored = readFlashBitfile(session, slot, status_);
    return status_ == 0 && wanted != nullptr && stored != nullptr &&
           wanted->signature() == stored->signature();
}

// No bitfile when the read fails (status then holds the failure) or the slot's metadata is
// empty.
std::shared_ptr<const zyrask::Bitfile> OstrelFirmwareDevice::readFlashBitfile(uint32_t session,
                                                                              FlashImageSlot slot,
                                                                              int32_t& status) {
    const auto slotNumber = static_cast<uint32_t>(slot);
    std::size_t size = 0;
    int32_t read = getSlotMetadata(session, slotNumber, &size, nullptr);
    if (read == 0 && size != 0) {
        std::string text(size, '\0');
        read = getSlotMetadata(session, slotNumber, &size, &text[0]);
        if (read == 0) return zyrask::Bitfile::create(text, false, false);
    }
    if (status == 0) status = read;
    return nullptr;
}

}  // namespace zyostrel::firmware
