// The graphical host's memory manager as tests provide it: heap blocks behind handles, with
// counters of the resizes asked for and a switch that makes the next resize fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "streams/HostMemory.h"

namespace zytest {

struct HostMemoryStub {
    int numericResizes = 0;
    int setSizes = 0;
    int32_t lastTypeCode = 0;
    int32_t lastDimensions = 0;
    size_t lastCount = 0;
    bool failNextResize = false;

    static HostMemoryStub& instance();
    void reset() { *this = HostMemoryStub{}; }
};

// An owned host handle, freed at the end of the scope.
class HostHandle {
public:
    explicit HostHandle(size_t bytes = 0);
    ~HostHandle();
    HostHandle(const HostHandle&) = delete;
    HostHandle& operator=(const HostHandle&) = delete;

    ZyHostHandle get() const { return handle_; }
    uint8_t* block() const { return *handle_; }
    int32_t word(size_t offset) const;
    void setWord(size_t offset, int32_t value);

private:
    ZyHostHandle handle_;
};

}  // namespace zytest
