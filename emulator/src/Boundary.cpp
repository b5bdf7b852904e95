#include "Boundary.h"

#include <exception>
#include <mutex>
#include <new>

#include "Elaboration.h"
#include "Emulator.h"
#include "zyemu/control.h"

namespace zyemu {

int32_t statusOfCurrentException() noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return ZYEMU_STATUS_OUT_OF_MEMORY;
    } catch (...) {
        return ZYEMU_STATUS_INTERNAL_FAULT;
    }
}

void leaveRuntimeFault(Session& session, int32_t status) noexcept {
    session.lastFailure = status;
    session.lastElaboration.clear();
    try {
        Elaboration elaboration;
        elaboration.addUsage("kUsageTypeRuntimeFault", status == ZYEMU_STATUS_OUT_OF_MEMORY
                                                           ? "out of memory"
                                                           : "internal fault");
        session.leaveFailure(status, elaboration);
    } catch (...) {
        // The status alone is kept; command 800 answers it with an empty text.
    }
}

void leaveRuntimeFault(uint32_t session, int32_t status) noexcept {
    try {
        std::lock_guard<std::mutex> lock(Emulator::instance().mutex());
        if (Session* target = Emulator::instance().findSession(session)) {
            leaveRuntimeFault(*target, status);
        }
    } catch (...) {
        // Without the lock the session cannot be touched; the caller still gets the status.
    }
}

}  // namespace zyemu
