/* The public header used from strict C99: its generated constants and the read-info record
 * are usable as a C program would use them. */
#include <stddef.h>

#include "zyostrelapi.h"

int headerUsedFromCxx(void);

/* C99 has no static_assert: a negative array size stops the compilation instead. */
#define CHECK(name, condition) typedef char name[(condition) ? 1 : -1]
CHECK(readInfoIs80Bytes,
      sizeof(zyOstrel_ReadInfo) == ZYOSTREL_READ_INFO_SIZE && ZYOSTREL_READ_INFO_SIZE == 80);
CHECK(readInfoFieldsInPlace, offsetof(zyOstrel_ReadInfo, elements) == 8 &&
                                 offsetof(zyOstrel_ReadInfo, channel) == 16 &&
                                 offsetof(zyOstrel_ReadInfo, streamNumber) == 20);
CHECK(attributeIdentifiersAreUnsigned, ZYOSTREL_Attr_ReferenceClockSource == 0x1000000Bu &&
                                           ZYOSTREL_Attr_StreamNumberOfSamples > 0x4FFFFFFFu);
#if ZYOSTREL_VERSION < 10000
#error "the version macro is usable in #if and the library is at least 1.0.0"
#endif

int main(void) {
    enum zyOstrel_StatusCode code = ZYOSTREL_Status_InvalidParameter;
    int32_t (*open)(const char*, const char*, uint32_t, uint32_t*) = zyOstrel_OpenSession;
    /* A two-row read's records, and an attribute call spelled with the generated names. */
    zyOstrel_ReadInfo rows[2];
    const uint32_t simulated = ZYOSTREL_SIMULATED_SESSION_BIT;
    if (open == NULL || code != -52005) return 1;
    if (zyOstrel_RestartSimulation() != -1) return 1;
    if (zyOstrel_SetAttributeInt32(simulated, "", ZYOSTREL_Attr_StartTriggerSensitivity,
                                   ZYOSTREL_Val_StartTriggerSensitivity_RisingEdge) != -1)
        return 1;
    if (zyOstrel_ReadStream2DI16(simulated, 0, 0, 2, 0, NULL, rows) != -1) return 1;
    return headerUsedFromCxx();
}
