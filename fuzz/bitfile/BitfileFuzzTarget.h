// The bitfile parser's fuzz entry, shared by the libFuzzer harness and the corpus replay test.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zyfuzz {

// Parses data as a bitfile document (with its bitstream) and, when it parses, packs every
// resource and checks that the printed metadata parses to the same design; then parses it
// without its bitstream and checks that this reads the same. Aborts on any outcome other than
// success or a thrown status, and on any difference between the two parses.
int parseBitfileInput(const uint8_t* data, std::size_t size);

}  // namespace zyfuzz
