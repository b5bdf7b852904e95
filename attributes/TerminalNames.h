// The grammar of terminal and channel names: turns a caller's channel text (one name, a
// comma-separated list, ranges such as AI0-AI7, names qualified by an adapter connector) into
// the canonical names that qualify attribute commands, plus the small name lookups the stream
// and readiness code needs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace zyostrel::attributes {

// Most names one channel text may resolve to.
inline constexpr std::size_t kMaxResolvedNames = 96;
// Longest accepted token (the text between two commas).
inline constexpr std::size_t kMaxTokenLength = 255;
// Streams are numbered 0 to this.
inline constexpr std::uint32_t kHighestStreamNumber = 63;

// The names a channel text resolves to. Built per call on the caller's stack; the owned
// texts are released when the list goes out of scope (on success and on failure alike).
struct ResolvedNames {
    ResolvedNames() = default;
    ResolvedNames(const char* channelText, std::uint32_t attribute)
        : input(channelText), attributeId(attribute) {}
    ResolvedNames(const ResolvedNames&) = delete;
    ResolvedNames& operator=(const ResolvedNames&) = delete;

    // The caller's channel text (may be null). Not copied: it must outlive the list.
    const char* input = nullptr;
    // The first `count` entries are the resolved names in order (the others are left
    // unset). Each points to a static canonical text, into `ownedTexts`, or (for an empty
    // text) to `input` itself, which may be null: a null or empty name stands for an empty
    // qualifier.
    std::array<const char*, kMaxResolvedNames> names;
    std::size_t count = 0;
    // Storage of the connector-qualified names ("Conn2/AI0") built during resolution; one
    // block may hold several consecutive names.
    std::vector<std::unique_ptr<char[]>> ownedTexts;
    // The attribute the text qualifies (0 when none); decides the default for an empty text.
    std::uint32_t attributeId = 0;

    const char* const* begin() const { return names.data(); }
    const char* const* end() const { return names.data() + count; }
};

// Resolves list.input (qualifying list.attributeId) into list.names / list.count. Any names
// and owned texts of an earlier resolution are dropped first. Returns 0, or:
//   ZYOSTREL_Status_InvalidTerminalName (-304419)      a token longer than 255 characters,
//                                                      empty, or matching no pattern
//   ZYOSTREL_Status_TooManyTerminalNames (-304420)     more than 96 names
//   ZYOSTREL_Status_TerminalIndexOutOfRange (-304421)  an index above its family's highest
//   ZYOSTREL_Status_TerminalNumberOutOfRange (-304422) a plain number above 63
//   ZYOSTREL_Status_OutOfMemory (-304017)              a qualified name could not be stored
// On failure the names resolved before the failing one stay in the list.
std::int32_t resolveNames(ResolvedNames& list) noexcept;

// The name of stream `streamNumber` ("0" to "63"), or null above 63.
const char* streamName(std::uint32_t streamNumber) noexcept;

// n for a name that matches the single AI pattern (AIn or ain), else n for the single AO
// pattern, else -1 (also for a null name). n is the number as read, 0 to 4294967295: the
// caller checks it against its own limit.
std::int64_t analogChannelIndex(const char* name) noexcept;

// Whether the name matches the single SI pattern (SIn or sin). A null name is not.
bool isSiName(const char* name) noexcept;

}  // namespace zyostrel::attributes
