// Exported clock, trigger, route and readiness entry points.
#include "zyostrelapi.h"

#include "status/EntryPoint.h"
#include "timing/ClockTrigger.h"
#include "timing/IoReadiness.h"

namespace timing = zyostrel::timing;

extern "C" {

ZYOSTREL_API int32_t zyOstrel_SendSyncPulse(uint32_t session) {
    return zyerr::callBoundary([&] { return timing::sendSyncPulse(session); });
}

ZYOSTREL_API int32_t zyOstrel_ConfigureForReferenceClock(uint32_t session,
                                                         uint32_t referenceClockSource) {
    return zyerr::callBoundary(
        [&] { return timing::configureForReferenceClock(session, referenceClockSource); });
}

ZYOSTREL_API int32_t zyOstrel_ConfigureForExternalClock(uint32_t session,
                                                        int32_t externalClockSource,
                                                        double timebaseRate) {
    return zyerr::callBoundary([&] {
        return timing::configureForExternalClock(session, externalClockSource, timebaseRate);
    });
}

ZYOSTREL_API int32_t zyOstrel_X41_ConfigureTXClocks(uint32_t session, int32_t txClock,
                                                    double userClockFrequency) {
    return zyerr::callBoundary(
        [&] { return timing::configureTxClocks(session, txClock, userClockFrequency); });
}

ZYOSTREL_API int32_t zyOstrel_X41_ConfigureRXClocks(uint32_t session, uint32_t rxClockSelect,
                                                    int32_t rxBank) {
    return zyerr::callBoundary(
        [&] { return timing::configureRxClocks(session, rxClockSelect, rxBank); });
}

ZYOSTREL_API int32_t zyOstrel_X41_GetRXClockConfiguration(uint32_t session, uint32_t* rxClockSelect,
                                                          int32_t rxBank) {
    return zyerr::callBoundary(
        [&] { return timing::getRxClockConfiguration(session, rxClockSelect, rxBank); });
}

ZYOSTREL_API int32_t zyOstrel_RouteSignal(uint32_t session, const char* sourceTerminal,
                                          const char* destinationTerminal, uint32_t* routeId) {
    return zyerr::callBoundary(
        [&] { return timing::routeSignal(session, sourceTerminal, destinationTerminal, routeId); });
}

ZYOSTREL_API int32_t zyOstrel_UnrouteSignal(uint32_t session, uint32_t routeId) {
    return zyerr::callBoundary([&] { return timing::unrouteSignal(session, routeId); });
}

ZYOSTREL_API int32_t zyOstrel_ConfigureImmediateTrigger(uint32_t session, uint32_t streamNumber) {
    return zyerr::callBoundary(
        [&] { return timing::configureImmediateTrigger(session, streamNumber); });
}

ZYOSTREL_API int32_t zyOstrel_ConfigureDigitalStartTrigger(uint32_t session, uint32_t streamNumber,
                                                           const char* triggerSource,
                                                           uint32_t sensitivity) {
    return zyerr::callBoundary([&] {
        return timing::configureDigitalStartTrigger(session, streamNumber, triggerSource,
                                                    sensitivity);
    });
}

ZYOSTREL_API int32_t zyOstrel_ConfigureAnalogEdgeTrigger(uint32_t session, uint32_t streamNumber,
                                                         const char* triggerChannel, int32_t rising,
                                                         double level, double hysteresis) {
    return zyerr::callBoundary([&] {
        return timing::configureAnalogEdgeTrigger(session, streamNumber, triggerChannel, rising,
                                                  level, hysteresis);
    });
}

ZYOSTREL_API int32_t zyOstrel_WaitForIoReady(uint32_t session, int32_t timeoutMs, int32_t* ioReady,
                                             int32_t* ioError) {
    return zyerr::callBoundary(
        [&] { return timing::waitForIoReady(session, timeoutMs, ioReady, ioError); });
}

ZYOSTREL_API int32_t zyOstrel_WaitForPoCSafeToDisconnect(uint32_t session, const char* channelList,
                                                         int32_t timeoutMs,
                                                         size_t notSafeChannelsSize,
                                                         char* notSafeChannels) {
    return zyerr::callBoundary([&] {
        return timing::waitForPocSafeToDisconnect(session, channelList, timeoutMs,
                                                  notSafeChannelsSize, notSafeChannels);
    });
}

}  // extern "C"
