#include "tests/names/ReferenceNames.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>
#include <vector>

#include "zyostrelapi.h"

namespace zytest::names {
namespace {

using zyostrel::attributes::ResolvedNames;

struct ReferenceFamily {
    std::string rangeUpper, rangeLower, singleUpper, singleLower;
    std::vector<std::string> canonical;  // the names of indexes 0 to the highest
};

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The texts the format makes of the indexes 0 to highest.
std::vector<std::string> canonicalTexts(const std::string& format, unsigned highest) {
    std::vector<std::string> texts;
    char buffer[32];
    for (unsigned index = 0; index <= highest; ++index) {
        std::snprintf(buffer, sizeof buffer, format.c_str(), index);
        texts.push_back(buffer);
    }
    return texts;
}

// The sscanf formats of a family, in its canonical case and in lower case: a range, then one
// name, each followed by %c to tell whether anything is left over.
ReferenceFamily family(const std::string& prefix, unsigned highest,
                       const std::string& suffix = "") {
    const std::string upper = prefix + "%u" + suffix;
    const std::string lower = lowerCase(upper);
    return {upper + "-" + upper + "%c", lower + "-" + lower + "%c", upper + "%c", lower + "%c",
            canonicalTexts(upper, highest)};
}

const ReferenceFamily kFamilies[] = {family("AI", 63),
                                     family("AO", 63),
                                     family("CLK", 63),
                                     family("SI", 7),
                                     family("SO", 7),
                                     family("Ser", 7, "_RefClk"),
                                     family("Des", 7, "_RefClk"),
                                     family("DataClk", 3),
                                     family("RxBank", 15),
                                     family("DI", 63),
                                     family("DO", 63),
                                     family("DIO", 95),
                                     family("PFI", 63),
                                     family("DIFF PFI", 63)};
const std::vector<std::string> kPlainNumbers = canonicalTexts("%u", 63);

bool append(ResolvedNames& list, const char* name) {
    if (list.count == zyostrel::attributes::kMaxResolvedNames) return false;
    list.names[list.count++] = name;
    return true;
}

bool appendQualified(ResolvedNames& list, int connector, const std::string& canonical) {
    if (list.count == zyostrel::attributes::kMaxResolvedNames) return false;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "Conn%u/%s", static_cast<unsigned>(connector),
                  canonical.c_str());
    list.ownedTexts.push_back(std::make_unique<char[]>(std::strlen(buffer) + 1));
    std::strcpy(list.ownedTexts.back().get(), buffer);
    return append(list, list.ownedTexts.back().get());
}

std::int32_t appendFamily(ResolvedNames& list, const ReferenceFamily& family, unsigned a,
                          unsigned b, bool qualified, int connector) {
    const unsigned low = a < b ? a : b;
    const unsigned high = a < b ? b : a;
    const auto highest = static_cast<unsigned>(family.canonical.size() - 1);
    if (low > highest) return ZYOSTREL_Status_TerminalIndexOutOfRange;
    for (unsigned index = low; index <= high && index <= highest; ++index) {
        const std::string& canonical = family.canonical[index];
        const bool appended = qualified ? appendQualified(list, connector, canonical)
                                        : append(list, canonical.c_str());
        if (!appended) return ZYOSTREL_Status_TooManyTerminalNames;
    }
    return high > highest ? ZYOSTREL_Status_TerminalIndexOutOfRange : 0;
}

std::int32_t resolveToken(ResolvedNames& list, const std::string& token) {
    if (token.size() > 255) return ZYOSTREL_Status_InvalidTerminalName;

    const std::string lower = lowerCase(token);
    int connector = 0;
    char remainder[256];
    bool qualified = std::sscanf(lower.c_str(), "connector%d/%255s", &connector, remainder) == 2;
    if (!qualified) {
        qualified = std::sscanf(lower.c_str(), "conn%d/%255s", &connector, remainder) == 2;
    }
    const std::string name = qualified ? std::string(remainder) : token;

    unsigned a = 0;
    unsigned b = 0;
    char c = 0;
    for (const ReferenceFamily& family : kFamilies) {
        if (std::sscanf(name.c_str(), family.rangeUpper.c_str(), &a, &b, &c) == 2 ||
            std::sscanf(name.c_str(), family.rangeLower.c_str(), &a, &b, &c) == 2) {
            return appendFamily(list, family, a, b, qualified, connector);
        }
    }
    for (const ReferenceFamily& family : kFamilies) {
        if (std::sscanf(name.c_str(), family.singleUpper.c_str(), &a, &c) == 1 ||
            std::sscanf(name.c_str(), family.singleLower.c_str(), &a, &c) == 1) {
            return appendFamily(list, family, a, a, qualified, connector);
        }
    }
    if (std::sscanf(name.c_str(), "%u%c", &a, &c) == 1) {
        if (a > 63) return ZYOSTREL_Status_TerminalNumberOutOfRange;
        return append(list, kPlainNumbers[a].c_str()) ? 0 : ZYOSTREL_Status_TooManyTerminalNames;
    }
    if (name == "TRIGIN") {
        return append(list, "TRIGIN") ? 0 : ZYOSTREL_Status_TooManyTerminalNames;
    }
    return ZYOSTREL_Status_InvalidTerminalName;
}

std::int64_t singleIndex(const char* name, const char* upper, const char* lower) {
    unsigned index = 0;
    char c = 0;
    if (std::sscanf(name, upper, &index, &c) == 1 || std::sscanf(name, lower, &index, &c) == 1) {
        return index;
    }
    return -1;
}

std::string quoted(const char* text) {
    return text == nullptr ? std::string("(null)") : "\"" + printable(text) + "\"";
}

}  // namespace

