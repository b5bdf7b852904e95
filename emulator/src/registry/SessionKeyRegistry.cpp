// The emulated session-key registry, built as libzyajel.so.1. Keys are handed out in
// increasing order and never reused while the library is loaded (a reset starts again), so a
// stale key held by a caller can never reach another session's tables.
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <new>

#include "zyemu/registry.h"

namespace {

constexpr int32_t kOutOfMemory = -52000;
constexpr int32_t kInvalidArgument = -52005;

struct Registration {
    ZyAjelTablePair pairs[ZYAJEL_TABLE_COUNT];
    uint32_t capacity;
    uint32_t version;
    uint32_t flags;
    uint32_t reserved;
};

struct Registry {
    std::mutex lock;
    std::map<uint32_t, Registration> byKey;
    uint32_t nextKey = 1;
    size_t registrations = 0;
    size_t unregistrations = 0;
    int32_t failNext = 0;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

void storeStatus(void* status, int32_t code) noexcept {
    if (status != nullptr) std::memcpy(status, &code, sizeof code);
}

}  // namespace

extern "C" {

ZYAJEL_API uint32_t zyajel_registerSessionGetKey(uint32_t capacity, uint32_t version,
                                                 const ZyAjelTablePair* pairs, uint32_t flags,
                                                 uint32_t reserved, void* status) {
    if (pairs == nullptr) {
        storeStatus(status, kInvalidArgument);
        return 0;
    }
    Registration entry{};
    std::memcpy(entry.pairs, pairs, sizeof entry.pairs);
    entry.capacity = capacity;
    entry.version = version;
    entry.flags = flags;
    entry.reserved = reserved;
    Registry& state = registry();
    std::lock_guard<std::mutex> hold(state.lock);
    if (state.failNext != 0) {
        storeStatus(status, state.failNext);
        state.failNext = 0;
        return 0;
    }
    try {
        uint32_t key = state.nextKey++;
        if (key == 0) key = state.nextKey++;  // 0 means "no reference" to the caller
        state.byKey.emplace(key, entry);
        ++state.registrations;
        return key;
    } catch (const std::bad_alloc&) {
        storeStatus(status, kOutOfMemory);
        return 0;
    }
}

ZYAJEL_API void zyajel_unregisterSession(uint32_t key, void* status) {
    Registry& state = registry();
    std::lock_guard<std::mutex> hold(state.lock);
    if (state.byKey.erase(key) == 0) {
        storeStatus(status, kInvalidArgument);
        return;
    }
    ++state.unregistrations;
}

ZYAJEL_API size_t zyajel_registration_count(void) {
    Registry& state = registry();
    std::lock_guard<std::mutex> hold(state.lock);
    return state.byKey.size();
}

ZYAJEL_API size_t zyajel_registration_total(void) {
    Registry& state = registry();
    std::lock_guard<std::mutex> hold(state.lock);
    return state.registrations;
}

ZYAJEL_API size_t zyajel_unregistration_total(void) {
    Registry& state = registry();
    std::lock_guard<std::mutex> hold(state.lock);
    return state.unregistrations;
}

ZYAJEL_API int32_t zyajel_find(uint32_t key, ZyAjelTablePair* pairs) {
    Registry& state = registry();
    std::lock_guard<std::mutex> hold(state.lock);
    const auto found = state.byKey.find(key);
    if (found == state.byKey.end() || pairs == nullptr) return -1;
    std::memcpy(pairs, found->second.pairs, sizeof found->second.pairs);
    return 0;
}

ZYAJEL_API int32_t zyajel_registration_words(uint32_t key, uint32_t* capacity, uint32_t* version,
                                             uint32_t* flags, uint32_t* reserved) {
    Registry& state = registry();
    std::lock_guard<std::mutex> hold(state.lock);
    const auto found = state.byKey.find(key);
    if (found == state.byKey.end()) return -1;
    if (capacity != nullptr) *capacity = found->second.capacity;
    if (version != nullptr) *version = found->second.version;
    if (flags != nullptr) *flags = found->second.flags;
    if (reserved != nullptr) *reserved = found->second.reserved;
    return 0;
}

ZYAJEL_API void zyajel_fail_next_registration(int32_t status) {
    Registry& state = registry();
    std::lock_guard<std::mutex> hold(state.lock);
    state.failNext = status;
}

ZYAJEL_API void zyajel_reset(void) {
    Registry& state = registry();
    std::lock_guard<std::mutex> hold(state.lock);
    state.byKey.clear();
    state.nextKey = 1;
    state.registrations = 0;
    state.unregistrations = 0;
    state.failNext = 0;
}

}  // extern "C"
