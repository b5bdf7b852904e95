#include "BitfileReader.h"

#include <rapidxml/rapidxml.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "Context.h"
#include "zyostrelapi.h"

namespace ostrel {
namespace {

using Node = rapidxml::xml_node<char>;

const Node* child(const Node* parent, const char* name) {
    return parent == nullptr ? nullptr : parent->first_node(name);
}

const Node* required(const Node* parent, const char* name) {
    const Node* node = child(parent, name);
    if (node == nullptr) throw BitfileError(std::string("no <") + name + "> element");
    return node;
}

std::string textOf(const Node* node) { return std::string(node->value(), node->value_size()); }

uint32_t numberOf(const Node* parent, const char* name) {
    const std::string text = textOf(required(parent, name));
    errno = 0;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 0);
    if (end == text.c_str() || errno != 0 || value > UINT32_MAX) {
        throw BitfileError(std::string("<") + name + "> \"" + text + "\" is not a number");
    }
    return static_cast<uint32_t>(value);
}

bool flagOf(const Node* parent, const char* name) {
    std::string text = textOf(required(parent, name));
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (text != "true" && text != "false") {
        throw BitfileError(std::string("<") + name + "> \"" + text + "\" is not true or false");
    }
    return text == "true";
}

// The type an element names: its first child element, or the text of a SubType child. A fixed
// point type carries its word lengths; a composite one its size from the owner element.
std::string typeOf(const Node* typeElement, const Node* owner) {
    const Node* named = typeElement->first_node();
    if (named == nullptr) throw BitfileError("a data type names no type");
    std::string name(named->name(), named->name_size());
    if (name == "SubType") {
        name = textOf(named);
        named = typeElement;
    }
    if (name == "FXP") {
        const Node* word = child(named, "WordLength");
        const Node* integer = child(named, "IntegerWordLength");
        const Node* sign = child(named, "Signed");
        if (word == nullptr || integer == nullptr || sign == nullptr) return "FXP (incomplete)";
        return "FXP<" + textOf(word) + "," + textOf(integer) + "> " +
               (flagOf(named, "Signed") ? "signed" : "unsigned");
    }
    if (name == "Cluster" || name == "Array" || name == "CFXP") {
        if (const Node* bits = child(owner, "SizeInBits"))
            return name + " of " + textOf(bits) + " bits";
        if (const Node* bytes = child(owner, "TransferSizeBytes")) {
            return name + " of " + textOf(bytes) + " bytes";
        }
    }
    return name;
}

BitfileRegister registerOf(const Node* element) {
    BitfileRegister entry;
    entry.name = textOf(required(element, "Name"));
    entry.offset = numberOf(element, "Offset");
    entry.indicator = flagOf(element, "Indicator");
    entry.accessMayTimeout = flagOf(element, "AccessMayTimeout");
    const Node* datatype = required(element, "Datatype");
    const Node* first = datatype->first_node();
    entry.array = first != nullptr && std::strcmp(first->name(), "Array") == 0;
    entry.type = entry.array ? typeOf(required(first, "Type"), element) : typeOf(datatype, element);
    return entry;
}

BitfileFifo fifoOf(const Node* channel) {
    BitfileFifo fifo;
    const auto* name = channel->first_attribute("name");
    if (name == nullptr) throw BitfileError("a DMA channel has no name");
    fifo.name.assign(name->value(), name->value_size());
    fifo.number = numberOf(channel, "Number");
    fifo.elements = numberOf(channel, "NumberOfElements");
    fifo.implementation = textOf(required(channel, "Implementation"));
    fifo.type = typeOf(required(channel, "DataType"), channel);
    fifo.userVisible = flagOf(channel, "UserVisible");
    return fifo;
}

// The parser recurses once per level of nesting; real documents nest a dozen levels, so a
// deeper one is refused before it can exhaust the stack.
constexpr std::size_t kDeepestNesting = 256;

std::size_t skipPast(const std::string& text, std::size_t from, const char* terminator) {
    const std::size_t found = text.find(terminator, from);
    return found == std::string::npos ? text.size() : found + std::strlen(terminator);
}

// The deepest nesting of elements, counted over the tags as the parser sees them.
std::size_t deepestNesting(const std::string& text) {
    std::size_t depth = 0;
    std::size_t deepest = 0;
    std::size_t i = 0;
    while ((i = text.find('<', i)) != std::string::npos) {
        if (text.compare(i, 4, "<!--") == 0) {
            i = skipPast(text, i, "-->");
        } else if (text.compare(i, 9, "<![CDATA[") == 0) {
            i = skipPast(text, i, "]]>");
        } else if (text.compare(i, 2, "<?") == 0 || text.compare(i, 2, "<!") == 0) {
            i = skipPast(text, i, ">");
        } else if (text.compare(i, 2, "</") == 0) {
            if (depth > 0) --depth;
            i = skipPast(text, i, ">");
        } else {
            std::size_t j = i + 1;  // quoted attribute values may hold '>' and '/'
            while (j < text.size() && text[j] != '>') {
                if (text[j] == '"' || text[j] == '\'') j = text.find(text[j], j + 1);
                if (j == std::string::npos) return deepest;
                ++j;
            }
            deepest = std::max(deepest, depth + 1);
            if (j < text.size() && text[j - 1] != '/') ++depth;
            i = j;
        }
    }
    return deepest;
}

}  // namespace

