/* A translator manager library for the tests: it knows one translator, "managed_xlator",
 * whose static description is "Managed <code>.", and counts what it was asked for. */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define EXPORT __attribute__((visibility("default")))

typedef struct Xlator Xlator;
typedef void* (*Allocate)(void* pointer, size_t size, void* context, void* status);
struct Xlator {
    uint64_t structSize;
    void (*destroy)(Xlator*);
    char* (*getStaticDesc)(Xlator*, int32_t, uint32_t, Allocate, void*, void*);
    void* getDynamicDesc;
};

static int sessions;
static int xlators;

static char* managedStatic(Xlator* xlator, int32_t code, uint32_t language, Allocate allocate,
                           void* context, void* status) {
    (void)xlator;
    (void)language;
    char* text = allocate(NULL, 32, context, status);
    if (text != NULL) snprintf(text, 32, "Managed %d.", (int)code);
    return text;
}

static Xlator managed = {32, NULL, managedStatic, NULL};
static int sessionToken;

EXPORT void* zyxlatormgr_createSession(void* status) {
    (void)status;
    ++sessions;
    return &sessionToken;
}

EXPORT void zyxlatormgr_destroySession(void* session) {
    if (session == &sessionToken) --sessions;
}

EXPORT Xlator* zyxlatormgr_createXlator(void* session, const char* name, void* status,
                                        void* reserved) {
    (void)session;
    (void)status;
    (void)reserved;
    if (strcmp(name, "managed_xlator") != 0) return NULL;
    ++xlators;
    return &managed;
}

EXPORT void zyxlatormgr_destroyXlator(void* session, Xlator* xlator) {
    (void)session;
    if (xlator == &managed) --xlators;
}

EXPORT int testmgr_live(void) { return sessions * 100 + xlators; }
