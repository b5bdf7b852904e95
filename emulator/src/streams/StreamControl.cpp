// Control functions of the emulated streams, for tests and examples.
#include <cstring>
#include <mutex>

#include "Boundary.h"
#include "Emulator.h"
#include "streams/StreamEngine.h"
#include "zyemu/control.h"

using zyemu::Emulator;

namespace {

// The state of the stream, or null with status set.
zyemu::StreamState* lockedStream(const char* resource, uint32_t stream, int32_t& status) {
    zyemu::Instrument* instrument = Emulator::instance().findInstrument(resource);
    if (instrument == nullptr) {
        status = ZYEMU_STATUS_RESOURCE_NOT_FOUND;
        return nullptr;
    }
    if (stream >= zyemu::kStreamCount) {
        status = ZYEMU_STATUS_INVALID_STREAM;
        return nullptr;
    }
    status = 0;
    return &instrument->state<zyemu::StreamEngine>().streams[stream];
}

}  // namespace

extern "C" {

ZYEMU_API int16_t zyemu_waveform_i16(uint32_t channel, uint64_t index) {
    return zyemu::guardedValue(int16_t{0}, [&] { return zyemu::waveformI16(channel, index); });
}

ZYEMU_API double zyemu_waveform_f64(uint32_t channel, uint64_t index) {
    return zyemu::guardedValue(0.0, [&] { return zyemu::waveformF64(channel, index); });
}

ZYEMU_API int32_t zyemu_stream_fail_transfer(const char* resource, uint32_t stream,
                                             uint8_t transferState, uint32_t count) {
    return zyemu::guarded([&] {
        std::lock_guard<std::mutex> lock(Emulator::instance().mutex());
        int32_t status = 0;
        zyemu::StreamState* state = lockedStream(resource, stream, status);
        if (state == nullptr) return status;
        state->flaggedRepliesLeft = count;
        state->stateInjected = true;
        state->injectedState = transferState;
        return 0;
    });
}

ZYEMU_API int64_t zyemu_stream_written(const char* resource, uint32_t stream, void* data,
                                       size_t size) {
    return zyemu::guarded([&]() -> int64_t {
        std::lock_guard<std::mutex> lock(Emulator::instance().mutex());
        int32_t status = 0;
        const zyemu::StreamState* state = lockedStream(resource, stream, status);
        if (state == nullptr) return status;
        const size_t copied = size < state->written.size() ? size : state->written.size();
        if (data != nullptr && copied != 0) std::memcpy(data, state->written.data(), copied);
        return static_cast<int64_t>(state->writtenTotal);
    });
}

}  // extern "C"
