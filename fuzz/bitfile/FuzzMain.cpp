// libFuzzer harness of the bitfile parser.
#include <cstddef>
#include <cstdint>

#include "BitfileFuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return zyfuzz::parseBitfileInput(data, size);
}
