#include "status/TranslatorData.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "status/ElaborationReader.h"

namespace zyerr {
namespace {

ElaborationCursor writeTranslatorInfo(const ElaborationCursor& parent) {
    return parent.beginObject("translator_info")
        .addString("is_debug", "0")
        .addInt("version", 1)
        .beginArray("ordered_data");
}

}  // namespace

ElaborationCursor openTranslatorData(Status& status, const char* translatorName) {
    if (translatorName == nullptr) return {};
    const ElaborationCursor root = rootCursor(status);
    if (root.isNull()) return {};
    const JsonText text(status.elaboration, status.capacity);
    const std::size_t rootPos = text.root();
    const std::size_t translator = text.findKey(rootPos, "translator");
    if (translator == JsonText::npos) {
        return writeTranslatorInfo(root.addString("translator", translatorName));
    }
    if (!text.stringEquals(translator, translatorName)) return {};

    const std::size_t info = text.findKey(rootPos, "translator_info");
    if (info == JsonText::npos) return writeTranslatorInfo(root);
    if (text.typeAt(info) != JsonType::Object) return {};
    const std::size_t data = text.findKey(info, "ordered_data");
    if (data == JsonText::npos) {
        const std::size_t infoEnd = text.endOf(info);
        if (infoEnd == JsonText::npos) return {};
        return ElaborationCursor(status, infoEnd).beginArray("ordered_data");
    }
    if (text.typeAt(data) != JsonType::Array) return {};
    const std::size_t dataEnd = text.endOf(data);
    if (dataEnd == JsonText::npos) return {};
    return ElaborationCursor(status, dataEnd);
}

ElaborationCursor addUsageItem(const ElaborationCursor& cursor, const char* usageKey,
                               uint64_t value) {
    // The value travels as a decimal string, printed into a 100-byte buffer.
    char decimal[100];
    std::snprintf(decimal, sizeof(decimal), "%" PRIu64, value);
    return cursor.beginObject(nullptr)
        .addString("type", "usage")
        .addString("usage", usageKey)
        .addString("value", decimal)
        .addString("value_type", "uint64_t")
        .end();
}

}  // namespace zyerr
