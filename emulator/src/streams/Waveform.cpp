#include "streams/StreamEngine.h"

namespace zyemu {

int16_t waveformI16(uint32_t channel, uint64_t index) {
    const int32_t scale = 16 * static_cast<int32_t>(channel % 8 + 1);
    const auto phase = static_cast<int32_t>((index + 16 * uint64_t{channel}) % 256);
    return static_cast<int16_t>(phase < 128 ? scale * (phase - 64) : scale * (192 - phase));
}

double waveformF64(uint32_t channel, uint64_t index) {
    return waveformI16(channel, index) / 8192.0;
}

}  // namespace zyemu
