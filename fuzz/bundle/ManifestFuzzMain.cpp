// libFuzzer harness of the bundle reader over manifest text.
#include <cstddef>
#include <cstdint>

#include "BundleFuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return zyfuzz::readBundleManifest(data, size);
}
