// The graphical host's own FPGA library, built as libZyFpgaWb.so. Inside the host it opens
// sessions for the host's threads; here it delegates to the emulated runtime, and keeps what
// the product handed it so tests can see the loader's effects.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "channel/FpgaRuntime.h"
#include "zyemu/registry.h"

namespace {
std::atomic<uint32_t> tlsIndex{0};
std::atomic<size_t> opens{0};
}  // namespace

extern "C" {

ZYAJEL_API void SetWBRTTLSIndex(uint32_t index) { tlsIndex.store(index); }

ZYAJEL_API int32_t ZyFpgaWb_Open(const char* imagePath, const char* signature,
                                 const char* resourceName, uint32_t attribute, uint32_t* session) {
    opens.fetch_add(1);
    return ZyFpgaDll_Open(imagePath, signature, resourceName, attribute, session);
}

ZYAJEL_API uint32_t zyfpgawb_tls_index(void) { return tlsIndex.load(); }

ZYAJEL_API size_t zyfpgawb_open_count(void) { return opens.load(); }

}  // extern "C"
