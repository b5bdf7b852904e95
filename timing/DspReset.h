// Resetting the DSP chain of one DSP instance on several sessions at the same instant.
//
// The first session is the sender: its image drives a reset pulse on its "DSP Reset Sending
// Term." terminal. Every other session is a receiver whose "DSP Reset Source" is wired to that
// terminal. The host steps all of them through a handshake of two FPGA registers per session:
// a request it writes (0 idle, 1 arm, 2 send) and a state the image reports (0 idle, 1 armed,
// 3 reset done).
#pragma once

#include <cstddef>
#include <cstdint>

namespace zyostrel::timing {

// Highest DSP instance whose attributes have a channel name of their own; the others are
// addressed as "invalid".
inline constexpr int32_t kHighestDspIndex = 32;
// Budget of each wait for a state, from its own start.
inline constexpr int32_t kDspResetWaitMs = 500;

// Register names, formatted with the signed DSP index.
inline constexpr const char* kDspResetStateFormat = "ostrel.dsp.reset.state %d";
inline constexpr const char* kDspResetRequestFormat = "ostrel.dsp.reset.request state %d";

enum DspResetRequest : uint8_t { kRequestIdle = 0, kRequestArm = 1, kRequestSend = 2 };
enum DspResetState : uint8_t { kStateIdle = 0, kStateArmed = 1, kStateDone = 3 };

// The attribute channel of a DSP instance: "0" to "32", else "invalid".
const char* dspChannelName(int32_t dspIndex) noexcept;

// Runs the handshake; throws zyerr::Exception on failure. A failure on a session carries that
// session's device elaboration and its position in sessions as "kUsageTypeSessionIndex".
// Null sessions or a zero count throw -52005 before any device is touched. From the first
// receiver on, every path leaves each session it registered with request 0 and every
// "DSP Reset Source" it filled in back at "": a clean-up step that fails is tried once more,
// and one that fails again is thrown for its session when the reset itself succeeded.
void resetDspSynchronously(const uint32_t* sessions, std::size_t sessionCount, int32_t dspIndex);

}  // namespace zyostrel::timing
