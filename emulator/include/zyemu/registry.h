/*
 * The session-key registry (libzyajel.so.1) and the graphical host's own FPGA library
 * (libZyFpgaWb.so) of the emulated platform.
 *
 * The registry hands out a key per registered session and keeps the five {interface table,
 * context} pairs it was given, so that a synchronisation component (or a test standing in for
 * one) can find a session by its key and drive it through those tables. The tables' layout
 * belongs to whoever registered them; the registry never calls them itself.
 */
#ifndef ZYEMU_REGISTRY_H
#define ZYEMU_REGISTRY_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ZYAJEL_API __attribute__((visibility("default")))

/* Number of interface tables of a registration. */
#define ZYAJEL_TABLE_COUNT 5

/* One interface table with the context its operations are called with. */
typedef struct ZyAjelTablePair {
    const void* table;
    uint64_t context;
} ZyAjelTablePair;

/* Registers a session by its five table pairs and returns its key (never 0). status, when
 * given, points at a record whose first field is the i32 code: an allocation failure stores
 * -52000 there and returns 0. A null pairs array is refused the same way with -52005. */
ZYAJEL_API uint32_t zyajel_registerSessionGetKey(uint32_t capacity, uint32_t version,
                                                 const ZyAjelTablePair* pairs, uint32_t flags,
                                                 uint32_t reserved, void* status);
/* Releases key; an unknown key stores -52005 in status (when given). */
ZYAJEL_API void zyajel_unregisterSession(uint32_t key, void* status);

/* Test and synchronisation-component controls. */
/* Number of keys registered now. */
ZYAJEL_API size_t zyajel_registration_count(void);
/* Number of successful registrations since load or the last zyajel_reset. */
ZYAJEL_API size_t zyajel_registration_total(void);
/* Number of successful unregistrations since load or the last zyajel_reset. */
ZYAJEL_API size_t zyajel_unregistration_total(void);
/* Copies the pairs registered under key into pairs (ZYAJEL_TABLE_COUNT entries); 0, or -1
 * when the key is not registered. */
ZYAJEL_API int32_t zyajel_find(uint32_t key, ZyAjelTablePair* pairs);
/* The two words and two flags given with key's registration; 0, or -1 when unknown. */
ZYAJEL_API int32_t zyajel_registration_words(uint32_t key, uint32_t* capacity, uint32_t* version,
                                             uint32_t* flags, uint32_t* reserved);
/* Makes the next registration fail with status (stored through its status pointer), returning
 * key 0, as a registry out of room would. */
ZYAJEL_API void zyajel_fail_next_registration(int32_t status);
/* Forgets every registration and the counters; keys start again from 1. */
ZYAJEL_API void zyajel_reset(void);

/* libZyFpgaWb.so: the index SetWBRTTLSIndex last stored (0 before any call), and the number of
 * ZyFpgaWb_Open calls since load. */
ZYAJEL_API uint32_t zyfpgawb_tls_index(void);
ZYAJEL_API size_t zyfpgawb_open_count(void);

#ifdef __cplusplus
}
#endif

#endif
