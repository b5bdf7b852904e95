#include "bitfile/SessionBitfile.h"

#include <vector>

#include <rapidxml/rapidxml.hpp>

#include "zyemu/control.h"

namespace zyemu {
namespace {

// A well-formed document whose root element is empty (<Bitfile/>) stands for a design that
// defines nothing: tests that only need a session handle open one without writing a design.
bool isEmptyDesign(const std::string& text) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    std::size_t start = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
    rapidxml::xml_document<char> document;
    try {
        document.parse<rapidxml::parse_no_data_nodes | rapidxml::parse_trim_whitespace>(
            buffer.data() + start);
    } catch (const rapidxml::parse_error&) {
        return false;
    }
    const rapidxml::xml_node<char>* root = document.first_node();
    return root != nullptr && root->first_node() == nullptr && root->value_size() == 0 &&
           root->next_sibling() == nullptr;
}

}  // namespace

int32_t loadSessionBitfile(Session& session) {
    try {
        session.bitfile = zyrask::Bitfile::create(session.bitfileText, false, false);
    } catch (...) {
        // Whatever the model reports (malformed, incompatible, out of memory), the runtime
        // cannot run the design.
        return isEmptyDesign(session.bitfileText) ? 0 : ZYEMU_STATUS_BITFILE_INVALID;
    }
    for (const zyrask::NamedRegister& entry : session.bitfile->registers()) {
        RegisterDefinition definition;
        definition.offset = entry.offset;
        definition.typeId = static_cast<uint32_t>(entry.descriptor.type.typeId);
        session.bitfileRegisters.emplace(entry.name, definition);
    }
    return 0;
}

}  // namespace zyemu
