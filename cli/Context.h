// What every command handler works with: the output document, the library's statuses turned
// into failures and warnings, and sessions that are closed on every path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Json.h"

namespace ostrel {

// A failing status, described when it happened (while its session still holds the
// instrument's account of it). status 0: a failure of the tool itself, such as a file it
// cannot write; the description then says what went wrong.
struct Failure {
    int32_t status;
    std::string step;
    std::string description;
};

// Room for a description the library writes into a caller's buffer.
inline constexpr std::size_t kDescriptionSize = 16384;

// text without the line ends that close it.
std::string withoutTrailingLineEnds(std::string text);

// The library's description of a status (zyOstrel_GetError), without its trailing blank lines.
std::string describeStatus(uint32_t session, int32_t status);

// Throws the Failure of status at step, described by the library; detail, when given, follows
// the description on a line of its own.
[[noreturn]] void fail(int32_t status, uint32_t session, const std::string& step,
                       const std::string& detail = {});

class Context {
public:
    explicit Context(bool json);

    bool json() const noexcept { return json_; }
    // The document the command fills; printed when it ends, also after a failure.
    cJSON* result() const noexcept { return result_.get(); }

    // A negative status throws a Failure; a positive one is kept as a warning. Returns status.
    int32_t check(int32_t status, uint32_t session, const std::string& step);

    // Prints the document (and the failure, if any); returns the exit code.
    int finish(const Failure* failure);

private:
    bool json_;
    JsonPtr result_;
    JsonPtr warnings_;
};

class Session {
public:
    // Opens a session on the resource running imagePath (null: the default image).
    Session(Context& context, const std::string& resource, const char* imagePath = nullptr);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    uint32_t handle() const noexcept { return handle_; }
    int32_t check(int32_t status, const std::string& step) {
        return context_.check(status, handle_, step);
    }
    // Closes the session and checks the close's status; the destructor closes a session that
    // a failure left open, without a word.
    void close();

private:
    Context& context_;
    uint32_t handle_ = 0;
    bool open_ = false;
};

}  // namespace ostrel
