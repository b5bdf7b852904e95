#include "translator/ErrorFileParser.h"

#include <strings.h>

#include <cctype>
#include <cstdlib>
#include <memory>

#include "platform/Diagnostics.h"
#include "translator/Xlator.h"

namespace zyxlator {
namespace {

namespace platform = zyostrel::platform;
using zyerr::codes::ResourceNotFound;

constexpr char kDeclaration[] = "<?xml version=\"1.0\"";
constexpr char kDocument[] = "<zydocument>";
constexpr char kDocumentEnd[] = "</zydocument>";
constexpr char kErrorOpen[] = "<zyerror code=\"";
constexpr char kErrorClose[] = "</zyerror>";
constexpr char kCommentOpen[] = "<zycomment>";
constexpr char kCommentClose[] = "</zycomment>";

using Line = char[kMaxErrorFileLine + 1];

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

template <std::size_t N>
bool startsWith(const char* line, const char (&keyword)[N]) {
    return strncasecmp(line, keyword, N - 1) == 0;
}

bool readLine(std::FILE* file, Line& line) {
    return std::fgets(line, sizeof line, file) != nullptr;
}

// The code of an opening line, read the way "%i" reads it (decimal, 0x hexadecimal, leading
// 0 octal). Returns what the scan would: 1 with a number, 0 without one, -1 at the end of
// the text. A number outside the 32-bit range is taken as read but matches no code.
int scanCode(const char* text, long long& value) {
    while (std::isspace(static_cast<unsigned char>(*text))) ++text;
    if (*text == '\0') return -1;
    char* end = nullptr;
    value = std::strtoll(text, &end, 0);
    return end == text ? 0 : 1;
}

void recordParseFailure(zyerr::Status& status, const char* message, const char* member = nullptr,
                        const char* memberText = nullptr, int memberValue = 0) {
    zyerr::ElaborationCursor debug =
        platform::recordFailure(status, ResourceNotFound, ZYERR_LOCATION(ResourceNotFound))
            .beginObject(kDebugKey)
            .addString("debug", message);
    if (member != nullptr && memberText != nullptr) debug.addString(member, memberText);
    if (member != nullptr && memberText == nullptr) debug.addInt(member, memberValue);
}

// Skips a comment up to and including its closing line.
void skipComment(std::FILE* file, Line& line) {
    while (readLine(file, line)) {
        if (startsWith(line, kCommentClose)) return;
    }
}

// Reads the lines of a block up to its closing line, appending them to text when it is
// given. False when the file ends first.
bool readBlock(std::FILE* file, Line& line, std::string* text) {
    while (readLine(file, line)) {
        if (startsWith(line, kErrorClose)) return true;
        if (text != nullptr) text->append(line);
    }
    return false;
}

void trimLineEnds(std::string& text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
}

}  // namespace

std::string parseErrorStream(std::FILE* file, int32_t code, zyerr::Status& status) {
    if (status.isError()) return {};
    Line line;
    if (!readLine(file, line) || !startsWith(line, kDeclaration)) return {};
    if (!readLine(file, line) || !startsWith(line, kDocument)) return {};
    while (readLine(file, line)) {
        if (line[0] == '\0') {
            recordParseFailure(status, "Bad explanation file. Unidentified section heading !");
            return {};
        }
        if (startsWith(line, kDocumentEnd)) return {};
        if (startsWith(line, kCommentOpen)) {
            skipComment(file, line);
            continue;
        }
        if (!startsWith(line, kErrorOpen)) continue;
        long long number = 0;
        const int scanned = scanCode(line + sizeof kErrorOpen - 1, number);
        if (scanned != 1) {
            recordParseFailure(status, "Could not successfully read the status data!", "sscanf",
                               nullptr, scanned);
            return {};
        }
        const bool matches = number == code;
        std::string description;
        if (!readBlock(file, line, matches ? &description : nullptr)) {
            recordParseFailure(
                status,
                "Bad explanation file. Could not find the end of the status code definition !");
            return {};
        }
        // The first block for a code is its description; later ones are never read.
        if (matches) {
            trimLineEnds(description);
            return description;
        }
    }
    return {};
}

std::string parseErrorFile(const char* path, int32_t code, zyerr::Status& status) {
    if (status.isError()) return {};
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "r"));
    if (!file) {
        platform::recordFailure(status, ResourceNotFound, ZYERR_LOCATION(ResourceNotFound))
            .beginObject(kDebugKey)
            .addString("debug", "Could not open status explanations file")
            .addString("path", path);
        return {};
    }
    return parseErrorStream(file.get(), code, status);
}

}  // namespace zyxlator
