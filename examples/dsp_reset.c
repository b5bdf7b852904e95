/*
 * DSP reset: resets the DSP chain of DSP instance 0 on three emulated instruments at the same
 * instant, the first instrument's image sending the reset pulse and the other two taking it
 * from the sender's terminal. Then one receiver is wired by hand to a trigger line nobody
 * drives: it never sees the pulse, and the description of the failure names its position in
 * the session array.
 *
 * Usage: dsp_reset [resource resource resource]   (default: ostrel0 ostrel1 ostrel2)
 */
#include <stdio.h>
#include <string.h>

#include "describe_status.h"
#include "zyostrelapi.h"

#define INSTRUMENTS 3
#define DSP_INDEX 0
#define DSP_CHANNEL "0"
#define UNDRIVEN_LINE "PXI_Trig7"

/* Prints a description line by line, indented under the line that reported the status. */
static void printDescription(const char* description) {
    const char* line = description;
    while (*line != '\0') {
        size_t length = strcspn(line, "\n");
        if (length > 0) printf("  %.*s\n", (int)length, line);
        line += length;
        if (*line == '\n') ++line;
    }
}

static int32_t resetAll(const uint32_t* sessions) {
    char description[2048] = "";
    int32_t status = zyOstrel_ResetDspSynchronously(sessions, INSTRUMENTS, DSP_INDEX,
                                                    sizeof description, description);
    printf("reset DSP %d on %d sessions: status %d\n", DSP_INDEX, INSTRUMENTS, (int)status);
    if (status != 0) printDescription(description);
    return status;
}

int main(int argc, char** argv) {
    const char* resources[INSTRUMENTS] = {"ostrel0", "ostrel1", "ostrel2"};
    uint32_t sessions[INSTRUMENTS] = {0};
    char terminal[ZYOSTREL_ATTRIBUTE_STRING_SIZE + 1] = "";
    int opened = 0;
    int failed = 0;
    int32_t status;
    int i;

    if (argc == INSTRUMENTS + 1) {
        for (i = 0; i < INSTRUMENTS; ++i) resources[i] = argv[i + 1];
    }
    for (i = 0; i < INSTRUMENTS; ++i) {
        status = zyOstrel_OpenSession(resources[i], NULL, 0, &sessions[i]);
        printf("open session on %s: status %d\n", resources[i], (int)status);
        describeStatus(0, status);
        if (status < 0) break;
        ++opened;
    }

    if (opened == INSTRUMENTS) {
        status = zyOstrel_GetAttributeString(
            sessions[0], DSP_CHANNEL, ZYOSTREL_Attr_DSPResetSendingTerm, sizeof terminal, terminal);
        printf("the sender drives the reset on \"%s\"\n", status == 0 ? terminal : "?");
        failed |= resetAll(sessions) != 0;

        /* A receiver's own source is kept as set: wired elsewhere, it misses the pulse. */
        status = zyOstrel_SetAttributeString(sessions[2], DSP_CHANNEL, ZYOSTREL_Attr_DSPResetSource,
                                             UNDRIVEN_LINE);
        printf("wire %s's DSP reset to \"%s\": status %d\n", resources[2], UNDRIVEN_LINE,
               (int)status);
        failed |= status != 0;
        failed |= resetAll(sessions) != ZYOSTREL_Status_DspResetTimeout;
        zyOstrel_SetAttributeString(sessions[2], DSP_CHANNEL, ZYOSTREL_Attr_DSPResetSource, "");
    }

    for (i = 0; i < opened; ++i) {
        status = zyOstrel_CloseSession(sessions[i], 0);
        describeStatus(0, status);
        failed |= status != 0;
    }
    return opened == INSTRUMENTS && !failed ? 0 : 1;
}
