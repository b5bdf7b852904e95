// Packed little-endian records shared by every command sent to the device daemon.
//
// Each record is laid out exactly as the daemon reads it: packed on byte boundaries, fields
// at fixed offsets, checked below at compile time. Records live on the caller's stack.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "channel/WireConstants.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "command records are laid out for a little-endian host");

namespace zyostrel::channel {

// Command interfaces selected by InterfaceId::interfaceNumber.
enum class Interface : uint32_t {
    Stream = wire::kStreamInterface,
    Attribute = wire::kAttributeInterface,
    Synchronisation = wire::kSynchronisationInterface,
    Routing = wire::kRoutingInterface,
    InstructionFifo = wire::kInstructionFifoInterface,
    I2c = wire::kI2cInterface,
    ConfigurationTree = 0xDE7EC7ED,
};

#pragma pack(push, 1)

struct InterfaceId {
    uint32_t interfaceNumber = 0;
    uint32_t reserved = 0;
    uint32_t qualifier1 = 0;
    uint32_t qualifier2 = 0;

    // All zero, so that whole records can be value-initialised before their fields are set.
    constexpr InterfaceId() = default;
    constexpr explicit InterfaceId(Interface number)
        : interfaceNumber(static_cast<uint32_t>(number)),
          reserved(0),
          qualifier1(0),
          qualifier2(0) {}
    constexpr InterfaceId(Interface number, uint32_t q1, uint32_t q2)
        : interfaceNumber(static_cast<uint32_t>(number)),
          reserved(0),
          qualifier1(q1),
          qualifier2(q2) {}
};

struct CommandHeader {
    InterfaceId interface;
    uint32_t method = 0;
};

#pragma pack(pop)

static_assert(sizeof(InterfaceId) == 16);
static_assert(std::is_trivially_copyable_v<InterfaceId>);
static_assert(offsetof(InterfaceId, interfaceNumber) == 0);
static_assert(offsetof(InterfaceId, reserved) == 4);
static_assert(offsetof(InterfaceId, qualifier1) == 8);
static_assert(offsetof(InterfaceId, qualifier2) == 12);

static_assert(sizeof(CommandHeader) == wire::kCommandHeaderSize);
static_assert(offsetof(CommandHeader, interface) == 0);
static_assert(offsetof(CommandHeader, method) == 16);

// Method-specific fields of every interface record start here.
inline constexpr std::size_t kMethodFieldsOffset = sizeof(CommandHeader);

}  // namespace zyostrel::channel
