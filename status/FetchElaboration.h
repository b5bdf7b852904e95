// Fetching the device's elaboration of a status code.
#pragma once

#include <cstddef>
#include <cstdint>

#include "status/Status.h"

namespace zyerr {

// Function number of the device's status elaboration command.
inline constexpr uint32_t kElaborationFunction = 800;
// Size of the reply buffer handed to the device.
inline constexpr std::size_t kElaborationReplySize = 8192;

// Asks the device for the elaboration it keeps for code (session 0 skips the device; a
// simulated session is never sent the command and yields -1). On success status receives
// code (merge rule) and the text, cut at the reply buffer's end; a failing call returns its
// status and leaves status untouched.
int32_t fetchElaboration(uint32_t session, int32_t code, Status& status);

}  // namespace zyerr
