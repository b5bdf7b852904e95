// One emulated instrument: its model, its FPGA registers and the state of its subsystems.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <typeindex>
#include <unordered_map>

namespace zyemu {

struct InstrumentModel {
    std::string resourceName;
    std::string productName;
    bool simulated = false;  // sessions carry bit 0x2000
};

struct RegisterDefinition {
    uint32_t offset = 0;
    uint32_t typeId = 0;  // bitfile type code: 1 Boolean, 3 U8, ...
};

struct FifoDefinition {
    uint32_t number = 0;
    uint32_t implementation = 0;
    uint32_t numberOfElements = 0;
};

class Instrument {
public:
    explicit Instrument(InstrumentModel model) : model_(std::move(model)) {}

    const InstrumentModel& model() const { return model_; }

    // Registers and FIFOs that tests add beside those of the session's bitfile.
    std::map<std::string, RegisterDefinition> extraRegisters;
    std::map<std::string, FifoDefinition> extraFifos;

    uint8_t registerValue(uint32_t offset) const;
    void setRegisterValue(uint32_t offset, uint8_t value) { registerValues_[offset] = value; }

    // State of one subsystem (attribute store, streams, I2C buses, ...), created on first use
    // with T's default constructor, so each subsystem keeps its state in its own file.
    template <class T>
    T& state() {
        auto& slot = states_[std::type_index(typeid(T))];
        if (!slot) slot = std::make_shared<T>();
        return *static_cast<T*>(slot.get());
    }

private:
    InstrumentModel model_;
    std::unordered_map<uint32_t, uint8_t> registerValues_;
    std::unordered_map<std::type_index, std::shared_ptr<void>> states_;
};

inline uint8_t Instrument::registerValue(uint32_t offset) const {
    auto it = registerValues_.find(offset);
    return it != registerValues_.end() ? it->second : 0;
}

}  // namespace zyemu
