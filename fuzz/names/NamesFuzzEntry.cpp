// Fuzz entry of the terminal name grammar: the input is a channel text (cut at its first
// NUL). The hand-written scanner and the sscanf reference must agree on it, resolved for an
// attribute without and with a default name, and as a single name for the lookups; any
// disagreement aborts with a description. The corpus replay test calls the same entry.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/names/ReferenceNames.h"

namespace {

void requireAgreement(const std::string& difference) {
    if (difference.empty()) return;
    std::fprintf(stderr, "terminal names disagree with the reference: %s\n", difference.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    requireAgreement(zytest::names::resolutionDifference(text.c_str(), 0));
    requireAgreement(zytest::names::resolutionDifference(text.c_str(), 0x20000002));
    requireAgreement(zytest::names::lookupDifference(text.c_str()));

    std::uint32_t streamNumber = 0;
    std::memcpy(&streamNumber, data, size < sizeof streamNumber ? size : sizeof streamNumber);
    const char* name = zyostrel::attributes::streamName(streamNumber);
    const char* reference = zytest::names::referenceStreamName(streamNumber);
    if ((name == nullptr) != (reference == nullptr) ||
        (name != nullptr && std::strcmp(name, reference) != 0)) {
        requireAgreement("streamName(" + std::to_string(streamNumber) + ")");
    }
    return 0;
}
