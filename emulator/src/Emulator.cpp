#include "Emulator.h"

#include <algorithm>
#include <cstring>

#include "CommandRegistry.h"
#include "StoredImages.h"
#include "bitfile/SessionBitfile.h"
#include "channel/WireConstants.h"

namespace zyemu {
namespace {

constexpr uint32_t kSimulatedSessionBit = zyostrel::wire::kSimulatedSessionBit;
constexpr uint32_t kStoredImageAttribute = ZYFPGA_OPEN_ATTRIBUTE_STORED_IMAGE;
constexpr uint32_t kFunctionGroup = zyostrel::wire::kFunctionGroup;
constexpr uint32_t kInterfaceCall = zyostrel::wire::kInterfaceCallFunction;
constexpr uint32_t kAnyType = ZYFPGA_ANY_TYPE;

bool looksLikeDocument(const std::string& text) {
    std::size_t start = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
    start = text.find_first_not_of(" \t\r\n", start);
    return start != std::string::npos && text[start] == '<';
}

int32_t readBitfile(const std::string& path, std::string& text) {
    if (int32_t status = readBitfileFile(path, text); status != 0) return status;
    return looksLikeDocument(text) ? 0 : ZYEMU_STATUS_BITFILE_INVALID;
}

}  // namespace

Emulator& Emulator::instance() {
    static Emulator emulator;
    return emulator;
}

Emulator::Emulator() : instruments_(makeInstruments()) {}

std::map<std::string, std::unique_ptr<Instrument>> Emulator::makeInstruments() {
    std::map<std::string, std::unique_ptr<Instrument>> instruments;
    const InstrumentModel models[] = {
        {"ostrel0", "Ostrel-7976 emulated", false},
        {"ostrel1", "Ostrel-7976 emulated", false},
        {"ostrel2", "Ostrel-7975 emulated", false},
        {"ostrelsim0", "Ostrel-7976 simulation", true},
    };
    for (const auto& model : models) {
        instruments[model.resourceName] = std::make_unique<Instrument>(model);
    }
    return instruments;
}

void Emulator::reset() {
    // The fresh instruments are made first: when that fails, nothing has been reset.
    auto fresh = makeInstruments();
    sessions_.clear();
    handleCounter_ = 0;
    log_.clear();
    log_.setLimits(ZYEMU_LOG_DEFAULT_MAX_CALLS, ZYEMU_LOG_DEFAULT_MAX_BYTES);
    faults_.clear();
    instruments_.swap(fresh);
}

int32_t Emulator::addInstrument(const char* resourceName) {
    if (resourceName == nullptr || resourceName[0] == '\0' ||
        instruments_.count(resourceName) != 0 || instruments_.size() >= ZYEMU_MAX_RESOURCES) {
        return ZYEMU_STATUS_INVALID_ARGUMENT;
    }
    InstrumentModel model{resourceName, "Ostrel-7976 emulated", false};
    auto instrument = std::make_unique<Instrument>(std::move(model));
    instruments_.emplace(resourceName, std::move(instrument));
    return 0;
}

Instrument* Emulator::findInstrument(const char* resourceName) {
    if (resourceName == nullptr) return nullptr;
    auto it = instruments_.find(resourceName);
    return it != instruments_.end() ? it->second.get() : nullptr;
}

Session* Emulator::findSession(uint32_t handle) {
    auto it = sessions_.find(handle);
    return it != sessions_.end() ? &it->second : nullptr;
}

uint32_t Emulator::nextHandle(bool simulated) {
    // Ordinary handles never carry the simulation bit; simulated ones always do. Once the
    // counter has wrapped, a value may still name an open session; the session limit keeps
    // those few against some two billion values, so the search ends soon.
    for (;;) {
        ++handleCounter_;
        if (handleCounter_ == 0 || (handleCounter_ & kSimulatedSessionBit) != 0) continue;
        const uint32_t handle =
            simulated ? (handleCounter_ | kSimulatedSessionBit) : handleCounter_;
        if (sessions_.count(handle) == 0) return handle;
    }
}

void Emulator::setNextHandle(uint32_t handle) { handleCounter_ = handle - 1u; }

std::size_t Emulator::openSessionCount(const Instrument& instrument) const {
    return static_cast<std::size_t>(
        std::count_if(sessions_.begin(), sessions_.end(),
                      [&](const auto& open) { return open.second.instrument == &instrument; }));
}

int32_t Emulator::finish(LoggedCall& call, Fault* fault, int32_t status, void* output,
                         uint64_t outputSize) {
    if (fault != nullptr) {
        status = fault->definition.status;
        if (!fault->reply.empty() && output != nullptr) {
            const uint64_t length = std::min<uint64_t>(fault->reply.size(), outputSize);
            std::memcpy(output, fault->reply.data(), length);
        }
    }
    call.status = status;
    return status;
}

template <class Operation>
int32_t Emulator::record(LoggedCall entry, void* output, uint64_t outputSize,
                         Operation&& operation) {
    std::lock_guard<std::mutex> lock(mutex_);
    // A call that fails to be logged changes nothing and leaves its status to the boundary.
    LoggedCall& call = log_.append(std::move(entry));
    Fault* fault = faults_.fire(call, log_.appended() - 1);
    int32_t status = 0;
    if (fault == nullptr || fault->definition.action != ZYEMU_FAULT_REPLACE) {
        try {
            status = operation(call);
        } catch (...) {
            // The logged call then shows the status its caller got.
            status = statusOfCurrentException();
            if (Session* target = findSession(call.session)) leaveRuntimeFault(*target, status);
        }
    }
    status = finish(call, fault, status, output, outputSize);
    log_.trim();
    return status;
}

int32_t Emulator::open(const char* imagePath, const char* signature, const char* resourceName,
                       uint32_t attribute, uint32_t* session) {
    LoggedCall entry;
    entry.entry = ZYEMU_ENTRY_OPEN;
    entry.text = optionalText(imagePath);
    entry.resource = optionalText(resourceName);
    entry.signatureGiven = signature != nullptr;
    entry.word = attribute;
    return record(std::move(entry), nullptr, 0, [&](LoggedCall& call) {
        const int32_t status = openLocked(imagePath, resourceName, attribute, session);
        if (status == 0) call.session = *session;
        return status;
    });
}

int32_t Emulator::openLocked(const char* imagePath, const char* resourceName, uint32_t attribute,
                             uint32_t* session) {
    if (imagePath == nullptr || resourceName == nullptr || session == nullptr) {
        return ZYEMU_STATUS_INVALID_ARGUMENT;
    }
    Instrument* instrument = findInstrument(resourceName);
    if (instrument == nullptr) return ZYEMU_STATUS_RESOURCE_NOT_FOUND;
    if (openSessionCount(*instrument) >= ZYEMU_MAX_SESSIONS_PER_RESOURCE) {
        return ZYEMU_STATUS_SESSION_LIMIT;
    }

    Session opened;
    opened.instrument = instrument;
    opened.openAttribute = attribute;
    const std::string path = imagePath;
    if ((attribute & kStoredImageAttribute) != 0 && isStoredImageName(path)) {
        opened.source = ImageSource::StoredImage;
        opened.image = path;
    } else if (looksLikeDocument(path)) {
        opened.source = ImageSource::BitfileText;
        opened.bitfileText = path;
    } else {
        opened.source = ImageSource::BitfilePath;
        opened.image = path;
        if (int32_t status = readBitfile(path, opened.bitfileText); status != 0) return status;
    }
    if (opened.source != ImageSource::StoredImage) {
        if (int32_t status = loadSessionBitfile(opened); status != 0) return status;
    }
    const uint32_t handle = nextHandle(instrument->model().simulated);
    opened.handle = handle;
    // The handle is given out only once the session is registered under it.
    if (!sessions_.try_emplace(handle, std::move(opened)).second) {
        return ZYEMU_STATUS_INTERNAL_FAULT;
    }
    *session = handle;
    return 0;
}

int32_t Emulator::close(uint32_t session, uint32_t attribute) {
    LoggedCall entry;
    entry.entry = ZYEMU_ENTRY_CLOSE;
    entry.session = session;
    entry.word = attribute;
    return record(std::move(entry), nullptr, 0, [&](LoggedCall&) {
        return sessions_.erase(session) == 1 ? 0 : int32_t{ZYEMU_STATUS_INVALID_SESSION};
    });
}

int32_t Emulator::clientCall(uint32_t session, uint32_t functionGroup, uint32_t functionNumber,
                             const void* input, uint64_t inputSize, void* output,
                             uint64_t outputSize) {
    LoggedCall entry;
    entry.entry = ZYEMU_ENTRY_CLIENT_CALL;
    entry.session = session;
    entry.functionGroup = functionGroup;
    entry.functionNumber = functionNumber;
    if (input != nullptr && inputSize != 0) {
        const auto* bytes = static_cast<const uint8_t*>(input);
        entry.input.assign(bytes, bytes + inputSize);
    }
    entry.outputGiven = output != nullptr;
    entry.outputSize = outputSize;
    if (functionNumber == kInterfaceCall && entry.input.size() >= 20) {
        std::memcpy(&entry.interfaceNumber, entry.input.data(), 4);
        std::memcpy(&entry.method, entry.input.data() + 16, 4);
    }
    return record(std::move(entry), output, outputSize, [&](LoggedCall&) {
        Session* target = findSession(session);
        if (target == nullptr) return int32_t{ZYEMU_STATUS_INVALID_SESSION};
        return dispatch(*target, functionGroup, functionNumber, input, inputSize, output,
                        outputSize);
    });
}

int32_t Emulator::dispatch(Session& session, uint32_t functionGroup, uint32_t functionNumber,
                           const void* input, uint64_t inputSize, void* output,
                           uint64_t outputSize) {
    CommandRegistry::instance().tick(session);
    Elaboration elaboration;
    CommandContext context{*this,
                           session,
                           *session.instrument,
                           WireReader(input, static_cast<std::size_t>(inputSize)),
                           ReplyWriter(output, static_cast<std::size_t>(outputSize)),
                           elaboration};
    elaboration.addUsage("kUsageTypeFunctionNumber", uint64_t{functionNumber});

    int32_t status = 0;
    CommandHandler handler = nullptr;
    uint32_t interfaceNumber = 0;
    uint32_t method = 0;
    if ((input == nullptr && inputSize != 0) || (output == nullptr && outputSize != 0)) {
        status = ZYEMU_STATUS_INVALID_ARGUMENT;
    } else if (functionGroup != kFunctionGroup) {
        elaboration.addUsage("kUsageTypeFunctionGroup", uint64_t{functionGroup});
        status = ZYEMU_STATUS_BAD_FUNCTION_GROUP;
    } else if (functionNumber != kInterfaceCall) {
        handler = CommandRegistry::instance().findDirect(functionNumber);
    } else if ((status = requireRecordSize(context, kMethodFieldsOffset)) == 0) {
        context.input.read(0, interfaceNumber);
        context.input.read(16, method);
        elaboration.addUsage("kUsageTypeInterface", uint64_t{interfaceNumber});
        elaboration.addUsage("kUsageTypeMethod", uint64_t{method});
        handler = CommandRegistry::instance().findInterface(interfaceNumber, method);
    }
    if (status == 0) {
        status = handler != nullptr ? handler(context) : ZYEMU_STATUS_UNKNOWN_COMMAND;
    }
    if (status < 0) session.leaveFailure(status, elaboration);
    return status;
}

const RegisterDefinition* lookupRegister(const Session& session, const std::string& name) {
    const auto& extra = session.instrument->extraRegisters;
    if (auto it = extra.find(name); it != extra.end()) return &it->second;
    if (session.source == ImageSource::StoredImage) {
        const auto& stored = storedImageRegisters();
        if (auto it = stored.find(name); it != stored.end()) return &it->second;
    }
    const auto& defined = session.bitfileRegisters;
    if (auto it = defined.find(name); it != defined.end()) return &it->second;
    return nullptr;
}

int32_t Emulator::findRegister(uint32_t session, const char* name, uint32_t typeSelector,
                               uint32_t* offset) {
    LoggedCall entry;
    entry.entry = ZYEMU_ENTRY_FIND_REGISTER;
    entry.session = session;
    entry.text = optionalText(name);
    entry.word = typeSelector;
    return record(std::move(entry), nullptr, 0, [&](LoggedCall&) -> int32_t {
        Session* target = findSession(session);
        if (target == nullptr) return ZYEMU_STATUS_INVALID_SESSION;
        if (name == nullptr || offset == nullptr) return ZYEMU_STATUS_INVALID_ARGUMENT;
        const RegisterDefinition* found = lookupRegister(*target, name);
        if (found == nullptr || (typeSelector != kAnyType && typeSelector != found->typeId)) {
            return ZYEMU_STATUS_NOT_FOUND;
        }
        *offset = found->offset;
        return 0;
    });
}

int32_t Emulator::findFifo(uint32_t session, const char* name, uint32_t typeSelector,
                           uint32_t* number, uint32_t* implementation, uint32_t* numberOfElements) {
    LoggedCall entry;
    entry.entry = ZYEMU_ENTRY_FIND_FIFO;
    entry.session = session;
    entry.text = optionalText(name);
    entry.word = typeSelector;
    return record(std::move(entry), nullptr, 0, [&](LoggedCall&) -> int32_t {
        Session* target = findSession(session);
        if (target == nullptr) return ZYEMU_STATUS_INVALID_SESSION;
        if (name == nullptr || number == nullptr || implementation == nullptr ||
            numberOfElements == nullptr) {
            return ZYEMU_STATUS_INVALID_ARGUMENT;
        }
        const auto& fifos = target->instrument->extraFifos;
        if (auto it = fifos.find(name); it != fifos.end()) {
            *number = it->second.number;
            *implementation = it->second.implementation;
            *numberOfElements = it->second.numberOfElements;
            return 0;
        }
        const zyrask::NamedFifo* fifo =
            target->bitfile != nullptr ? target->bitfile->findFifo(name) : nullptr;
        if (fifo == nullptr ||
            (typeSelector != kAnyType &&
             typeSelector != static_cast<uint32_t>(fifo->descriptor.type.typeId))) {
            return ZYEMU_STATUS_NOT_FOUND;
        }
        *number = fifo->number;
        *implementation = static_cast<uint32_t>(fifo->descriptor.implementation());
        *numberOfElements = fifo->numberOfElements;
        return 0;
    });
}

int32_t Emulator::readRegister(uint32_t entryKind, uint32_t session, uint32_t offset,
                               uint8_t* value) {
    LoggedCall entry;
    entry.entry = entryKind;
    entry.session = session;
    entry.word = offset;
    return record(std::move(entry), value, value != nullptr ? 1 : 0,
                  [&](LoggedCall& call) -> int32_t {
                      Session* target = findSession(session);
                      if (target == nullptr) return ZYEMU_STATUS_INVALID_SESSION;
                      if (value == nullptr) return ZYEMU_STATUS_INVALID_ARGUMENT;
                      CommandRegistry::instance().tick(*target);
                      const uint8_t stored = target->instrument->registerValue(offset);
                      *value = entryKind == ZYEMU_ENTRY_READ_BOOL ? (stored != 0) : stored;
                      call.value = *value;
                      return 0;
                  });
}

int32_t Emulator::writeU8(uint32_t session, uint32_t offset, uint8_t value) {
    LoggedCall entry;
    entry.entry = ZYEMU_ENTRY_WRITE_U8;
    entry.session = session;
    entry.word = offset;
    entry.value = value;
    return record(std::move(entry), nullptr, 0, [&](LoggedCall&) -> int32_t {
        Session* target = findSession(session);
        if (target == nullptr) return ZYEMU_STATUS_INVALID_SESSION;
        target->instrument->setRegisterValue(offset, value);
        CommandRegistry::instance().registerWritten(*this, *target, offset, value);
        return 0;
    });
}

}  // namespace zyemu
