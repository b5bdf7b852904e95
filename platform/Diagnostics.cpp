#include "platform/Diagnostics.h"

#include <cstring>

namespace zyostrel::platform {

zyerr::ElaborationCursor recordFailure(zyerr::Status& status, int32_t code,
                                       const zyerr::SourceLocation& location) {
    if (!zyerr::setCode(status, code, location)) return {};
    return zyerr::rootCursor(status);
}

zyerr::ElaborationCursor addErrnoError(const zyerr::ElaborationCursor& cursor, int error) {
    char text[256] = "";
    // The GNU strerror_r may return a static text instead of filling the buffer.
    const char* message = strerror_r(error, text, sizeof(text));
    return cursor.beginObject("internal_error")
        .addString("api", "errno")
        .addInt("code", error)
        .addString("string", message != nullptr ? message : "")
        .end();
}

zyerr::ElaborationCursor addLoaderError(const zyerr::ElaborationCursor& cursor,
                                        const char* message) {
    return cursor.beginObject("internal_error")
        .addString("api", "dlerror")
        .addString("string", message != nullptr ? message : "")
        .end();
}

}  // namespace zyostrel::platform
