/*
 * Shared by the examples: prints what the library says about a status, under the line that
 * reported it. The description of a device failure includes what the instrument recorded
 * about it, so pass the session the failing call was made on (0 when there was none).
 */
#ifndef EXAMPLES_DESCRIBE_STATUS_H
#define EXAMPLES_DESCRIBE_STATUS_H

#include <stdio.h>
#include <string.h>

#include "zyostrelapi.h"

static void describeStatus(uint32_t session, int32_t status) {
    char description[2048];
    size_t length;
    if (status == 0) return;
    if (zyOstrel_GetError(session, status, sizeof description, description) != 0) return;
    /* Descriptions end with an empty line; the examples print their own line ends. */
    length = strlen(description);
    while (length > 0 && description[length - 1] == '\n') description[--length] = '\0';
    printf("  %s %d: %s\n", status < 0 ? "error" : "warning", (int)status, description);
}

#endif
