#include "sessions/SyncReferences.h"

#include <cstring>
#include <map>
#include <new>

#include "attributes/AttributeRecords.h"
#include "attributes/Attributes.h"
#include "channel/CommandChannel.h"
#include "platform/Semaphore.h"
#include "status/Status.h"
#include "status/StatusCodes.h"
#include "zyemu/registry.h"

namespace zyostrel::sessions {
namespace {

using attributes::AttributeValue;
using attributes::WireType;
using channel::CommandHeader;
using channel::Interface;
using channel::InterfaceId;

constexpr uint32_t kSessionReferenceId = 0x10000007;  // "TClk Session Reference"
constexpr uint32_t kRegistryWord = 0x1000000;

const InterfaceId kSyncInterface{Interface::Synchronisation};

uint32_t sessionOf(SyncContext context) noexcept { return static_cast<uint32_t>(context); }

// A synchronisation record: the header, then the arguments packed from offset 20.
#pragma pack(push, 1)
template <class... Args>
struct SyncRecord;

template <>
struct SyncRecord<> {
    CommandHeader header;
};

template <class A>
struct SyncRecord<A> {
    CommandHeader header;
    A first;
};

template <class A, class B>
struct SyncRecord<A, B> {
    CommandHeader header;
    A first;
    B second;
};
#pragma pack(pop)
static_assert(sizeof(SyncRecord<>) == 20 && sizeof(SyncRecord<uint32_t, double>) == 32);

int32_t sendSync(SyncContext context, uint32_t method, SyncStatus* status) {
    const SyncRecord<> record{{kSyncInterface, method}};
    return channel::sendElaboratedInterfaceCommand(sessionOf(context), record, status);
}

template <class A>
int32_t sendSync(SyncContext context, uint32_t method, A a, SyncStatus* status) {
    const SyncRecord<A> record{{kSyncInterface, method}, a};
    return channel::sendElaboratedInterfaceCommand(sessionOf(context), record, status);
}

template <class A, class B>
int32_t sendSync(SyncContext context, uint32_t method, A a, B b, SyncStatus* status) {
    const SyncRecord<A, B> record{{kSyncInterface, method}, a, b};
    return channel::sendElaboratedInterfaceCommand(sessionOf(context), record, status);
}

// Table A.
int32_t syncMethod6(SyncContext c, uint32_t a, uint32_t b, SyncStatus* s) {
    return sendSync(c, 6, a, b, s);
}
int32_t syncMethod7(SyncContext c, double a, double b, SyncStatus* s) {
    return sendSync(c, 7, a, b, s);
}
int32_t syncMethod8(SyncContext c, double a, double b, SyncStatus* s) {
    return sendSync(c, 8, a, b, s);
}
int32_t syncMethod9(SyncContext c, double a, SyncStatus* s) { return sendSync(c, 9, a, s); }

// Table B.
int32_t syncMethod13(SyncContext c, uint8_t* armed, SyncStatus* s) {
    if (armed != nullptr) *armed = 1;
    return sendSync(c, 13, s);
}
int32_t syncMethod14(SyncContext c, SyncStatus* s) { return sendSync(c, 14, s); }

// Table C.
int32_t syncMethod1(SyncContext c, uint32_t a, SyncStatus* s) { return sendSync(c, 1, a, s); }
int32_t syncMethod2(SyncContext c, uint32_t a, SyncStatus* s) { return sendSync(c, 2, a, s); }
int32_t syncMethod3(SyncContext c, uint32_t a, SyncStatus* s) { return sendSync(c, 3, a, s); }
int32_t syncMethod4(SyncContext c, uint32_t a, SyncStatus* s) { return sendSync(c, 4, a, s); }

double syncMethod5(SyncContext c, uint32_t a, uint32_t* first, uint32_t* second, SyncStatus* s) {
    const SyncRecord<uint32_t> record{{kSyncInterface, 5}, a};
    unsigned char reply[16] = {};
    if (channel::sendElaboratedInterfaceCommand(sessionOf(c), record, reply, s) != 0) {
        // The reply of a failed command holds nothing defined.
        std::memset(reply, 0, sizeof reply);
    }
    double value = 0;
    std::memcpy(&value, reply, sizeof value);
    if (first != nullptr) std::memcpy(first, reply + 8, sizeof *first);
    if (second != nullptr) std::memcpy(second, reply + 12, sizeof *second);
    return value;
}

// Table D.
int32_t syncMethod10(SyncContext c, SyncStatus* s) { return sendSync(c, 10, s); }
int32_t syncMethod11(SyncContext c, SyncStatus* s) { return sendSync(c, 11, s); }
uint8_t syncMethod12(SyncContext c, SyncStatus* s) {
    const SyncRecord<> record{{kSyncInterface, 12}};
    uint8_t reply = 0;
    if (channel::sendElaboratedInterfaceCommand(sessionOf(c), record, reply, s) != 0) return 0;
    return reply;
}

// Attribute table: the channel text goes to the device as given.
int32_t setAttribute(SyncContext c, const char* channel, uint32_t id, WireType type,
                     const AttributeValue& value, SyncStatus* s) {
    return attributes::sendAttributeSet(sessionOf(c), channel, id, type, value, s);
}

// The reply of a get; all zeros after a failed command.
AttributeValue getAttribute(SyncContext c, const char* channel, uint32_t id, WireType type,
                            SyncStatus* s) {
    AttributeValue value{};
    if (attributes::sendAttributeGet(sessionOf(c), channel, id, type, value, s) != 0) {
        value = AttributeValue{};
    }
    return value;
}

bool failed(const SyncStatus* s) noexcept { return s != nullptr && s->code < 0; }

uint8_t queryAttribute(SyncContext c, const char* channel, uint32_t id, SyncStatus* s) {
    uint8_t answer = 0;
    if (attributes::sendAttributeQuery(sessionOf(c), channel, id, answer, s) != 0) return 0;
    return answer;
}

int32_t setBoolean(SyncContext c, const char* ch, uint32_t id, int32_t v, SyncStatus* s) {
    AttributeValue value{};
    value.u8 = static_cast<uint8_t>(v);
    value.i64 = static_cast<uint8_t>(v);
    return setAttribute(c, ch, id, WireType::Boolean, value, s);
}
int32_t setDouble(SyncContext c, const char* ch, uint32_t id, double v, SyncStatus* s) {
    AttributeValue value{};
    value.f64 = v;
    return setAttribute(c, ch, id, WireType::Double, value, s);
}
int32_t setInt32(SyncContext c, const char* ch, uint32_t id, int32_t v, SyncStatus* s) {
    AttributeValue value{};
    value.i64 = v;
    return setAttribute(c, ch, id, WireType::Int32, value, s);
}
int32_t setUInt32(SyncContext c, const char* ch, uint32_t id, uint32_t v, SyncStatus* s) {
    AttributeValue value{};
    value.u64 = v;
    return setAttribute(c, ch, id, WireType::UInt32, value, s);
}
int32_t setUInt64(SyncContext c, const char* ch, uint32_t id, uint64_t v, SyncStatus* s) {
    AttributeValue value{};
    value.u64 = v;
    return setAttribute(c, ch, id, WireType::UInt64, value, s);
}
int32_t setString(SyncContext c, const char* ch, uint32_t id, const char* v, SyncStatus* s) {
    AttributeValue value{};
    channel::copyTerminatedTextField(value.text, v);
    return setAttribute(c, ch, id, WireType::String, value, s);
}
int32_t setStringList(SyncContext c, const char* ch, uint32_t id, const char* const* texts,
                      uint32_t count, SyncStatus* s) {
    const char* first = count != 0 && texts != nullptr ? texts[0] : "";
    return setString(c, ch, id, first, s);
}

int32_t getBoolean(SyncContext c, const char* ch, uint32_t id, SyncStatus* s) {
    const AttributeValue value = getAttribute(c, ch, id, WireType::Boolean, s);
    return failed(s) ? 0 : value.u8;
}
double getDouble(SyncContext c, const char* ch, uint32_t id, SyncStatus* s) {
    const AttributeValue value = getAttribute(c, ch, id, WireType::Double, s);
    return failed(s) ? 0.0 : value.f64;
}
int32_t getInt32(SyncContext c, const char* ch, uint32_t id, SyncStatus* s) {
    const AttributeValue value = getAttribute(c, ch, id, WireType::Int32, s);
    return failed(s) ? 0 : static_cast<int32_t>(static_cast<uint32_t>(value.i64));
}
uint32_t getUInt32(SyncContext c, const char* ch, uint32_t id, SyncStatus* s) {
    const AttributeValue value = getAttribute(c, ch, id, WireType::UInt32, s);
    return failed(s) ? 0 : static_cast<uint32_t>(value.u64);
}
uint64_t getUInt64(SyncContext c, const char* ch, uint32_t id, SyncStatus* s) {
    const AttributeValue value = getAttribute(c, ch, id, WireType::UInt64, s);
    return failed(s) ? 0 : value.u64;
}

int32_t getString(SyncContext c, const char* ch, uint32_t id, StringReceiver receiver,
                  void* receiverContext, SyncStatus* s) {
    AttributeValue value = getAttribute(c, ch, id, WireType::String, s);
    value.text[sizeof value.text - 1] = '\0';
    const auto length = static_cast<int32_t>(std::strlen(value.text));
    if (receiver != nullptr) receiver(receiverContext, value.text, length, s);
    return s != nullptr ? s->code : 0;
}

int32_t getStringList(SyncContext c, const char* ch, uint32_t id, StringListReceiver receiver,
                      void* receiverContext, SyncStatus* s) {
    AttributeValue value = getAttribute(c, ch, id, WireType::String, s);
    value.text[sizeof value.text - 1] = '\0';
    const char* texts[1] = {value.text};
    const int32_t lengths[1] = {static_cast<int32_t>(std::strlen(value.text))};
    if (receiver != nullptr) receiver(receiverContext, texts, 1, lengths, s);
    return s != nullptr ? s->code : 0;
}

// The process-wide lock of the registrations, created at load.
struct RegistrationLock {
    platform::ApalSemaphore semaphore;
    RegistrationLock() noexcept {
        zyerr::StatusRecord record = zyerr::makeStatusRecord();
        platform::createSemaphore(semaphore, 1, record);
    }
    ~RegistrationLock() { platform::destroySemaphore(semaphore); }
};

RegistrationLock registrationLock;

// Session handle to registry key; created on first use, freed at exit.
std::map<uint32_t, uint32_t>* registrations = nullptr;

struct RegistrationsRelease {
    ~RegistrationsRelease() {
        delete registrations;
        registrations = nullptr;
    }
} registrationsRelease;

class LockHold {
public:
    LockHold() { platform::waitSemaphore(registrationLock.semaphore); }
    ~LockHold() { platform::postSemaphore(registrationLock.semaphore); }
    LockHold(const LockHold&) = delete;
    LockHold& operator=(const LockHold&) = delete;
};

// Drops every registration whose session no longer reads back a reference: a session whose
// attribute cannot be read (closed, gone) or reads 0 (reset) has lost its key on the device.
void purgeStaleRegistrations() {
    for (auto entry = registrations->begin(); entry != registrations->end();) {
        int32_t stored = 0;
        const int32_t status =
            attributes::getAttributeInt32(entry->first, nullptr, kSessionReferenceId, &stored);
        if (status != 0 || stored == 0) {
            zyerr::Status ignored;
            zyajel_unregisterSession(entry->second, &ignored);
            entry = registrations->erase(entry);
        } else {
            ++entry;
        }
    }
}

}  // namespace

const SyncTableA kSyncTableA{&syncMethod6, &syncMethod7, &syncMethod8, &syncMethod9};
const SyncTableB kSyncTableB{&syncMethod13, &syncMethod14};
const SyncTableC kSyncTableC{&syncMethod2, &syncMethod3, &syncMethod1, &syncMethod4, &syncMethod5};
const SyncTableD kSyncTableD{&syncMethod10, &syncMethod11, &syncMethod12};
const SyncAttributeTable kSyncAttributeTable{
    &queryAttribute, &setBoolean, &setDouble,     &setInt32,   &setUInt32,
    &setUInt64,      &setString,  &setStringList, &getBoolean, &getDouble,
    &getInt32,       &getUInt32,  &getUInt64,     &getString,  &getStringList,
};

int32_t getSessionReference(uint32_t session, uint32_t* reference) {
    LockHold hold;
    if (int32_t status = sendSync(session, 0, nullptr)) return status;
    int32_t stored = 0;
    const int32_t readStatus =
        attributes::getAttributeInt32(session, nullptr, kSessionReferenceId, &stored);
    if (readStatus != 0) return readStatus;
    *reference = static_cast<uint32_t>(stored);
    if (stored != 0) return 0;

    if (registrations == nullptr) {
        registrations = new (std::nothrow) std::map<uint32_t, uint32_t>();
        if (registrations == nullptr) return zyerr::codes::OutOfMemory;
    }
    purgeStaleRegistrations();

    const SyncContext context = session;
    const ZyAjelTablePair pairs[ZYAJEL_TABLE_COUNT] = {
        {&kSyncAttributeTable, context}, {&kSyncTableD, context}, {&kSyncTableC, context},
        {&kSyncTableB, context},         {&kSyncTableA, context},
    };
    zyerr::Status registryStatus;
    const uint32_t key =
        zyajel_registerSessionGetKey(kRegistryWord, kRegistryWord, pairs, 0, 0, &registryStatus);
    // Key 0 means "no reference": storing it would report success for a session nobody can
    // reach, and the next call would register again. The registry's failure is reported.
    if (key == 0) {
        return registryStatus.code < 0 ? registryStatus.code : int32_t{zyerr::codes::SoftwareError};
    }
    attributes::setAttributeInt32(session, nullptr, kSessionReferenceId, static_cast<int32_t>(key));
    *reference = key;
    try {
        registrations->emplace(session, key);
    } catch (const std::bad_alloc&) {
        return zyerr::codes::OutOfMemory;
    }
    return 0;
}

}  // namespace zyostrel::sessions
