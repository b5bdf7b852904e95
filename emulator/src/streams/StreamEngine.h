// The streams of one emulated instrument: finite and continuous acquisitions that produce a
// deterministic waveform per channel, output streams that keep what is written, and the
// transfer-state faults tests inject.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace zyemu {

inline constexpr uint32_t kStreamCount = 64;

struct StreamState {
    bool running = false;
    bool finite = false;
    uint64_t samplesPerChannel = 0;  // finite acquisitions
    std::vector<uint32_t> channels;  // enabled channels, ascending
    uint64_t consumed = 0;           // elements read, in interleaved order

    // Injected by tests: replies with the transfer-state flag, and the state then reported.
    uint32_t flaggedRepliesLeft = 0;
    bool stateInjected = false;
    uint8_t injectedState = 0;

    std::vector<uint8_t> written;  // first bytes written to an output stream
    uint64_t writtenTotal = 0;

    uint64_t elementsAvailable() const {
        const uint64_t total = samplesPerChannel * channels.size();
        return total > consumed ? total - consumed : 0;
    }
};

struct StreamEngine {
    std::array<StreamState, kStreamCount> streams;
};

// Sample n of channel c (see zyemu_waveform_i16 in the control header).
int16_t waveformI16(uint32_t channel, uint64_t index);
double waveformF64(uint32_t channel, uint64_t index);

}  // namespace zyemu