BitfileSummary readBitfile(std::string text) {
    if (deepestNesting(text) > kDeepestNesting) throw BitfileError("elements nested too deep");
    const char bom[] = "\xEF\xBB\xBF";
    if (text.compare(0, 3, bom) == 0) text.erase(0, 3);
    rapidxml::xml_document<char> document;
    try {
        document.parse<0>(text.data());
    } catch (const rapidxml::parse_error& error) {
        throw BitfileError(std::string("not well-formed XML: ") + error.what());
    }
    const Node* root = document.first_node();
    if (root == nullptr) throw BitfileError("no root element");

    BitfileSummary summary;
    summary.bitfileVersion = textOf(required(root, "BitfileVersion"));
    summary.signature = textOf(required(root, "SignatureRegister"));
    const Node* project = required(root, "Project");
    summary.targetClass = textOf(required(project, "TargetClass"));
    const Node* vi = required(root, "VI");
    if (const Node* viName = child(vi, "Name")) summary.viName = textOf(viName);
    for (const Node* element = required(vi, "RegisterList")->first_node("Register");
         element != nullptr; element = element->next_sibling("Register")) {
        if (!flagOf(element, "Internal")) summary.registers.push_back(registerOf(element));
    }
    const Node* results =
        required(required(project, "CompilationResultsTree"), "CompilationResults");
    const Node* channels = child(child(results, "ZyFpga"), "DmaChannelAllocationList");
    for (const Node* channel = channels == nullptr ? nullptr : channels->first_node("Channel");
         channel != nullptr; channel = channel->next_sibling("Channel")) {
        summary.fifos.push_back(fifoOf(channel));
    }
    std::sort(summary.fifos.begin(), summary.fifos.end(),
              [](const BitfileFifo& a, const BitfileFifo& b) { return a.number < b.number; });
    return summary;
}

BitfileSummary summarizeBitfile(std::string text, const std::string& step) {
    try {
        return readBitfile(std::move(text));
    } catch (const BitfileError& error) {
        fail(ZYOSTREL_Status_BitfileMalformed, 0, step, error.what());
    }
}

void addBitfileIdentity(cJSON* out, const BitfileSummary& summary) {
    addString(out, "signature", summary.signature);
    addString(out, "bitfileVersion", summary.bitfileVersion);
    addString(out, "targetClass", summary.targetClass);
    addString(out, "vi", summary.viName);
}

}  // namespace ostrel
