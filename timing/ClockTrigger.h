// Clock, trigger and route configuration, and the synchronisation pulse.
#pragma once

#include <cstdint>

namespace zyostrel::timing {

int32_t sendSyncPulse(uint32_t session);
int32_t configureForReferenceClock(uint32_t session, uint32_t referenceClockSource);
int32_t configureForExternalClock(uint32_t session, int32_t externalClockSource,
                                  double timebaseRate);
int32_t configureTxClocks(uint32_t session, int32_t txClock, double userClockFrequency);
int32_t configureRxClocks(uint32_t session, uint32_t rxClockSelect, int32_t rxBank);
int32_t getRxClockConfiguration(uint32_t session, uint32_t* rxClockSelect, int32_t rxBank);
int32_t routeSignal(uint32_t session, const char* sourceTerminal, const char* destinationTerminal,
                    uint32_t* routeId);
int32_t unrouteSignal(uint32_t session, uint32_t routeId);
int32_t configureImmediateTrigger(uint32_t session, uint32_t streamNumber);
int32_t configureDigitalStartTrigger(uint32_t session, uint32_t streamNumber,
                                     const char* triggerSource, uint32_t sensitivity);
int32_t configureAnalogEdgeTrigger(uint32_t session, uint32_t streamNumber,
                                   const char* triggerChannel, int32_t rising, double level,
                                   double hysteresis);

// Bank number that stands for every bank of the module.
inline constexpr int32_t kAllRxBanks = 0x7FFFFFFF;

}  // namespace zyostrel::timing
