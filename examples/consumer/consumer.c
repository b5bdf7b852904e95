/*
 * A program built outside the source tree against an installed zyostrelapi, with CMake's
 * find_package (CMakeLists.txt) or with pkg-config (Makefile). It opens a session on an
 * emulated instrument, prints the instrument's serial number and closes the session.
 *
 * Usage: consumer [resource]   (default: ostrel0)
 */
#include <stdio.h>

#include "zyostrelapi.h"

int main(int argc, char** argv) {
    const char* resource = argc > 1 ? argv[1] : "ostrel0";
    uint32_t session = 0;
    /* A String value has at most ZYOSTREL_ATTRIBUTE_STRING_SIZE characters. */
    char serialNumber[ZYOSTREL_ATTRIBUTE_STRING_SIZE + 1] = "";
    int32_t status;
    int32_t closeStatus;

    status = zyOstrel_OpenSession(resource, NULL, 0, &session);
    if (status < 0) {
        fprintf(stderr, "consumer: opening a session on %s failed: status %d\n", resource,
                (int)status);
        return 1;
    }
    status = zyOstrel_GetAttributeString(session, "", ZYOSTREL_Attr_SerialNumber,
                                         sizeof serialNumber, serialNumber);
    if (status == 0) {
        printf("%s serial number: %s\n", resource, serialNumber);
    } else {
        fprintf(stderr, "consumer: reading the serial number failed: status %d\n", (int)status);
    }
    closeStatus = zyOstrel_CloseSession(session, 0);
    if (closeStatus < 0) {
        fprintf(stderr, "consumer: closing the session failed: status %d\n", (int)closeStatus);
    }
    return status == 0 && closeStatus >= 0 ? 0 : 1;
}
