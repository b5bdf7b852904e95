#include "timing/ClockTrigger.h"

#include <cstdio>
#include <cstring>

#include "attributes/Attributes.h"
#include "attributes/TerminalNames.h"
#include "channel/CommandChannel.h"
#include "status/Status.h"
#include "timing/TimingAttributes.h"
#include "timing/TimingRecords.h"
#include "zyostrelapi.h"

namespace zyostrel::timing {
namespace {

using attributes::restoreAttributeDefault;
using attributes::setAttributeBoolean;
using attributes::setAttributeDouble;
using attributes::setAttributeInt32;
using attributes::setAttributeString;
using channel::Interface;
using channel::InterfaceId;
using channel::isSimulatedSession;
using channel::mergeStatus;
using channel::sendElaboratedInterfaceCommand;
using channel::sendInterfaceCommand;

const InterfaceId kSynchronisationInterface(Interface::Synchronisation);
const InterfaceId kRoutingInterface(Interface::Routing);

constexpr const char* kNoChannel = "";
// Trigger types are set on the first stream's channel, whatever the stream configured.
constexpr const char* kTriggerTypeChannel = "0";
constexpr const char* kExternalTriggerInput = "TRIGIN";
constexpr const char* kDioTriggerSource = "DIO";

// Room for "RxBank-2147483648": every bank or clock number formats whole, so a name is
// never cut into another channel's name.
struct ChannelName {
    char text[24];
};

ChannelName formatChannel(const char* format, int32_t number) noexcept {
    ChannelName name{};
    std::snprintf(name.text, sizeof name.text, format, static_cast<int>(number));
    return name;
}

}  // namespace

int32_t sendSyncPulse(uint32_t session) {
    const SyncPulseRecord record{{kSynchronisationInterface, kSyncPulseMethod}, 0};
    // The device keeps an elaboration of a failure; fetching it keeps the exchange the
    // device expects. Whether or not that succeeds, the pulse's own result is reported.
    zyerr::Status elaboration;
    const int32_t result = sendElaboratedInterfaceCommand(session, record, &elaboration);
    // A simulated session has no pulse to send and nothing to explain: it succeeds.
    return isSimulatedSession(session) ? 0 : result;
}

int32_t configureForReferenceClock(uint32_t session, uint32_t referenceClockSource) {
    int32_t status = 0;
    const int32_t first = referenceClockSource != 0
                              ? setAttributeInt32(session, kNoChannel, kReferenceClockSource,
                                                  static_cast<int32_t>(referenceClockSource))
                              : restoreAttributeDefault(session, kNoChannel, kReferenceClockSource);
    if (!mergeStatus(status, first)) return status;
    mergeStatus(status,
                setAttributeInt32(session, kNoChannel, kSampleClockSource, kSampleClockInternal));
    return status;
}

int32_t configureForExternalClock(uint32_t session, int32_t externalClockSource,
                                  double timebaseRate) {
    if (externalClockSource != 0) return ZYOSTREL_Status_ReservedArgumentNotZero;
    int32_t status = 0;
    if (!mergeStatus(status, setAttributeInt32(session, kNoChannel, kSampleClockSource,
                                               kSampleClockFrontPanel))) {
        return status;
    }
    mergeStatus(status,
                setAttributeDouble(session, kNoChannel, kSampleClockTimebaseRate, timebaseRate));
    return status;
}

int32_t configureTxClocks(uint32_t session, int32_t txClock, double userClockFrequency) {
    const ChannelName clock = formatChannel("CLK%d", txClock);
    int32_t status = 0;
    if (!mergeStatus(status,
                     setAttributeString(session, kNoChannel, kFpgaTxClockSelect, clock.text))) {
        return status;
    }
    mergeStatus(status,
                setAttributeDouble(session, clock.text, kUserClockFrequency, userClockFrequency));
    return status;
}

int32_t configureRxClocks(uint32_t session, uint32_t rxClockSelect, int32_t rxBank) {
    const auto select = static_cast<int32_t>(rxClockSelect);
    if (rxBank != kAllRxBanks) {
        const ChannelName bank = formatChannel("RxBank%d", rxBank);
        return setAttributeInt32(session, bank.text, kFpgaRxClockSelect, select);
    }
    int32_t bankCount = 0;
    int32_t status =
        attributes::getAttributeInt32(session, kNoChannel, kFpgaRxClockBankCount, &bankCount);
    if (status < 0 || bankCount <= 0) return status;
    for (int32_t index = 0; index < bankCount; ++index) {
        const ChannelName bank = formatChannel("RxBank%d", index);
        if (!mergeStatus(status,
                         setAttributeInt32(session, bank.text, kFpgaRxClockSelect, select))) {
            break;
        }
    }
    return status;
}

int32_t getRxClockConfiguration(uint32_t session, uint32_t* rxClockSelect, int32_t rxBank) {
    if (rxClockSelect == nullptr) return ZYOSTREL_Status_InvalidParameter;
    const ChannelName bank = formatChannel("RxBank%d", rxBank);
    int32_t value = 0;
    const int32_t status =
        attributes::getAttributeInt32(session, bank.text, kFpgaRxClockSelect, &value);
    if (status == 0) *rxClockSelect = static_cast<uint32_t>(value);
    return status;
}

int32_t routeSignal(uint32_t session, const char* sourceTerminal, const char* destinationTerminal,
                    uint32_t* routeId) {
    if (isSimulatedSession(session)) return 0;
    if (sourceTerminal == nullptr || destinationTerminal == nullptr) {
        return ZYOSTREL_Status_InvalidParameter;
    }
    RouteRecord record{};
    record.header = {kRoutingInterface, kRouteMethod};
    channel::copyTerminatedTextField(record.source, sourceTerminal);
    channel::copyTerminatedTextField(record.destination, destinationTerminal);
    uint32_t reply = 0;
    const int32_t status = sendInterfaceCommand(session, record, reply);
    if (routeId != nullptr) *routeId = reply;
    return status;
}

int32_t unrouteSignal(uint32_t session, uint32_t routeId) {
    if (isSimulatedSession(session)) return 0;
    const UnrouteRecord record{{kRoutingInterface, kUnrouteMethod}, routeId};
    return sendInterfaceCommand(session, record);
}

int32_t configureImmediateTrigger(uint32_t session, uint32_t streamNumber) {
    if (isSimulatedSession(session)) return 0;
    const char* stream = attributes::streamName(streamNumber);
    if (stream == nullptr) return ZYOSTREL_Status_InvalidStreamNumber;
    return setAttributeInt32(session, stream, kStartTriggerType, kTriggerImmediate);
}

int32_t configureDigitalStartTrigger(uint32_t session, uint32_t streamNumber,
                                     const char* triggerSource, uint32_t sensitivity) {
    if (isSimulatedSession(session)) return 0;
    const char* stream = attributes::streamName(streamNumber);
    if (stream == nullptr) return ZYOSTREL_Status_InvalidStreamNumber;
    if (triggerSource == nullptr) return ZYOSTREL_Status_InvalidParameter;

    const bool dio = std::strcmp(triggerSource, kDioTriggerSource) == 0;
    int32_t status = 0;
    if (!mergeStatus(status, setAttributeInt32(session, stream, kStartTriggerType,
                                               dio ? kTriggerDio : kTriggerDigital)) ||
        !mergeStatus(status, setAttributeString(session, stream, kDigitalStartTriggerSource,
                                                dio ? "" : triggerSource))) {
        return status;
    }
    mergeStatus(status, setAttributeInt32(session, stream, kStartTriggerSensitivity,
                                          static_cast<int32_t>(sensitivity)));
    return status;
}

namespace {

// The analog edge trigger stops at any non-zero status, a warning included.
int32_t analogChannelTrigger(uint32_t session, uint32_t streamNumber, int64_t channel,
                             int32_t rising, double level, double hysteresis) {
    int32_t status =
        setAttributeInt32(session, kTriggerTypeChannel, kStartTriggerType, kTriggerAnalog);
    if (status != 0) return status;
    int32_t channelCount = 0;
    attributes::getAttributeInt32(session, kNoChannel, kAiChannelCount, &channelCount);
    // Output channels are checked against the input count as well.
    if (channelCount != 0 && channel >= channelCount) {
        return ZYOSTREL_Status_TerminalIndexOutOfRange;
    }
    const char* stream = attributes::streamName(streamNumber);
    if (stream == nullptr) return ZYOSTREL_Status_InvalidStreamNumber;
    if ((status = setAttributeDouble(session, stream, kAnalogEdgeTriggerLevel, level)) != 0 ||
        (status = setAttributeDouble(session, stream, kAnalogEdgeTriggerHysteresis, hysteresis)) !=
            0 ||
        (status = setAttributeBoolean(session, stream, kAnalogEdgeTriggerRising,
                                      rising != 0 ? 1 : 0)) != 0) {
        return status;
    }
    return setAttributeInt32(session, stream, kAnalogEdgeTriggerChannel,
                             static_cast<int32_t>(channel));
}

int32_t externalInputTrigger(uint32_t session, int32_t rising, double level, double hysteresis) {
    int32_t status = 0;
    if ((status = setAttributeInt32(session, kTriggerTypeChannel, kStartTriggerType,
                                    kTriggerExternalAnalog)) != 0 ||
        (status = setAttributeDouble(session, kNoChannel, kExternalAnalogEdgeTriggerLevel,
                                     level)) != 0 ||
        (status = setAttributeBoolean(session, kNoChannel, kExternalAnalogEdgeTriggerRising,
                                      rising != 0 ? 1 : 0)) != 0) {
        return status;
    }
    return setAttributeDouble(session, kNoChannel, kExternalAnalogEdgeTriggerHysteresis,
                              hysteresis);
}

}  // namespace

int32_t configureAnalogEdgeTrigger(uint32_t session, uint32_t streamNumber,
                                   const char* triggerChannel, int32_t rising, double level,
                                   double hysteresis) {
    if (isSimulatedSession(session)) return 0;
    if (triggerChannel == nullptr) return ZYOSTREL_Status_InvalidParameter;
    attributes::ResolvedNames names(triggerChannel, 0);
    if (int32_t status = attributes::resolveNames(names); status != 0) return status;
    if (names.count > 1) return ZYOSTREL_Status_TooManyTerminalNames;
    if (names.count == 0) return ZYOSTREL_Status_TerminalIndexOutOfRange;

    const char* name = names.names[0];
    const int64_t channel = attributes::analogChannelIndex(name);
    if (channel >= 0) {
        return analogChannelTrigger(session, streamNumber, channel, rising, level, hysteresis);
    }
    if (name != nullptr && std::strcmp(name, kExternalTriggerInput) == 0) {
        return externalInputTrigger(session, rising, level, hysteresis);
    }
    return ZYOSTREL_Status_TerminalIndexOutOfRange;
}

}  // namespace zyostrel::timing
