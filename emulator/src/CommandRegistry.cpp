#include "CommandRegistry.h"

#include "zyemu/control.h"

namespace zyemu {

CommandRegistry& CommandRegistry::instance() {
    static CommandRegistry registry;
    return registry;
}

void CommandRegistry::addDirect(uint32_t functionNumber, CommandHandler handler) {
    direct_[functionNumber] = handler;
}

void CommandRegistry::addInterface(uint32_t interfaceNumber, uint32_t method,
                                   CommandHandler handler) {
    interface_[{interfaceNumber, method}] = handler;
}

CommandHandler CommandRegistry::findDirect(uint32_t functionNumber) const {
    auto it = direct_.find(functionNumber);
    return it != direct_.end() ? it->second : nullptr;
}

CommandHandler CommandRegistry::findInterface(uint32_t interfaceNumber, uint32_t method) const {
    auto it = interface_.find({interfaceNumber, method});
    return it != interface_.end() ? it->second : nullptr;
}

int32_t requireRecordSize(CommandContext& context, std::size_t size) {
    if (context.input.size() >= size) return 0;
    context.elaboration.addUsage("kUsageTypeRecordSize", uint64_t{context.input.size()});
    context.elaboration.addUsage("kUsageTypeExpectedRecordSize", uint64_t{size});
    return ZYEMU_STATUS_RECORD_TOO_SHORT;
}

int32_t requireReplySize(CommandContext& context, std::size_t size) {
    if (context.reply.capacity() >= size) return 0;
    context.elaboration.addUsage("kUsageTypeReplySize", uint64_t{context.reply.capacity()});
    context.elaboration.addUsage("kUsageTypeExpectedReplySize", uint64_t{size});
    return ZYEMU_STATUS_REPLY_TOO_SMALL;
}

}  // namespace zyemu
