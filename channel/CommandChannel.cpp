#include "channel/CommandChannel.h"

#include "channel/FpgaRuntime.h"
#include "status/FetchElaboration.h"

namespace zyostrel::channel {

int32_t sendInterfaceCommand(uint32_t session, const void* record, std::size_t recordSize,
                             void* reply, std::size_t replySize) {
    if (isSimulatedSession(session)) return kSimulatedSessionResult;
    return ZyFpgaDll_ClientFunctionCall(session, wire::kFunctionGroup, wire::kInterfaceCallFunction,
                                        record, recordSize, replySize != 0 ? reply : nullptr,
                                        replySize);
}

int32_t sendElaboratedInterfaceCommand(uint32_t session, const void* record, std::size_t recordSize,
                                       void* reply, std::size_t replySize, zyerr::Status* status) {
    const int32_t result = sendInterfaceCommand(session, record, recordSize, reply, replySize);
    // A simulated session gets no elaboration: the fetch itself yields -1 untouched.
    if (result != 0 && status != nullptr) zyerr::fetchElaboration(session, result, *status);
    return result;
}

int32_t sendDirectCommand(uint32_t session, uint32_t functionNumber, const void* input,
                          std::size_t inputSize, void* reply, std::size_t replySize) {
    return ZyFpgaDll_ClientFunctionCall(session, wire::kFunctionGroup, functionNumber,
                                        inputSize != 0 ? input : nullptr, inputSize,
                                        replySize != 0 ? reply : nullptr, replySize);
}

}  // namespace zyostrel::channel
