// Exported attribute entry points of the graphical host: texts in host string handles, and
// the description of every failure written into the host's error text.
#include <cstring>
#include <string_view>

#include "zyostrelapi.h"

#include "status/EntryPoint.h"
#include "status/OstrelErrors.h"

namespace {

// Longest text taken from a host string handle.
constexpr std::size_t kMaxHostText = 511;

// A host string handle's text as a terminated C text.
class HostText {
public:
    explicit HostText(uint8_t** handle) {
        const std::string_view text = zyerr::hostStringText(handle, kMaxHostText);
        if (!text.empty()) std::memcpy(text_, text.data(), text.size());
        text_[text.size()] = '\0';
    }
    const char* c_str() const { return text_; }

private:
    char text_[kMaxHostText + 1];
};

// Describes status into the host's error text and returns it.
int32_t described(uint32_t session, int32_t status, uint8_t*** errorDescription) {
    zyOstrel_WBGetError(session, status, errorDescription);
    return status;
}

template <class T, class Setter>
int32_t setThrough(uint32_t session, uint8_t** channelName, uint32_t attribute, const T* value,
                   uint8_t*** errorDescription, Setter setter) {
    const int32_t status = value == nullptr
                               ? ZYOSTREL_Status_InvalidParameter
                               : setter(session, HostText(channelName).c_str(), attribute, *value);
    return described(session, status, errorDescription);
}

template <class T, class Getter>
int32_t getThrough(uint32_t session, uint8_t** channelName, uint32_t attribute, T* value,
                   uint8_t*** errorDescription, Getter getter) {
    const int32_t status = getter(session, HostText(channelName).c_str(), attribute, value);
    return described(session, status, errorDescription);
}

}  // namespace

extern "C" {

ZYOSTREL_API int32_t zyOstrel_GetAttributeInt32WB(uint32_t session, uint8_t** channelName,
                                                  uint32_t attribute, int32_t* value,
                                                  uint8_t*** errorDescription) {
    return getThrough(session, channelName, attribute, value, errorDescription,
                      &zyOstrel_GetAttributeInt32);
}

ZYOSTREL_API int32_t zyOstrel_SetAttributeInt32WB(uint32_t session, uint8_t** channelName,
                                                  uint32_t attribute, const int32_t* value,
                                                  uint8_t*** errorDescription) {
    return setThrough(session, channelName, attribute, value, errorDescription,
                      &zyOstrel_SetAttributeInt32);
}

ZYOSTREL_API int32_t zyOstrel_GetAttributeUInt64WB(uint32_t session, uint8_t** channelName,
                                                   uint32_t attribute, uint64_t* value,
                                                   uint8_t*** errorDescription) {
    return getThrough(session, channelName, attribute, value, errorDescription,
                      &zyOstrel_GetAttributeUInt64);
}

ZYOSTREL_API int32_t zyOstrel_SetAttributeUInt64WB(uint32_t session, uint8_t** channelName,
                                                   uint32_t attribute, const uint64_t* value,
                                                   uint8_t*** errorDescription) {
    return setThrough(session, channelName, attribute, value, errorDescription,
                      &zyOstrel_SetAttributeUInt64);
}

ZYOSTREL_API int32_t zyOstrel_GetAttributeDoubleWB(uint32_t session, uint8_t** channelName,
                                                   uint32_t attribute, double* value,
                                                   uint8_t*** errorDescription) {
    return getThrough(session, channelName, attribute, value, errorDescription,
                      &zyOstrel_GetAttributeDouble);
}

ZYOSTREL_API int32_t zyOstrel_SetAttributeDoubleWB(uint32_t session, uint8_t** channelName,
                                                   uint32_t attribute, const double* value,
                                                   uint8_t*** errorDescription) {
    return setThrough(session, channelName, attribute, value, errorDescription,
                      &zyOstrel_SetAttributeDouble);
}

ZYOSTREL_API int32_t zyOstrel_GetAttributeBoolWB(uint32_t session, uint8_t** channelName,
                                                 uint32_t attribute, uint8_t* value,
                                                 uint8_t*** errorDescription) {
    int32_t status = ZYOSTREL_Status_InvalidParameter;
    if (value != nullptr) {
        uint32_t read = 0;
        status =
            zyOstrel_GetAttributeBoolean(session, HostText(channelName).c_str(), attribute, &read);
        // The plain getter delivers a value only with status 0: after a warning nothing was
        // read, and false would be a value taken as read.
        if (status == 0) *value = read != 0 ? 1 : 0;
    }
    return described(session, status, errorDescription);
}

ZYOSTREL_API int32_t zyOstrel_SetAttributeBoolWB(uint32_t session, uint8_t** channelName,
                                                 uint32_t attribute, const uint8_t* value,
                                                 uint8_t*** errorDescription) {
    return setThrough(session, channelName, attribute, value, errorDescription,
                      [](uint32_t s, const char* name, uint32_t id, uint8_t flag) {
                          return zyOstrel_SetAttributeBoolean(s, name, id, int32_t{flag});
                      });
}

ZYOSTREL_API int32_t zyOstrel_GetAttributeStringWB(uint32_t session, uint8_t** channelName,
                                                   uint32_t attribute, uint8_t*** value,
                                                   uint8_t*** errorDescription) {
    if (value == nullptr) {
        return described(session, ZYOSTREL_Status_InvalidParameter, errorDescription);
    }
    // Zeroed first so that a warning, which reads nothing, stores the empty text.
    char text[kMaxHostText + 1] = "";
    const int32_t status = zyOstrel_GetAttributeString(session, HostText(channelName).c_str(),
                                                       attribute, kMaxHostText, text);
    described(session, status, errorDescription);
    if (status < 0) return status;
    // A handle that cannot be resized keeps its old text; the read's status still stands.
    zyerr::storeHostString(value, std::string_view(text, strnlen(text, kMaxHostText)));
    return status;
}

ZYOSTREL_API int32_t zyOstrel_SetAttributeStringWB(uint32_t session, uint8_t** channelName,
                                                   uint32_t attribute, uint8_t** value,
                                                   uint8_t*** errorDescription) {
    const int32_t status = zyOstrel_SetAttributeString(session, HostText(channelName).c_str(),
                                                       attribute, HostText(value).c_str());
    return described(session, status, errorDescription);
}

ZYOSTREL_API int32_t zyOstrel_GetAttributeTimestampWB(uint32_t session, uint8_t** channelName,
                                                      uint32_t attribute, uint64_t* timestamp,
                                                      uint8_t*** errorDescription) {
    uint64_t value = 0;
    const int32_t status =
        zyOstrel_GetAttributeUInt64(session, HostText(channelName).c_str(), attribute, &value);
    // Only a value that was read is stored: a failed read must not read as the epoch.
    if (timestamp != nullptr && status == 0) {
        timestamp[0] = 0;
        timestamp[1] = value;
    }
    return described(session, status, errorDescription);
}

}  // extern "C"
