#include "ElaborationFuzz.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "status/ElaborationReader.h"
#include "status/ElaborationWriter.h"
#include "status/FetchElaboration.h"
#include "status/TranslatorData.h"

namespace zyfuzz {
namespace {

using zyerr::JsonText;
using zyerr::JsonType;

void require(bool condition) {
    if (!condition) std::abort();
}

void checkInvariant(const zyerr::Status& status) {
    if (status.elaboration == nullptr) return;
    require(status.capacity >= 2);
    require(status.elaboration[status.capacity - 1] == 'J');
    const std::size_t length = strnlen(status.elaboration, status.capacity - 1);
    require(length < status.capacity - 1);
    for (std::size_t i = length; i < status.capacity - 1; ++i) {
        require(status.elaboration[i] == '\0');
    }
}

// Visits values breadth-first with a bounded budget so that hostile nesting stays cheap.
void walk(const JsonText& text) {
    std::vector<std::size_t> pending{text.root()};
    std::string decoded;
    char small[7];
    for (std::size_t visited = 0; !pending.empty() && visited < 4096; ++visited) {
        const std::size_t pos = pending.back();
        pending.pop_back();
        if (pos == JsonText::npos) continue;
        require(pos < text.size());
        switch (text.typeAt(pos)) {
            case JsonType::Object:
                text.endOf(pos);
                text.findKey(pos, "translator");
                for (std::size_t m = text.firstMember(pos); m != JsonText::npos;
                     m = text.nextMember(m)) {
                    text.stringAt(m, "");
                    pending.push_back(text.memberValue(m));
                    if (pending.size() > 4096) break;
                }
                break;
            case JsonType::Array:
                for (std::size_t e = text.firstElement(pos); e != JsonText::npos;
                     e = text.nextElement(e)) {
                    pending.push_back(e);
                    if (pending.size() > 4096) break;
                }
                break;
            case JsonType::String: {
                static const char kDefault[] = "default";
                const std::string_view raw = text.stringAt(pos, kDefault);
                require(raw.data() == kDefault ||
                        (raw.data() > text.view().data() &&
                         raw.data() + raw.size() < text.view().data() + text.size()));
                text.decodeStringAt(pos, decoded);
                text.copyStringAt(pos, small, sizeof(small));
                require(std::strlen(small) < sizeof(small));
                break;
            }
            case JsonType::Number:
                text.integerAt(pos, 0);
                break;
            default:
                break;
        }
        require(text.skipValue(pos) == JsonText::npos || text.skipValue(pos) <= text.size());
    }
}

}  // namespace

void exerciseElaboration(const uint8_t* data, std::size_t size) {
    // The reply of the device is at most this long and need not end with NUL.
    if (size > zyerr::kElaborationReplySize) size = zyerr::kElaborationReplySize;
    std::vector<char> bytes(data, data + size);  // exactly size bytes: no terminator
    const JsonText text(bytes.data(), bytes.size());
    walk(text);

    zyerr::Status status;
    const std::string terminated(bytes.data(), text.size());
    if (!zyerr::setElaboration(status, terminated.c_str())) return;
    checkInvariant(status);
    zyerr::ElaborationCursor cursor = zyerr::openTranslatorData(status, zyerr::kLibraryTranslator);
    cursor = zyerr::addUsageItem(cursor, "kUsageTypeFuzz", size);
    cursor.addString("s", terminated.c_str()).beginObject("o").addInt("i", -1).end();
    checkInvariant(status);
    zyerr::rootCursor(status).addUInt64("n", 1).addString("t", "\"\\\x01\x7f");
    checkInvariant(status);
    // Whatever was written must still read back as the elaboration it extends.
    const JsonText written(zyerr::elaborationText(status));
    walk(written);
    zyerr::setCode(status, -52000,
                   zyerr::SourceLocation{terminated.c_str(), 1, "zyostrelapi", "x"});
    checkInvariant(status);
}

}  // namespace zyfuzz
