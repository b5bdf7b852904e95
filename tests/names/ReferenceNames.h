// A straightforward implementation of the terminal name grammar with sscanf, pattern by
// pattern as the grammar is written. It is the yardstick of the hand-written scanner: the
// differential test, the corpus replay, the fuzz harness and the benchmark all compare the
// two through this header.
#pragma once

#include <cstdint>
#include <string>

#include "attributes/TerminalNames.h"

namespace zytest::names {

// Resolves list.input for list.attributeId into list like resolveNames; returns the status.
std::int32_t referenceResolveNames(zyostrel::attributes::ResolvedNames& list);

const char* referenceStreamName(std::uint32_t streamNumber);
std::int64_t referenceAnalogChannelIndex(const char* name);
bool referenceIsSiName(const char* name);

// Resolves the text with both implementations. Empty when they agree on the status and on
// every name in order (a null name only equals a null name), else a description of the
// first difference.
std::string resolutionDifference(const char* input, std::uint32_t attributeId);

// Same for analogChannelIndex and isSiName on the text taken as one name.
std::string lookupDifference(const char* name);

// The text with every byte outside printable ASCII written as \xNN.
std::string printable(const char* text);

}  // namespace zytest::names
