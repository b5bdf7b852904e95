// The log of the most recent runtime calls, with copies of what the product passed.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "zyemu/control.h"

namespace zyemu {

struct LoggedCall {
    uint32_t entry = 0;
    uint32_t session = 0;
    uint32_t functionGroup = 0;
    uint32_t functionNumber = 0;
    uint32_t interfaceNumber = 0;
    uint32_t method = 0;
    std::vector<uint8_t> input;
    bool outputGiven = false;
    uint64_t outputSize = 0;
    std::optional<std::string> text;
    std::optional<std::string> resource;
    bool signatureGiven = false;
    uint32_t word = 0;
    uint32_t value = 0;
    int32_t status = 0;

    // The attribute identifier of an attribute-interface record, when it has one.
    std::optional<uint32_t> attributeId() const;
    ZyEmuCall view() const;
    // The bytes the log counts against its byte limit: the record and its copies.
    std::size_t footprint() const;
};

// Keeps the most recent calls within a number of calls and a number of bytes, so that a
// program running for hours on the emulator keeps flat memory; older calls are dropped and
// counted.
class CallLog {
public:
    // Appends a call; the reference stays valid until the call is dropped (a deque never moves
    // the elements it keeps). The log may hold one call beyond its limits until trim.
    LoggedCall& append(LoggedCall call);
    // Drops the oldest calls until the log is within its limits, the newest one too when it
    // alone exceeds them.
    void trim() noexcept;
    // New limits, applied at once.
    void setLimits(std::size_t maxCalls, std::size_t maxBytes) noexcept;

    std::size_t size() const { return calls_.size(); }
    const LoggedCall* at(std::size_t index) const;
    // Calls appended since the log was last cleared, dropped ones included; the position of
    // the next call among them.
    uint64_t appended() const { return dropped_ + calls_.size(); }
    uint64_t dropped() const { return dropped_; }
    std::size_t bytes() const { return bytes_; }
    std::size_t maxCalls() const { return maxCalls_; }
    std::size_t maxBytes() const { return maxBytes_; }
    // Empties the log and its dropped count; the limits stay.
    void clear() noexcept;

private:
    struct Entry {
        LoggedCall call;
        std::size_t bytes;  // footprint when appended: the call's copies never grow later
    };
    bool overLimits() const { return calls_.size() > maxCalls_ || bytes_ > maxBytes_; }

    std::deque<Entry> calls_;
    std::size_t bytes_ = 0;
    uint64_t dropped_ = 0;
    std::size_t maxCalls_ = ZYEMU_LOG_DEFAULT_MAX_CALLS;
    std::size_t maxBytes_ = ZYEMU_LOG_DEFAULT_MAX_BYTES;
};

// Copies an optional C text.
std::optional<std::string> optionalText(const char* text);

}  // namespace zyemu
