// Loading other libraries, with diagnostics in the status' elaboration.
#pragma once

#include "status/Status.h"

namespace zyostrel::platform {

// dlopen flags for immediate, global binding.
inline constexpr int kLoadNowGlobal = 258;

// dlopen(path, flags); a failure records -52005 with the loader's message. Null on failure
// or when status already holds an error.
void* loadLibrary(const char* path, int flags, zyerr::Status& status);

// dlsym(handle, name); a failure records -52005 with the loader's message.
void* getSymbol(void* handle, const char* name, zyerr::Status& status);

// dlclose; a null handle is ignored.
void closeLibrary(void* handle) noexcept;

}  // namespace zyostrel::platform
