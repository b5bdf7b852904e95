#include "bitfile/XmlText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "bitfile/ParseMemory.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace zyrask::xml {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// Reads the magnitude at text[position]; nothing when no digit is there or it exceeds limit.
std::optional<uint64_t> parseMagnitude(std::string_view text, std::size_t position,
                                       uint64_t limit) {
    unsigned base = 10;
    if (position < text.size() && text[position] == '0') {
        const bool hexPrefix = position + 2 < text.size() &&
                               (text[position + 1] == 'x' || text[position + 1] == 'X') &&
                               digitValue(text[position + 2]) < 16;
        if (hexPrefix) {
            base = 16;
            position += 2;
        } else {
            base = 8;
        }
    }
    uint64_t value = 0;
    std::size_t digits = 0;
    for (; position < text.size(); ++position, ++digits) {
        const int digit = digitValue(text[position]);
        if (digit >= static_cast<int>(base)) break;
        value = value * base + static_cast<unsigned>(digit);
        if (value > limit) return std::nullopt;
    }
    if (digits == 0) return std::nullopt;
    return value;
}

std::size_t skipSpace(std::string_view text) {
    std::size_t position = 0;
    while (position < text.size() && isSpace(text[position])) ++position;
    return position;
}

}  // namespace

// One pass decodes what replacing each entity over the whole text in turn, "&amp;" last,
// decodes: no entity holds a second ampersand, so no two overlap, and only a decoded "&amp;"
// could begin a new one, which the ordered replacement leaves alone too.
std::string decodeEntities(const char* text, std::size_t size) {
    static const struct {
        const char* entity;
        std::size_t size;
        char character;
    } kEntities[] = {
        {"&lt;", 4, '<'},   {"&gt;", 4, '>'},  {"&apos;", 6, '\''},
        {"&quot;", 6, '"'}, {"&amp;", 5, '&'},
    };
    const char* const end = text + size;
    const char* ampersand = static_cast<const char*>(std::memchr(text, '&', size));
    if (ampersand == nullptr) return std::string(text, size);
    std::string decoded;
    decoded.reserve(size);
    const char* from = text;
    while (ampersand != nullptr) {
        decoded.append(from, ampersand);
        from = ampersand + 1;
        char character = '&';
        for (const auto& entity : kEntities) {
            if (static_cast<std::size_t>(end - ampersand) >= entity.size &&
                std::memcmp(ampersand, entity.entity, entity.size) == 0) {
                character = entity.character;
                from = ampersand + entity.size;
                break;
            }
        }
        decoded.push_back(character);
        ampersand =
            static_cast<const char*>(std::memchr(from, '&', static_cast<std::size_t>(end - from)));
    }
    decoded.append(from, end);
    return decoded;
}

std::optional<uint32_t> parseUnsigned(std::string_view text) {
    std::size_t position = skipSpace(text);
    if (position < text.size() && text[position] == '+') ++position;
    const auto magnitude = parseMagnitude(text, position, 0xFFFFFFFFu);
    if (!magnitude) return std::nullopt;
    return static_cast<uint32_t>(*magnitude);
}

std::optional<int32_t> parseSigned(std::string_view text) {
    std::size_t position = skipSpace(text);
    bool negative = false;
    if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
        negative = text[position] == '-';
        ++position;
    }
    const auto magnitude = parseMagnitude(text, position, negative ? 0x80000000u : 0x7FFFFFFFu);
    if (!magnitude) return std::nullopt;
    const int64_t value =
        negative ? -static_cast<int64_t>(*magnitude) : static_cast<int64_t>(*magnitude);
    return static_cast<int32_t>(value);
}

std::optional<bool> parseBoolean(std::string_view text) {
    auto equalsIgnoringCase = [&text](const char* word) {
        const std::size_t size = std::strlen(word);
        if (text.size() != size) return false;
        for (std::size_t i = 0; i < size; ++i) {
            char c = text[i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c != word[i]) return false;
        }
        return true;
    };
    if (equalsIgnoringCase("true")) return true;
    if (equalsIgnoringCase("false")) return false;
    return std::nullopt;
}

