// attr get|set|list: typed attribute access by display name or identifier, enumerations by
// their names in both directions.
#include <string>

#include "AttributeNames.h"
#include "AttributeValues.h"
#include "Commands.h"
#include "Context.h"
#include "zyostrelapi.h"

namespace ostrel::commands {
namespace {

// The operands of get and set: RESOURCE [CHANNELS] NAME|ID [VALUE].
struct Target {
    std::string resource;
    std::string channels;
    AttributeName attribute;
};

Target targetOf(const Arguments& arguments, std::size_t valueOperands) {
    const auto& operands = arguments.operands;
    const bool hasChannels = operands.size() == 3 + valueOperands;
    return {operands[0], hasChannels ? operands[1] : "",
            findAttribute(operands[hasChannels ? 2 : 1])};
}

void describeTarget(cJSON* out, const Target& target) {
    addString(out, "resource", target.resource);
    if (!target.channels.empty()) addString(out, "channels", target.channels);
    addString(out, "attribute", attributeLabel(target.attribute));
    addHex(out, "id", target.attribute.id, 8);
    addString(out, "type", typeName(target.attribute.type));
}

int32_t parseInt32Value(const AttributeName& attribute, const std::string& text) {
    if (const auto value = enumValue(attribute.id, text)) return *value;
    return static_cast<int32_t>(parseSigned(text, "value", INT32_MIN, INT32_MAX));
}

// A value to set, parsed before the session is opened so that a malformed one sends nothing.
struct Value {
    int32_t int32 = 0;
    double number = 0;
    std::string text;
    bool flag = false;
    uint64_t uint64 = 0;
};

Value parseValue(const AttributeName& attribute, const std::string& text, cJSON* out) {
    Value value;
    switch (attribute.type) {
        case AttributeType::Int32:
            value.int32 = parseInt32Value(attribute, text);
            addInt32Value(out, "value", "number", attribute.id, value.int32);
            break;
        case AttributeType::Double:
            value.number = parseDouble(text, "value");
            addNumber(out, "value", value.number);
            break;
        case AttributeType::String:
            // The instrument keeps this many characters; a longer text would be cut unseen.
            if (text.size() > ZYOSTREL_ATTRIBUTE_STRING_SIZE) {
                throw UsageError("a text value has at most " +
                                 std::to_string(ZYOSTREL_ATTRIBUTE_STRING_SIZE) + " characters");
            }
            value.text = text;
            addString(out, "value", text);
            break;
        case AttributeType::Boolean:
            value.flag = parseSwitch(text, "value");
            addBool(out, "value", value.flag);
            break;
        case AttributeType::UInt64:
            value.uint64 = parseUnsigned(text, "value", UINT64_MAX);
            addUnsigned(out, "value", value.uint64);
            break;
    }
    return value;
}

int32_t writeValue(uint32_t session, const Target& target, const Value& value) {
    const char* channels = target.channels.c_str();
    const uint32_t id = target.attribute.id;
    switch (target.attribute.type) {
        case AttributeType::Int32:
            return zyOstrel_SetAttributeInt32(session, channels, id, value.int32);
        case AttributeType::Double:
            return zyOstrel_SetAttributeDouble(session, channels, id, value.number);
        case AttributeType::String:
            return zyOstrel_SetAttributeString(session, channels, id, value.text.c_str());
        case AttributeType::Boolean:
            return zyOstrel_SetAttributeBoolean(session, channels, id, value.flag ? 1 : 0);
        case AttributeType::UInt64:
            return zyOstrel_SetAttributeUInt64(session, channels, id, value.uint64);
    }
    return ZYOSTREL_Status_SoftwareError;
}

void runGet(Context& context, const Arguments& arguments) {
    const Target target = targetOf(arguments, 0);
    describeTarget(context.result(), target);
    Session session(context, target.resource);
    readAttribute(session, target.channels, target.attribute, context.result(), "value", "number");
    session.close();
}

void runSet(Context& context, const Arguments& arguments) {
    const Target target = targetOf(arguments, 1);
    cJSON* out = context.result();
    describeTarget(out, target);
    if (target.attribute.readOnly) {
        throw UsageError(std::string(target.attribute.displayName) + " is read-only");
    }
    const Value value = parseValue(target.attribute, arguments.operands.back(), out);
    Session session(context, target.resource);
    session.check(writeValue(session.handle(), target, value),
                  "set " + attributeLabel(target.attribute));
    session.close();
}

void runList(Context& context, const Arguments&) {
    cJSON* list = addArray(context.result(), "attributes");
    for (const AttributeName& attribute : attributeNames()) {
        cJSON* entry = appendObject(list);
        addString(entry, "name", attribute.displayName);
        addHex(entry, "id", attribute.id, 8);
        addString(entry, "type", typeName(attribute.type));
        addBool(entry, "readOnly", attribute.readOnly);
        cJSON* values = nullptr;
        for (const EnumName& value : enumNames()) {
            if (value.id != attribute.id) continue;
            if (values == nullptr) values = addArray(entry, "values");
            appendString(values, value.name);
        }
    }
}

}  // namespace

std::vector<Command> attributes() {
    return {
        {"attr get",
         "RESOURCE [CHANNELS] NAME|ID",
         "Reads an attribute, on the channel CHANNELS names if given. NAME is the display name "
         "in any case and spacing (\"AI Range\", AIRange) or the identifier in hexadecimal; "
         "enumerated values are printed by name.",
         2,
         3,
         {},
         runGet},
        {"attr set",
         "RESOURCE [CHANNELS] NAME|ID VALUE",
         "Sets an attribute on every channel CHANNELS names (a channel text such as AI0-AI3). "
         "VALUE is an enumeration name or a number, a number, text, on/off or an unsigned "
         "number, as the attribute's type asks.",
         3,
         4,
         {},
         runSet},
        {"attr list",
         "",
         "Lists the attributes with their identifiers, types and value names.",
         0,
         0,
         {},
         runList},
    };
}

}  // namespace ostrel::commands
