/*
 * Acquisition: configures a finite acquisition of two analog input channels on stream 0,
 * starts it, waits until the samples are there, reads the first part interleaved (1-D, 16-bit
 * integers) and the rest one row per channel (2-D, floating point), prints a few samples and
 * the statistics of each channel, and closes the session.
 *
 * Usage: acquisition [resource]   (default: ostrel0)
 */
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "describe_status.h"
#include "zyostrelapi.h"

#define STREAM 0u
#define CHANNELS "AI0,AI1"
#define CHANNEL_COUNT 2u
#define SAMPLES_PER_CHANNEL 512u
#define INTERLEAVED_SAMPLES 64u /* per channel, read first */
#define ROW_SAMPLES (SAMPLES_PER_CHANNEL - INTERLEAVED_SAMPLES)
/* The 16-bit samples of the emulated inputs span +-1 V at this many counts per volt. */
#define COUNTS_PER_VOLT 8192.0

/* The session the steps run on, whose failures the descriptions explain. */
static uint32_t currentSession;

static int check(const char* step, int32_t status) {
    if (status != 0) printf("%s: status %d\n", step, (int)status);
    describeStatus(currentSession, status);
    return status < 0;
}

static void printStatistics(const char* name, const double* values, size_t count) {
    double minimum = values[0], maximum = values[0], sum = 0.0, squares = 0.0;
    size_t i;
    for (i = 0; i < count; ++i) {
        if (values[i] < minimum) minimum = values[i];
        if (values[i] > maximum) maximum = values[i];
        sum += values[i];
        squares += values[i] * values[i];
    }
    printf("  %s: %zu samples, min %+.4f V, max %+.4f V, mean %+.4f V, rms %.4f V\n", name, count,
           minimum, maximum, sum / (double)count, sqrt(squares / (double)count));
}

int main(int argc, char** argv) {
    const char* resource = argc > 1 ? argv[1] : "ostrel0";
    static int16_t interleaved[CHANNEL_COUNT * INTERLEAVED_SAMPLES];
    static double rows[CHANNEL_COUNT * ROW_SAMPLES];
    static double channel[CHANNEL_COUNT][SAMPLES_PER_CHANNEL];
    zyOstrel_ReadInfo readInfo[CHANNEL_COUNT]; /* one record per row of the 2-D read */
    uint32_t session = 0, enabled = 0;
    uint64_t available = 0;
    uint8_t transferState = 0;
    unsigned c, i;
    int failed;

    if (check("open session", zyOstrel_OpenSession(resource, NULL, 0, &session))) return 1;
    printf("session 0x%08x on %s\n", (unsigned)session, resource);
    currentSession = session;

    failed =
        check("enable channels",
              zyOstrel_ConfigureStreamEnabledChannels(session, STREAM, CHANNELS, &enabled)) ||
        check("configure finite",
              zyOstrel_ConfigureStreamFinite(session, STREAM, SAMPLES_PER_CHANNEL)) ||
        check("start", zyOstrel_StartStream(session, STREAM)) ||
        check("wait", zyOstrel_WaitForTransfer(session, STREAM, CHANNEL_COUNT * SAMPLES_PER_CHANNEL,
                                               0, &available, &transferState));
    if (!failed) {
        printf("stream %u: %u channels (%s), %u samples each; %llu samples ready, state %u\n",
               STREAM, (unsigned)enabled, CHANNELS, SAMPLES_PER_CHANNEL,
               (unsigned long long)available, (unsigned)transferState);
        failed = check("read 1-D", zyOstrel_ReadStreamI16(session, STREAM, 0,
                                                          CHANNEL_COUNT * INTERLEAVED_SAMPLES,
                                                          interleaved, readInfo)) ||
                 check("read 2-D", zyOstrel_ReadStream2DF64(session, STREAM, 0, CHANNEL_COUNT,
                                                            ROW_SAMPLES, rows, readInfo));
    }
    if (!failed) {
        for (c = 0; c < CHANNEL_COUNT; ++c) {
            printf("row %u: channel %u, %llu samples from sample %llu\n", c,
                   (unsigned)readInfo[c].channel, (unsigned long long)readInfo[c].elements,
                   (unsigned long long)readInfo[c].firstSample);
        }
    }
    if (!failed) {
        /* The 1-D read holds the channels interleaved; the 2-D read one row per channel. */
        for (i = 0; i < INTERLEAVED_SAMPLES; ++i) {
            for (c = 0; c < CHANNEL_COUNT; ++c) {
                channel[c][i] = interleaved[i * CHANNEL_COUNT + c] / COUNTS_PER_VOLT;
            }
        }
        for (c = 0; c < CHANNEL_COUNT; ++c) {
            memcpy(&channel[c][INTERLEAVED_SAMPLES], &rows[c * ROW_SAMPLES],
                   ROW_SAMPLES * sizeof(double));
        }
        printf("first samples (1-D read, raw counts):");
        for (i = 0; i < 8; ++i) printf(" %d", (int)interleaved[i]);
        printf("\nfirst samples of the 2-D read (V): AI0 %+.4f %+.4f, AI1 %+.4f %+.4f\n", rows[0],
               rows[1], rows[ROW_SAMPLES], rows[ROW_SAMPLES + 1]);
        printf("statistics:\n");
        printStatistics("AI0", channel[0], SAMPLES_PER_CHANNEL);
        printStatistics("AI1", channel[1], SAMPLES_PER_CHANNEL);
        failed = check("wait",
                       zyOstrel_WaitForTransfer(session, STREAM, 0, 0, &available, &transferState));
        if (!failed) {
            printf("after the reads: %llu samples left, state %u\n", (unsigned long long)available,
                   (unsigned)transferState);
        }
    }
    failed |= check("clear", zyOstrel_ClearStream(session, STREAM));
    currentSession = 0; /* a failed close leaves no session to ask */
    failed |= check("close session", zyOstrel_CloseSession(session, 0));
    return failed ? 1 : 0;
}
