#include "Context.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "zyostrelapi.h"

namespace ostrel {

std::string withoutTrailingLineEnds(std::string text) {
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

std::string describeStatus(uint32_t session, int32_t status) {
    std::vector<char> text(kDescriptionSize, '\0');
    if (zyOstrel_GetError(session, status, text.size(), text.data()) != 0) return "";
    return withoutTrailingLineEnds(text.data());
}

void fail(int32_t status, uint32_t session, const std::string& step, const std::string& detail) {
    std::string description = describeStatus(session, status);
    if (!detail.empty()) description += "\n" + detail;
    throw Failure{status, step, description};
}

Context::Context(bool json) : json_(json), result_(newObject()), warnings_(nullptr) {}

int32_t Context::check(int32_t status, uint32_t session, const std::string& step) {
    if (status < 0) fail(status, session, step);
    if (status > 0) {
        const std::string description = describeStatus(session, status);
        if (json_) {
            if (!warnings_) warnings_.reset(cJSON_CreateArray());
            if (!warnings_) throw std::bad_alloc();
            cJSON* warning = appendObject(warnings_.get());
            addNumber(warning, "status", status);
            addString(warning, "step", step);
            addString(warning, "description", description);
        } else {
            std::fprintf(stderr, "ostrel: %s: warning %d: %s\n", step.c_str(),
                         static_cast<int>(status), description.c_str());
        }
    }
    return status;
}

int Context::finish(const Failure* failure) {
    cJSON* document = result_.get();
    if (warnings_) cJSON_AddItemToObject(document, "warnings", warnings_.release());
    if (failure != nullptr && json_) {
        cJSON* error = addObject(document, "error");
        if (failure->status != 0) addNumber(error, "status", failure->status);
        addString(error, "step", failure->step);
        addString(error, "description", failure->description);
    }
    if (json_) {
        printJson(stdout, document);
    } else {
        printText(stdout, document);
    }
    // Output that could not be written is no success (a full disk, a closed pipe).
    const bool written = std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (!written) {
        std::fprintf(stderr, "ostrel: the output could not be written: %s\n", std::strerror(errno));
    }
    if (failure != nullptr && (!json_ || !written)) {
        if (failure->status != 0) {
            std::fprintf(stderr, "ostrel: %s: error %d: %s\n", failure->step.c_str(),
                         static_cast<int>(failure->status), failure->description.c_str());
        } else {
            std::fprintf(stderr, "ostrel: %s: %s\n", failure->step.c_str(),
                         failure->description.c_str());
        }
    }
    return failure == nullptr && written ? 0 : 1;
}

Session::Session(Context& context, const std::string& resource, const char* imagePath)
    : context_(context) {
    context_.check(zyOstrel_OpenSession(resource.c_str(), imagePath, 0, &handle_), 0,
                   "open session on " + resource);
    open_ = true;
}

Session::~Session() {
    if (open_) zyOstrel_CloseSession(handle_, 0);
}

void Session::close() {
    open_ = false;
    // A failed close leaves no session to ask about its status.
    context_.check(zyOstrel_CloseSession(handle_, 0), 0, "close session");
}

}  // namespace ostrel
