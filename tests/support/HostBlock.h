// A block of the graphical host's memory as the test binaries stand in for it: a handle
// points at the block's first member, so a handle leads back to its block. A block keeps one
// byte more than its size, so that size 0 has an address.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "streams/HostMemory.h"

namespace zytest {

struct Block {
    uint8_t* data = nullptr;
    std::vector<uint8_t> store;
    // Keeps the bytes the block had and zeroes the new ones.
    void resize(std::size_t size) {
        store.resize(size + 1);
        data = store.data();
    }
};

inline Block* blockOf(ZyHostHandle handle) { return reinterpret_cast<Block*>(handle); }

}  // namespace zytest
