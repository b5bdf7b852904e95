// Reading values out of a bitfile document parsed in place, without string terminators and
// without entity translation: every text is a (pointer, size) slice of the source buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <rapidxml/rapidxml.hpp>

namespace zyrask::xml {

using Node = rapidxml::xml_node<char>;

// Replaces "&lt;", "&gt;", "&apos;", "&quot;" and finally "&amp;", each over the whole text
// in that order, so "&amp;lt;" ends as the four characters "&lt;".
std::string decodeEntities(const char* text, std::size_t size);

// An unsigned 32-bit number with the base taken from its prefix ("0x" hexadecimal, a
// leading "0" octal, else decimal) after optional leading white space. Characters after the
// number are ignored. Nothing when the text does not start with a number or the value does
// not fit.
std::optional<uint32_t> parseUnsigned(std::string_view text);
// As parseUnsigned, with an optional sign, for a value in the signed 32-bit range.
std::optional<int32_t> parseSigned(std::string_view text);
// "true" or "false" in any letter case; nothing for any other text.
std::optional<bool> parseBoolean(std::string_view text);

// First child element with exactly this name (case-sensitive); null when there is none.
const Node* child(const Node* parent, const char* name);
// As child for each of count names, in one pass over the children: found[i] is the first
// child named names[i]. For elements that read several of their children.
void children(const Node* parent, const std::string_view* names, const Node** found,
              std::size_t count);
// The entity-decoded text of an element.
std::string textOf(const Node* node);
// The element's name as written.
std::string nameOf(const Node* node);
std::string_view nameViewOf(const Node* node);

// The entity-decoded text of an element, copied only when it holds an entity: for texts that
// are read and not kept (numbers, booleans, type names).
class DecodedText {
public:
    explicit DecodedText(const Node* node);
    DecodedText(const DecodedText&) = delete;  // the view may point into the copy it holds
    DecodedText& operator=(const DecodedText&) = delete;
    std::string_view view() const { return view_; }

private:
    std::string decoded_;
    std::string_view view_;
};
// The entity-decoded value of an attribute; nothing when the element has no such attribute.
std::optional<std::string> attributeOf(const Node* node, const char* name);

// What one pass over the raw document finds before the parser runs: how deep its elements
// nest, counted over its tags as the parser will see them (documents nested deeper than any
// design needs are refused before the recursive parser runs over them), and where the text of
// one child of the top element lies, so that a caller who does not need that text can take it
// out of the parser's way.
struct DocumentScan {
    std::size_t deepestNesting = 0;
    // The text that follows the first start tag of the named child of the top element when
    // that tag is written bare ("<Name>", no attribute, no blank): from just after the tag to
    // the first '<' or zero byte. Empty (begin == end) when there is no such tag.
    std::size_t childTextBegin = 0;
    std::size_t childTextEnd = 0;
};
// text[size] must be a zero byte; text itself may hold zero bytes before it.
DocumentScan scanDocument(const char* text, std::size_t size, std::string_view childName);

// Prints an element and its subtree with tab indentation, one element per line. Texts and
// attribute values are written exactly as they stand in the source (they were never
// entity-translated, so they are still escaped).
void print(const Node* node, std::string& out);

}  // namespace zyrask::xml
