// Recording platform failures with their diagnostic objects in the elaboration.
#pragma once

#include <cstdint>

#include "status/ElaborationWriter.h"
#include "status/Status.h"

namespace zyostrel::platform {

// Sets code at location (merge rule) and returns a cursor on the elaboration's root for the
// diagnostics; null when the code was not taken or the text cannot be written.
zyerr::ElaborationCursor recordFailure(zyerr::Status& status, int32_t code,
                                       const zyerr::SourceLocation& location);

// "internal_error": {"api": "errno", "code": error, "string": the system's text}.
zyerr::ElaborationCursor addErrnoError(const zyerr::ElaborationCursor& cursor, int error);

// "internal_error": {"api": "dlerror", "string": message or ""}.
zyerr::ElaborationCursor addLoaderError(const zyerr::ElaborationCursor& cursor,
                                        const char* message);

}  // namespace zyostrel::platform