std::int32_t referenceResolveNames(ResolvedNames& list) {
    list.count = 0;
    list.ownedTexts.clear();
    const char* input = list.input;
    if (input == nullptr || input[0] == '\0') {
        const std::uint32_t id = list.attributeId;
        const bool zero = id == 0x10000008 || id == 0x20000002 || id == 0x20000003;
        list.names[0] = zero ? "0" : input;
        list.count = 1;
        return 0;
    }
    const std::string text = input;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string token =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const std::int32_t status = resolveToken(list, token);
        if (status != 0) return status;
        if (comma == std::string::npos) return 0;
        start = comma + 1;
    }
}

const char* referenceStreamName(std::uint32_t streamNumber) {
    return streamNumber <= 63 ? kPlainNumbers[streamNumber].c_str() : nullptr;
}

std::int64_t referenceAnalogChannelIndex(const char* name) {
    if (name == nullptr) return -1;
    const std::int64_t index = singleIndex(name, "AI%u%c", "ai%u%c");
    return index >= 0 ? index : singleIndex(name, "AO%u%c", "ao%u%c");
}

bool referenceIsSiName(const char* name) {
    return name != nullptr && singleIndex(name, "SI%u%c", "si%u%c") >= 0;
}

std::string resolutionDifference(const char* input, std::uint32_t attributeId) {
    ResolvedNames scanned(input, attributeId);
    const std::int32_t scannedStatus = zyostrel::attributes::resolveNames(scanned);
    ResolvedNames reference(input, attributeId);
    const std::int32_t referenceStatus = referenceResolveNames(reference);

    std::ostringstream out;
    out << "text " << quoted(input) << " attribute 0x" << std::hex << attributeId << std::dec
        << ": ";
    if (scannedStatus != referenceStatus) {
        out << "status " << scannedStatus << ", reference " << referenceStatus;
        return out.str();
    }
    if (scanned.count != reference.count) {
        out << scanned.count << " names, reference " << reference.count;
        return out.str();
    }
    for (std::size_t i = 0; i < scanned.count; ++i) {
        const char* mine = scanned.names[i];
        const char* theirs = reference.names[i];
        const bool same = (mine == nullptr || theirs == nullptr) ? mine == theirs
                                                                 : std::strcmp(mine, theirs) == 0;
        if (!same) {
            out << "name " << i << " is " << quoted(mine) << ", reference " << quoted(theirs);
            return out.str();
        }
    }
    return {};
}

std::string lookupDifference(const char* name) {
    std::ostringstream out;
    const std::int64_t index = zyostrel::attributes::analogChannelIndex(name);
    const std::int64_t referenceIndex = referenceAnalogChannelIndex(name);
    if (index != referenceIndex) {
        out << "analogChannelIndex(" << quoted(name) << ") is " << index << ", reference "
            << referenceIndex;
        return out.str();
    }
    const bool si = zyostrel::attributes::isSiName(name);
    if (si != referenceIsSiName(name)) {
        out << "isSiName(" << quoted(name) << ") is " << si << ", reference " << !si;
        return out.str();
    }
    return {};
}

std::string printable(const char* text) {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            out += static_cast<char>(byte);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        }
    }
    return out;
}

}  // namespace zytest::names
