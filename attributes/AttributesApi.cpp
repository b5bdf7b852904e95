// Exported attribute entry points, each running its operation through the exception boundary.
#include "zyostrelapi.h"

#include "attributes/Attributes.h"
#include "status/EntryPoint.h"

namespace attr = zyostrel::attributes;

extern "C" {

ZYOSTREL_API int32_t zyOstrel_GetAttributeInt32(uint32_t session, const char* channelName,
                                                uint32_t attribute, int32_t* value) {
    return zyerr::callBoundary(
        [&] { return attr::getAttributeInt32(session, channelName, attribute, value); });
}

ZYOSTREL_API int32_t zyOstrel_SetAttributeInt32(uint32_t session, const char* channelName,
                                                uint32_t attribute, int32_t value) {
    return zyerr::callBoundary(
        [&] { return attr::setAttributeInt32(session, channelName, attribute, value); });
}

ZYOSTREL_API int32_t zyOstrel_GetAttributeUInt64(uint32_t session, const char* channelName,
                                                 uint32_t attribute, uint64_t* value) {
    return zyerr::callBoundary(
        [&] { return attr::getAttributeUInt64(session, channelName, attribute, value); });
}

ZYOSTREL_API int32_t zyOstrel_SetAttributeUInt64(uint32_t session, const char* channelName,
                                                 uint32_t attribute, uint64_t value) {
    return zyerr::callBoundary(
        [&] { return attr::setAttributeUInt64(session, channelName, attribute, value); });
}

ZYOSTREL_API int32_t zyOstrel_GetAttributeDouble(uint32_t session, const char* channelName,
                                                 uint32_t attribute, double* value) {
    return zyerr::callBoundary(
        [&] { return attr::getAttributeDouble(session, channelName, attribute, value); });
}

ZYOSTREL_API int32_t zyOstrel_SetAttributeDouble(uint32_t session, const char* channelName,
                                                 uint32_t attribute, double value) {
    return zyerr::callBoundary(
        [&] { return attr::setAttributeDouble(session, channelName, attribute, value); });
}

ZYOSTREL_API int32_t zyOstrel_GetAttributeBoolean(uint32_t session, const char* channelName,
                                                  uint32_t attribute, uint32_t* value) {
    return zyerr::callBoundary(
        [&] { return attr::getAttributeBoolean(session, channelName, attribute, value); });
}

ZYOSTREL_API int32_t zyOstrel_SetAttributeBoolean(uint32_t session, const char* channelName,
                                                  uint32_t attribute, int32_t value) {
    return zyerr::callBoundary(
        [&] { return attr::setAttributeBoolean(session, channelName, attribute, value); });
}

ZYOSTREL_API int32_t zyOstrel_GetAttributeString(uint32_t session, const char* channelName,
                                                 uint32_t attribute, uint64_t bufferSize,
                                                 char* buffer) {
    return zyerr::callBoundary([&] {
        return attr::getAttributeString(session, channelName, attribute, bufferSize, buffer);
    });
}

ZYOSTREL_API int32_t zyOstrel_SetAttributeString(uint32_t session, const char* channelName,
                                                 uint32_t attribute, const char* value) {
    return zyerr::callBoundary(
        [&] { return attr::setAttributeString(session, channelName, attribute, value); });
}

}  // extern "C"
