#include "timing/IoReadiness.h"

#include <cmath>
#include <string>
#include <vector>

#include "attributes/Attributes.h"
#include "attributes/TerminalNames.h"
#include "channel/CommandChannel.h"
#include "channel/FpgaRuntime.h"
#include "platform/Clock.h"
#include "timing/TimingAttributes.h"
#include "zyostrelapi.h"

namespace zyostrel::timing {
namespace {

constexpr const char* kNoChannel = "";
constexpr const char* kDramReadyRegister = "ostrel.module.dram ready 0";
constexpr const char* kDataValidRegister = "ostrel.module.data valid 0";

// Measures from construction. A negative timeout becomes a nanosecond budget close to 2^64,
// which sets no practical limit.
class Deadline {
public:
    explicit Deadline(int32_t timeoutMs)
        : start_(platform::monotonicNanoseconds()),
          budget_(static_cast<uint64_t>(int64_t{timeoutMs} * 1000000)) {}

    // "At" counts as passed, so a zero timeout makes exactly one pass even when the clock has
    // not moved on since the start.
    bool passed() const { return platform::monotonicNanoseconds() - start_ >= budget_; }

private:
    uint64_t start_;
    uint64_t budget_;
};

void keepFirstWarning(int32_t& pending, int32_t status) noexcept {
    if (pending == 0) pending = status;
}

// A module register the register phase waits for. One that the image does not define
// counts as met and is never read.
struct ModuleCondition {
    uint32_t offset = 0;
    bool met = false;

    ModuleCondition(uint32_t session, const char* registerName) {
        met = zyOstrel_QueryBitfileRegister(session, registerName, ZYFPGA_ANY_TYPE, &offset) != 0;
    }

    // Reads the register unless met; returns a negative read status, else 0.
    int32_t poll(uint32_t session, int32_t& pending) {
        if (met) return 0;
        uint8_t value = 0;
        const int32_t status = ZyFpgaDll_ReadBool(session, offset, &value);
        if (status < 0) return status;
        keepFirstWarning(pending, status);
        met = value != 0;
        return 0;
    }
};

int32_t waitForModuleRegisters(uint32_t session, const Deadline& deadline, int32_t& pending) {
    ModuleCondition dramReady(session, kDramReadyRegister);
    ModuleCondition dataValid(session, kDataValidRegister);
    for (;;) {
        const bool expired = deadline.passed();
        if (int32_t status = dramReady.poll(session, pending)) return status;
        if (int32_t status = dataValid.poll(session, pending)) return status;
        if (dramReady.met && dataValid.met) return 0;
        if (expired) {
            return dramReady.met ? ZYOSTREL_Status_DataNotValid : ZYOSTREL_Status_DramNotReady;
        }
    }
}

}  // namespace

int32_t waitForIoReady(uint32_t session, int32_t timeoutMs, int32_t* ioReady, int32_t* ioError) {
    const Deadline deadline(timeoutMs);
    int32_t pending = 0;
    uint32_t ready = 0;
    int32_t error = 0;
    for (;;) {
        const bool expired = deadline.passed();
        ready = 0;
        error = 0;
        int32_t status = attributes::getAttributeBoolean(session, kNoChannel, kIoReady, &ready);
        if (status < 0) return status;
        keepFirstWarning(pending, status);
        status = attributes::getAttributeInt32(session, kNoChannel, kIoError, &error);
        if (status < 0) return status;
        keepFirstWarning(pending, status);
        if (ready != 0 || error != 0 || expired) break;
    }
    if (ioReady != nullptr) *ioReady = static_cast<int32_t>(ready);
    if (ioError != nullptr) *ioError = error;
    if ((ready == 0 && error == 0) || error < 0) return ZYOSTREL_Status_IoModuleNotReady;

    if (!channel::isSimulatedSession(session)) {
        if (int32_t status = waitForModuleRegisters(session, deadline, pending)) return status;
    }
    if (pending != 0) return pending;
    uint32_t resetBug = 0;
    const int32_t status =
        attributes::getAttributeBoolean(session, kNoChannel, kFixedLogicResetBugPresent, &resetBug);
    return status == 0 && resetBug != 0 ? ZYOSTREL_Status_FixedLogicResetBugPresent : 0;
}

namespace {

// Copies text as strncpy does: at most size bytes, NUL-padded, unterminated when cut.
void copyOut(const std::string& text, std::size_t size, char* buffer) {
    const std::size_t length = text.size() < size ? text.size() : size;
    text.copy(buffer, length);
    for (std::size_t i = length; i < size; ++i) buffer[i] = '\0';
}

}  // namespace

int32_t waitForPocSafeToDisconnect(uint32_t session, const char* channelList, int32_t timeoutMs,
                                   std::size_t notSafeChannelsSize, char* notSafeChannels) {
    if (channelList == nullptr) return ZYOSTREL_Status_InvalidParameter;
    const Deadline deadline(timeoutMs);
    attributes::ResolvedNames names(channelList, 0);
    if (int32_t status = attributes::resolveNames(names); status < 0) return status;

    std::vector<bool> safe(names.count, false);
    std::size_t pendingChannels = names.count;
    while (pendingChannels != 0) {
        const bool expired = deadline.passed();
        for (std::size_t i = 0; i < names.count; ++i) {
            if (safe[i]) continue;
            const char* name = names.names[i];
            const uint32_t id = attributes::isSiName(name) ? kSiPocVoltage : kSoPocVoltage;
            // A read that only warns leaves the value unwritten: NaN never counts as safe.
            double voltage = std::nan("");
            const int32_t status = attributes::getAttributeDouble(session, name, id, &voltage);
            if (status < 0) return status;
            if (voltage < kSafePocVoltage) {
                safe[i] = true;
                --pendingChannels;
            }
        }
        if (expired) break;
    }

    if (notSafeChannels != nullptr) {
        std::string notSafe;
        bool first = true;
        for (std::size_t i = 0; i < names.count; ++i) {
            if (safe[i]) continue;
            if (!first) notSafe += ',';
            first = false;
            if (names.names[i] != nullptr) notSafe += names.names[i];
        }
        copyOut(notSafe, notSafeChannelsSize, notSafeChannels);
    }
    return pendingChannels != 0 ? ZYOSTREL_Status_PowerOverCoaxUnsafe : 0;
}

}  // namespace zyostrel::timing
