/* Opens a session through the library and reports which runtime answered.
 * Usage: runtime_substitution_probe emulator|substitute */
#include <stdio.h>
#include <string.h>

#include "zyostrelapi.h"

int main(int argc, char** argv) {
    const int expectSubstitute = argc > 1 && strcmp(argv[1], "substitute") == 0;
    uint32_t session = 0;
    const int32_t status = zyOstrel_OpenSession("ostrel0", NULL, 0, &session);
    const int substituted = status == 4242 && session == 0x0FACE000u;
    printf("open: status %d, session 0x%08x: %s runtime\n", (int)status, (unsigned)session,
           substituted ? "substitute" : "emulated");
    if (status >= 0) zyOstrel_CloseSession(session, 0);
    if (expectSubstitute) return substituted ? 0 : 1;
    return status == 0 && !substituted ? 0 : 1;
}
