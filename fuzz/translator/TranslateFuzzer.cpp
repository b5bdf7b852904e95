// libFuzzer entry for the translation of elaborations.
#include <cstddef>
#include <cstdint>

#include "TranslatorFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zyfuzz::exerciseTranslation(data, size);
    return 0;
}
