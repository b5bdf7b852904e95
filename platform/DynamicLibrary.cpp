#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

#include "platform/Diagnostics.h"

namespace zyostrel::platform {
namespace {

void recordSymbolFailure(zyerr::Status& status, const char* name, const char* message) {
    zyerr::ElaborationCursor cursor = recordFailure(status, zyerr::codes::InvalidParameter,
                                                    ZYERR_LOCATION(zyerr::codes::InvalidParameter))
                                          .beginObject("zydynlib_debug")
                                          .addString("debug", "failed to get symbol")
                                          .addString("zydynlib_symbol", name)
                                          .end();
    addLoaderError(cursor, message);
}

}  // namespace

void* loadLibrary(const char* path, int flags, zyerr::Status& status) {
    if (status.isError()) return nullptr;
    dlerror();  // a stale message of an earlier call must not be reported as this one's
    void* handle = path != nullptr ? dlopen(path, flags) : nullptr;
    if (handle == nullptr) {
        const char* message = path != nullptr ? dlerror() : "no library path given";
        zyerr::ElaborationCursor cursor =
            recordFailure(status, zyerr::codes::InvalidParameter,
                          ZYERR_LOCATION(zyerr::codes::InvalidParameter))
                .beginObject("zydynlib_debug")
                .addString("debug", "failed to zydynlib_load library")
                .addString("path", path)
                .end();
        addLoaderError(cursor, message);
    }
    dlerror();
    return handle;
}

void* getSymbol(void* handle, const char* name, zyerr::Status& status) {
    if (status.isError()) return nullptr;
    if (handle == nullptr || name == nullptr) {
        recordSymbolFailure(status, name, "no library or symbol given");
        return nullptr;
    }
    dlerror();
    void* address = dlsym(handle, name);
    if (address == nullptr) {
        // A symbol whose value is null is as unusable as a missing one; the loader then
        // has no message to give.
        recordSymbolFailure(status, name, dlerror());
    }
    dlerror();
    return address;
}

void closeLibrary(void* handle) noexcept {
    if (handle != nullptr) dlclose(handle);
}

}  // namespace zyostrel::platform
