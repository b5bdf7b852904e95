// Records of the synchronisation pulse and the routing interface.
#pragma once

#include <cstddef>
#include <cstdint>

#include "channel/CommandRecords.h"

namespace zyostrel::timing {

inline constexpr uint32_t kSyncPulseMethod = 1;
inline constexpr uint32_t kRouteMethod = 0;
inline constexpr uint32_t kUnrouteMethod = 1;
inline constexpr std::size_t kTerminalField = wire::kTerminalFieldSize;

#pragma pack(push, 1)

struct SyncPulseRecord {
    channel::CommandHeader header;
    uint32_t argument;
};

struct RouteRecord {
    channel::CommandHeader header;
    char source[kTerminalField];
    char destination[kTerminalField];
};

struct UnrouteRecord {
    channel::CommandHeader header;
    uint32_t routeId;
};

#pragma pack(pop)

static_assert(sizeof(SyncPulseRecord) == 24);
static_assert(offsetof(SyncPulseRecord, argument) == 20);
static_assert(sizeof(RouteRecord) == 1044);
static_assert(offsetof(RouteRecord, source) == 20);
static_assert(offsetof(RouteRecord, destination) == 532);
static_assert(sizeof(UnrouteRecord) == 24);
static_assert(offsetof(UnrouteRecord, routeId) == 20);

}  // namespace zyostrel::timing
