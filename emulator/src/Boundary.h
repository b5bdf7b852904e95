// The exception boundary of every function the emulator exports. Memory can run out anywhere
// in a call (copying the record into the log, decoding it, building a reply or an
// elaboration); the caller is C and must get a status back instead.
#pragma once

#include <cstdint>
#include <utility>

namespace zyemu {

struct Session;

// The status the exception being handled stands for: ZYEMU_STATUS_OUT_OF_MEMORY for
// std::bad_alloc, ZYEMU_STATUS_INTERNAL_FAULT for anything else. Call it only in a catch block.
int32_t statusOfCurrentException() noexcept;

// Leaves status on the session as its last failure with an elaboration naming the fault, so
// that command 800 explains it; the failure is kept without text when even that cannot be
// allocated.
void leaveRuntimeFault(Session& session, int32_t status) noexcept;

// Takes the emulator's lock and leaves the fault on the session when it is open.
void leaveRuntimeFault(uint32_t session, int32_t status) noexcept;

// Runs body, which returns a status (or a count that is a status when negative); an exception
// becomes its status.
template <class Body>
auto guarded(Body&& body) noexcept -> decltype(std::forward<Body>(body)()) {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return statusOfCurrentException();
    }
}

// As guarded, for a runtime call on a session, which also holds the fault's elaboration.
template <class Body>
int32_t guardedOnSession(uint32_t session, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        const int32_t status = statusOfCurrentException();
        leaveRuntimeFault(session, status);
        return status;
    }
}

// For functions without a status: a failure gives onFailure.
template <class Result, class Body>
Result guardedValue(Result onFailure, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return onFailure;
    }
}

}  // namespace zyemu
