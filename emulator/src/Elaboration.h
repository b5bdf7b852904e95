// The explanation a failing command leaves behind, returned later by command 800.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zyemu {

class Elaboration {
public:
    void addUsage(std::string usageKey, uint64_t value);
    void addUsage(std::string usageKey, std::string value);
    bool empty() const { return items_.empty(); }
    void clear() { items_.clear(); }

    // One JSON object naming the library's translator, the usage items in order.
    std::string toJson() const;

private:
    struct Item {
        std::string usageKey;
        std::string value;
        const char* valueType;
    };
    std::vector<Item> items_;
};

// JSON string literal of text, quotes included.
std::string jsonQuoted(const std::string& text);

}  // namespace zyemu
