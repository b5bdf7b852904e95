// Timing state of one emulated instrument: routes, pulses, and the adapter module's and
// power-over-coax channels' behaviour over time.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <utility>

namespace zyemu {

using SteadyTime = std::chrono::steady_clock::time_point;

// A value that changes once, at a given time; applied to the instrument when due.
struct ScheduledChange {
    SteadyTime due{};
    bool applied = true;  // nothing pending until something is scheduled
};

struct PocChannel {
    double poweredVoltage = 12.0;
    ScheduledChange powerOff;
};

struct TimingState {
    std::map<uint32_t, std::pair<std::string, std::string>> routes;
    uint32_t nextRouteId = 1;
    uint32_t syncPulses = 0;

    // Adapter module: ready (or in error) at a time, DRAM ready and data valid later. The
    // module registers start due at once, so an instrument comes up with its module ready.
    ScheduledChange moduleReady;
    int32_t moduleIoError = 0;
    ScheduledChange dramReady{SteadyTime{}, false};
    ScheduledChange dataValid{SteadyTime{}, false};

    // Power-over-coax channels whose power was removed, by canonical channel name.
    std::map<std::string, PocChannel> pocChannels;
};

}  // namespace zyemu
