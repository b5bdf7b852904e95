#include "FaultTable.h"

#include "channel/WireConstants.h"

namespace zyemu {
namespace {

bool matches(const ZyEmuFault& definition, const LoggedCall& call, std::size_t callIndex) {
    const uint32_t m = definition.match;
    if ((m & ZYEMU_MATCH_ENTRY) && call.entry != definition.entry) return false;
    if ((m & ZYEMU_MATCH_SESSION) && call.session != definition.session) return false;
    if ((m & ZYEMU_MATCH_CALL_INDEX) && callIndex != definition.callIndex) return false;
    const bool clientCall = call.entry == ZYEMU_ENTRY_CLIENT_CALL;
    if ((m & ZYEMU_MATCH_FUNCTION) &&
        (!clientCall || call.functionNumber != definition.functionNumber))
        return false;
    const bool interfaceCall = clientCall &&
                               call.functionNumber == zyostrel::wire::kInterfaceCallFunction &&
                               call.input.size() >= zyostrel::wire::kCommandHeaderSize;
    if ((m & ZYEMU_MATCH_INTERFACE) &&
        (!interfaceCall || call.interfaceNumber != definition.interfaceNumber))
        return false;
    if ((m & ZYEMU_MATCH_METHOD) && (!interfaceCall || call.method != definition.method))
        return false;
    if (m & ZYEMU_MATCH_ATTRIBUTE) {
        auto id = call.attributeId();
        if (!id || *id != definition.attributeId) return false;
    }
    return true;
}

}  // namespace

int32_t FaultTable::add(const ZyEmuFault& definition) {
    if (definition.reply == nullptr && definition.replySize != 0)
        return ZYEMU_STATUS_INVALID_ARGUMENT;
    if (definition.action != ZYEMU_FAULT_REPLACE && definition.action != ZYEMU_FAULT_AFTER_RUNNING)
        return ZYEMU_STATUS_INVALID_ARGUMENT;
    Fault fault;
    fault.definition = definition;
    if (definition.reply != nullptr) {
        const auto* bytes = static_cast<const uint8_t*>(definition.reply);
        fault.reply.assign(bytes, bytes + definition.replySize);
    }
    fault.definition.reply = nullptr;
    const int32_t id = nextId_++;
    faults_.emplace(id, std::move(fault));
    return id;
}

Fault* FaultTable::fire(const LoggedCall& call, std::size_t callIndex) {
    Fault* firing = nullptr;
    for (auto& [id, fault] : faults_) {
        if (!matches(fault.definition, call, callIndex)) continue;
        const uint32_t ordinal = fault.seen++;
        const bool exhausted = fault.definition.count != 0 && fault.hits >= fault.definition.count;
        if (firing == nullptr && ordinal >= fault.definition.skip && !exhausted) {
            ++fault.hits;
            firing = &fault;
        }
    }
    return firing;
}

uint32_t FaultTable::hits(int32_t id) const {
    auto it = faults_.find(id);
    return it != faults_.end() ? it->second.hits : 0;
}

}  // namespace zyemu
