// The json1 formatter: asks the translators for a status' descriptions and lays them out as
// text, nested errors after their parent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "status/Status.h"
#include "translator/BasicString.h"
#include "translator/Session.h"

namespace zyxlator {

// What a translation includes.
enum TranslationFlags : uint32_t {
    kStaticDescription = 1,
    kDynamicItems = 2,
    kDebugItems = 4,
    kNestedErrors = 8,
};

// Nested errors deeper than this are refused (-52005): an elaboration from outside may nest
// without end, and each level is formatted by a recursive call.
inline constexpr uint32_t kMaxNestingDepth = 32;

// The text a failed translation is described with.
inline constexpr const char* kTranslationFailedText = "Failed to translate error elaboration.";

namespace json1 {

// The texts around one part of a report item; null counts as empty.
struct ItemStyle {
    const char* itemPrefix;
    const char* itemSuffix;
    const char* keyPrefix;
    const char* keySuffix;
    const char* valuePrefix;
    const char* valueSuffix;
    const char* elementPrefix;
    const char* elementSuffix;
    const char* elementSeparator;
};

// A style for the items of one type; the list ends with an entry whose name is null, the
// style of every other type.
struct NamedItemStyle {
    const char* name;
    ItemStyle style;
};

// Texts before and after the static description (0, 1), the dynamic items (2, 3) and the
// debug items (4, 5); null counts as empty.
using SectionTexts = const char* [6];

// Finishes the block of one error at a nesting depth and appends it to the output.
class NestedFormatter {
public:
    virtual ~NestedFormatter() = default;
    virtual void emit(uint32_t depth, std::string_view block, zyerr::Status& status) = 0;
};

// Appends the items of the report section at sectionPos (an array of objects) to out.
void formatDynamicReportItems(std::string_view report, std::size_t sectionPos,
                              const NamedItemStyle* styles, zyhtl::BasicString& out,
                              zyerr::Status& status);

// Formats code with its elaboration (null or "" for none) and, with kNestedErrors, its
// nested errors, handing each block to formatter.
void translateErrStatusToFormattedText(Session& session, const SectionTexts& sections,
                                       const NamedItemStyle* styles, NestedFormatter& formatter,
                                       uint32_t depth, int32_t code, std::string_view elaboration,
                                       uint32_t languageWord, uint32_t flags,
                                       zyerr::Status& status);

// Runs one formatting of status into out in the plain-text style.
void formatRawText(Session& session, const zyerr::Status& source, uint32_t languageWord,
                   uint32_t flags, zyhtl::BasicString& out, zyerr::Status& status);

// The plain-text description of status; a translation that fails gives
// kTranslationFailedText.
void translateErrStatusToRawText(const zyerr::Status& source, uint32_t languageWord, uint32_t flags,
                                 zyhtl::BasicString& out);

}  // namespace json1

// Translates status with fallbacks: without nested errors, then the static description
// alone, then the static description of the code alone. Throws zyerr::Exception when every
// attempt failed; out then holds what was produced and the failure's elaboration.
void translate(const zyerr::Status& source, uint32_t languageWord, uint32_t flags,
               zyhtl::BasicString& out);

}  // namespace zyxlator
