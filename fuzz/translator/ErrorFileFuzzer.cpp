// libFuzzer entry for the error description file parser.
#include <cstddef>
#include <cstdint>

#include "TranslatorFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zyfuzz::exerciseErrorFile(data, size);
    return 0;
}
