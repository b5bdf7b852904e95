// The emulated FPGA runtime and device daemon: instruments, sessions, the call log and the
// injected faults, behind one lock.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "Boundary.h"
#include "CallLog.h"
#include "FaultTable.h"
#include "Instrument.h"
#include "Session.h"

namespace zyemu {

class Emulator {
public:
    static Emulator& instance();

    // Runtime entry points; each logs the call and honours injected faults.
    int32_t open(const char* imagePath, const char* signature, const char* resourceName,
                 uint32_t attribute, uint32_t* session);
    int32_t close(uint32_t session, uint32_t attribute);
    int32_t clientCall(uint32_t session, uint32_t functionGroup, uint32_t functionNumber,
                       const void* input, uint64_t inputSize, void* output, uint64_t outputSize);
    int32_t findRegister(uint32_t session, const char* name, uint32_t typeSelector,
                         uint32_t* offset);
    int32_t findFifo(uint32_t session, const char* name, uint32_t typeSelector, uint32_t* number,
                     uint32_t* implementation, uint32_t* numberOfElements);
    int32_t readRegister(uint32_t entry, uint32_t session, uint32_t offset, uint8_t* value);
    int32_t writeU8(uint32_t session, uint32_t offset, uint8_t value);

    // Control interface.
    std::mutex& mutex() { return mutex_; }
    CallLog& log() { return log_; }
    FaultTable& faults() { return faults_; }
    Instrument* findInstrument(const char* resourceName);
    // A further instrument like the ready-made ones, until the next reset.
    int32_t addInstrument(const char* resourceName);
    template <class Visit>
    void forEachInstrument(Visit&& visit) {
        for (auto& named : instruments_) visit(*named.second);
    }
    Session* findSession(uint32_t handle);
    std::size_t openSessionCount() const { return sessions_.size(); }
    std::size_t openSessionCount(const Instrument& instrument) const;
    // The counter value the next open starts its search from.
    void setNextHandle(uint32_t handle);
    // Back to the state at load; when memory runs out, everything stays as it was.
    void reset();

private:
    Emulator();
    static std::map<std::string, std::unique_ptr<Instrument>> makeInstruments();
    uint32_t nextHandle(bool simulated);
    // Logs a call, runs it unless an injected fault replaces it, and applies the fault.
    template <class Operation>
    int32_t record(LoggedCall entry, void* output, uint64_t outputSize, Operation&& operation);
    int32_t finish(LoggedCall& call, Fault* fault, int32_t status, void* output,
                   uint64_t outputSize);
    int32_t openLocked(const char* imagePath, const char* resourceName, uint32_t attribute,
                       uint32_t* session);
    int32_t dispatch(Session& session, uint32_t functionGroup, uint32_t functionNumber,
                     const void* input, uint64_t inputSize, void* output, uint64_t outputSize);

    std::mutex mutex_;
    std::map<std::string, std::unique_ptr<Instrument>> instruments_;
    std::map<uint32_t, Session> sessions_;
    uint32_t handleCounter_ = 0;
    CallLog log_;
    FaultTable faults_;
};

// Runs action(Instrument&) under the emulator's lock on the named instrument and returns its
// status; a name that names no instrument gives ZYEMU_STATUS_RESOURCE_NOT_FOUND. It is the
// exception boundary of the control functions built on it: nothing thrown leaves it.
template <class Action>
int32_t withInstrument(const char* resourceName, Action&& action) noexcept {
    return guarded([&]() -> int32_t {
        std::lock_guard<std::mutex> lock(Emulator::instance().mutex());
        Instrument* instrument = Emulator::instance().findInstrument(resourceName);
        if (instrument == nullptr) return ZYEMU_STATUS_RESOURCE_NOT_FOUND;
        return action(*instrument);
    });
}

// Runs action(Session&) under the emulator's lock on the session with this handle, as
// withInstrument does; an unknown handle gives ZYEMU_STATUS_INVALID_SESSION.
template <class Action>
int32_t withSession(uint32_t handle, Action&& action) noexcept {
    return guarded([&]() -> int32_t {
        std::lock_guard<std::mutex> lock(Emulator::instance().mutex());
        Session* session = Emulator::instance().findSession(handle);
        if (session == nullptr) return ZYEMU_STATUS_INVALID_SESSION;
        return action(*session);
    });
}

// The registers a session answers to: those of its image, then those tests added.
const RegisterDefinition* lookupRegister(const Session& session, const std::string& name);

}  // namespace zyemu
