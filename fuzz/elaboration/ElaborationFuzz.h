// One entry that drives the elaboration reader and writer over arbitrary bytes, shared by
// the fuzzer and the corpus replay test.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zyfuzz {

// Reads the bytes as an elaboration (bounded, as the device's reply would be), walks every
// value the reader can reach, then writes translator data and usage items into a status
// holding the same text and checks the buffer invariant. Aborts on a broken invariant.
void exerciseElaboration(const uint8_t* data, std::size_t size);

}  // namespace zyfuzz
