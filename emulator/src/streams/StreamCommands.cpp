// The stream interface (257): clear, start, wait for transfer, read and write.
//
// Reads and writes carry the addresses of the caller's memory, as on a real system where the
// runtime copies samples straight into or out of the program's buffers. The emulator lives in
// the caller's process, so it does the same.
#include <cstring>
#include <string>

#include "CommandRegistry.h"
#include "Instrument.h"
#include "attributes/AttributeStore.h"
#include "channel/WireConstants.h"
#include "streams/StreamEngine.h"
#include "zyemu/control.h"

namespace zyemu {
namespace {

constexpr uint32_t kStreamInterface = zyostrel::wire::kStreamInterface;

constexpr uint32_t kStreamFinite = 0x40000001;
constexpr uint32_t kIsInputStream = 0x4000000E;
constexpr uint32_t kStreamNumberOfSamples = 0x50000000;
constexpr uint32_t kStreamChannelsEnabled = 0x50000002;

constexpr std::size_t kStreamOffset = zyostrel::wire::kCommandHeaderSize;
constexpr std::size_t kStreamRecordSize = zyostrel::wire::kStreamRecordSize;
constexpr std::size_t kWaitRecordSize = zyostrel::wire::kWaitRecordSize;
constexpr std::size_t kWaitReplySize = zyostrel::wire::kWaitReplySize;
constexpr std::size_t kTransferRecordSize = zyostrel::wire::kTransferRecordSize;
constexpr std::size_t kTransferReplySize = zyostrel::wire::kTransferReplySize;
constexpr std::size_t kReplyFlagsOffset = 24;
constexpr uint8_t kReplyFlagTransferState = 2;
constexpr std::size_t kReadInfoSize = zyostrel::wire::kReadInfoSize;

constexpr uint32_t kElementTypeI16 = 7;
constexpr uint32_t kElementTypeF64 = 1;
// Larger transfers are refused rather than emulated: the emulator runs in the caller's
// process and would hold it for too long.
constexpr uint64_t kMaxElementsPerTransfer = uint64_t{1} << 28;
// What an output stream keeps of the data written to it, for tests to look at.
constexpr std::size_t kWrittenBytesKept = 1 << 20;

int32_t invalidValue(CommandContext& context, const char* usage, uint64_t value) {
    context.elaboration.addUsage(usage, value);
    return ZYEMU_STATUS_INVALID_VALUE;
}

// Reads the stream number and finds its state; the record must hold recordSize bytes.
int32_t findStream(CommandContext& context, std::size_t recordSize, uint32_t& number,
                   StreamState*& stream) {
    if (int32_t status = requireRecordSize(context, recordSize)) return status;
    context.input.read(kStreamOffset, number);
    context.elaboration.addUsage("kUsageTypeStreamNumber", uint64_t{number});
    if (number >= kStreamCount) return ZYEMU_STATUS_INVALID_STREAM;
    stream = &context.instrument.state<StreamEngine>().streams[number];
    return 0;
}

bool isInputStream(CommandContext& context, uint32_t number) {
    return context.instrument.state<AttributeStore>()
        .value(kIsInputStream, std::to_string(number))
        .boolean;
}

// A stream with flagged replies left answers with the transfer-state flag and moves nothing.
bool answerFlagged(CommandContext& context, StreamState& stream) {
    if (stream.flaggedRepliesLeft == 0) return false;
    --stream.flaggedRepliesLeft;
    context.reply.write(kReplyFlagsOffset, kReplyFlagTransferState);
    return true;
}

int32_t startStream(CommandContext& context) {
    uint32_t number = 0;
    StreamState* stream = nullptr;
    if (int32_t status = findStream(context, kStreamRecordSize, number, stream)) return status;
    StreamState started;
    started.written = std::move(stream->written);
    started.writtenTotal = stream->writtenTotal;
    if (isInputStream(context, number)) {
        const AttributeStore& store = context.instrument.state<AttributeStore>();
        const std::string name = std::to_string(number);
        const uint64_t mask = store.value(kStreamChannelsEnabled, name).u64;
        if (mask == 0) return invalidValue(context, "kUsageTypeStreamChannelsEnabled", mask);
        for (uint32_t channel = 0; channel < 64; ++channel) {
            if ((mask >> channel) & 1) started.channels.push_back(channel);
        }
        started.finite = store.value(kStreamFinite, name).boolean;
        started.samplesPerChannel = store.value(kStreamNumberOfSamples, name).u64;
    }
    started.running = true;
    *stream = std::move(started);
    return 0;
}

int32_t clearStream(CommandContext& context) {
    uint32_t number = 0;
    StreamState* stream = nullptr;
    if (int32_t status = findStream(context, kStreamRecordSize, number, stream)) return status;
    *stream = StreamState{};
    return 0;
}

uint8_t transferStateOf(const StreamState& stream) {
    if (stream.stateInjected) return stream.injectedState;
    if (!stream.running) return ZYEMU_TRANSFER_IDLE;
    if (stream.finite && !stream.channels.empty() && stream.elementsAvailable() == 0) {
        return ZYEMU_TRANSFER_FINISHED;
    }
    return ZYEMU_TRANSFER_RUNNING;
}

// Answers at once: the elements a read can take now (a continuous acquisition always has
// what was asked for), or the elements written to an output stream.
int32_t waitForTransfer(CommandContext& context) {
    uint32_t number = 0;
    StreamState* stream = nullptr;
    if (int32_t status = findStream(context, kWaitRecordSize, number, stream)) return status;
    if (int32_t status = requireReplySize(context, kWaitReplySize)) return status;
    uint64_t waitValue = 0;
    context.input.read(24, waitValue);
    uint64_t reported = 0;
    if (!isInputStream(context, number)) {
        reported = stream->writtenTotal / 2;
    } else if (stream->running) {
        reported = stream->finite ? stream->elementsAvailable() : waitValue;
    }
    context.reply.write(0, reported);
    context.reply.write(8, transferStateOf(*stream));
    return 0;
}

void writeReadInfo(uint64_t address, uint64_t row, uint64_t firstSample, uint64_t elements,
                   uint32_t channel, uint32_t number) {
    if (address == 0) return;
    uint8_t info[kReadInfoSize] = {};
    std::memcpy(info, &firstSample, 8);
    std::memcpy(info + 8, &elements, 8);
    std::memcpy(info + 16, &channel, 4);
    std::memcpy(info + 20, &number, 4);
    std::memcpy(reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(address)) + row * kReadInfoSize,
                info, kReadInfoSize);
}

void storeSample(uint8_t* data, uint64_t position, uint32_t elementType, uint32_t channel,
                 uint64_t sample) {
    if (elementType == kElementTypeI16) {
        const int16_t value = waveformI16(channel, sample);
        std::memcpy(data + position * 2, &value, 2);
    } else {
        const double value = waveformF64(channel, sample);
        std::memcpy(data + position * 8, &value, 8);
    }
}

struct ReadRequest {
    uint64_t bytesPerRow = 0;
    uint64_t rows = 0;
    uint64_t dataAddress = 0;
    uint64_t readInfoAddress = 0;
    uint32_t elementType = 0;
};

int32_t checkReadRequest(CommandContext& context, const ReadRequest& request,
                         uint64_t& elementsPerRow) {
    if (request.elementType != kElementTypeI16 && request.elementType != kElementTypeF64) {
        return invalidValue(context, "kUsageTypeElementType", request.elementType);
    }
    const uint64_t size = request.elementType == kElementTypeI16 ? 2 : 8;
    if (request.bytesPerRow % size != 0) {
        return invalidValue(context, "kUsageTypeBytesPerRow", request.bytesPerRow);
    }
    elementsPerRow = request.bytesPerRow / size;
    if (request.rows > kMaxElementsPerTransfer || elementsPerRow > kMaxElementsPerTransfer ||
        request.rows * elementsPerRow > kMaxElementsPerTransfer) {
        return invalidValue(context, "kUsageTypeElementCount", request.rows * elementsPerRow);
    }
    if (request.dataAddress == 0 && request.rows * elementsPerRow != 0) {
        context.elaboration.addUsage("kUsageTypeDataAddress", uint64_t{0});
        return ZYEMU_STATUS_INVALID_ARGUMENT;
    }
    return 0;
}

int32_t exhausted(CommandContext& context, const StreamState& stream, uint64_t wanted) {
    context.elaboration.addUsage("kUsageTypeElementsRequested", wanted);
    context.elaboration.addUsage("kUsageTypeElementsAvailable", stream.elementsAvailable());
    return ZYEMU_STATUS_STREAM_EXHAUSTED;
}

// One row: the enabled channels interleaved, continuing where the last read stopped.
int32_t readInterleaved(CommandContext& context, StreamState& stream, uint32_t number,
                        const ReadRequest& request, uint64_t elements) {
    if (stream.finite && elements > stream.elementsAvailable()) {
        return exhausted(context, stream, elements);
    }
    auto* data = reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(request.dataAddress));
    const uint64_t channelCount = stream.channels.size();
    for (uint64_t k = 0; k < elements; ++k) {
        const uint64_t element = stream.consumed + k;
        storeSample(data, k, request.elementType, stream.channels[element % channelCount],
                    element / channelCount);
    }
    writeReadInfo(request.readInfoAddress, 0, stream.consumed / channelCount, elements,
                  stream.channels[stream.consumed % channelCount], number);
    stream.consumed += elements;
    return 0;
}

