#include "bitfile/SessionBitfile.h"

#include <new>

#include "zyemu/control.h"

namespace zyemu {

int32_t loadSessionBitfile(Session& session) {
    try {
        session.bitfile = zyrask::Bitfile::create(session.bitfileText, false, false);
    } catch (const std::bad_alloc&) {
        return ZYEMU_STATUS_OUT_OF_MEMORY;
    } catch (...) {
        // Whatever else the model reports (malformed, incompatible), the runtime cannot run
        // the design.
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
