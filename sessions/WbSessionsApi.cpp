// Exported entry points of the graphical host's sessions and the synchronisation references.
#include "zyostrelapi.h"

#include "sessions/HostRuntime.h"
#include "sessions/SyncReferences.h"
#include "status/EntryPoint.h"

extern "C" {

ZYOSTREL_API int32_t zyOstrel_WbOpenSession(const char* resourceName, const char* imagePath,
                                            uint32_t attribute, uint32_t* session) {
    return zyerr::callBoundary([&] {
        return zyostrel::sessions::openThroughHostRuntime(resourceName, imagePath, attribute,
                                                          session);
    });
}

ZYOSTREL_API void SetWBRTTLSIndexHook(uint32_t index) {
    zyostrel::sessions::setHostTlsIndex(index);
}

ZYOSTREL_API int32_t zyOstrel_GetSessionReference(uint32_t session, uint32_t* reference) {
    if (reference == nullptr) return ZYOSTREL_Status_InvalidParameter;
    return zyerr::callBoundary(
        [&] { return zyostrel::sessions::getSessionReference(session, reference); });
}

}  // extern "C"
