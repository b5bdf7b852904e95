#include "translator/Xlator.h"

#include <cstdlib>

#include "platform/Diagnostics.h"

namespace zyxlator {

void* translatorRealloc(void* pointer, std::size_t size, void* /*context*/, zyerr::Status* status) {
    if (size == 0) {
        std::free(pointer);
        return nullptr;
    }
    if (status != nullptr && status->isError()) return nullptr;
    void* grown = std::realloc(pointer, size);
    if (grown == nullptr && status != nullptr) {
        zyostrel::platform::recordFailure(*status, zyerr::codes::MemoryFull,
                                          ZYERR_LOCATION(zyerr::codes::MemoryFull))
            .beginObject(kDebugKey)
            .addString("debug", "realloc failed")
            .end();
    }
    return grown;
}

}  // namespace zyxlator
