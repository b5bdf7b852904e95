// The synchronisation interface (260) of the emulated device: the methods a synchronisation
// component drives through a session's callback tables. Method 1 (the sync pulse) lives with
// the routes. Each method leaves its arguments in the instrument's state, and the two
// methods with a reply report that state back, so a test sees the effect of every call.
#include <cstdint>

#include "../CommandRegistry.h"
#include "../Instrument.h"
#include "channel/WireConstants.h"

namespace zyemu {
namespace {

constexpr uint32_t kSync = zyostrel::wire::kSynchronisationInterface;
constexpr std::size_t kArgs = kMethodFieldsOffset;

struct SyncState {
    uint32_t prepared = 0;   // method 0 calls
    uint32_t setup[5] = {};  // u32 argument of methods 1 (unused here) to 4
    uint32_t pair[2] = {};   // method 6
    double window[2] = {};   // method 7
    double delay[2] = {};    // method 8
    double offset = 0;       // method 9
    uint32_t commits = 0;    // method 10
    uint32_t starts = 0;     // method 11
    bool armed = false;      // method 13 arms, 14 disarms
};

SyncState& syncOf(CommandContext& context) { return context.instrument.state<SyncState>(); }

int32_t prepare(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, kArgs)) return status;
    ++syncOf(context).prepared;
    return 0;
}

template <uint32_t Method>
int32_t storeSetup(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, kArgs + 4)) return status;
    context.input.read(kArgs, syncOf(context).setup[Method]);
    return 0;
}

// Reports the period (the sum of the delays and the offset) and two of the setup values.
int32_t readTiming(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, kArgs + 4)) return status;
    if (int32_t status = requireReplySize(context, 16)) return status;
    SyncState& sync = syncOf(context);
    uint32_t which = 0;
    context.input.read(kArgs, which);
    context.reply.write(0, sync.delay[0] + sync.delay[1] + sync.offset);
    context.reply.write(8, sync.setup[2] + which);
    context.reply.write(12, sync.setup[3]);
    return 0;
}

int32_t storePair(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, kArgs + 8)) return status;
    SyncState& sync = syncOf(context);
    context.input.read(kArgs, sync.pair[0]);
    context.input.read(kArgs + 4, sync.pair[1]);
    return 0;
}

template <int Which>
int32_t storeDoubles(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, kArgs + 16)) return status;
    SyncState& sync = syncOf(context);
    double* target = Which == 7 ? sync.window : sync.delay;
    context.input.read(kArgs, target[0]);
    context.input.read(kArgs + 8, target[1]);
    return 0;
}

int32_t storeOffset(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, kArgs + 8)) return status;
    context.input.read(kArgs, syncOf(context).offset);
    return 0;
}

int32_t commit(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, kArgs)) return status;
    ++syncOf(context).commits;
    return 0;
}

int32_t start(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, kArgs)) return status;
    ++syncOf(context).starts;
    return 0;
}

// Whether the session is armed and has started since it was last committed.
int32_t isDone(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, kArgs)) return status;
    if (int32_t status = requireReplySize(context, 1)) return status;
    const SyncState& sync = syncOf(context);
    context.reply.write(0, static_cast<uint8_t>(sync.armed && sync.starts > 0 ? 1 : 0));
    return 0;
}

template <bool Arm>
int32_t setArmed(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, kArgs)) return status;
    syncOf(context).armed = Arm;
    return 0;
}

const CommandRegistration registrations[] = {
    {InterfaceCommand{kSync, 0}, &prepare},         {InterfaceCommand{kSync, 2}, &storeSetup<2>},
    {InterfaceCommand{kSync, 3}, &storeSetup<3>},   {InterfaceCommand{kSync, 4}, &storeSetup<4>},
    {InterfaceCommand{kSync, 5}, &readTiming},      {InterfaceCommand{kSync, 6}, &storePair},
    {InterfaceCommand{kSync, 7}, &storeDoubles<7>}, {InterfaceCommand{kSync, 8}, &storeDoubles<8>},
    {InterfaceCommand{kSync, 9}, &storeOffset},     {InterfaceCommand{kSync, 10}, &commit},
    {InterfaceCommand{kSync, 11}, &start},          {InterfaceCommand{kSync, 12}, &isDone},
    {InterfaceCommand{kSync, 13}, &setArmed<true>}, {InterfaceCommand{kSync, 14}, &setArmed<false>},
};

}  // namespace
}  // namespace zyemu
