#include "streams/Streams.h"

#include <cstdint>
#include <limits>

#include "attributes/Attributes.h"
#include "attributes/TerminalNames.h"
#include "channel/CommandChannel.h"
#include "zyostrelapi.h"

namespace zyostrel::streams {
namespace {

namespace attr = zyostrel::attributes;
using channel::mergeStatus;

const channel::InterfaceId kStreamInterface{channel::Interface::Stream};
// Reads are addressed with both qualifiers set.
const channel::InterfaceId kStreamReadInterface{channel::Interface::Stream, 1, 1};

constexpr uint8_t kTransferStateEnded = 4;
constexpr uint8_t kTransferStateOverwritten = 6;
constexpr uint32_t kHighestChannelIndex = 63;

template <class Record>
Record makeRecord(const channel::InterfaceId& interface, StreamMethod method,
                  uint32_t stream) noexcept {
    Record record{{interface, static_cast<uint32_t>(method)}};
    record.stream = stream;
    return record;
}

uint64_t addressOf(const void* pointer) noexcept {
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(pointer));
}

// A read or write: an error is returned, the transfer-state flag turns into the state's
// status, otherwise the call's own status (0 or a warning).
template <class Record>
int32_t sendTransfer(uint32_t session, uint32_t stream, const Record& record) {
    TransferReply reply;
    const int32_t status = channel::sendInterfaceCommand(session, record, reply);
    if (status < 0) return status;
    if ((reply.flags & kReplyFlagTransferState) != 0) {
        return transferStateStatus(session, stream);
    }
    return status;
}

// Sets bit n of mask for each AI/AO name of the list; returns the number of new bits.
int32_t collectChannelMask(const attr::ResolvedNames& names, uint64_t& mask,
                           uint32_t& count) noexcept {
    for (const char* name : names) {
        const int64_t index = attr::analogChannelIndex(name);
        if (index < 0 || index > kHighestChannelIndex) {
            return ZYOSTREL_Status_TerminalIndexOutOfRange;
        }
        const uint64_t bit = uint64_t{1} << index;
        if ((mask & bit) == 0) ++count;
        mask |= bit;
    }
    return 0;
}

}  // namespace

int32_t configureStreamFinite(uint32_t session, uint32_t stream, uint64_t samples) {
    const char* name = attr::streamName(stream);
    if (name == nullptr) return ZYOSTREL_Status_InvalidStreamNumber;
    int32_t result = 0;
    if (!mergeStatus(result,
                     attr::setAttributeBoolean(session, name, attr::ids::kStreamFinite, 1))) {
        return result;
    }
    mergeStatus(result, attr::setAttributeUInt64(session, name, attr::ids::kStreamNumberOfSamples,
                                                 samples));
    return result;
}

int32_t configureStreamEnabledChannels(uint32_t session, uint32_t stream, const char* channelList,
                                       uint32_t* channelCount) {
    const char* name = attr::streamName(stream);
    if (name == nullptr) return ZYOSTREL_Status_InvalidStreamNumber;
    attr::ResolvedNames names(channelList, 0);
    if (int32_t status = attr::resolveNames(names); status < 0) return status;
    uint64_t mask = 0;
    uint32_t count = 0;
    if (int32_t status = collectChannelMask(names, mask, count)) return status;
    if (channelCount != nullptr) *channelCount = count;

    int32_t result = 0;
    if (!mergeStatus(result, attr::setAttributeInt32(session, name, attr::ids::kChannelsInStream,
                                                     static_cast<int32_t>(count)))) {
        return result;
    }
    mergeStatus(result,
                attr::setAttributeUInt64(session, name, attr::ids::kStreamChannelsEnabled, mask));
    return result;
}

int32_t clearStream(uint32_t session, uint32_t stream) {
    if (channel::isSimulatedSession(session)) return 0;
    const auto record = makeRecord<StreamRecord>(kStreamInterface, StreamMethod::Clear, stream);
    return channel::sendInterfaceCommand(session, record);
}

int32_t startStream(uint32_t session, uint32_t stream) {
    const auto record = makeRecord<StreamRecord>(kStreamInterface, StreamMethod::Start, stream);
    return channel::sendInterfaceCommand(session, record);
}

int32_t waitForTransfer(uint32_t session, uint32_t stream, uint64_t waitValue,
                        uint32_t waitArgument, uint64_t* reportedValue, uint8_t* transferState) {
    if (channel::isSimulatedSession(session)) return 0;
    auto record = makeRecord<WaitRecord>(kStreamInterface, StreamMethod::WaitForTransfer, stream);
    record.waitValue = waitValue;
    record.waitArgument = waitArgument;
    WaitReply reply;
    const int32_t status = channel::sendInterfaceCommand(session, record, reply);
    if (reportedValue != nullptr) *reportedValue = reply.reportedValue;
    if (transferState != nullptr) *transferState = reply.transferState;
    return status;
}

int32_t transferStateStatus(uint32_t session, uint32_t stream) {
    uint64_t reportedValue = 0;
    uint8_t state = 0;
    // The wait only asks for the state; its own status does not change the answer.
    static_cast<void>(waitForTransfer(session, stream, 0, 0, &reportedValue, &state));
    switch (state) {
        case kTransferStateEnded:
            return ZYOSTREL_Status_TransferAbortedState4;
        case kTransferStateOverwritten:
            return ZYOSTREL_Status_TransferAbortedState6;
        default:
            return ZYOSTREL_Status_TransferAborted;
    }
}

int32_t readStream(uint32_t session, uint32_t stream, uint32_t deviceArgument, uint64_t rows,
                   uint64_t elementsPerRow, ElementType type, void* data, void* readInfo) {
    // A row size that wraps would tell the runtime to fill less memory than was asked for.
    if (elementsPerRow > std::numeric_limits<uint64_t>::max() / elementSize(type)) {
        return ZYOSTREL_Status_InvalidParameter;
    }
    auto record = makeRecord<ReadRecord>(kStreamReadInterface, StreamMethod::Read, stream);
    record.bytesPerRow = elementsPerRow * elementSize(type);
    record.rows = rows;
    record.dataAddress = addressOf(data);
    record.readInfoAddress = addressOf(readInfo);
    record.deviceArgument = deviceArgument;
    record.elementType = static_cast<uint32_t>(type);
    return sendTransfer(session, stream, record);
}

int32_t writeStream(uint32_t session, uint32_t stream, uint32_t deviceArgument, uint64_t elements,
                    WriteKind kind, const void* data) {
    const bool complex = kind == WriteKind::ComplexI16;
    const uint64_t bytesPerElement = complex ? 4 : 2;
    if (elements > std::numeric_limits<uint64_t>::max() / bytesPerElement) {
        return ZYOSTREL_Status_InvalidParameter;
    }
    auto record = makeRecord<WriteRecord>(kStreamInterface, StreamMethod::Write, stream);
    record.byteCount = elements * bytesPerElement;
    record.dataAddress = addressOf(data);
    record.writeCodeA = complex ? 2 : 1;
    record.deviceArgument = deviceArgument;
    record.writeCodeB = complex ? 5 : 1;
    return sendTransfer(session, stream, record);
}

}  // namespace zyostrel::streams
