#include "status/FetchElaboration.h"

#include <memory>
#include <new>

#include "channel/CommandChannel.h"

namespace zyerr {

int32_t fetchElaboration(uint32_t session, int32_t code, Status& status) {
    // The reply is one byte larger than what the device may fill, so it is always
    // terminated even when the device answers with 8192 bytes and no NUL.
    std::unique_ptr<char[]> reply;
    int32_t result = 0;
    if (session != 0) {
        if (zyostrel::channel::isSimulatedSession(session)) {
            return zyostrel::channel::kSimulatedSessionResult;
        }
        reply.reset(new (std::nothrow) char[kElaborationReplySize + 1]);
        if (reply == nullptr) return codes::MemoryFull;
        reply[0] = '\0';
        reply[kElaborationReplySize] = '\0';
        const int32_t sent = zyostrel::channel::sendDirectCommand(
            session, kElaborationFunction, &code, sizeof(code), reply.get(), kElaborationReplySize);
        if (sent < 0) return sent;
        result = sent;
    }
    setCode(status, code);
    // A status that already held another error keeps its own elaboration: the device's
    // text explains code, not that error.
    if (status.code != code) return result;
    if (!setElaboration(status, reply != nullptr ? reply.get() : "")) return codes::MemoryFull;
    return result;
}

}  // namespace zyerr
