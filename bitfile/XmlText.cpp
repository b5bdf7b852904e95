#include "bitfile/XmlText.h"

#include <cstring>

namespace zyrask::xml {
namespace {

void replaceAll(std::string& text, const char* entity, char replacement) {
    const std::size_t entitySize = std::strlen(entity);
    std::size_t found = text.find(entity);
    if (found == std::string::npos) return;
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    while (found != std::string::npos) {
        result.append(text, from, found - from);
        result.push_back(replacement);
        from = found + entitySize;
        found = text.find(entity, from);
    }
    result.append(text, from, std::string::npos);
    text.swap(result);
}

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
std::optional<uint64_t> parseMagnitude(const std::string& text, std::size_t position,
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

std::size_t skipSpace(const std::string& text) {
    std::size_t position = 0;
    while (position < text.size() && isSpace(text[position])) ++position;
    return position;
}

}  // namespace

std::string decodeEntities(const char* text, std::size_t size) {
    std::string decoded(text, size);
    if (decoded.find('&') == std::string::npos) return decoded;
    replaceAll(decoded, "&lt;", '<');
    replaceAll(decoded, "&gt;", '>');
    replaceAll(decoded, "&apos;", '\'');
    replaceAll(decoded, "&quot;", '"');
    replaceAll(decoded, "&amp;", '&');
    return decoded;
}

std::optional<uint32_t> parseUnsigned(const std::string& text) {
    std::size_t position = skipSpace(text);
    if (position < text.size() && text[position] == '+') ++position;
    const auto magnitude = parseMagnitude(text, position, 0xFFFFFFFFu);
    if (!magnitude) return std::nullopt;
    return static_cast<uint32_t>(*magnitude);
}

std::optional<int32_t> parseSigned(const std::string& text) {
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

std::optional<bool> parseBoolean(const std::string& text) {
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

std::string textOf(const Node* node) { return decodeEntities(node->value(), node->value_size()); }

std::string nameOf(const Node* node) { return std::string(node->name(), node->name_size()); }

std::optional<std::string> attributeOf(const Node* node, const char* name) {
    const auto* attribute = node->first_attribute(name, std::strlen(name), true);
    if (attribute == nullptr) return std::nullopt;
    return decodeEntities(attribute->value(), attribute->value_size());
}

std::size_t nestingDepth(const char* text, std::size_t size) {
    std::size_t depth = 0;
    std::size_t deepest = 0;
    auto skipPast = [&](std::size_t from, const char* terminator) {
        const std::size_t length = std::strlen(terminator);
        for (std::size_t i = from; i + length <= size; ++i) {
            if (std::memcmp(text + i, terminator, length) == 0) return i + length;
        }
        return size;
    };
    std::size_t i = 0;
    while (i < size) {
        if (text[i] != '<') {
            ++i;
            continue;
        }
        const char next = i + 1 < size ? text[i + 1] : '\0';
        if (next == '/') {
            if (depth > 0) --depth;
            i = skipPast(i + 2, ">");
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
            std::size_t j = i + 1;
            char quote = '\0';
            for (; j < size; ++j) {
                const char c = text[j];
                if (quote != '\0') {
                    if (c == quote) quote = '\0';
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                }
            }
            const bool selfClosing = j < size && text[j - 1] == '/';
            if (!selfClosing && ++depth > deepest) deepest = depth;
            if (selfClosing && depth + 1 > deepest) deepest = depth + 1;
            i = j + 1;
        }
    }
    return deepest;
}

namespace {

void indent(std::string& out, int level) { out.append(static_cast<std::size_t>(level), '\t'); }

void printElement(const Node* node, std::string& out, int level) {
    indent(out, level);
    out.push_back('<');
    out.append(node->name(), node->name_size());
    for (const auto* attribute = node->first_attribute(); attribute != nullptr;
         attribute = attribute->next_attribute()) {
        const char quote =
            std::memchr(attribute->value(), '"', attribute->value_size()) != nullptr ? '\'' : '"';
        out.push_back(' ');
        out.append(attribute->name(), attribute->name_size());
        out.push_back('=');
        out.push_back(quote);
        out.append(attribute->value(), attribute->value_size());
        out.push_back(quote);
    }
    const Node* first = node->first_node();
    if (first == nullptr && node->value_size() == 0) {
        out.append("/>\n");
        return;
    }
    out.push_back('>');
    if (first == nullptr) {
        out.append(node->value(), node->value_size());
    } else {
        out.push_back('\n');
        for (const Node* item = first; item != nullptr; item = item->next_sibling()) {
            if (item->type() == rapidxml::node_element) printElement(item, out, level + 1);
        }
        indent(out, level);
    }
    out.append("</");
    out.append(node->name(), node->name_size());
    out.append(">\n");
}

}  // namespace

void print(const Node* node, std::string& out) {
    if (node->type() == rapidxml::node_document) {
        for (const Node* item = node->first_node(); item != nullptr; item = item->next_sibling()) {
            if (item->type() == rapidxml::node_element) printElement(item, out, 0);
        }
    } else if (node->type() == rapidxml::node_element) {
        printElement(node, out, 0);
    }
}

}  // namespace zyrask::xml
