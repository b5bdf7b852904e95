// Synchronisation references: a key per session under which the session-key registry knows
// it, with the tables of callbacks an outside synchronisation component drives it through.
#pragma once

#include <cstdint>

namespace zyerr {
struct Status;
}

namespace zyostrel::sessions {

// Every operation gets its table's context (the session handle, widened) first and the
// registry's status record last; a nonzero command result is elaborated into that record.
using SyncContext = uint64_t;
using SyncStatus = zyerr::Status;

struct SyncTableA {
    int32_t (*method6)(SyncContext, uint32_t, uint32_t, SyncStatus*);
    int32_t (*method7)(SyncContext, double, double, SyncStatus*);
    int32_t (*method8)(SyncContext, double, double, SyncStatus*);
    int32_t (*method9)(SyncContext, double, SyncStatus*);
};

struct SyncTableB {
    // Sets *armed to 1 before sending method 13, whatever the command's result.
    int32_t (*method13)(SyncContext, uint8_t* armed, SyncStatus*);
    int32_t (*method14)(SyncContext, SyncStatus*);
};

struct SyncTableC {
    int32_t (*method2)(SyncContext, uint32_t, SyncStatus*);
    int32_t (*method3)(SyncContext, uint32_t, SyncStatus*);
    int32_t (*method1)(SyncContext, uint32_t, SyncStatus*);
    int32_t (*method4)(SyncContext, uint32_t, SyncStatus*);
    // The reply's f64; its two u32 values go through first and second when given (zero
    // after a failed command).
    double (*method5)(SyncContext, uint32_t, uint32_t* first, uint32_t* second, SyncStatus*);
};

struct SyncTableD {
    int32_t (*method10)(SyncContext, SyncStatus*);
    int32_t (*method11)(SyncContext, SyncStatus*);
    uint8_t (*method12)(SyncContext, SyncStatus*);  // the one-byte reply (0 after a failure)
};

// Receivers of the string getters.
using StringReceiver = void (*)(void* receiverContext, const char* text, int32_t length,
                                SyncStatus*);
using StringListReceiver = void (*)(void* receiverContext, const char* const* texts, int32_t count,
                                    const int32_t* lengths, SyncStatus*);

// Attribute operations: the channel text reaches the device unchanged (no name grammar).
struct SyncAttributeTable {
    uint8_t (*query)(SyncContext, const char* channel, uint32_t id, SyncStatus*);
    int32_t (*setBoolean)(SyncContext, const char*, uint32_t, int32_t, SyncStatus*);
    int32_t (*setDouble)(SyncContext, const char*, uint32_t, double, SyncStatus*);
    int32_t (*setInt32)(SyncContext, const char*, uint32_t, int32_t, SyncStatus*);
    int32_t (*setUInt32)(SyncContext, const char*, uint32_t, uint32_t, SyncStatus*);
    int32_t (*setUInt64)(SyncContext, const char*, uint32_t, uint64_t, SyncStatus*);
    int32_t (*setString)(SyncContext, const char*, uint32_t, const char*, SyncStatus*);
    int32_t (*setStringList)(SyncContext, const char*, uint32_t, const char* const* texts,
                             uint32_t count, SyncStatus*);
    // The getters return 0 when the record's code is negative after the call.
    int32_t (*getBoolean)(SyncContext, const char*, uint32_t, SyncStatus*);
    double (*getDouble)(SyncContext, const char*, uint32_t, SyncStatus*);
    int32_t (*getInt32)(SyncContext, const char*, uint32_t, SyncStatus*);
    uint32_t (*getUInt32)(SyncContext, const char*, uint32_t, SyncStatus*);
    uint64_t (*getUInt64)(SyncContext, const char*, uint32_t, SyncStatus*);
    int32_t (*getString)(SyncContext, const char*, uint32_t, StringReceiver, void*, SyncStatus*);
    int32_t (*getStringList)(SyncContext, const char*, uint32_t, StringListReceiver, void*,
                             SyncStatus*);
};

extern const SyncTableA kSyncTableA;
extern const SyncTableB kSyncTableB;
extern const SyncTableC kSyncTableC;
extern const SyncTableD kSyncTableD;
extern const SyncAttributeTable kSyncAttributeTable;

// Positions of the tables in the array handed to the registry.
enum class SyncTableSlot : int { Attribute = 0, D = 1, C = 2, B = 3, A = 4 };

// The session's reference, registering it first when its stored reference reads 0; see the
// source for the steps. Serialised process-wide. Writes *reference as it reads or registers.
int32_t getSessionReference(uint32_t session, uint32_t* reference);

}  // namespace zyostrel::sessions
