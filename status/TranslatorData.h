// Usage items that let a translator explain the dynamic part of a failure.
#pragma once

#include <cstdint>

#include "status/ElaborationWriter.h"
#include "status/Status.h"

namespace zyerr {

// Name of the library's own translator.
inline constexpr const char* kLibraryTranslator = "mxlator_zyostrelapi";

// A cursor at the end of the "ordered_data" array of translatorName in status' elaboration,
// adding "translator" and "translator_info" when the elaboration names no translator yet.
// Null when the elaboration belongs to another translator (nothing is added) or cannot be
// written.
ElaborationCursor openTranslatorData(Status& status, const char* translatorName);

// Appends {"type":"usage","usage":usageKey,"value":"<decimal>","value_type":"uint64_t"}.
ElaborationCursor addUsageItem(const ElaborationCursor& cursor, const char* usageKey,
                               uint64_t value);

}  // namespace zyerr
