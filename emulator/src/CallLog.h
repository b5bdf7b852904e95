// The log of every runtime call, with copies of what the product passed.
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
};

class CallLog {
public:
    // Appends a call; the reference stays valid until clear (a deque never moves elements).
    LoggedCall& append(LoggedCall call);
    std::size_t size() const { return calls_.size(); }
    const LoggedCall* at(std::size_t index) const;
    void clear() { calls_.clear(); }

private:
    std::deque<LoggedCall> calls_;
};

// Copies an optional C text.
std::optional<std::string> optionalText(const char* text);

}  // namespace zyemu
