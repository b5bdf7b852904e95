// The bitfile parser's fuzz entry, shared by the libFuzzer harness and the corpus replay test.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zyfuzz {

// Parses data as a bitfile document (with its bitstream) and, when it parses, packs every
// resource and checks that the printed metadata parses to the same design. Aborts on any
// outcome other than success or a thrown status.
int parseBitfileInput(const uint8_t* data, std::size_t size);

}  // namespace zyfuzz
