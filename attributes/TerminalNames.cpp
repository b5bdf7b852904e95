// The name grammar is defined by C scanning patterns ("AI%u-AI%u%c", "conn%d/%s", ...) and
// the number of fields each one reads. The scanner below reproduces those rules by hand
// (literal white space skips any white space, "%u" takes white space, a sign and wraps,
// a pattern stops counting at the first mismatch), so that every text gives exactly the
// answer the patterns define, without the cost of a formatted scan per pattern.
#include "attributes/TerminalNames.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <new>
#include <string_view>

#include "zyostrelapi.h"

namespace zyostrel::attributes {
namespace {

// ---------------------------------------------------------------------------------------
// Scanning primitives. The few on the path of every token are forced inline: resolution
// runs before every attribute command, and call overhead would dominate these small steps.

constexpr bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }
constexpr char toLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

// Text being scanned, [at, end). It never holds a NUL, so the end reads as one, exactly as
// the end of a C string would.
struct Cursor {
    const char* at;
    const char* end;

    char peek() const { return at < end ? *at : '\0'; }
    bool atEnd() const { return at >= end; }
};

// A literal of a pattern: a white-space character skips any white space of the text (none
// included); any other character must be the next one of the text.
[[gnu::always_inline]] inline bool matchLiteral(Cursor& text, std::string_view literal) {
    for (const char expected : literal) {
        if (isSpace(expected)) {
            while (isSpace(text.peek())) ++text.at;
        } else if (text.peek() == expected) {
            ++text.at;
        } else {
            return false;
        }
    }
    return true;
}

// A decimal number as "%u" and "%d" read it: leading white space, one optional sign, at
// least one digit. The value is converted as a 64-bit strtoul/strtol would, then cut to
// 32 bits.
struct ScannedNumber {
    std::uint64_t magnitude = 0;
    bool negative = false;
    bool overflow = false;  // the magnitude exceeds 64 bits
};

[[gnu::always_inline]] inline bool scanNumber(Cursor& text, ScannedNumber& number) {
    const char* at = text.at;
    const char* const end = text.end;
    while (at < end && isSpace(*at)) ++at;
    if (at < end && (*at == '+' || *at == '-')) {
        number.negative = *at == '-';
        ++at;
    }
    const char* const digits = at;
    std::uint64_t magnitude = 0;
    while (at < end && isDigit(*at)) {
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(*at - '0');
        ++at;
    }
    if (at == digits) return false;
    text.at = at;
    // Up to 19 digits always fit in 64 bits; longer runs (leading zeros included) are
    // converted again with the overflow check.
    if (at - digits > 19) {
        constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
        magnitude = 0;
        for (const char* digit = digits; digit < at && !number.overflow; ++digit) {
            const auto value = static_cast<std::uint64_t>(*digit - '0');
            number.overflow = magnitude > (kMax - value) / 10;
            magnitude = magnitude * 10 + value;
        }
    }
    number.magnitude = magnitude;
    return true;
}

// "%u": a negative number wraps; a magnitude beyond 64 bits saturates before the cut.
std::uint32_t unsignedValue(const ScannedNumber& number) {
    if (number.overflow) return std::numeric_limits<std::uint32_t>::max();
    const std::uint64_t value = number.negative ? 0 - number.magnitude : number.magnitude;
    return static_cast<std::uint32_t>(value);
}

// "%d", as the 32 bits it leaves: the 64-bit signed conversion saturates at its limits.
std::uint32_t signedValueBits(const ScannedNumber& number) {
    constexpr std::uint64_t kLongMax = std::numeric_limits<std::int64_t>::max();
    std::uint64_t value = 0;
    if (number.negative) {
        value = number.overflow || number.magnitude > kLongMax + 1 ? kLongMax + 1
                                                                   : 0 - number.magnitude;
    } else {
        value = number.overflow || number.magnitude > kLongMax ? kLongMax : number.magnitude;
    }
    return static_cast<std::uint32_t>(value);
}

[[gnu::always_inline]] inline bool scanUnsigned(Cursor& text, std::uint32_t& value) {
    ScannedNumber number;
    if (!scanNumber(text, number)) return false;
    value = unsignedValue(number);
    return true;
}

// ---------------------------------------------------------------------------------------
// Patterns

// "<prefix>%u<suffix>" of one case of a family.
struct NamePattern {
    std::string_view prefix;
    std::string_view suffix;
};

// What a family's single pattern "<prefix>%u<suffix>%c" and range pattern
// "<prefix>%u<suffix>-<prefix>%u<suffix>%c" make of a text. The single pattern matches when
// it reads exactly one field: the number is read and the trailing "%c" finds nothing, so a
// mismatch inside the suffix still counts as a match. The range pattern matches when it
// reads exactly two fields, by the same rule. Both share the scan up to the first suffix.
struct PatternScan {
    bool single = false;
    bool range = false;
    std::uint32_t first = 0;
    std::uint32_t last = 0;
};

[[gnu::always_inline]] inline PatternScan scanPattern(Cursor text, const NamePattern& pattern) {
    PatternScan scan;
    if (!matchLiteral(text, pattern.prefix) || !scanUnsigned(text, scan.first)) return scan;
    const bool suffixMatched = matchLiteral(text, pattern.suffix);
    scan.single = !(suffixMatched && !text.atEnd());
    if (!suffixMatched || !matchLiteral(text, "-") || !matchLiteral(text, pattern.prefix) ||
        !scanUnsigned(text, scan.last)) {
        return scan;
    }
    scan.range = !(matchLiteral(text, pattern.suffix) && !text.atEnd());
    return scan;
}

// Plain number "%u%c" reading exactly one field.
bool matchPlainNumber(Cursor text, std::uint32_t& number) {
    return scanUnsigned(text, number) && text.atEnd();
}

// ---------------------------------------------------------------------------------------
// Canonical names, built at compile time: the family's upper-case form with the index.

constexpr std::size_t kNameWidth = 12;  // "Ser7_RefClk", "DIFF PFI63" and their NUL

template <std::size_t Count>
struct CanonicalNames {
    char text[Count][kNameWidth];
};

template <std::size_t Count>
constexpr CanonicalNames<Count> makeCanonicalNames(std::string_view prefix,
                                                   std::string_view suffix) {
    static_assert(Count <= 100, "indexes have at most two digits");
    CanonicalNames<Count> names{};
    for (std::size_t index = 0; index < Count; ++index) {
        char* out = names.text[index];
        std::size_t at = 0;
        for (const char c : prefix) out[at++] = c;
        if (index >= 10) out[at++] = static_cast<char>('0' + index / 10);
        out[at++] = static_cast<char>('0' + index % 10);
        for (const char c : suffix) out[at++] = c;
    }
    return names;
}

constexpr auto kAiNames = makeCanonicalNames<64>("AI", "");
constexpr auto kAoNames = makeCanonicalNames<64>("AO", "");
constexpr auto kClkNames = makeCanonicalNames<64>("CLK", "");
constexpr auto kSiNames = makeCanonicalNames<8>("SI", "");
constexpr auto kSoNames = makeCanonicalNames<8>("SO", "");
constexpr auto kSerRefClkNames = makeCanonicalNames<8>("Ser", "_RefClk");
constexpr auto kDesRefClkNames = makeCanonicalNames<8>("Des", "_RefClk");
constexpr auto kDataClkNames = makeCanonicalNames<4>("DataClk", "");
constexpr auto kRxBankNames = makeCanonicalNames<16>("RxBank", "");
constexpr auto kDiNames = makeCanonicalNames<64>("DI", "");
constexpr auto kDoNames = makeCanonicalNames<64>("DO", "");
constexpr auto kDioNames = makeCanonicalNames<96>("DIO", "");
constexpr auto kPfiNames = makeCanonicalNames<64>("PFI", "");
constexpr auto kDiffPfiNames = makeCanonicalNames<64>("DIFF PFI", "");
// Plain numbers, which are also the stream names.
constexpr auto kNumberNames = makeCanonicalNames<kHighestStreamNumber + 1>("", "");

// The names again as pointers, so that a range is appended with one copy.
template <std::size_t Count>
struct CanonicalPointers {
    const char* at[Count];
};

template <std::size_t Count>
constexpr CanonicalPointers<Count> pointersTo(const CanonicalNames<Count>& names) {
    CanonicalPointers<Count> pointers{};
    for (std::size_t index = 0; index < Count; ++index) pointers.at[index] = names.text[index];
    return pointers;
}

constexpr auto kAiPointers = pointersTo(kAiNames);
constexpr auto kAoPointers = pointersTo(kAoNames);
constexpr auto kClkPointers = pointersTo(kClkNames);
constexpr auto kSiPointers = pointersTo(kSiNames);
constexpr auto kSoPointers = pointersTo(kSoNames);
constexpr auto kSerRefClkPointers = pointersTo(kSerRefClkNames);
constexpr auto kDesRefClkPointers = pointersTo(kDesRefClkNames);
constexpr auto kDataClkPointers = pointersTo(kDataClkNames);
constexpr auto kRxBankPointers = pointersTo(kRxBankNames);
constexpr auto kDiPointers = pointersTo(kDiNames);
constexpr auto kDoPointers = pointersTo(kDoNames);
constexpr auto kDioPointers = pointersTo(kDioNames);
constexpr auto kPfiPointers = pointersTo(kPfiNames);
constexpr auto kDiffPfiPointers = pointersTo(kDiffPfiNames);
constexpr std::uint32_t kHighestPlainNumber = kHighestStreamNumber;
constexpr const char kTrigIn[] = "TRIGIN";

struct Family {
    NamePattern upper;
    NamePattern lower;
    std::uint32_t highestIndex;
    const char* const* names;  // highestIndex + 1 canonical names

