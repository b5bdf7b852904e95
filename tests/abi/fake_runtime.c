/* A stand-in FPGA runtime that answers every open with a recognisable session and warning,
 * proving that whatever libZyFpga.so.13 the loader finds first is the one the library uses. */
#include <stddef.h>

#include "channel/FpgaRuntime.h"

#define FAKE_SESSION 0x0FACE000u
#define FAKE_WARNING 4242

ZYFPGA_API int32_t ZyFpgaDll_Open(const char* imagePath, const char* signature,
                                  const char* resourceName, uint32_t attribute, uint32_t* session) {
    (void)imagePath;
    (void)signature;
    (void)resourceName;
    (void)attribute;
    if (session != NULL) *session = FAKE_SESSION;
    return FAKE_WARNING;
}

ZYFPGA_API int32_t ZyFpgaDll_Close(uint32_t session, uint32_t attribute) {
    (void)attribute;
    return session == FAKE_SESSION ? 0 : -1;
}

ZYFPGA_API int32_t ZyFpgaDll_ClientFunctionCall(uint32_t session, uint32_t functionGroup,
                                                uint32_t functionNumber, const void* input,
                                                uint64_t inputSize, void* output,
                                                uint64_t outputSize) {
    (void)session;
    (void)functionGroup;
    (void)functionNumber;
    (void)input;
    (void)inputSize;
    (void)output;
    (void)outputSize;
    return FAKE_WARNING;
}

ZYFPGA_API int32_t ZyFpgaDll_FindRegisterPrivate(uint32_t session, const char* registerName,
                                                 uint32_t typeSelector, uint32_t* offset) {
    (void)session;
    (void)registerName;
    (void)typeSelector;
    if (offset != NULL) *offset = 0xFACE;
    return 0;
}

/* Left out of the stand-in built to show that a missing entry point stops the program at load. */
#ifndef FAKE_RUNTIME_WITHOUT_FIND_FIFO
ZYFPGA_API int32_t ZyFpgaDll_FindFifoPrivate(uint32_t session, const char* fifoName,
                                             uint32_t typeSelector, uint32_t* fifoNumber,
                                             uint32_t* implementation, uint32_t* numberOfElements) {
    (void)session;
    (void)fifoName;
    (void)typeSelector;
    (void)fifoNumber;
    (void)implementation;
    (void)numberOfElements;
    return -1;
}
#endif

ZYFPGA_API int32_t ZyFpgaDll_ReadBool(uint32_t session, uint32_t offset, uint8_t* value) {
    (void)session;
    (void)offset;
    if (value != NULL) *value = 1;
    return 0;
}

ZYFPGA_API int32_t ZyFpgaDll_ReadU8(uint32_t session, uint32_t offset, uint8_t* value) {
    (void)session;
    (void)offset;
    if (value != NULL) *value = 0xFA;
    return 0;
}

ZYFPGA_API int32_t ZyFpgaDll_WriteU8(uint32_t session, uint32_t offset, uint8_t value) {
    (void)session;
    (void)offset;
    (void)value;
    return 0;
}
