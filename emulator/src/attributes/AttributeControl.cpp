// Control functions of the emulated attribute store, for tests and examples.
#include <mutex>
#include <string>

#include "Emulator.h"
#include "Wire.h"
#include "attributes/AttributeStore.h"
#include "zyemu/control.h"

using zyemu::AttributeData;
using zyemu::AttributeStore;

namespace {

// Runs change on the value of the attribute; stores the result when store is true. change
// returns false for a bad argument.
template <class Change>
int32_t withStore(const char* resource, uint32_t attributeId, const char* qualifier, bool store,
                  Change&& change) {
    return zyemu::withInstrument(resource, [&](zyemu::Instrument& instrument) -> int32_t {
        auto& attributes = instrument.state<AttributeStore>();
        if (!attributes.knows(attributeId)) return ZYEMU_STATUS_UNKNOWN_ATTRIBUTE;
        const std::string name = qualifier != nullptr ? qualifier : "";
        AttributeData value = attributes.value(attributeId, name);
        if (!change(value)) return ZYEMU_STATUS_INVALID_ARGUMENT;
        if (store) attributes.force(attributeId, name, value);
        return 0;
    });
}

}  // namespace

extern "C" {

ZYEMU_API int32_t zyemu_set_attribute_i64(const char* resource, uint32_t attributeId,
                                          const char* qualifier, int64_t value) {
    return withStore(resource, attributeId, qualifier, true, [&](AttributeData& data) {
        data.i64 = value;
        return true;
    });
}

ZYEMU_API int32_t zyemu_set_attribute_u64(const char* resource, uint32_t attributeId,
                                          const char* qualifier, uint64_t value) {
    return withStore(resource, attributeId, qualifier, true, [&](AttributeData& data) {
        data.u64 = value;
        return true;
    });
}

ZYEMU_API int32_t zyemu_set_attribute_f64(const char* resource, uint32_t attributeId,
                                          const char* qualifier, double value) {
    return withStore(resource, attributeId, qualifier, true, [&](AttributeData& data) {
        data.f64 = value;
        return true;
    });
}

ZYEMU_API int32_t zyemu_set_attribute_bool(const char* resource, uint32_t attributeId,
                                           const char* qualifier, int value) {
    return withStore(resource, attributeId, qualifier, true, [&](AttributeData& data) {
        data.boolean = value != 0;
        return true;
    });
}

ZYEMU_API int32_t zyemu_get_attribute_i64(const char* resource, uint32_t attributeId,
                                          const char* qualifier, int64_t* value) {
    return withStore(resource, attributeId, qualifier, false, [&](AttributeData& data) {
        if (value == nullptr) return false;
        *value = data.i64;
        return true;
    });
}

ZYEMU_API int32_t zyemu_get_attribute_u64(const char* resource, uint32_t attributeId,
                                          const char* qualifier, uint64_t* value) {
    return withStore(resource, attributeId, qualifier, false, [&](AttributeData& data) {
        if (value == nullptr) return false;
        *value = data.u64;
        return true;
    });
}

ZYEMU_API int32_t zyemu_set_attribute_text(const char* resource, uint32_t attributeId,
                                           const char* qualifier, const char* text) {
    return withStore(resource, attributeId, qualifier, true, [&](AttributeData& data) {
        data.text = text != nullptr ? text : "";
        return true;
    });
}

ZYEMU_API int32_t zyemu_get_attribute_text(const char* resource, uint32_t attributeId,
                                           const char* qualifier, char* text, size_t size) {
    int32_t length = 0;
    const int32_t status =
        withStore(resource, attributeId, qualifier, false, [&](AttributeData& data) {
            if (text == nullptr && size != 0) return false;
            zyemu::ReplyWriter(text, size).terminatedText(data.text);
            length = static_cast<int32_t>(data.text.size());
            return true;
        });
    return status != 0 ? status : length;
}

}  // extern "C"
