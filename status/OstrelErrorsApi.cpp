// Exported description entry points.
#include "zyostrelapi.h"

#include "status/EntryPoint.h"
#include "status/FetchElaboration.h"
#include "status/OstrelErrors.h"

namespace {

// The status to describe: code with the device's elaboration. When that cannot be had (a
// simulated session, a failed query) the code alone is described, as for session 0, so a
// failure never reads as an empty description.
zyerr::Status statusToDescribe(uint32_t session, int32_t code) {
    zyerr::Status status;
    if (zyerr::fetchElaboration(session, code, status) < 0 || status.code != code) {
        status = zyerr::Status();
        zyerr::fetchElaboration(0, code, status);
    }
    return status;
}

}  // namespace

extern "C" {

ZYOSTREL_API int32_t zyOstrel_GetError(uint32_t session, int32_t errorCode, size_t bufferSize,
                                       char* buffer) {
    if (errorCode == 0) return 0;
    return zyerr::callBoundary([&] {
        const zyerr::Status status = statusToDescribe(session, errorCode);
        return zyerr::translateStatusToBuffer(status, bufferSize, buffer);
    });
}

ZYOSTREL_API int32_t zyOstrel_WBGetError(uint32_t session, int32_t errorCode,
                                         uint8_t*** errorDescription) {
    if (errorDescription == nullptr || errorCode == 0) return 0;
    return zyerr::callBoundary([&] {
        const zyerr::Status status = statusToDescribe(session, errorCode);
        return zyerr::translateStatusToWbString(status, errorDescription);
    });
}

}  // extern "C"
