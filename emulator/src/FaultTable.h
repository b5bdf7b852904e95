// Faults injected by tests: which calls they apply to and what they answer instead.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "CallLog.h"
#include "zyemu/control.h"

namespace zyemu {

struct Fault {
    ZyEmuFault definition{};
    std::vector<uint8_t> reply;  // owned copy of the injected reply bytes
    uint32_t seen = 0;           // matching calls so far
    uint32_t hits = 0;           // times it fired
};

class FaultTable {
public:
    int32_t add(const ZyEmuFault& definition);
    // The fault that fires for this call, if any; counts the call against every match.
    Fault* fire(const LoggedCall& call, std::size_t callIndex);
    uint32_t hits(int32_t id) const;
    void clear() { faults_.clear(); }

private:
    std::map<int32_t, Fault> faults_;  // ordered by identifier: the oldest fault wins
    int32_t nextId_ = 1;
};

}  // namespace zyemu
