// Signal routes between terminals and the synchronisation pulse.
#include <map>
#include <string>
#include <utility>

#include "../CommandRegistry.h"
#include "../Instrument.h"
#include "TimingState.h"
#include "channel/WireConstants.h"
#include "zyemu/control.h"

namespace zyemu {
namespace {

constexpr uint32_t kSynchronisationInterface = zyostrel::wire::kSynchronisationInterface;
constexpr uint32_t kRoutingInterface = zyostrel::wire::kRoutingInterface;
constexpr std::size_t kTerminalField = zyostrel::wire::kTerminalFieldSize;

TimingState& timingOf(CommandContext& context) { return context.instrument.state<TimingState>(); }

int32_t syncPulse(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, 24)) return status;
    ++timingOf(context).syncPulses;
    return 0;
}

int32_t route(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, 20 + 2 * kTerminalField)) return status;
    if (int32_t status = requireReplySize(context, 4)) return status;
    std::string source;
    std::string destination;
    context.input.text(20, kTerminalField, source);
    context.input.text(20 + kTerminalField, kTerminalField, destination);
    if (source.empty() || destination.empty()) {
        context.elaboration.addUsage("kUsageTypeSourceTerminal", source);
        context.elaboration.addUsage("kUsageTypeDestinationTerminal", destination);
        return ZYEMU_STATUS_INVALID_VALUE;
    }
    TimingState& timing = timingOf(context);
    // Routing the same pair again hands back the route that exists.
    for (const auto& [id, existing] : timing.routes) {
        if (existing.first == source && existing.second == destination) {
            context.reply.write(0, id);
            return 0;
        }
    }
    const uint32_t id = timing.nextRouteId++;
    timing.routes[id] = {source, destination};
    context.reply.write(0, id);
    return 0;
}

int32_t unroute(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, 24)) return status;
    uint32_t id = 0;
    context.input.read(20, id);
    if (timingOf(context).routes.erase(id) == 0) {
        context.elaboration.addUsage("kUsageTypeRouteId", uint64_t{id});
        return ZYEMU_STATUS_UNKNOWN_ROUTE;
    }
    return 0;
}

const CommandRegistration registrations[] = {
    {InterfaceCommand{kSynchronisationInterface, 1}, &syncPulse},
    {InterfaceCommand{kRoutingInterface, 0}, &route},
    {InterfaceCommand{kRoutingInterface, 1}, &unroute},
};

}  // namespace
}  // namespace zyemu
