// Attribute identifiers the timing functions write and read, checked at compile time
// against the attribute table so that an identifier and its type cannot drift apart.
#pragma once

#include <cstdint>

#include "attributes/AttributeTable.h"

namespace zyostrel::timing {

#define ZY_TIMING_ATTRIBUTE(name, id, type)                                           \
    inline constexpr uint32_t name = id;                                              \
    static_assert(attributes::attributeTableHas(id, attributes::AttributeType::type), \
                  #name " not in the table")

ZY_TIMING_ATTRIBUTE(kReferenceClockSource, 0x1000000B, Int32);
ZY_TIMING_ATTRIBUTE(kSampleClockSource, 0x10000013, Int32);
ZY_TIMING_ATTRIBUTE(kSampleClockTimebaseRate, 0x20000017, Double);
ZY_TIMING_ATTRIBUTE(kFpgaTxClockSelect, 0x30000015, String);
ZY_TIMING_ATTRIBUTE(kUserClockFrequency, 0x2000002C, Double);
ZY_TIMING_ATTRIBUTE(kFpgaRxClockSelect, 0x10000032, Int32);
ZY_TIMING_ATTRIBUTE(kFpgaRxClockBankCount, 0x10000034, Int32);
ZY_TIMING_ATTRIBUTE(kStartTriggerType, 0x10000009, Int32);
ZY_TIMING_ATTRIBUTE(kDigitalStartTriggerSource, 0x30000000, String);
ZY_TIMING_ATTRIBUTE(kStartTriggerSensitivity, 0x10000016, Int32);
ZY_TIMING_ATTRIBUTE(kAiChannelCount, 0x1000000F, Int32);
ZY_TIMING_ATTRIBUTE(kAnalogEdgeTriggerLevel, 0x20000002, Double);
ZY_TIMING_ATTRIBUTE(kAnalogEdgeTriggerHysteresis, 0x20000003, Double);
ZY_TIMING_ATTRIBUTE(kAnalogEdgeTriggerRising, 0x40000002, Boolean);
ZY_TIMING_ATTRIBUTE(kAnalogEdgeTriggerChannel, 0x10000008, Int32);
ZY_TIMING_ATTRIBUTE(kExternalAnalogEdgeTriggerLevel, 0x20000004, Double);
ZY_TIMING_ATTRIBUTE(kExternalAnalogEdgeTriggerRising, 0x4000000B, Boolean);
ZY_TIMING_ATTRIBUTE(kExternalAnalogEdgeTriggerHysteresis, 0x20000021, Double);
ZY_TIMING_ATTRIBUTE(kIoReady, 0x40000003, Boolean);
ZY_TIMING_ATTRIBUTE(kIoError, 0x1000000D, Int32);
ZY_TIMING_ATTRIBUTE(kFixedLogicResetBugPresent, 0x4000000D, Boolean);
ZY_TIMING_ATTRIBUTE(kSiPocVoltage, 0x2000002D, Double);
ZY_TIMING_ATTRIBUTE(kSoPocVoltage, 0x2000002E, Double);

#undef ZY_TIMING_ATTRIBUTE

// Values of the enumerated attributes written here.
enum StartTriggerType : int32_t {
    kTriggerImmediate = 0,
    kTriggerDigital = 1,
    kTriggerDio = 3,
    kTriggerAnalog = 4,
    kTriggerExternalAnalog = 5,
};
enum SampleClockSource : int32_t { kSampleClockInternal = 0, kSampleClockFrontPanel = 1 };

}  // namespace zyostrel::timing
