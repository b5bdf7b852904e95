/*
 * The contract with the FPGA runtime library (soname libZyFpga.so.13).
 *
 * The library never talks to the device itself: every session is opened through this
 * runtime and nearly every operation is a packed command record handed to
 * ZyFpgaDll_ClientFunctionCall, which forwards it to the device daemon. The product and the
 * emulated instrument both compile against this header; any library with the same soname
 * and these entry points can take the emulator's place at load time.
 *
 * All functions return a signed 32-bit status: 0 success, negative error, positive warning.
 */
#ifndef ZYOSTREL_CHANNEL_FPGARUNTIME_H
#define ZYOSTREL_CHANNEL_FPGARUNTIME_H

#include <stdint.h>

#if defined(ZYFPGA_BUILDING_RUNTIME)
#define ZYFPGA_API __attribute__((visibility("default")))
#else
#define ZYFPGA_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Function group of every client call the library makes. */
#define ZYFPGA_FUNCTION_GROUP 2u
/* Function number that selects an interface call (the record starts with a CommandHeader). */
#define ZYFPGA_FUNCTION_INTERFACE_CALL 256u
/* Open attribute bits: always set by the library; set too when opening a stored image. */
#define ZYFPGA_OPEN_ATTRIBUTE_LIBRARY 0x80000000u
#define ZYFPGA_OPEN_ATTRIBUTE_STORED_IMAGE 0x40000000u
/* Type selector that matches a register or FIFO of any type. */
#define ZYFPGA_ANY_TYPE 0xFFFFFFFFu

/* Opens a session on resourceName. imagePath is a bitfile path, a bitfile document or a
 * stored image name; signature is always null from this library. On success *session holds
 * the new handle. */
ZYFPGA_API int32_t ZyFpgaDll_Open(const char* imagePath, const char* signature,
                                  const char* resourceName, uint32_t attribute, uint32_t* session);

/* Ends a session. Internal callers pass attribute 0. */
ZYFPGA_API int32_t ZyFpgaDll_Close(uint32_t session, uint32_t attribute);

/* Hands one command to the device daemon and returns its status. input/inputSize is the
 * command record (null and 0 when there is none); at most outputSize reply bytes are written
 * to output. */
ZYFPGA_API int32_t ZyFpgaDll_ClientFunctionCall(uint32_t session, uint32_t functionGroup,
                                                uint32_t functionNumber, const void* input,
                                                uint64_t inputSize, void* output,
                                                uint64_t outputSize);

/* Offset of the named register of the session's bitfile. */
ZYFPGA_API int32_t ZyFpgaDll_FindRegisterPrivate(uint32_t session, const char* registerName,
                                                 uint32_t typeSelector, uint32_t* offset);

/* The named DMA FIFO of the session's bitfile: its channel number, implementation kind and
 * number of elements. */
ZYFPGA_API int32_t ZyFpgaDll_FindFifoPrivate(uint32_t session, const char* fifoName,
                                             uint32_t typeSelector, uint32_t* fifoNumber,
                                             uint32_t* implementation, uint32_t* numberOfElements);

/* Reads a Boolean or U8 indicator, writes a U8 control, at a register offset. */
ZYFPGA_API int32_t ZyFpgaDll_ReadBool(uint32_t session, uint32_t offset, uint8_t* value);
ZYFPGA_API int32_t ZyFpgaDll_ReadU8(uint32_t session, uint32_t offset, uint8_t* value);
ZYFPGA_API int32_t ZyFpgaDll_WriteU8(uint32_t session, uint32_t offset, uint8_t value);

#ifdef __cplusplus
}
#endif

#endif /* ZYOSTREL_CHANNEL_FPGARUNTIME_H */