    const char* name(std::uint32_t index) const { return names[index]; }
};

// In the order the patterns are tried.
constexpr Family kFamilies[] = {
    {{"AI", ""}, {"ai", ""}, 63, kAiPointers.at},
    {{"AO", ""}, {"ao", ""}, 63, kAoPointers.at},
    {{"CLK", ""}, {"clk", ""}, 63, kClkPointers.at},
    {{"SI", ""}, {"si", ""}, 7, kSiPointers.at},
    {{"SO", ""}, {"so", ""}, 7, kSoPointers.at},
    {{"Ser", "_RefClk"}, {"ser", "_refclk"}, 7, kSerRefClkPointers.at},
    {{"Des", "_RefClk"}, {"des", "_refclk"}, 7, kDesRefClkPointers.at},
    {{"DataClk", ""}, {"dataclk", ""}, 3, kDataClkPointers.at},
    {{"RxBank", ""}, {"rxbank", ""}, 15, kRxBankPointers.at},
    {{"DI", ""}, {"di", ""}, 63, kDiPointers.at},
    {{"DO", ""}, {"do", ""}, 63, kDoPointers.at},
    {{"DIO", ""}, {"dio", ""}, 95, kDioPointers.at},
    {{"PFI", ""}, {"pfi", ""}, 63, kPfiPointers.at},
    {{"DIFF PFI", ""}, {"diff pfi", ""}, 63, kDiffPfiPointers.at},
};
constexpr const Family& kAiFamily = kFamilies[0];
constexpr const Family& kAoFamily = kFamilies[1];
constexpr const Family& kSiFamily = kFamilies[3];
static_assert(kAiFamily.upper.prefix == "AI" && kAoFamily.upper.prefix == "AO" &&
              kSiFamily.upper.prefix == "SI");

bool matchSingleEitherCase(Cursor text, const Family& family, std::uint32_t& index) {
    for (const NamePattern* pattern : {&family.upper, &family.lower}) {
        const PatternScan scan = scanPattern(text, *pattern);
        if (scan.single) {
            index = scan.first;
            return true;
        }
    }
    return false;
}

// A pattern starts with a literal letter that must be the text's first character, so the
// first character alone picks the patterns worth scanning: they are listed per character in
// the order they are tried (family order, upper case before lower case).
constexpr std::size_t kMaxCandidates = 6;  // the families starting with D or d

struct Candidate {
    const Family* family;
    const NamePattern* pattern;
};

struct CandidateList {
    std::size_t count = 0;
    Candidate items[kMaxCandidates] = {};
};

constexpr std::array<CandidateList, 256> makeCandidateTable() {
    std::array<CandidateList, 256> table{};
    for (const Family& family : kFamilies) {
        for (const NamePattern* pattern : {&family.upper, &family.lower}) {
            CandidateList& list = table[static_cast<unsigned char>(pattern->prefix.front())];
            list.items[list.count++] = {&family, pattern};
        }
    }
    return table;
}

constexpr std::array<CandidateList, 256> kCandidates = makeCandidateTable();

// ---------------------------------------------------------------------------------------
// Connector prefix: "connector%d/%s", else "conn%d/%s", on the lower-case token.

struct ConnectorPrefix {
    bool present = false;
    std::uint32_t number = 0;  // as "%d" left it; printed unsigned
    Cursor remainder{};        // the "%s" field: lower case, up to the first white space
};

bool matchConnectorPattern(Cursor text, std::string_view literal, ConnectorPrefix& prefix) {
    ScannedNumber number;
    if (!matchLiteral(text, literal) || !scanNumber(text, number) || !matchLiteral(text, "/")) {
        return false;
    }
    while (isSpace(text.peek())) ++text.at;
    const char* start = text.at;
    while (!text.atEnd() && !isSpace(text.peek())) ++text.at;
    if (text.at == start) return false;
    prefix = {true, signedValueBits(number), {start, text.at}};
    return true;
}

// `lowered` receives the lower-case copy of the token that the remainder points into.
ConnectorPrefix readConnectorPrefix(Cursor token, char (&lowered)[kMaxTokenLength + 1]) {
    ConnectorPrefix prefix;
    if (toLower(token.peek()) != 'c') return prefix;
    const std::size_t length = static_cast<std::size_t>(token.end - token.at);
    std::transform(token.at, token.end, lowered, toLower);
    const Cursor text{lowered, lowered + length};
    if (!matchConnectorPattern(text, "connector", prefix)) {
        matchConnectorPattern(text, "conn", prefix);
    }
    return prefix;
}

// ---------------------------------------------------------------------------------------
// Appending names

// "Conn" + connector number + "/" + canonical name + NUL.
constexpr std::size_t kQualifiedWidth = 4 + 10 + 1 + kNameWidth;

void writeQualifiedName(char* out, std::uint32_t connector, const char* canonical) {
    *out++ = 'C';
    *out++ = 'o';
    *out++ = 'n';
    *out++ = 'n';
    char digits[10];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + connector % 10);
        connector /= 10;
    } while (connector != 0);
    while (count != 0) *out++ = digits[--count];
    *out++ = '/';
    while (*canonical != '\0') *out++ = *canonical++;
    *out = '\0';
}

