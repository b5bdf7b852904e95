/*
 * Error descriptions: asks the emulated instrument for an enumeration value its attribute
 * does not accept, then prints what the library says about the failure, first in English,
 * then in French as the graphical host would receive it.
 *
 * The library describes failures in another language only to the graphical host, which it
 * recognises by the host's memory-manager and language functions in the running program.
 * This example provides small stand-ins for them, so it can show the French text too.
 *
 * Usage: error_descriptions [resource]   (default: ostrel0)
 */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "zyostrelapi.h"

#define HOST_FUNCTION __attribute__((visibility("default")))

/* ---- Stand-ins for the graphical host ------------------------------------------------- */
/* A host string handle points at a pointer to a block: a 32-bit length, then the bytes. */

typedef struct HostBlock {
    uint8_t* data;
    size_t size;
} HostBlock;

HOST_FUNCTION uint8_t** DSNewHandle(size_t size) {
    HostBlock* block = calloc(1, sizeof *block);
    if (block == NULL) return NULL;
    block->data = calloc(1, size + 1);
    if (block->data == NULL) {
        free(block);
        return NULL;
    }
    block->size = size;
    return &block->data;
}

HOST_FUNCTION int32_t DSGetHandleSize(uint8_t** handle) {
    return (int32_t)((HostBlock*)handle)->size;
}

HOST_FUNCTION int32_t DSSetHandleSize(uint8_t** handle, size_t size) {
    HostBlock* block = (HostBlock*)handle;
    uint8_t* grown = realloc(block->data, size + 1);
    if (grown == NULL) return 2;
    if (size > block->size) memset(grown + block->size, 0, size + 1 - block->size);
    block->data = grown;
    block->size = size;
    return 0;
}

/* Byte arrays only: the 32-bit length, then count bytes. */
HOST_FUNCTION int32_t NumericArrayResize(int32_t typeCode, int32_t dimensions, uint8_t*** handle,
                                         size_t count) {
    if (typeCode != 1 || dimensions != 1) return 1;
    return DSSetHandleSize(*handle, 4 + count);
}

static void freeHandle(uint8_t** handle) {
    if (handle == NULL) return;
    free(*handle);
    free(handle);
}

/* The host's language, as a text preceded by its length. */
HOST_FUNCTION void GetLangStr(unsigned char* language) {
    static const char name[] = "French";
    language[0] = (unsigned char)strlen(name);
    memcpy(language + 1, name, strlen(name));
}

HOST_FUNCTION int32_t PStrCmp(const unsigned char* first, const unsigned char* second) {
    return first[0] == second[0] && memcmp(first + 1, second + 1, first[0]) == 0 ? 0 : 1;
}

/* ---- The example ---------------------------------------------------------------------- */

static void printText(const char* heading, const char* text, size_t length) {
    /* The host's text starts with a line feed, and descriptions end with an empty line. */
    while (length > 0 && text[0] == '\n') {
        ++text;
        --length;
    }
    while (length > 0 && text[length - 1] == '\n') --length;
    printf("%s:\n  %.*s\n", heading, (int)length, text);
}

int main(int argc, char** argv) {
    const char* resource = argc > 1 ? argv[1] : "ostrel0";
    const int32_t refused = 7; /* Stream Data Format accepts 0 and 1 only */
    char english[2048];
    uint8_t** french = NULL;
    uint32_t session = 0;
    int32_t length = 0;
    int32_t status = zyOstrel_OpenSession(resource, NULL, 0, &session);
    printf("open session on %s: status %d\n", resource, (int)status);
    if (status < 0) return 1;

    status = zyOstrel_SetAttributeInt32(session, "", ZYOSTREL_Attr_StreamDataFormat, refused);
    printf("set Stream Data Format to %d: status %d\n", (int)refused, (int)status);
    if (status >= 0) {
        printf("the instrument accepted a value it should refuse\n");
        zyOstrel_CloseSession(session, 0);
        return 1;
    }

    if (zyOstrel_GetError(session, status, sizeof english, english) == 0) {
        printText("in English", english, strlen(english));
    }
    if (zyOstrel_WBGetError(session, status, &french) == 0 && french != NULL) {
        memcpy(&length, *french, sizeof length);
        printText("in French (as the graphical host receives it)", (const char*)*french + 4,
                  (size_t)length);
    }
    freeHandle(french);

    status = zyOstrel_CloseSession(session, 0);
    printf("close session: status %d\n", (int)status);
    return status < 0;
}
