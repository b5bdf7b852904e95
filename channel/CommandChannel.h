// The send step of the command channel and the rules every command follows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "channel/CommandRecords.h"
#include "channel/WireConstants.h"

namespace zyerr {
struct Status;
}

namespace zyostrel::channel {

using wire::kSimulatedSessionBit;
// Result of any interface command on a simulated session.
inline constexpr int32_t kSimulatedSessionResult = -1;

constexpr bool isSimulatedSession(uint32_t session) noexcept {
    return (session & kSimulatedSessionBit) != 0;
}

// Sends an interface call (function number 256) with its record and reply buffer. A
// simulated session never reaches the runtime and yields -1. The send functions are not
// noexcept: the runtime is a C library chosen at load time, and should one throw anyway the
// exception must reach the entry point's boundary rather than end the process.
int32_t sendInterfaceCommand(uint32_t session, const void* record, std::size_t recordSize,
                             void* reply, std::size_t replySize);

template <class Record>
int32_t sendInterfaceCommand(uint32_t session, const Record& record) {
    return sendInterfaceCommand(session, &record, sizeof(Record), nullptr, 0);
}

template <class Record, class Reply>
int32_t sendInterfaceCommand(uint32_t session, const Record& record, Reply& reply) {
    return sendInterfaceCommand(session, &record, sizeof(Record), &reply, sizeof(Reply));
}

// As sendInterfaceCommand; when the result is nonzero and status is given, the device's
// elaboration of the result is fetched into status first (the callbacks that report through
// a status want the daemon's words, not only the code). The result is returned unchanged.
int32_t sendElaboratedInterfaceCommand(uint32_t session, const void* record, std::size_t recordSize,
                                       void* reply, std::size_t replySize, zyerr::Status* status);

template <class Record>
int32_t sendElaboratedInterfaceCommand(uint32_t session, const Record& record,
                                       zyerr::Status* status) {
    return sendElaboratedInterfaceCommand(session, &record, sizeof(Record), nullptr, 0, status);
}

template <class Record, class Reply>
int32_t sendElaboratedInterfaceCommand(uint32_t session, const Record& record, Reply& reply,
                                       zyerr::Status* status) {
    return sendElaboratedInterfaceCommand(session, &record, sizeof(Record), &reply, sizeof(Reply),
                                          status);
}

// Sends a direct function (any function number but 256). The runtime is always called,
// whatever the session handle.
int32_t sendDirectCommand(uint32_t session, uint32_t functionNumber, const void* input,
                          std::size_t inputSize, void* reply, std::size_t replySize);

// Folds the status of one more step into the result of a multi-step operation. An error
// ends the operation (returns false, result holds the error); otherwise the first warning
// met is kept, else 0.
inline bool mergeStatus(int32_t& result, int32_t stepStatus) noexcept {
    if (stepStatus < 0) {
        result = stepStatus;
        return false;
    }
    if (result == 0) result = stepStatus;
    return true;
}

// Copies text into a fixed-size record field with strncpy semantics: cut at the field
// size, the rest zero-filled. A null text leaves the field all zeros.
template <std::size_t N>
void copyTextField(char (&field)[N], const char* text) noexcept {
    const std::size_t length = text != nullptr ? strnlen(text, N) : 0;
    if (length != 0) std::memcpy(field, text, length);
    std::memset(field + length, 0, N - length);
}

// As copyTextField, with the last byte forced to NUL so the field is always terminated.
template <std::size_t N>
void copyTerminatedTextField(char (&field)[N], const char* text) noexcept {
    copyTextField(field, text);
    field[N - 1] = '\0';
}

}  // namespace zyostrel::channel
