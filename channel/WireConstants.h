// The numbers the library and the device daemon agree on: the simulated-session bit, the
// function numbers, the interface numbers and the sizes of the records and fields that travel
// between them.
//
// Both the library and the emulated instrument take these numbers from here. The library's
// packed records are checked against them at compile time; the emulator decodes the bytes at
// explicit offsets and never casts to the library's records, so a layout mistake on the
// library's side still shows up as a wrong exchange instead of being mirrored.
#pragma once

#include <cstddef>
#include <cstdint>

#include "channel/FpgaRuntime.h"

namespace zyostrel::wire {

// Bit of a session handle that marks a simulated session.
inline constexpr uint32_t kSimulatedSessionBit = 0x2000;

// Function group of every client call, and the function number of an interface call (whose
// record starts with the command header).
inline constexpr uint32_t kFunctionGroup = ZYFPGA_FUNCTION_GROUP;
inline constexpr uint32_t kInterfaceCallFunction = ZYFPGA_FUNCTION_INTERFACE_CALL;

// Interface numbers, the first word of every interface record.
inline constexpr uint32_t kStreamInterface = 257;
inline constexpr uint32_t kAttributeInterface = 258;
inline constexpr uint32_t kSynchronisationInterface = 260;
inline constexpr uint32_t kRoutingInterface = 261;
inline constexpr uint32_t kInstructionFifoInterface = 262;
inline constexpr uint32_t kI2cInterface = 263;

// The command header: interface number, reserved word, two qualifiers, method.
inline constexpr std::size_t kCommandHeaderSize = 20;

// Attribute records: identifier, wire type and qualifier after the header; a set record
// carries the value block (f64, i64, u64, text, u8) after them.
inline constexpr std::size_t kAttributeQualifierSize = 256;
inline constexpr std::size_t kAttributeTextSize = 256;
inline constexpr std::size_t kAttributeValueSize = 281;
inline constexpr std::size_t kAttributeRecordSize = 284;
inline constexpr std::size_t kAttributeSetRecordSize = 565;

// Stream records and replies.
inline constexpr std::size_t kStreamRecordSize = 24;
inline constexpr std::size_t kWaitRecordSize = 36;
inline constexpr std::size_t kWaitReplySize = 9;
inline constexpr std::size_t kTransferRecordSize = 64;
inline constexpr std::size_t kTransferReplySize = 28;
inline constexpr std::size_t kReadInfoSize = 80;

// Each terminal name of a route record.
inline constexpr std::size_t kTerminalFieldSize = 512;

// Most bytes one I2C read returns, and the data field of a write or transfer request.
inline constexpr std::size_t kI2cMaxRead = 255;
inline constexpr std::size_t kI2cDataFieldSize = 1024;

}  // namespace zyostrel::wire
