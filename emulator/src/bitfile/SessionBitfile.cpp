#include "bitfile/SessionBitfile.h"

#include "zyemu/control.h"

namespace zyemu {

int32_t loadSessionBitfile(Session& session) {
    try {
        session.bitfile = zyrask::Bitfile::create(session.bitfileText, false, false);
    } catch (...) {
        // Whatever the model reports (malformed, incompatible, out of memory), the runtime
        // cannot run the design.
        return ZYEMU_STATUS_BITFILE_INVALID;
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