bool appendName(ResolvedNames& list, const char* name) {
    if (list.count == kMaxResolvedNames) return false;
    list.names[list.count++] = name;
    return true;
}

// Appends the family's names first..last (both within the family), qualified when a
// connector prefix was given, as far as the list has room; a name that finds no room
// fails the token. Qualified names of one token share one owned block.
std::int32_t appendFamilyNames(ResolvedNames& list, const Family& family, std::uint32_t first,
                               std::uint32_t last, const ConnectorPrefix& connector) {
    const std::size_t wanted = last - first + 1;
    const std::size_t taken = std::min(wanted, kMaxResolvedNames - list.count);
    const char** out = list.names.data() + list.count;
    if (!connector.present) {
        std::memcpy(out, family.names + first, taken * sizeof(const char*));
    } else if (taken != 0) {
        std::unique_ptr<char[]> block(new char[taken * kQualifiedWidth]);
        char* text = block.get();
        list.ownedTexts.push_back(std::move(block));
        for (std::size_t i = 0; i < taken; ++i, text += kQualifiedWidth) {
            const auto index = first + static_cast<std::uint32_t>(i);
            writeQualifiedName(text, connector.number, family.name(index));
            out[i] = text;
        }
    }
    list.count += taken;
    return taken == wanted ? 0 : ZYOSTREL_Status_TooManyTerminalNames;
}

