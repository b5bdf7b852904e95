// dsp-reset: resets one DSP instance on several instruments at the same instant, the first
// resource sending the reset and the others receiving it.
#include <memory>
#include <string>
#include <vector>

#include "Commands.h"
#include "Context.h"
#include "zyostrelapi.h"

namespace ostrel::commands {
namespace {

// DSP instances are numbered 0 to this; the instrument's channel names for them end here.
constexpr int64_t kHighestDspIndex = 32;

void runDspReset(Context& context, const Arguments& arguments) {
    const auto index = static_cast<int32_t>(
        parseSigned(arguments.value("--index", "0"), "index", 0, kHighestDspIndex));
    const char* image = arguments.value("--image");
    cJSON* out = context.result();
    addNumber(out, "index", index);
    cJSON* resources = addArray(out, "resources");
    std::vector<std::unique_ptr<Session>> sessions;
    std::vector<uint32_t> handles;
    for (const std::string& resource : arguments.operands) {
        appendString(resources, resource);
        sessions.push_back(std::make_unique<Session>(context, resource, image));
        handles.push_back(sessions.back()->handle());
    }
    std::vector<char> description(kDescriptionSize, '\0');
    const int32_t status = zyOstrel_ResetDspSynchronously(handles.data(), handles.size(), index,
                                                          description.size(), description.data());
    if (status < 0) {
        // The library describes the failure itself, naming the session it happened on.
        const std::string text = withoutTrailingLineEnds(description.data());
        throw Failure{status, "reset DSP " + std::to_string(index),
                      text.empty() ? describeStatus(0, status) : text};
    }
    context.check(status, 0, "reset DSP " + std::to_string(index));
    addBool(out, "reset", true);
    for (auto& session : sessions) session->close();
}

}  // namespace

std::vector<Command> dspReset() {
    return {
        {"dsp-reset",
         "RESOURCE...",
         "Resets a DSP instance on every resource at the same instant: the first resource "
         "sends the reset, the others receive it. The sessions run --image (default: the "
         "default image), whose bitfile must offer the DSP reset registers.",
         1,
         kAnyNumber,
         {{"--index", "N", "the DSP instance, 0 to 32 (0)"},
          {"--image", "PATH", "bitfile or stored image name the sessions open on"}},
         runDspReset},
    };
}

}  // namespace ostrel::commands
