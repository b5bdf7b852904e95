// Exported DSP reset entry points: the reset runs behind the one exception boundary, and a
// failure it reports is described into the caller's text.
#include "zyostrelapi.h"

#include "status/EntryPoint.h"
#include "status/OstrelErrors.h"
#include "timing/DspReset.h"

namespace {

// Runs the reset and keeps a failure it reports in failure, for its description. Running out
// of memory or an unexpected exception passes on to the boundary and is not described.
int32_t runReset(const uint32_t* sessions, size_t sessionCount, int32_t dspIndex,
                 zyerr::Status& failure) {
    try {
        zyostrel::timing::resetDspSynchronously(sessions, sessionCount, dspIndex);
        return 0;
    } catch (const zyerr::Exception& exception) {
        zyerr::mergeFrom(failure, exception.status());
        return zyerr::boundaryCodeOf(exception);
    }
}

}  // namespace

extern "C" {

ZYOSTREL_API int32_t zyOstrel_ResetDspSynchronously(const uint32_t* sessions, size_t sessionCount,
                                                    int32_t dspIndex, size_t errorDescriptionSize,
                                                    char* errorDescription) {
    return zyerr::callBoundary([&] {
        zyerr::Status failure;
        const int32_t status = runReset(sessions, sessionCount, dspIndex, failure);
        if (failure.code != 0 && errorDescription != nullptr) {
            zyerr::translateStatusToBuffer(failure, errorDescriptionSize, errorDescription);
        }
        return status;
    });
}

ZYOSTREL_API int32_t zyOstrel_WbResetDspSynchronously(const uint32_t* sessions, size_t sessionCount,
                                                      int32_t dspIndex,
                                                      uint8_t*** errorDescription) {
    return zyerr::callBoundary([&] {
        zyerr::Status failure;
        const int32_t status = runReset(sessions, sessionCount, dspIndex, failure);
        if (failure.code != 0 && errorDescription != nullptr) {
            zyerr::translateStatusToWbString(failure, errorDescription);
        }
        return status;
    });
}

}  // extern "C"