// A matched range or single name: names up to the family's highest index are appended.
std::int32_t appendFamilyRange(ResolvedNames& list, const Family& family, std::uint32_t first,
                               std::uint32_t last, const ConnectorPrefix& connector) {
    const std::uint32_t low = std::min(first, last);
    const std::uint32_t high = std::max(first, last);
    if (low > family.highestIndex) return ZYOSTREL_Status_TerminalIndexOutOfRange;
    const std::int32_t status =
        appendFamilyNames(list, family, low, std::min(high, family.highestIndex), connector);
    if (status != 0) return status;
    return high > family.highestIndex ? ZYOSTREL_Status_TerminalIndexOutOfRange : 0;
}

// ---------------------------------------------------------------------------------------
// Resolution

std::int32_t resolveToken(ResolvedNames& list, Cursor token) {
    if (static_cast<std::size_t>(token.end - token.at) > kMaxTokenLength) {
        return ZYOSTREL_Status_InvalidTerminalName;
    }
    char lowered[kMaxTokenLength + 1];
    const ConnectorPrefix connector = readConnectorPrefix(token, lowered);
    const Cursor name = connector.present ? connector.remainder : token;

    // Every range pattern is tried before any single pattern: the first single match is
    // only remembered while the remaining range patterns are scanned.
    const CandidateList& candidates = kCandidates[static_cast<unsigned char>(name.peek())];
    const Family* singleFamily = nullptr;
    std::uint32_t singleMatchIndex = 0;
    for (std::size_t i = 0; i < candidates.count; ++i) {
        const PatternScan scan = scanPattern(name, *candidates.items[i].pattern);
        if (scan.range) {
            return appendFamilyRange(list, *candidates.items[i].family, scan.first, scan.last,
                                     connector);
        }
        if (scan.single && singleFamily == nullptr) {
            singleFamily = candidates.items[i].family;
            singleMatchIndex = scan.first;
        }
    }
    if (singleFamily != nullptr) {
        return appendFamilyRange(list, *singleFamily, singleMatchIndex, singleMatchIndex,
                                 connector);
    }
    // Plain numbers and the trigger input are never qualified.
    std::uint32_t first = 0;
    if (matchPlainNumber(name, first)) {
        if (first > kHighestPlainNumber) return ZYOSTREL_Status_TerminalNumberOutOfRange;
        return appendName(list, kNumberNames.text[first]) ? 0
                                                          : ZYOSTREL_Status_TooManyTerminalNames;
    }
    if (std::string_view(name.at, static_cast<std::size_t>(name.end - name.at)) == kTrigIn) {
        return appendName(list, kTrigIn) ? 0 : ZYOSTREL_Status_TooManyTerminalNames;
    }
    return ZYOSTREL_Status_InvalidTerminalName;
}