const Node* child(const Node* parent, const char* name) {
    if (parent == nullptr) return nullptr;
    return parent->first_node(name, std::strlen(name), true);
}

void children(const Node* parent, const std::string_view* names, const Node** found,
              std::size_t count) {
    std::fill(found, found + count, nullptr);
    for (const Node* item = parent->first_node(); item != nullptr; item = item->next_sibling()) {
        const std::string_view name = nameViewOf(item);
        for (std::size_t index = 0; index < count; ++index) {
            if (found[index] == nullptr && name == names[index]) {
                found[index] = item;
                break;
            }
        }
    }
}

std::string textOf(const Node* node) { return decodeEntities(node->value(), node->value_size()); }

std::string nameOf(const Node* node) { return std::string(node->name(), node->name_size()); }

std::string_view nameViewOf(const Node* node) {
    return std::string_view(node->name(), node->name_size());
}

DecodedText::DecodedText(const Node* node) : view_(node->value(), node->value_size()) {
    if (view_.find('&') != std::string_view::npos) {
        decoded_ = decodeEntities(node->value(), node->value_size());
        view_ = decoded_;
    }
}

std::optional<std::string> attributeOf(const Node* node, const char* name) {
    const auto* attribute = node->first_attribute(name, std::strlen(name), true);
    if (attribute == nullptr) return std::nullopt;
    return decodeEntities(attribute->value(), attribute->value_size());
}

namespace {

// The index of the first of the characters wanted at or after from, or size. Texts between
// tags and the tags themselves are mostly a few characters long, where a call to a search
// function costs more than the search: sixteen characters are compared at once in line.
template <class... Wanted>
std::size_t findFirstOf(const char* text, std::size_t from, std::size_t size, Wanted... wanted) {
#ifdef __SSE2__
    for (; from + 16 <= size; from += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + from));
        const int mask = (_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(wanted))) | ...);
        if (mask != 0)
            return from + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    for (; from < size; ++from) {
        if (((text[from] == wanted) || ...)) return from;
    }
    return size;
}

}  // namespace

DocumentScan scanDocument(const char* text, std::size_t size, std::string_view childName) {
    DocumentScan scan;
    std::size_t depth = 0;
    bool childSeen = false;
    auto skipPast = [&](std::size_t from, const char* terminator) {
        const std::size_t length = std::strlen(terminator);
        if (from >= size) return size;
        const void* found = ::memmem(text + from, size - from, terminator, length);
        return found == nullptr ? size : static_cast<const char*>(found) - text + length;
    };
    std::size_t i = 0;
    while ((i = findFirstOf(text, i, size, '<')) < size) {
        const char next = i + 1 < size ? text[i + 1] : '\0';
        if (next == '/') {
            if (depth > 0) --depth;
            // An end tag holds only its name.
            i = std::min(size, findFirstOf(text, i + 2, size, '>') + 1);
        } else if (next == '?') {
            i = skipPast(i + 2, "?>");
        } else if (next == '!') {
            if (size - i >= 4 && std::memcmp(text + i, "<!--", 4) == 0) {
                i = skipPast(i + 4, "-->");
            } else if (size - i >= 9 && std::memcmp(text + i, "<![CDATA[", 9) == 0) {
                i = skipPast(i + 9, "]]>");
            } else {
                i = skipPast(i + 2, ">");
            }
        } else {
            // An opening tag: quoted attribute values may hold '>' and '/'.
            std::size_t j = findFirstOf(text, i + 1, size, '>', '"', '\'');
            while (j < size && text[j] != '>') {
                j = findFirstOf(text, j + 1, size, text[j]);  // the closing quote
                j = findFirstOf(text, std::min(size, j + 1), size, '>', '"', '\'');
            }
            const bool selfClosing = j < size && text[j - 1] == '/';
            const bool isChild = !childSeen && depth == 1 && j < size &&
                                 j - (i + 1) == childName.size() &&
                                 std::memcmp(text + i + 1, childName.data(), childName.size()) == 0;
            if (!selfClosing && ++depth > scan.deepestNesting) scan.deepestNesting = depth;
            if (selfClosing && depth + 1 > scan.deepestNesting) scan.deepestNesting = depth + 1;
            i = j + 1;
            if (isChild) {
                // The text runs to the next tag; it holds none, so the scan goes on after it.
                childSeen = true;
                scan.childTextBegin = i;
                scan.childTextEnd = static_cast<std::size_t>(::strchrnul(text + i, '<') - text);
                i = scan.childTextEnd;
            }
        }
    }
    return scan;
}

