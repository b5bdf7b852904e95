// libFuzzer entry for the elaboration reader and writer.
#include <cstddef>
#include <cstdint>

#include "ElaborationFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zyfuzz::exerciseElaboration(data, size);
    return 0;
}
