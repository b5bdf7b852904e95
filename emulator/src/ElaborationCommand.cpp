// Command 800: the text elaboration of a status the session's last failing command left.
#include <string>

#include "CommandRegistry.h"
#include "Session.h"

namespace zyemu {
namespace {

int32_t elaborateStatus(CommandContext& context) {
    if (int32_t status = requireRecordSize(context, sizeof(int32_t))) return status;
    int32_t code = 0;
    context.input.read(0, code);
    const Session& session = context.session;
    const bool known = code != 0 && code == session.lastFailure;
    // The text is cut to the buffer, as a C string always is; the caller gets what fits.
    context.reply.terminatedText(known ? session.lastElaboration : std::string());
    return 0;
}

const CommandRegistration registration{DirectCommand{800}, &elaborateStatus};

}  // namespace
}  // namespace zyemu
