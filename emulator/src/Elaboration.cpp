#include "Elaboration.h"

#include <cstdio>

namespace zyemu {

void Elaboration::addUsage(std::string usageKey, uint64_t value) {
    items_.push_back({std::move(usageKey), std::to_string(value), "uint64_t"});
}

void Elaboration::addUsage(std::string usageKey, std::string value) {
    items_.push_back({std::move(usageKey), std::move(value), "string"});
}

std::string Elaboration::toJson() const {
    std::string json =
        "{\"translator\":\"mxlator_zyostrelapi\",\"translator_info\":{\"is_debug\":\"0\","
        "\"version\":1,\"ordered_data\":[";
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (i != 0) json += ',';
        json += "{\"type\":\"usage\",\"usage\":" + jsonQuoted(items_[i].usageKey) +
                ",\"value\":" + jsonQuoted(items_[i].value) +
                ",\"value_type\":" + jsonQuoted(items_[i].valueType) + "}";
    }
    json += "]}}";
    return json;
}

std::string jsonQuoted(const std::string& text) {
    std::string quoted = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\r':
                quoted += "\\r";
                break;
            case '\t':
                quoted += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", c);
                    quoted += escape;
                } else {
                    quoted += static_cast<char>(c);
                }
        }
    }
    quoted += '"';
    return quoted;
}

}  // namespace zyemu
