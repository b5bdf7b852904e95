// The emulator's control interface for tests and examples. Every function is an exception
// boundary (Boundary.h); those built on withInstrument get theirs from it.
#include "zyemu/control.h"

#include "Boundary.h"
#include "Emulator.h"
#include "Wire.h"

using zyemu::Emulator;
using zyemu::guarded;
using zyemu::guardedValue;

namespace {

std::unique_lock<std::mutex> lockEmulator() {
    return std::unique_lock<std::mutex>(Emulator::instance().mutex());
}

}  // namespace

extern "C" {

ZYEMU_API size_t zyemu_call_count(void) {
    return guardedValue(size_t{0}, [] {
        auto lock = lockEmulator();
        return Emulator::instance().log().size();
    });
}

ZYEMU_API int zyemu_get_call(size_t index, ZyEmuCall* call) {
    return guarded([&] {
        auto lock = lockEmulator();
        const zyemu::LoggedCall* logged = Emulator::instance().log().at(index);
        if (logged == nullptr || call == nullptr) return -1;
        *call = logged->view();
        return 0;
    });
}

ZYEMU_API void zyemu_clear_log(void) {
    guarded([] {
        auto lock = lockEmulator();
        Emulator::instance().log().clear();
        return 0;
    });
}

ZYEMU_API int32_t zyemu_add_fault(const ZyEmuFault* fault) {
    if (fault == nullptr) return ZYEMU_STATUS_INVALID_ARGUMENT;
    return guarded([&] {
        auto lock = lockEmulator();
        return Emulator::instance().faults().add(*fault);
    });
}

ZYEMU_API uint32_t zyemu_fault_hits(int32_t faultId) {
    return guardedValue(uint32_t{0}, [&] {
        auto lock = lockEmulator();
        return Emulator::instance().faults().hits(faultId);
    });
}

ZYEMU_API void zyemu_clear_faults(void) {
    guarded([] {
        auto lock = lockEmulator();
        Emulator::instance().faults().clear();
        return 0;
    });
}

ZYEMU_API void zyemu_reset(void) {
    guarded([] {
        auto lock = lockEmulator();
        Emulator::instance().reset();
        return 0;
    });
}

ZYEMU_API size_t zyemu_open_session_count(void) {
    return guardedValue(size_t{0}, [] {
        auto lock = lockEmulator();
        return Emulator::instance().openSessionCount();
    });
}

ZYEMU_API int32_t zyemu_add_resource(const char* resource) {
    return guarded([&] {
        auto lock = lockEmulator();
        return Emulator::instance().addInstrument(resource);
    });
}

ZYEMU_API void zyemu_set_next_handle(uint32_t handle) {
    guarded([&] {
        auto lock = lockEmulator();
        Emulator::instance().setNextHandle(handle);
        return 0;
    });
}

ZYEMU_API void zyemu_set_log_limit(size_t maxCalls, size_t maxBytes) {
    guarded([&] {
        auto lock = lockEmulator();
        Emulator::instance().log().setLimits(maxCalls, maxBytes);
        return 0;
    });
}

ZYEMU_API int32_t zyemu_get_log_state(ZyEmuLogState* state) {
    if (state == nullptr) return ZYEMU_STATUS_INVALID_ARGUMENT;
    return guarded([&] {
        auto lock = lockEmulator();
        const zyemu::CallLog& log = Emulator::instance().log();
        *state =
            ZyEmuLogState{log.size(), log.dropped(), log.bytes(), log.maxCalls(), log.maxBytes()};
        return 0;
    });
}

ZYEMU_API int32_t zyemu_define_register(const char* resource, const char* name, uint32_t offset,
                                        uint32_t typeId) {
    return zyemu::withInstrument(resource, [&](zyemu::Instrument& instrument) -> int32_t {
        if (name == nullptr) return ZYEMU_STATUS_INVALID_ARGUMENT;
        instrument.extraRegisters[name] = {offset, typeId};
        return 0;
    });
}

ZYEMU_API int32_t zyemu_define_fifo(const char* resource, const char* name, uint32_t number,
                                    uint32_t implementation, uint32_t numberOfElements) {
    return zyemu::withInstrument(resource, [&](zyemu::Instrument& instrument) -> int32_t {
        if (name == nullptr) return ZYEMU_STATUS_INVALID_ARGUMENT;
        instrument.extraFifos[name] = {number, implementation, numberOfElements};
        return 0;
    });
}

ZYEMU_API int32_t zyemu_set_register_u8(const char* resource, uint32_t offset, uint8_t value) {
    return zyemu::withInstrument(resource, [&](zyemu::Instrument& instrument) -> int32_t {
        instrument.setRegisterValue(offset, value);
        return 0;
    });
}

ZYEMU_API int32_t zyemu_get_register_u8(const char* resource, uint32_t offset, uint8_t* value) {
    return zyemu::withInstrument(resource, [&](zyemu::Instrument& instrument) -> int32_t {
        if (value == nullptr) return ZYEMU_STATUS_INVALID_ARGUMENT;
        *value = instrument.registerValue(offset);
        return 0;
    });
}

ZYEMU_API int32_t zyemu_last_elaboration(uint32_t session, char* text, size_t size) {
    return zyemu::withSession(session, [&](const zyemu::Session& target) -> int32_t {
        const std::string& elaboration = target.lastElaboration;
        zyemu::ReplyWriter(text, size).terminatedText(elaboration);
        return static_cast<int32_t>(elaboration.size());
    });
}

}  // extern "C"