// Several rows: row r holds the samples of channel r modulo the channel count, all rows from
// the same sample on.
int32_t readRows(CommandContext& context, StreamState& stream, uint32_t number,
                 const ReadRequest& request, uint64_t elementsPerRow) {
    const uint64_t channelCount = stream.channels.size();
    const uint64_t firstSample = (stream.consumed + channelCount - 1) / channelCount;
    if (stream.finite && firstSample + elementsPerRow > stream.samplesPerChannel) {
        return exhausted(context, stream, elementsPerRow * channelCount);
    }
    auto* data = reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(request.dataAddress));
    for (uint64_t row = 0; row < request.rows; ++row) {
        const uint32_t channel = stream.channels[row % channelCount];
        for (uint64_t k = 0; k < elementsPerRow; ++k) {
            storeSample(data, row * elementsPerRow + k, request.elementType, channel,
                        firstSample + k);
        }
        writeReadInfo(request.readInfoAddress, row, firstSample, elementsPerRow, channel, number);
    }
    stream.consumed = (firstSample + elementsPerRow) * channelCount;
    return 0;
}

int32_t readStream(CommandContext& context) {
    uint32_t number = 0;
    StreamState* stream = nullptr;
    if (int32_t status = findStream(context, kTransferRecordSize, number, stream)) return status;
    if (int32_t status = requireReplySize(context, kTransferReplySize)) return status;
    if (!isInputStream(context, number)) return ZYEMU_STATUS_STREAM_DIRECTION;
    if (answerFlagged(context, *stream)) return 0;

    ReadRequest request;
    context.input.read(24, request.bytesPerRow);
    context.input.read(32, request.rows);
    context.input.read(40, request.dataAddress);
    context.input.read(48, request.readInfoAddress);
    context.input.read(60, request.elementType);
    uint64_t elementsPerRow = 0;
    if (int32_t status = checkReadRequest(context, request, elementsPerRow)) return status;
    // A stream started as an output has no channels to read, whatever it is now.
    if (!stream->running || stream->channels.empty()) return ZYEMU_STATUS_STREAM_NOT_RUNNING;

    const uint64_t elements = request.rows * elementsPerRow;
    int32_t status = 0;
    if (elements != 0) {
        status = request.rows == 1 ? readInterleaved(context, *stream, number, request, elements)
                                   : readRows(context, *stream, number, request, elementsPerRow);
    }
    if (status != 0) return status;
    context.reply.write(0, elements);
    context.reply.write(8, stream->finite ? stream->elementsAvailable() : uint64_t{0});
    return 0;
}