namespace {

// The printer runs twice over the tree: once to count the text, once to write it into storage
// of exactly that size. Metadata texts run to tens of megabytes, and a string grown piece by
// piece copies itself over and over and touches fresh memory each time.
class SizeCounter {
public:
    void put(char) { ++size_; }
    void put(const char*, std::size_t count) { size_ += count; }
    void tabs(int count) { size_ += static_cast<std::size_t>(count); }
    std::size_t size() const { return size_; }

private:
    std::size_t size_ = 0;
};

class Writer {
public:
    explicit Writer(char* at) : at_(at) {}
    void put(char c) { *at_++ = c; }
    // Names and values are mostly shorter than 16 characters: copied in two overlapping
    // words, not by a call.
    void put(const char* text, std::size_t count) {
        if (count >= 8 && count <= 16) {
            copyWords<uint64_t>(text, count);
        } else if (count >= 4 && count < 8) {
            copyWords<uint32_t>(text, count);
        } else {
            std::memcpy(at_, text, count);
        }
        at_ += count;
    }
    void tabs(int count) {
        std::memset(at_, '\t', static_cast<std::size_t>(count));
        at_ += count;
    }

private:
    template <class Word>
    void copyWords(const char* text, std::size_t count) {
        Word first;
        Word last;
        std::memcpy(&first, text, sizeof first);
        std::memcpy(&last, text + count - sizeof last, sizeof last);
        std::memcpy(at_, &first, sizeof first);
        std::memcpy(at_ + count - sizeof last, &last, sizeof last);
    }

    char* at_;
};

template <class Out>
void printElement(const Node* node, Out& out, int level) {
    out.tabs(level);
    out.put('<');
    out.put(node->name(), node->name_size());
    for (const auto* attribute = node->first_attribute(); attribute != nullptr;
         attribute = attribute->next_attribute()) {
        const char quote =
            std::memchr(attribute->value(), '"', attribute->value_size()) != nullptr ? '\'' : '"';
        out.put(' ');
        out.put(attribute->name(), attribute->name_size());
        out.put('=');
        out.put(quote);
        out.put(attribute->value(), attribute->value_size());
        out.put(quote);
    }
    const Node* first = node->first_node();
    if (first == nullptr && node->value_size() == 0) {
        out.put("/>\n", 3);
        return;
    }
    out.put('>');
    if (first == nullptr) {
        out.put(node->value(), node->value_size());
    } else {
        out.put('\n');
        for (const Node* item = first; item != nullptr; item = item->next_sibling()) {
            if (item->type() == rapidxml::node_element) printElement(item, out, level + 1);
        }
        out.tabs(level);
    }
    out.put("</", 2);
    out.put(node->name(), node->name_size());
    out.put(">\n", 2);
}

template <class Out>
void printNode(const Node* node, Out& out) {
    if (node->type() == rapidxml::node_document) {
        for (const Node* item = node->first_node(); item != nullptr; item = item->next_sibling()) {
            if (item->type() == rapidxml::node_element) printElement(item, out, 0);
        }
    } else if (node->type() == rapidxml::node_element) {
        printElement(node, out, 0);
    }
}

}  // namespace

void print(const Node* node, std::string& out) {
    SizeCounter counter;
    printNode(node, counter);
    const std::size_t start = out.size();
    memory::reserveForFilling(out, start + counter.size());
    out.resize(start + counter.size());
    Writer writer(&out[start]);
    printNode(node, writer);
}

}  // namespace zyrask::xml
