/*
 * First session: opens a session on an emulated instrument's default image, asks the
 * runtime where the adapter module's readiness indicator lives, reads the instrument's serial
 * number and closes.
 *
 * Usage: first_session [resource]   (default: ostrel0)
 */
#include <stdio.h>

#include "describe_status.h"
#include "zyostrelapi.h"

#define READY_REGISTER "ostrel.module.dram ready 0"

int main(int argc, char** argv) {
    const char* resource = argc > 1 ? argv[1] : "ostrel0";
    uint32_t session = 0;
    uint32_t offset = 0;
    char serialNumber[ZYOSTREL_ATTRIBUTE_STRING_SIZE + 1];
    int32_t status;

    status = zyOstrel_OpenSession(resource, NULL, 0, &session);
    printf("open session on %s (default image): status %d, session 0x%08x\n", resource, (int)status,
           (unsigned)session);
    describeStatus(0, status);
    if (status < 0) return 1;

    status = zyOstrel_QueryBitfileRegister(session, READY_REGISTER, ZYOSTREL_ANY_TYPE, &offset);
    printf("query register \"%s\": status %d, offset 0x%05x\n", READY_REGISTER, (int)status,
           (unsigned)offset);
    describeStatus(session, status);

    status = zyOstrel_QueryBitfileRegister(session, "no such register", ZYOSTREL_ANY_TYPE, &offset);
    printf("query register \"no such register\": status %d (not in the image)\n", (int)status);
    describeStatus(session, status);

    /* A String value has at most ZYOSTREL_ATTRIBUTE_STRING_SIZE characters: one byte more
     * keeps the copy terminated. */
    status = zyOstrel_GetAttributeString(session, "", ZYOSTREL_Attr_SerialNumber,
                                         sizeof serialNumber, serialNumber);
    printf("serial number: status %d, \"%s\"\n", (int)status, status == 0 ? serialNumber : "");
    describeStatus(session, status);

    status = zyOstrel_CloseSession(session, 0);
    printf("close session 0x%08x: status %d\n", (unsigned)session, (int)status);
    describeStatus(0, status);
    return status < 0 ? 1 : 0;
}
