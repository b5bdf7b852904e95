// Exported bitfile queries: plain forwarders to the FPGA runtime. The runtime is a C library
// chosen at load time; the boundary keeps a replacement that throws from unwinding into the
// caller.
#include "zyostrelapi.h"

#include "channel/FpgaRuntime.h"
#include "status/EntryPoint.h"

extern "C" {

ZYOSTREL_API int32_t zyOstrel_QueryBitfileRegister(uint32_t session, const char* registerName,
                                                   uint32_t typeSelector, uint32_t* offset) {
    return zyerr::callBoundary(
        [&] { return ZyFpgaDll_FindRegisterPrivate(session, registerName, typeSelector, offset); });
}

ZYOSTREL_API int32_t zyOstrel_QueryBitfileFifo(uint32_t session, const char* fifoName,
                                               uint32_t typeSelector, uint32_t* fifoNumber,
                                               uint32_t* implementation,
                                               uint32_t* numberOfElements) {
    return zyerr::callBoundary([&] {
        return ZyFpgaDll_FindFifoPrivate(session, fifoName, typeSelector, fifoNumber,
                                         implementation, numberOfElements);
    });
}

}  // extern "C"
