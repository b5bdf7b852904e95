// The DSP reset handshake of the emulated images. The host writes a request register; the
// image answers in its state register. A sender's pulse on its sending terminal completes
// every armed instance, of any instrument, whose reset source names that terminal, as the
// instruments of one chassis share their trigger lines.
#include <cstdint>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>

#include "../CommandRegistry.h"
#include "../Emulator.h"
#include "../StoredImages.h"
#include "../attributes/AttributeStore.h"
#include "zyemu/control.h"

namespace zyemu {
namespace {

constexpr uint32_t kSendingTerminal = 0x3000000A;  // "DSP Reset Sending Term."
constexpr uint32_t kResetSource = 0x3000000B;      // "DSP Reset Source"
const std::string kRequestPrefix = "ostrel.dsp.reset.request state ";
const std::string kStatePrefix = "ostrel.dsp.reset.state ";

enum Request : uint8_t { kRequestIdle = 0, kRequestArm = 1, kRequestSend = 2 };
enum State : uint8_t { kStateIdle = 0, kStateArmed = 1, kStateDone = 3 };

struct DspInstance {
    uint32_t stateOffset = 0;
    bool armed = false;
    std::string source;  // taken when armed
};

// Per instrument. Instances appear only when their request register is written, so both maps
// are bounded by the registers the images define.
struct DspResetState {
    std::map<int32_t, DspInstance> instances;
    std::map<int32_t, uint8_t> heldStates;
};

std::string stateRegisterName(int32_t index) { return kStatePrefix + std::to_string(index); }

// The DSP index of a request register name, in the library's spelling only ("%d").
bool parseRequestIndex(const std::string& name, int32_t& index) {
    const std::string digits = name.substr(kRequestPrefix.size());
    if (digits.empty() || digits.size() > 11) return false;
    try {
        const long long value = std::stoll(digits);
        if (value < INT32_MIN || value > INT32_MAX) return false;
        index = static_cast<int32_t>(value);
    } catch (const std::logic_error&) {
        return false;
    }
    return std::to_string(index) == digits;
}

// The DSP instance whose request register lies at offset in the session's image: the names
// the session answers to, a name that a test defines hiding the image's own.
bool requestIndexAt(const Session& session, uint32_t offset, int32_t& index) {
    auto search = [&](const std::map<std::string, RegisterDefinition>& registers) {
        for (auto it = registers.lower_bound(kRequestPrefix);
             it != registers.end() &&
             it->first.compare(0, kRequestPrefix.size(), kRequestPrefix) == 0;
             ++it) {
            if (it->second.offset == offset && parseRequestIndex(it->first, index) &&
                lookupRegister(session, it->first) == &it->second) {
                return true;
            }
        }
        return false;
    };
    return search(session.instrument->extraRegisters) ||
           (session.source == ImageSource::StoredImage && search(storedImageRegisters())) ||
           search(session.bitfileRegisters);
}

std::string terminalOf(Instrument& instrument, uint32_t attribute, int32_t index) {
    return instrument.state<AttributeStore>().value(attribute, std::to_string(index)).text;
}

void pulse(Emulator& emulator, const std::string& terminal) {
    if (terminal.empty()) return;
    emulator.forEachInstrument([&](Instrument& instrument) {
        for (auto& [index, instance] : instrument.state<DspResetState>().instances) {
            if (!instance.armed || instance.source != terminal) continue;
            instance.armed = false;
            instrument.setRegisterValue(instance.stateOffset, kStateDone);
        }
    });
}

void onRegisterWritten(Emulator& emulator, Session& session, uint32_t offset, uint8_t value) {
    int32_t index = 0;
    if (!requestIndexAt(session, offset, index)) return;
    // An image without the indicator has nothing to report.
    const RegisterDefinition* state = lookupRegister(session, stateRegisterName(index));
    if (state == nullptr) return;
    Instrument& instrument = *session.instrument;
    DspInstance& instance = instrument.state<DspResetState>().instances[index];
    instance.stateOffset = state->offset;
    switch (value) {
        case kRequestIdle:
            instance.armed = false;
            instrument.setRegisterValue(state->offset, kStateIdle);
            break;
        case kRequestArm:
            instance.armed = true;
            instance.source = terminalOf(instrument, kResetSource, index);
            instrument.setRegisterValue(state->offset, kStateArmed);
            break;
        case kRequestSend:
            instance.armed = false;
            instrument.setRegisterValue(state->offset, kStateDone);
            pulse(emulator, terminalOf(instrument, kSendingTerminal, index));
            break;
        default:
            break;
    }
}

// A held state wins over the handshake whenever the session reads or sends.
void applyHeldStates(Session& session) {
    Instrument& instrument = *session.instrument;
    for (const auto& [index, held] : instrument.state<DspResetState>().heldStates) {
        if (const RegisterDefinition* state = lookupRegister(session, stateRegisterName(index))) {
            instrument.setRegisterValue(state->offset, held);
        }
    }
}

const RegisterWriteRegistration writeRegistration{&onRegisterWritten};
const TickerRegistration ticker{&applyHeldStates};

}  // namespace
}  // namespace zyemu

using zyemu::Session;

extern "C" {

ZYEMU_API int32_t zyemu_get_dsp_reset(uint32_t session, int32_t dspIndex, uint8_t* request,
                                      uint8_t* state) {
    if (request == nullptr || state == nullptr) return ZYEMU_STATUS_INVALID_ARGUMENT;
    return zyemu::withSession(session, [&](Session& target) -> int32_t {
        const zyemu::RegisterDefinition* requestRegister =
            zyemu::lookupRegister(target, zyemu::kRequestPrefix + std::to_string(dspIndex));
        const zyemu::RegisterDefinition* stateRegister =
            zyemu::lookupRegister(target, zyemu::stateRegisterName(dspIndex));
        if (requestRegister == nullptr || stateRegister == nullptr) return ZYEMU_STATUS_NOT_FOUND;
        zyemu::applyHeldStates(target);
        *request = target.instrument->registerValue(requestRegister->offset);
        *state = target.instrument->registerValue(stateRegister->offset);
        return 0;
    });
}

ZYEMU_API int32_t zyemu_hold_dsp_reset_state(uint32_t session, int32_t dspIndex, int32_t state) {
    if (state < -1 || state > 0xFF) return ZYEMU_STATUS_INVALID_ARGUMENT;
    return zyemu::withSession(session, [&](Session& target) -> int32_t {
        if (zyemu::lookupRegister(target, zyemu::stateRegisterName(dspIndex)) == nullptr) {
            return ZYEMU_STATUS_NOT_FOUND;
        }
        auto& held = target.instrument->state<zyemu::DspResetState>().heldStates;
        if (state < 0) {
            held.erase(dspIndex);
        } else {
            held[dspIndex] = static_cast<uint8_t>(state);
            zyemu::applyHeldStates(target);
        }
        return 0;
    });
}

}  // extern "C"
