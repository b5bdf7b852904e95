// Waits for the adapter module to become ready and for power-over-coax channels to be safe
// to disconnect. Both poll against one deadline on the monotonic clock without sleeping.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zyostrel::timing {

// A power-over-coax voltage strictly below this is safe to disconnect.
inline constexpr double kSafePocVoltage = 0.1;

int32_t waitForIoReady(uint32_t session, int32_t timeoutMs, int32_t* ioReady, int32_t* ioError);

int32_t waitForPocSafeToDisconnect(uint32_t session, const char* channelList, int32_t timeoutMs,
                                   std::size_t notSafeChannelsSize, char* notSafeChannels);

}  // namespace zyostrel::timing
