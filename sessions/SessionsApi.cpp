// Exported session entry points: forwarders to the runtime, run through the exception
// boundary. The simulation entry points only return a constant.
#include "zyostrelapi.h"

#include "channel/CommandChannel.h"
#include "channel/FpgaRuntime.h"
#include "sessions/Sessions.h"
#include "status/EntryPoint.h"

using zyostrel::channel::kSimulatedSessionResult;

extern "C" {

ZYOSTREL_API int32_t zyOstrel_OpenSession(const char* resourceName, const char* imagePath,
                                          uint32_t attribute, uint32_t* session) {
    return zyerr::callBoundary([&] {
        return zyostrel::sessions::openWithImage(&ZyFpgaDll_Open, resourceName, imagePath,
                                                 attribute, session);
    });
}

ZYOSTREL_API int32_t zyOstrel_CloseSession(uint32_t session, uint32_t attribute) {
    return zyerr::callBoundary([&] { return ZyFpgaDll_Close(session, attribute); });
}

ZYOSTREL_API int32_t zyOstrel_RestartSimulation(void) { return kSimulatedSessionResult; }

ZYOSTREL_API int32_t zyOstrel_DisposeSimulation(void) { return kSimulatedSessionResult; }

}  // extern "C"
