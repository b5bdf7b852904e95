#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

#include "platform/Diagnostics.h"

namespace zyostrel::platform {

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
    dlerror();
    void* address = handle != nullptr && name != nullptr ? dlsym(handle, name) : nullptr;
    if (address == nullptr) {
        const char* message = handle != nullptr && name != nullptr ? dlerror() : nullptr;
        if (message == nullptr && handle != nullptr && name != nullptr) {
            dlerror();
        }
        zyerr::ElaborationCursor cursor =
            recordFailure(status, zyerr::codes::InvalidParameter,
                          ZYERR_LOCATION(zyerr::codes::InvalidParameter))
                .beginObject("zydynlib_debug")
                .addString("debug", "failed to get symbol")
                .addString("zydynlib_symbol", name)
                .end();
        addLoaderError(cursor, message != nullptr ? message : "no library or symbol given");
    }
    dlerror();
    return address;
}

void closeLibrary(void* handle) {
    if (handle != nullptr) dlclose(handle);
}

}  // namespace zyostrel::platform
