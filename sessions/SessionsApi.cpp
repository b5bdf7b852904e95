// Exported session entry points. None of them can throw: they forward to the runtime.
#include "zyostrelapi.h"

#include "channel/CommandChannel.h"
#include "channel/FpgaRuntime.h"
#include "sessions/Sessions.h"

using zyostrel::channel::kSimulatedSessionResult;

extern "C" {

ZYOSTREL_API int32_t zyOstrel_OpenSession(const char* resourceName, const char* imagePath,
                                          uint32_t attribute, uint32_t* session) {
    return zyostrel::sessions::openWithImage(&ZyFpgaDll_Open, resourceName, imagePath, attribute,
                                             session);
}

ZYOSTREL_API int32_t zyOstrel_CloseSession(uint32_t session, uint32_t attribute) {
    return ZyFpgaDll_Close(session, attribute);
}

ZYOSTREL_API int32_t zyOstrel_RestartSimulation(void) { return kSimulatedSessionResult; }

ZYOSTREL_API int32_t zyOstrel_DisposeSimulation(void) { return kSimulatedSessionResult; }

}  // extern "C"
