/* A relocation library for tests: answers a few standard directories and leaves the others
 * without an entry; built with ZY_RELOCATION_FAILS it also fails one name. */
#include <stddef.h>
#include <string.h>

__attribute__((visibility("default"))) int get_relocated_dir(const char* name, char* buffer,
                                                             size_t size) {
    const char* value = NULL;
    if (strcmp(name, "prefixdir") == 0) value = "/opt/relocated";
    if (strcmp(name, "libdir") == 0) value = "/opt/relocated/lib";
    if (strcmp(name, "multiarchlibdir") == 0) value = "/opt/relocated/lib/multiarch";
    if (strcmp(name, "docdir") == 0) {
        /* Fills the whole buffer without a NUL: the caller must not read past it. */
        memset(buffer, 'd', size);
        return (int)size;
    }
#ifdef ZY_RELOCATION_FAILS
    if (strcmp(name, "runstatedir") == 0) return -1;
#endif
    if (value == NULL) return 0;
    strncpy(buffer, value, size);
    return (int)strlen(value);
}
