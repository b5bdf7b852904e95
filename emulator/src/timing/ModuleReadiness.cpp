// The adapter module's readiness and the power-over-coax voltages, as they change over time:
// scheduled by tests, applied to the attribute store and the FPGA registers whenever a
// session of the instrument sends a command or reads a register.
#include <chrono>
#include <cstring>
#include <mutex>

#include "../CommandRegistry.h"
#include "../Emulator.h"
#include "../Wire.h"
#include "../attributes/AttributeStore.h"
#include "TimingState.h"
#include "zyemu/control.h"

namespace zyemu {
namespace {

constexpr uint32_t kIoReady = 0x40000003;
constexpr uint32_t kIoError = 0x1000000D;
constexpr uint32_t kSiPocVoltage = 0x2000002D;
constexpr uint32_t kSoPocVoltage = 0x2000002E;
constexpr double kDischargedVoltage = 0.05;
constexpr const char* kDramReadyRegister = "ostrel.module.dram ready 0";
constexpr const char* kDataValidRegister = "ostrel.module.data valid 0";

SteadyTime now() { return std::chrono::steady_clock::now(); }

void schedule(ScheduledChange& change, uint32_t afterMs) {
    change.due = now() + std::chrono::milliseconds(afterMs);
    change.applied = false;
}

// True once the change is due; marks it applied so that it is applied only once and a
// test may change the value afterwards.
enum class Phase { Idle, Before, Due };
Phase phaseOf(ScheduledChange& change, SteadyTime at) {
    if (change.applied) return Phase::Idle;
    if (at < change.due) return Phase::Before;
    change.applied = true;
    return Phase::Due;
}

void forceBoolean(AttributeStore& store, uint32_t id, bool value) {
    AttributeData data;
    data.boolean = value;
    store.force(id, "", data);
}

void forceInt32(AttributeStore& store, uint32_t id, int32_t value) {
    AttributeData data;
    data.i64 = value;
    store.force(id, "", data);
}

void forceVoltage(AttributeStore& store, const std::string& channel, double volts) {
    const bool serialIn = channel.size() > 2 &&
                          (channel.compare(0, 2, "SI") == 0 || channel.compare(0, 2, "si") == 0);
    AttributeData data;
    data.f64 = volts;
    store.force(serialIn ? kSiPocVoltage : kSoPocVoltage, channel, data);
}

void setModuleRegister(Session& session, const char* name, bool value) {
    if (const RegisterDefinition* found = lookupRegister(session, name)) {
        session.instrument->setRegisterValue(found->offset, value ? 1 : 0);
    }
}

void applyModule(Session& session, TimingState& timing, AttributeStore& store, SteadyTime at) {
    switch (phaseOf(timing.moduleReady, at)) {
        case Phase::Before:
            forceBoolean(store, kIoReady, false);
            forceInt32(store, kIoError, 0);
            break;
        case Phase::Due:
            forceBoolean(store, kIoReady, timing.moduleIoError == 0);
            forceInt32(store, kIoError, timing.moduleIoError);
            break;
        case Phase::Idle:
            break;
    }
    const struct {
        ScheduledChange& change;
        const char* name;
    } registers[] = {{timing.dramReady, kDramReadyRegister},
                     {timing.dataValid, kDataValidRegister}};
    for (const auto& entry : registers) {
        const Phase phase = phaseOf(entry.change, at);
        if (phase != Phase::Idle) setModuleRegister(session, entry.name, phase == Phase::Due);
    }
}

void applyPowerOverCoax(TimingState& timing, AttributeStore& store, SteadyTime at) {
    for (auto& [channel, poc] : timing.pocChannels) {
        switch (phaseOf(poc.powerOff, at)) {
            case Phase::Before:
                forceVoltage(store, channel, poc.poweredVoltage);
                break;
            case Phase::Due:
                forceVoltage(store, channel, kDischargedVoltage);
                break;
            case Phase::Idle:
                break;
        }
    }
}

void tickTiming(Session& session) {
    Instrument& instrument = *session.instrument;
    TimingState& timing = instrument.state<TimingState>();
    AttributeStore& store = instrument.state<AttributeStore>();
    const SteadyTime at = now();
    applyModule(session, timing, store, at);
    applyPowerOverCoax(timing, store, at);
}

const TickerRegistration ticker{&tickTiming};

}  // namespace
}  // namespace zyemu

using zyemu::Instrument;
using zyemu::TimingState;
using zyemu::withInstrument;

extern "C" {

ZYEMU_API int32_t zyemu_schedule_io_module(const char* resource, uint32_t readyAfterMs,
                                           int32_t ioError, uint32_t dramReadyAfterMs,
                                           uint32_t dataValidAfterMs) {
    return withInstrument(resource, [&](Instrument& instrument) -> int32_t {
        TimingState& timing = instrument.state<TimingState>();
        timing.moduleIoError = ioError;
        zyemu::schedule(timing.moduleReady, readyAfterMs);
        zyemu::schedule(timing.dramReady, dramReadyAfterMs);
        zyemu::schedule(timing.dataValid, dataValidAfterMs);
        return 0;
    });
}

ZYEMU_API int32_t zyemu_set_poc_power(const char* resource, const char* channel, int powered,
                                      uint32_t fallAfterMs) {
    if (channel == nullptr || channel[0] == '\0') return ZYEMU_STATUS_INVALID_ARGUMENT;
    return withInstrument(resource, [&](Instrument& instrument) -> int32_t {
        zyemu::PocChannel& poc = instrument.state<TimingState>().pocChannels[channel];
        auto& store = instrument.state<zyemu::AttributeStore>();
        if (powered != 0) {
            poc.powerOff.applied = true;
            zyemu::forceVoltage(store, channel, poc.poweredVoltage);
        } else {
            zyemu::schedule(poc.powerOff, fallAfterMs);
            zyemu::forceVoltage(store, channel,
                                fallAfterMs == 0 ? zyemu::kDischargedVoltage : poc.poweredVoltage);
        }
        return 0;
    });
}

ZYEMU_API int32_t zyemu_get_timing_state(const char* resource, ZyEmuTimingState* state) {
    if (state == nullptr) return ZYEMU_STATUS_INVALID_ARGUMENT;
    return withInstrument(resource, [&](Instrument& instrument) -> int32_t {
        const TimingState& timing = instrument.state<TimingState>();
        state->syncPulses = timing.syncPulses;
        state->routeCount = static_cast<uint32_t>(timing.routes.size());
        return 0;
    });
}

ZYEMU_API int32_t zyemu_get_route(const char* resource, uint32_t routeId, char* source,
                                  size_t sourceSize, char* destination, size_t destinationSize) {
    return withInstrument(resource, [&](Instrument& instrument) -> int32_t {
        const auto& routes = instrument.state<TimingState>().routes;
        auto it = routes.find(routeId);
        if (it == routes.end()) return ZYEMU_STATUS_UNKNOWN_ROUTE;
        zyemu::ReplyWriter(source, sourceSize).terminatedText(it->second.first);
        zyemu::ReplyWriter(destination, destinationSize).terminatedText(it->second.second);
        return 0;
    });
}

}  // extern "C"
