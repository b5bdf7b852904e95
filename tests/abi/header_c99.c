/* The public header used from strict C99. */
#include "zyostrelapi.h"

int headerUsedFromCxx(void);

int main(void) {
    enum zyOstrel_StatusCode code = ZYOSTREL_Status_InvalidParameter;
    int32_t (*open)(const char*, const char*, uint32_t, uint32_t*) = zyOstrel_OpenSession;
    if (open == NULL || code != -52005) return 1;
    if (zyOstrel_RestartSimulation() != -1) return 1;
    return headerUsedFromCxx();
}
