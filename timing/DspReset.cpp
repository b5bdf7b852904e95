#include "timing/DspReset.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "attributes/TerminalNames.h"
#include "channel/FpgaRuntime.h"
#include "platform/Clock.h"
#include "status/EntryPoint.h"
#include "status/Exception.h"
#include "status/FetchElaboration.h"
#include "status/Status.h"
#include "status/TranslatorData.h"
#include "zyostrelapi.h"

namespace zyostrel::timing {
namespace {

constexpr uint32_t kSendingTerminal = 0x3000000A;  // "DSP Reset Sending Term."
constexpr uint32_t kResetSource = 0x3000000B;      // "DSP Reset Source"
constexpr std::size_t kNameSize = 512;
constexpr std::size_t kTerminalSize = 512;
constexpr uint64_t kNanosecondsPerMs = 1000000;
// Never a state the image reports: a read that did not deliver a value matches nothing.
constexpr uint8_t kUnreadState = 0xFF;

struct DspResetParticipant {
    uint32_t session = 0;
    const char* channelName = nullptr;
    uint64_t sessionIndex = 0;
    bool sourceChanged = false;
    uint32_t stateRegister = 0;
    uint32_t requestRegister = 0;
};

// Throws code for the participant: the device's elaboration of code for its session, or the
// code alone when that cannot be had, then its position in the caller's array.
[[noreturn]] void failOn(const DspResetParticipant& participant, int32_t code) {
    zyerr::Status status;
    if (zyerr::fetchElaboration(participant.session, code, status) < 0 || status.code != code) {
        status = zyerr::Status();
        zyerr::setCode(status, code);
    }
    zyerr::addUsageItem(zyerr::openTranslatorData(status, zyerr::kLibraryTranslator),
                        "kUsageTypeSessionIndex", participant.sessionIndex);
    zyerr::throwStatus(std::move(status));
}

// Only an error aborts: a warning of any step is dropped.
void check(const DspResetParticipant& participant, int32_t status) {
    if (status < 0) failOn(participant, status);
}

void lookUpRegisters(DspResetParticipant& participant, int32_t dspIndex) {
    char name[kNameSize];
    std::snprintf(name, sizeof name, kDspResetStateFormat, dspIndex);
    check(participant, zyOstrel_QueryBitfileRegister(participant.session, name, ZYFPGA_ANY_TYPE,
                                                     &participant.stateRegister));
    std::snprintf(name, sizeof name, kDspResetRequestFormat, dspIndex);
    check(participant, zyOstrel_QueryBitfileRegister(participant.session, name, ZYFPGA_ANY_TYPE,
                                                     &participant.requestRegister));
}

void writeRequest(const DspResetParticipant& participant, DspResetRequest request) {
    check(participant,
          ZyFpgaDll_WriteU8(participant.session, participant.requestRegister, request));
}

// Polls the state register without sleeping until it reads expected or timeoutMs have passed.
void waitForDspResetState(const DspResetParticipant& participant, DspResetState expected,
                          int32_t timeoutMs) {
    const uint64_t deadline =
        platform::monotonicNanoseconds() + static_cast<uint64_t>(timeoutMs) * kNanosecondsPerMs;
    for (;;) {
        uint8_t value = kUnreadState;
        check(participant,
              ZyFpgaDll_ReadU8(participant.session, participant.stateRegister, &value));
        if (value == expected) return;
        if (platform::monotonicNanoseconds() >= deadline) {
            failOn(participant, ZYOSTREL_Status_DspResetTimeout);
        }
    }
}

void requestAndWait(const DspResetParticipant& participant, DspResetRequest request,
                    DspResetState expected) {
    writeRequest(participant, request);
    waitForDspResetState(participant, expected, kDspResetWaitMs);
}

// A string attribute on the participant's DSP channel, read into a 512-byte buffer.
std::string readTerminal(const DspResetParticipant& participant, uint32_t attribute) {
    char text[kTerminalSize] = {};
    check(participant, zyOstrel_GetAttributeString(participant.session, participant.channelName,
                                                   attribute, sizeof text, text));
    text[kTerminalSize - 1] = '\0';
    return text;
}

// Wires a receiver whose source is empty to the sender's terminal; a source the user set
// stays as it is. The commit applies whatever the receiver now holds.
void connectReceiver(DspResetParticipant& receiver, const std::string& senderTerminal) {
    if (readTerminal(receiver, kResetSource).empty()) {
        // Marked first: a set that reports a failure may still have reached the device, and
        // clearing a source that was empty anyway does no harm.
        receiver.sourceChanged = true;
        check(receiver, zyOstrel_SetAttributeString(receiver.session, receiver.channelName,
                                                    kResetSource, senderTerminal.c_str()));
    }
    check(receiver, zyOstrel_Commit(receiver.session));
}

void synchronise(const DspResetParticipant& sender, std::vector<DspResetParticipant>& receivers) {
    requestAndWait(sender, kRequestIdle, kStateIdle);
    for (const DspResetParticipant& receiver : receivers) {
        requestAndWait(receiver, kRequestIdle, kStateIdle);
    }
    const std::string senderTerminal = readTerminal(sender, kSendingTerminal);
    for (DspResetParticipant& receiver : receivers) connectReceiver(receiver, senderTerminal);
    for (const DspResetParticipant& receiver : receivers) {
        requestAndWait(receiver, kRequestArm, kStateArmed);
    }
    // The receivers are left alone once armed: the sender's pulse completes them.
    requestAndWait(sender, kRequestSend, kStateDone);
    for (const DspResetParticipant& receiver : receivers) {
        waitForDspResetState(receiver, kStateDone, kDspResetWaitMs);
    }
}

struct CleanUpFailure {
    const DspResetParticipant* participant = nullptr;
    int32_t code = 0;
};

// Runs one clean-up step through its own boundary and once more when it fails: a receiver
// left wired to another instrument's terminal, or a request left pending, would disturb every
// later reset of these sessions. Records the first step that failed twice.
template <class Step>
void cleanUpStep(const DspResetParticipant& participant, CleanUpFailure& failure,
                 Step&& step) noexcept {
    int32_t status = zyerr::callBoundary(step);
    if (status < 0) status = zyerr::callBoundary(step);
    if (status < 0 && failure.participant == nullptr) failure = {&participant, status};
}

// Runs on success and on every failure once receivers are being registered: unwires the
// receivers it wired and brings every request back to idle.
CleanUpFailure cleanUp(const DspResetParticipant& sender,
                       const std::vector<DspResetParticipant>& receivers) noexcept {
    CleanUpFailure failure;
    for (const DspResetParticipant& receiver : receivers) {
        if (receiver.sourceChanged) {
            cleanUpStep(receiver, failure, [&] {
                return zyOstrel_SetAttributeString(receiver.session, receiver.channelName,
                                                   kResetSource, "");
            });
            cleanUpStep(receiver, failure, [&] { return zyOstrel_Commit(receiver.session); });
        }
        cleanUpStep(receiver, failure, [&] {
            return ZyFpgaDll_WriteU8(receiver.session, receiver.requestRegister, kRequestIdle);
        });
    }
    cleanUpStep(sender, failure, [&] {
        return ZyFpgaDll_WriteU8(sender.session, sender.requestRegister, kRequestIdle);
    });
    return failure;
}

}  // namespace

const char* dspChannelName(int32_t dspIndex) noexcept {
    // The stream names are the decimal texts of 0 to 63: one table serves both.
    if (dspIndex < 0 || dspIndex > kHighestDspIndex) return "invalid";
    return attributes::streamName(static_cast<uint32_t>(dspIndex));
}

void resetDspSynchronously(const uint32_t* sessions, std::size_t sessionCount, int32_t dspIndex) {
    if (sessions == nullptr || sessionCount == 0) ZYERR_THROW(ZYOSTREL_Status_InvalidParameter);
    const char* channelName = dspChannelName(dspIndex);
    DspResetParticipant sender{sessions[0], channelName, 0};
    lookUpRegisters(sender, dspIndex);

    std::vector<DspResetParticipant> receivers;
    try {
        for (std::size_t k = 1; k < sessionCount; ++k) {
            DspResetParticipant receiver{sessions[k], channelName, k};
            lookUpRegisters(receiver, dspIndex);
            receivers.push_back(receiver);
        }
        synchronise(sender, receivers);
    } catch (...) {
        // The failure being reported comes first; the clean-up's own give way to it.
        cleanUp(sender, receivers);
        throw;
    }
    // A reset that left a session wired or pending is not reported as a success.
    const CleanUpFailure failure = cleanUp(sender, receivers);
    if (failure.participant != nullptr) failOn(*failure.participant, failure.code);
}

}  // namespace zyostrel::timing
