/*
 * Firmware update: brings an emulated instrument up to a firmware bundle while a second
 * thread polls and prints the progress, then updates again with the same bundle and shows
 * that nothing is written, since the instrument now stores the bundle's version.
 *
 * Usage: firmware_update [bundle [resource]]
 *   (default: the demo bundle built with the examples, ostrel0)
 */
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include "zyostrelapi.h"

#define DEVICE_KEY "ostrel-7976"

struct Watch {
    const char* resource;
    volatile int done;
};

static void sleepMilliseconds(long milliseconds) {
    struct timespec pause = {milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    nanosleep(&pause, NULL);
}

/* Prints each new progress value until the update's end has been collected. */
static void* watchProgress(void* argument) {
    struct Watch* watch = argument;
    uint32_t last = 101;
    for (;;) {
        uint32_t percent = 0;
        uint8_t inProgress = 0;
        uint8_t failed = 0;
        int32_t status =
            zyOstrel_GetFirmwareUpdateProgress(watch->resource, &percent, &inProgress, &failed);
        if (status == 0 && (percent != last || !inProgress)) {
            printf("  progress %3u%%%s\n", (unsigned)percent,
                   inProgress ? "" : (failed ? " (ended, failed)" : " (ended)"));
            last = percent;
        }
        if (status == 0 && !inProgress) return NULL;
        if (status != 0 && watch->done) return NULL; /* ended and collected already */
        sleepMilliseconds(20);
    }
}

static unsigned char* readBundle(const char* path, size_t* size) {
    FILE* file = fopen(path, "rb");
    unsigned char* bytes = NULL;
    long length;
    if (file == NULL) return NULL;
    if (fseek(file, 0, SEEK_END) == 0 && (length = ftell(file)) > 0 &&
        fseek(file, 0, SEEK_SET) == 0) {
        bytes = malloc((size_t)length);
        if (bytes != NULL && fread(bytes, 1, (size_t)length, file) != (size_t)length) {
            free(bytes);
            bytes = NULL;
        }
        *size = (size_t)length;
    }
    fclose(file);
    return bytes;
}

static int32_t updateWatched(const char* resource, const unsigned char* bundle, size_t size) {
    struct Watch watch = {resource, 0};
    pthread_t watcher;
    int32_t status;
    int watching = pthread_create(&watcher, NULL, watchProgress, &watch) == 0;
    status = zyOstrel_UpdateFirmware(resource, DEVICE_KEY, size, bundle, 0);
    watch.done = 1;
    if (watching) {
        pthread_join(watcher, NULL);
    } else {
        uint32_t percent;
        uint8_t inProgress, failed;
        zyOstrel_GetFirmwareUpdateProgress(resource, &percent, &inProgress, &failed);
    }
    return status;
}

static void printSlot(uint32_t session, uint32_t slot, const char* name) {
    size_t size = 0;
    int32_t status = zyOstrel_GetBitfileMetadataFromFlash(session, slot, &size, NULL);
    printf("  %s slot: status %d, %u bytes of bitfile metadata\n", name, (int)status,
           (unsigned)size);
}

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : ZY_DEMO_BUNDLE;
    const char* resource = argc > 2 ? argv[2] : "ostrel0";
    size_t size = 0;
    unsigned char* bundle = readBundle(path, &size);
    uint32_t session = 0;
    uint32_t revision = 0;
    int32_t status;
    if (bundle == NULL) {
        fprintf(stderr, "cannot read the bundle %s\n", path);
        return 1;
    }
    /* The emulated instrument takes this long per flash write, so the progress can be seen;
     * an instrument of the maker ignores the variable. */
    setenv("ZYEMU_FLASH_WRITE_MS", "150", 0);

    printf("update %s from %s (%u bytes):\n", resource, path, (unsigned)size);
    status = updateWatched(resource, bundle, size);
    printf("update: status %d\n", (int)status);
    if (status < 0) return 1;

    printf("update again with the same bundle:\n");
    status = updateWatched(resource, bundle, size);
    printf("update: status %d (the stored bundle version matches: nothing written)\n", (int)status);
    free(bundle);

    if (zyOstrel_OpenSession(resource, ZYOSTREL_IMAGE_DEFAULT, 0, &session) == 0) {
        printSlot(session, ZYOSTREL_FLASH_SLOT_GOLDEN, "golden");
        printSlot(session, ZYOSTREL_FLASH_SLOT_DEFAULT, "default");
        status = zyOstrel_GetOamFpgaRevision(session, 0, &revision);
        printf("  adapter FPGA 0: status %d, revision 0x%08x\n", (int)status, (unsigned)revision);
        zyOstrel_CloseSession(session, 0);
    }
    return status < 0 ? 1 : 0;
}