int32_t writeStream(CommandContext& context) {
    uint32_t number = 0;
    StreamState* stream = nullptr;
    if (int32_t status = findStream(context, kTransferRecordSize, number, stream)) return status;
    if (int32_t status = requireReplySize(context, kTransferReplySize)) return status;
    if (isInputStream(context, number)) return ZYEMU_STATUS_STREAM_DIRECTION;
    if (answerFlagged(context, *stream)) return 0;

    uint64_t byteCount = 0, one = 0, dataAddress = 0;
    uint32_t codeA = 0, codeB = 0, constant = 0;
    context.input.read(24, byteCount);
    context.input.read(32, one);
    context.input.read(40, dataAddress);
    context.input.read(48, codeA);
    context.input.read(56, codeB);
    context.input.read(60, constant);
    if (one != 1) return invalidValue(context, "kUsageTypeRecordWord32", one);
    if (constant != 7) return invalidValue(context, "kUsageTypeRecordWord60", constant);
    uint64_t elementSize = 0;
    if (codeA == 1 && codeB == 1) {
        elementSize = 2;
    } else if (codeA == 2 && codeB == 5) {
        elementSize = 4;
    } else {
        context.elaboration.addUsage("kUsageTypeWriteCodeA", uint64_t{codeA});
        return invalidValue(context, "kUsageTypeWriteCodeB", codeB);
    }
    if (byteCount % elementSize != 0 || byteCount / elementSize > kMaxElementsPerTransfer) {
        return invalidValue(context, "kUsageTypeByteCount", byteCount);
    }
    if (dataAddress == 0 && byteCount != 0) {
        context.elaboration.addUsage("kUsageTypeDataAddress", uint64_t{0});
        return ZYEMU_STATUS_INVALID_ARGUMENT;
    }
    const auto* data = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(dataAddress));
    const std::size_t room = kWrittenBytesKept - stream->written.size();
    const std::size_t kept = byteCount < room ? static_cast<std::size_t>(byteCount) : room;
    if (kept != 0) stream->written.insert(stream->written.end(), data, data + kept);
    stream->writtenTotal += byteCount;
    context.reply.write(0, byteCount / elementSize);
    return 0;
}

const CommandRegistration clearRegistration{InterfaceCommand{kStreamInterface, 272}, &clearStream};
const CommandRegistration waitRegistration{InterfaceCommand{kStreamInterface, 276},
                                           &waitForTransfer};
const CommandRegistration readRegistration{InterfaceCommand{kStreamInterface, 277}, &readStream};
const CommandRegistration startRegistration{InterfaceCommand{kStreamInterface, 278}, &startStream};
const CommandRegistration writeRegistration{InterfaceCommand{kStreamInterface, 279}, &writeStream};

}  // namespace
}  // namespace zyemu
