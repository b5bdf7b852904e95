#include "translator/Json1.h"

#include <memory>
#include <new>
#include <string>

#include "platform/Diagnostics.h"
#include "status/ElaborationReader.h"
#include "status/Exception.h"

namespace zyxlator {
namespace {

namespace platform = zyostrel::platform;
using zyerr::JsonText;
using zyerr::JsonType;
using zyerr::codes::InvalidParameter;

constexpr const char* kReportFormat = "json1";

struct TranslatorTextFree {
    void operator()(char* text) const { translatorRealloc(text, 0, nullptr, nullptr); }
};
using TranslatorText = std::unique_ptr<char, TranslatorTextFree>;

void append(zyhtl::BasicString& out, const char* text, zyerr::Status& status) {
    if (text != nullptr) out.append(text, status);
}

int32_t typeNumber(JsonType type) { return static_cast<int32_t>(type); }

// The JSON text of the value at pos, as it stands.
std::string valueText(const JsonText& json, std::size_t pos) {
    const std::size_t end = json.skipValue(pos);
    if (pos >= json.size()) return {};
    return std::string(json.view().substr(pos, end == JsonText::npos ? JsonText::npos : end - pos));
}

zyerr::ElaborationCursor recordInvalid(zyerr::Status& status, const char* member,
                                       const char* message) {
    return platform::recordFailure(status, InvalidParameter, ZYERR_LOCATION(InvalidParameter))
        .beginObject(kDebugKey)
        .addString(member, message);
}

// Appends the decoded string at pos framed by the element texts of style.
void appendElement(const JsonText& json, std::size_t pos, const json1::ItemStyle& style,
                   zyhtl::BasicString& out, zyerr::Status& status) {
    std::string text;
    json.decodeStringAt(pos, text);
    append(out, style.elementPrefix, status);
    out.append(text, status);
    append(out, style.elementSuffix, status);
}

bool appendValue(const JsonText& json, std::size_t value, const json1::ItemStyle& style,
                 zyhtl::BasicString& out, zyerr::Status& status) {
    const JsonType type = json.typeAt(value);
    if (type == JsonType::String) {
        appendElement(json, value, style, out, status);
        return true;
    }
    if (type != JsonType::Array) {
        recordInvalid(status, "formatDynamicReportItems",
                      "json1 dynamic object invalid. value can only be string")
            .addInt("value type", typeNumber(type));
        return false;
    }
    bool first = true;
    for (std::size_t element = json.firstElement(value); element != JsonText::npos;
         element = json.nextElement(element)) {
        if (json.typeAt(element) != JsonType::String) {
            recordInvalid(status, "formatDynamicReportItems",
                          "json1 dynamic object invalid. value can only be string")
                .addInt("value type", typeNumber(json.typeAt(element)));
            return false;
        }
        if (!first) append(out, style.elementSeparator, status);
        first = false;
        appendElement(json, element, style, out, status);
    }
    return true;
}

const json1::ItemStyle& styleFor(const json1::NamedItemStyle* styles, std::string_view type) {
    for (; styles->name != nullptr; ++styles) {
        if (type == styles->name) return styles->style;
    }
    return styles->style;
}

// The name of the translator the elaboration object at root names, or the default one.
std::string translatorNameOf(const JsonText& json, std::size_t root) {
    std::string name = kDefaultXlatorName;
    if (json.typeAt(root) != JsonType::Object) return name;
    const std::size_t value = json.findKey(root, "translator");
    if (json.typeAt(value) == JsonType::String) json.decodeStringAt(value, name);
    return name;
}

// The report of the named translator, checked to be a JSON object; null when there is none.
TranslatorText fetchReport(Session& session, std::string_view elaboration, uint32_t languageWord,
                           zyerr::Status& status) {
    zyhtl::BasicString terminated;
    if (!terminated.assign(elaboration, status)) return nullptr;
    TranslatorText report(getDynamicDesc(session, terminated.c_str(), languageWord, kReportFormat,
                                         &translatorRealloc, nullptr, status));
    if (!report) return nullptr;
    const JsonText json(report.get());
    if (json.typeAt(json.root()) != JsonType::Object ||
        json.skipValue(json.root()) == JsonText::npos) {
        recordInvalid(status, "translateErrStatusToFormattedText",
                      "json1 report is not a JSON object")
            .addString("json", report.get());
        return nullptr;
    }
    return report;
}

void appendReportSection(const char* report, const char* sectionKey, const char* before,
                         const char* after, const json1::NamedItemStyle* styles,
                         zyhtl::BasicString& block, zyerr::Status& status) {
    const JsonText json(report);
    append(block, before, status);
    const std::size_t section = json.findKey(json.root(), sectionKey);
    if (section != JsonText::npos) {
        json1::formatDynamicReportItems(json.view(), section, styles, block, status);
    }
    append(block, after, status);
}

// The nested errors of the elaboration object at root, each formatted one level deeper.
void formatNestedErrors(Session& session, const json1::SectionTexts& sections,
                        const json1::NamedItemStyle* styles, json1::NestedFormatter& formatter,
                        uint32_t depth, const JsonText& json, std::size_t root,
                        uint32_t languageWord, uint32_t flags, zyerr::Status& status) {
    const std::size_t nested = json.findKey(root, "nested_error");
    if (nested == JsonText::npos) return;
    const JsonType type =
        json.skipValue(nested) == JsonText::npos ? JsonType::None : json.typeAt(nested);
    if (type != JsonType::Object && type != JsonType::Array) {
        recordInvalid(status, "translateErrStatusToFormattedText",
                      "nested_error contains invalid json type")
            .addString("json", std::string(json.view()).c_str())
            .addInt("jsonz_type", typeNumber(type));
        return;
    }
    if (depth + 1 > kMaxNestingDepth) {
        recordInvalid(status, "translateErrStatusToFormattedText", "nested_error nested too deeply")
            .addUInt("depth", depth + 1);
        return;
    }
    if (type == JsonType::Array) {
        for (std::size_t element = json.firstElement(nested); element != JsonText::npos;
             element = json.nextElement(element)) {
            if (json.typeAt(element) != JsonType::Object) {
                recordInvalid(status, "translateErrStatusToFormattedText",
                              "nested_error contains invalid json type on one of the element")
                    .addString("json", std::string(json.view()).c_str())
                    .addInt("invalid json_type", typeNumber(json.typeAt(element)));
                return;
            }
        }
    }
    const uint32_t nestedFlags =
        kStaticDescription | kDynamicItems | kNestedErrors | (flags & kDebugItems);
    auto formatOne = [&](std::size_t object) {
        const std::size_t end = json.skipValue(object);
        const int32_t code = json.integerAt(json.findKey(object, "code"), 0);
        json1::translateErrStatusToFormattedText(session, sections, styles, formatter, depth + 1,
                                                 code, json.view().substr(object, end - object),
                                                 languageWord, nestedFlags, status);
    };
    if (type == JsonType::Object) {
        formatOne(nested);
        return;
    }
    for (std::size_t element = json.firstElement(nested);
         element != JsonText::npos && !status.isError(); element = json.nextElement(element)) {
        formatOne(element);
    }
}

// The plain-text layout: the static description, then one line per item.
constexpr json1::SectionTexts kRawSections = {nullptr, "\n", nullptr, "\n", nullptr, nullptr};
constexpr json1::NamedItemStyle kRawStyles[] = {
    {"elaboration", {}},
    {nullptr, {"\n", nullptr, nullptr, ": ", nullptr, nullptr, nullptr, nullptr, ", "}},
};

// Ends each block with an empty line and indents nested errors three blanks per level.
class RawTextFormatter final : public json1::NestedFormatter {
public:
    explicit RawTextFormatter(zyhtl::BasicString& out) : out_(out) {}

