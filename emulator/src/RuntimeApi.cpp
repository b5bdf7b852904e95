// The FPGA runtime's entry points, answered by the emulator. Each is an exception boundary:
// a failure inside becomes a status (see Boundary.h), and a call on a session leaves the
// failure's elaboration there.
#include "channel/FpgaRuntime.h"

#include "Boundary.h"
#include "Emulator.h"

using zyemu::Emulator;
using zyemu::guarded;
using zyemu::guardedOnSession;

extern "C" {

ZYFPGA_API int32_t ZyFpgaDll_Open(const char* imagePath, const char* signature,
                                  const char* resourceName, uint32_t attribute, uint32_t* session) {
    return guarded([&] {
        return Emulator::instance().open(imagePath, signature, resourceName, attribute, session);
    });
}

ZYFPGA_API int32_t ZyFpgaDll_Close(uint32_t session, uint32_t attribute) {
    return guardedOnSession(session,
                            [&] { return Emulator::instance().close(session, attribute); });
}

ZYFPGA_API int32_t ZyFpgaDll_ClientFunctionCall(uint32_t session, uint32_t functionGroup,
                                                uint32_t functionNumber, const void* input,
                                                uint64_t inputSize, void* output,
                                                uint64_t outputSize) {
    return guardedOnSession(session, [&] {
        return Emulator::instance().clientCall(session, functionGroup, functionNumber, input,
                                               inputSize, output, outputSize);
    });
}

ZYFPGA_API int32_t ZyFpgaDll_FindRegisterPrivate(uint32_t session, const char* registerName,
                                                 uint32_t typeSelector, uint32_t* offset) {
    return guardedOnSession(session, [&] {
        return Emulator::instance().findRegister(session, registerName, typeSelector, offset);
    });
}

ZYFPGA_API int32_t ZyFpgaDll_FindFifoPrivate(uint32_t session, const char* fifoName,
                                             uint32_t typeSelector, uint32_t* fifoNumber,
                                             uint32_t* implementation, uint32_t* numberOfElements) {
    return guardedOnSession(session, [&] {
        return Emulator::instance().findFifo(session, fifoName, typeSelector, fifoNumber,
                                             implementation, numberOfElements);
    });
}

ZYFPGA_API int32_t ZyFpgaDll_ReadBool(uint32_t session, uint32_t offset, uint8_t* value) {
    return guardedOnSession(session, [&] {
        return Emulator::instance().readRegister(ZYEMU_ENTRY_READ_BOOL, session, offset, value);
    });
}

ZYFPGA_API int32_t ZyFpgaDll_ReadU8(uint32_t session, uint32_t offset, uint8_t* value) {
    return guardedOnSession(session, [&] {
        return Emulator::instance().readRegister(ZYEMU_ENTRY_READ_U8, session, offset, value);
    });
}

ZYFPGA_API int32_t ZyFpgaDll_WriteU8(uint32_t session, uint32_t offset, uint8_t value) {
    return guardedOnSession(session,
                            [&] { return Emulator::instance().writeU8(session, offset, value); });
}

}  // extern "C"