// An empty text names nothing, except for the attributes whose default qualifier is "0".
bool emptyTextMeansZero(std::uint32_t attributeId) {
    return attributeId == 0x10000008 || attributeId == 0x20000002 || attributeId == 0x20000003;
}

std::int32_t resolveText(ResolvedNames& list) {
    const char* text = list.input;
    if (text == nullptr || *text == '\0') {
        list.names[0] = emptyTextMeansZero(list.attributeId) ? kNumberNames.text[0] : text;
        list.count = 1;
        return 0;
    }
    // Tokens are split at every comma, without trimming; a trailing comma leaves an empty
    // last token, which is rejected like any other empty token.
    for (const char* start = text;;) {
        const char* end = start;
        while (*end != '\0' && *end != ',') ++end;
        const std::int32_t status = resolveToken(list, {start, end});
        if (status != 0) return status;
        if (*end == '\0') return 0;
        start = end + 1;
    }
}

std::int64_t singleIndex(const char* name, const Family& family) {
    if (name == nullptr) return -1;
    const Cursor text{name, name + std::strlen(name)};
    std::uint32_t index = 0;
    return matchSingleEitherCase(text, family, index) ? static_cast<std::int64_t>(index) : -1;
}

}  // namespace

std::int32_t resolveNames(ResolvedNames& list) noexcept {
    list.count = 0;
    list.ownedTexts.clear();
    try {
        return resolveText(list);
    } catch (const std::bad_alloc&) {
        return ZYOSTREL_Status_OutOfMemory;
    }
}

const char* streamName(std::uint32_t streamNumber) noexcept {
    return streamNumber <= kHighestStreamNumber ? kNumberNames.text[streamNumber] : nullptr;
}

std::int64_t analogChannelIndex(const char* name) noexcept {
    const std::int64_t index = singleIndex(name, kAiFamily);
    return index >= 0 ? index : singleIndex(name, kAoFamily);
}

bool isSiName(const char* name) noexcept { return singleIndex(name, kSiFamily) >= 0; }

}  // namespace zyostrel::attributes