    void emit(uint32_t depth, std::string_view block, zyerr::Status& status) override {
        const std::size_t first = block.find_first_not_of("\r\n");
        block = first == std::string_view::npos
                    ? std::string_view()
                    : block.substr(first, block.find_last_not_of("\r\n") + 1 - first);
        const std::string indent(std::size_t{depth} * 3, ' ');
        out_.append(indent, status);
        for (std::size_t start = 0; start < block.size();) {
            const std::size_t lineEnd = block.find('\n', start);
            if (lineEnd == std::string_view::npos) {
                out_.append(block.substr(start), status);
                break;
            }
            out_.append(block.substr(start, lineEnd + 1 - start), status);
            out_.append(indent, status);
            start = lineEnd + 1;
        }
        out_.append("\n\n", status);
    }

private:
    zyhtl::BasicString& out_;
};

// A status holding only code, described by the default translator.
zyerr::Status codeOnly(int32_t code) {
    zyerr::Status status;
    try {
        zyerr::setCode(status, code, ZYERR_LOCATION_NAMED("statusin.code"));
    } catch (const std::bad_alloc&) {
        zyerr::setCode(status, code);
    }
    return status;
}

void restart(zyerr::Status& status, zyhtl::BasicString& out) {
    status = zyerr::Status();
    out.clear();
}

}  // namespace

namespace json1 {

void formatDynamicReportItems(std::string_view report, std::size_t sectionPos,
                              const NamedItemStyle* styles, zyhtl::BasicString& out,
                              zyerr::Status& status) {
    if (status.isError()) return;
    const JsonText json(report.data(), report.size());
    auto sectionInvalid = [&](const char* message) {
        return recordInvalid(status, "formatDynamicReportItems", message)
            .addString("json1DynamicObjectBegin", valueText(json, sectionPos).c_str());
    };
    if (json.typeAt(sectionPos) != JsonType::Array) {
        sectionInvalid("json1 dynamic object invalid. each array item must be an object");
        return;
    }
    for (std::size_t item = json.firstElement(sectionPos); item != JsonText::npos;
         item = json.nextElement(item)) {
        if (json.typeAt(item) != JsonType::Object) {
            sectionInvalid("json1 dynamic object invalid. each array item must be an object");
            return;
        }
        const ItemStyle& style = styleFor(styles, json.stringAt(json.findKey(item, "type"), ""));
        append(out, style.itemPrefix, status);
        const std::size_t key = json.findKey(item, "key");
        std::string keyText;
        if (json.typeAt(key) == JsonType::String && json.decodeStringAt(key, keyText) &&
            !keyText.empty()) {
            append(out, style.keyPrefix, status);
            out.append(keyText, status);
            append(out, style.keySuffix, status);
        }
        const std::size_t value = json.findKey(item, "value");
        if (value != JsonText::npos) {
            if (json.skipValue(value) == JsonText::npos) {
                sectionInvalid("json1 dynamic object invalid. something's wrong with value item")
                    .addString("value", valueText(json, item).c_str());
                return;
            }
            append(out, style.valuePrefix, status);
            if (!appendValue(json, value, style, out, status)) return;
            append(out, style.valueSuffix, status);
        }
        append(out, style.itemSuffix, status);
    }
}

void translateErrStatusToFormattedText(Session& session, const SectionTexts& sections,
                                       const NamedItemStyle* styles, NestedFormatter& formatter,
                                       uint32_t depth, int32_t code, std::string_view elaboration,
                                       uint32_t languageWord, uint32_t flags,
                                       zyerr::Status& status) {
    if (status.isError()) return;
    const JsonText json(elaboration.data(), elaboration.size());
    const std::size_t root = json.root();
    const std::string name = translatorNameOf(json, root);

    TranslatorText staticDesc;
    if (flags & kStaticDescription) {
        staticDesc.reset(getStaticDesc(session, code, name.c_str(), languageWord,
                                       &translatorRealloc, nullptr, status));
    }
    TranslatorText report;
    if ((flags & (kDynamicItems | kDebugItems)) != 0 && name != kDefaultXlatorName) {
        report = fetchReport(session, elaboration, languageWord, status);
    }
    if (status.isError()) return;

    zyhtl::BasicString block;
    if (staticDesc) {
        append(block, sections[0], status);
        append(block, staticDesc.get(), status);
        append(block, sections[1], status);
    }
    if (report && (flags & kDynamicItems)) {
        appendReportSection(report.get(), "dynamic", sections[2], sections[3], styles, block,
                            status);
    }
    if (report && (flags & kDebugItems)) {
        appendReportSection(report.get(), "debug", sections[4], sections[5], styles, block, status);
    }
    if (status.isError()) return;
    formatter.emit(depth, block.view(), status);
    if ((flags & kNestedErrors) && json.typeAt(root) == JsonType::Object) {
        formatNestedErrors(session, sections, styles, formatter, depth, json, root, languageWord,
                           flags, status);
    }
}

void formatRawText(Session& session, const zyerr::Status& source, uint32_t languageWord,
                   uint32_t flags, zyhtl::BasicString& out, zyerr::Status& status) {
    RawTextFormatter formatter(out);
    translateErrStatusToFormattedText(session, kRawSections, kRawStyles, formatter, 0, source.code,
                                      zyerr::elaborationText(source), languageWord, flags, status);
}

void translateErrStatusToRawText(const zyerr::Status& source, uint32_t languageWord, uint32_t flags,
                                 zyhtl::BasicString& out) {
    try {
        translate(source, languageWord, flags, out);
    } catch (const std::exception&) {
        zyerr::Status scratch;
        out.assign(kTranslationFailedText, scratch);
    }
}

}  // namespace json1

void translate(const zyerr::Status& source, uint32_t languageWord, uint32_t flags,
               zyhtl::BasicString& out) {
    zyerr::Status sessionStatus;
    SessionPtr session = createSession(sessionStatus);
    if (!session) zyerr::throwStatus(std::move(sessionStatus));
    out.clear();
    if (source.code == 0) return;

    zyerr::Status local;
    json1::formatRawText(*session, source, languageWord, flags, out, local);
    if ((flags & kNestedErrors) && local.isError()) {
        restart(local, out);
        json1::formatRawText(*session, source, languageWord, flags & ~kNestedErrors, out, local);
    }
    if ((flags & kStaticDescription) && local.isError()) {
        restart(local, out);
        json1::formatRawText(*session, source, languageWord, kStaticDescription, out, local);
        if (local.isError()) {
            restart(local, out);
            const zyerr::Status bare = codeOnly(source.code);
            json1::formatRawText(*session, bare, languageWord, kStaticDescription, out, local);
        }
    }
    if (local.isError()) {
        zyerr::Status scratch;
        if (!out.empty()) out.append("\n\n", scratch);
        out.append(zyerr::elaborationText(local), scratch);
        session.reset();
        zyerr::throwStatus(std::move(local));
    }
}

}  // namespace zyxlator
