#include "AttributeValues.h"

#include <cstdio>

#include "zyostrelapi.h"

namespace ostrel {

void addInt32Value(cJSON* out, const char* key, const char* numberKey, uint32_t id, int32_t value) {
    if (const char* name = enumName(id, value)) {
        addString(out, key, name);
        if (numberKey != nullptr) addNumber(out, numberKey, value);
    } else {
        addNumber(out, key, value);
    }
}

std::string attributeLabel(const AttributeName& attribute) {
    if (attribute.displayName[0] != '\0') return attribute.displayName;
    char id[16];
    std::snprintf(id, sizeof id, "0x%08X", static_cast<unsigned>(attribute.id));
    return id;
}

void readAttribute(Session& session, const std::string& channelText, const AttributeName& attribute,
                   cJSON* out, const char* key, const char* numberKey) {
    const uint32_t handle = session.handle();
    const char* channels = channelText.c_str();
    const uint32_t id = attribute.id;
    const std::string step = "get " + attributeLabel(attribute);
    // Getters leave their output unwritten on a warning, so only status 0 gives a value.
    switch (attribute.type) {
        case AttributeType::Int32: {
            int32_t value = 0;
            if (session.check(zyOstrel_GetAttributeInt32(handle, channels, id, &value), step) ==
                0) {
                addInt32Value(out, key, numberKey, id, value);
            }
            break;
        }
        case AttributeType::Double: {
            double value = 0;
            if (session.check(zyOstrel_GetAttributeDouble(handle, channels, id, &value), step) ==
                0) {
                addNumber(out, key, value);
            }
            break;
        }
        case AttributeType::String: {
            char value[ZYOSTREL_ATTRIBUTE_STRING_SIZE + 1] = {};
            if (session.check(zyOstrel_GetAttributeString(handle, channels, id,
                                                          ZYOSTREL_ATTRIBUTE_STRING_SIZE, value),
                              step) == 0) {
                addString(out, key, value);
            }
            break;
        }
        case AttributeType::Boolean: {
            uint32_t value = 0;
            if (session.check(zyOstrel_GetAttributeBoolean(handle, channels, id, &value), step) ==
                0) {
                addBool(out, key, value != 0);
            }
            break;
        }
        case AttributeType::UInt64: {
            uint64_t value = 0;
            if (session.check(zyOstrel_GetAttributeUInt64(handle, channels, id, &value), step) ==
                0) {
                addUnsigned(out, key, value);
            }
            break;
        }
    }
}

}  // namespace ostrel
