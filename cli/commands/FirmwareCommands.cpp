// fw update: brings an instrument up to a firmware bundle, showing the progress a second
// thread reads from the library. fw inspect: what a bundle holds, its digests verified,
// nothing written.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "BundleReader.h"
#include "Commands.h"
#include "Context.h"
#include "Files.h"
#include "zyostrelapi.h"

namespace ostrel::commands {
namespace {

// A bundle is read into memory once here and once more by the library; this bounds both.
constexpr uint64_t kLargestBundle = uint64_t{4} * ZYOSTREL_FIRMWARE_MAX_IMAGE_SIZE;
constexpr auto kPollInterval = std::chrono::milliseconds(20);
constexpr int kBarWidth = 40;

// On a terminal, the trace lines the library writes to the standard error stream during an
// update would break into the progress bar. While the bar shows, they go into a pipe instead,
// and the watch prints each one above the bar. Without a pipe, the stream is left alone.
class TraceCapture {
public:
    TraceCapture() noexcept {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) return;
        saved_ = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
        if (saved_ < 0 || ::fcntl(ends[0], F_SETFL, O_NONBLOCK) != 0 ||
            ::dup2(ends[1], STDERR_FILENO) < 0) {
            if (saved_ >= 0) ::close(saved_);
            ::close(ends[0]);
            ::close(ends[1]);
            saved_ = -1;
            return;
        }
        ::close(ends[1]);
        readEnd_ = ends[0];
    }
    ~TraceCapture() {
        if (saved_ < 0) return;
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        ::close(readEnd_);
    }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    // Prints the complete lines that arrived (and at the end a last partial one) to the
    // terminal, on a line of their own. Returns whether it printed anything.
    bool forward(bool atEnd) noexcept {
        if (readEnd_ < 0) return false;
        ssize_t count = 0;
        while (used_ < sizeof line_ &&
               (count = ::read(readEnd_, line_ + used_, sizeof line_ - used_)) > 0) {
            used_ += static_cast<std::size_t>(count);
        }
        std::size_t complete = used_;
        while (complete > 0 && line_[complete - 1] != '\n') --complete;
        if (atEnd || used_ == sizeof line_) complete = used_;
        if (complete == 0) return false;
        std::fputs("\r\033[K", stdout);
        std::fflush(stdout);
        writeAll(line_, complete);
        if (line_[complete - 1] != '\n') writeAll("\n", 1);
        std::memmove(line_, line_ + complete, used_ - complete);
        used_ -= complete;
        return true;
    }

private:
    void writeAll(const char* bytes, std::size_t size) noexcept {
        while (size > 0) {
            const ssize_t written = ::write(saved_, bytes, size);
            if (written <= 0) return;
            bytes += written;
            size -= static_cast<std::size_t>(written);
        }
    }

    int saved_ = -1;
    int readEnd_ = -1;
    char line_[2048] = {};
    std::size_t used_ = 0;
};

// Polls the update's progress until its end has been collected (which the library requires
// before the resource can be updated again). Shows a bar on a terminal, a line per change
// otherwise, nothing for --json; remembers each percentage it saw.
class ProgressWatch {
public:
    enum class Display { Bar, Lines, Quiet };

    ProgressWatch(std::string resource, Display display, TraceCapture* trace)
        : resource_(std::move(resource)), display_(display), trace_(trace) {}

    // Runs on the watching thread; calls the library and stdio only.
    void run() noexcept {
        uint32_t last = 101;
        for (;;) {
            uint32_t percent = 0;
            uint8_t inProgress = 0;
            uint8_t failed = 0;
            const int32_t status = zyOstrel_GetFirmwareUpdateProgress(resource_.c_str(), &percent,
                                                                      &inProgress, &failed);
            const bool traced = trace_ != nullptr && trace_->forward(false);
            if (status == 0) {
                if (percent != last || traced) show(percent, inProgress != 0);
                last = percent;
                if (percent <= 100) seen_[percent] = true;
                if (!inProgress) {
                    collected_ = true;
                    endedFailed_ = failed != 0;
                    break;
                }
            } else if (updateReturned_.load()) {
                break;  // no record: the update never registered one
            }
            std::this_thread::sleep_for(kPollInterval);
        }
        if (trace_ != nullptr && trace_->forward(true) && last != 101) show(last, false);
        if (display_ == Display::Bar && last != 101) std::fputc('\n', stdout);
        std::fflush(stdout);
    }

    void updateReturned() noexcept { updateReturned_.store(true); }
    bool collected() const noexcept { return collected_; }
    bool endedFailed() const noexcept { return endedFailed_; }
    std::vector<uint32_t> seen() const {
        std::vector<uint32_t> values;
        for (uint32_t percent = 0; percent <= 100; ++percent) {
            if (seen_[percent]) values.push_back(percent);
        }
        return values;
    }

private:
    void show(uint32_t percent, bool inProgress) noexcept {
        if (display_ == Display::Lines) {
            std::printf("progress %u%%%s\n", percent, inProgress ? "" : " (ended)");
        } else if (display_ == Display::Bar) {
            const int filled = static_cast<int>(percent > 100 ? 100 : percent) * kBarWidth / 100;
            std::printf("\rupdating %s [%.*s%*s] %3u%%", resource_.c_str(), filled,
                        "########################################", kBarWidth - filled, "",
                        percent);
        }
        std::fflush(stdout);
    }

    const std::string resource_;
    const Display display_;
    TraceCapture* const trace_;
    std::atomic<bool> updateReturned_{false};
    bool seen_[101] = {};
    bool collected_ = false;
    bool endedFailed_ = false;
};

void runUpdate(Context& context, const Arguments& arguments) {
    const std::string& resource = arguments.operands[0];
    const std::string& bundlePath = arguments.operands[1];
    const std::string& deviceKey = arguments.operands[2];
    const bool force = arguments.has("--force");
    cJSON* out = context.result();
    addString(out, "resource", resource);
    addString(out, "bundle", bundlePath);
    addString(out, "deviceKey", deviceKey);
    addBool(out, "force", force);
    const std::vector<uint8_t> bundle = readFile(bundlePath, kLargestBundle);

    const auto display = context.json()            ? ProgressWatch::Display::Quiet
                         : ::isatty(STDOUT_FILENO) ? ProgressWatch::Display::Bar
                                                   : ProgressWatch::Display::Lines;
    std::unique_ptr<TraceCapture> trace;
    if (display == ProgressWatch::Display::Bar) trace = std::make_unique<TraceCapture>();
    ProgressWatch watch(resource, display, trace.get());
    std::thread watcher(&ProgressWatch::run, &watch);
    const int32_t status = zyOstrel_UpdateFirmware(resource.c_str(), deviceKey.c_str(),
                                                   bundle.size(), bundle.data(), force ? 1 : 0);
    watch.updateReturned();
    watcher.join();
    trace.reset();

    cJSON* progress = addArray(out, "progressSeen");
    for (const uint32_t percent : watch.seen()) appendNumber(progress, percent);
    addBool(out, "ended", watch.collected());
    context.check(status, 0, "update " + resource);
    // The library records a failed end also where its call returned 0; that is no success.
    if (watch.endedFailed()) {
        throw Failure{0, "update " + resource,
                      "the update ended failed although it returned status 0"};
    }
}

// ---- fw inspect ------------------------------------------------------------------------

#define ZY_BOARD(text)
#define ZY_IMAGE_TYPE(text) text,
const char* const kImageTypes[] = {
#include ZY_BUNDLE_NAMES_FILE
};
#undef ZY_IMAGE_TYPE
#define ZY_IMAGE_TYPE(text)
#undef ZY_BOARD
#define ZY_BOARD(text) text,
const char* const kBoards[] = {
#include ZY_BUNDLE_NAMES_FILE
};
#undef ZY_BOARD
#undef ZY_IMAGE_TYPE

template <std::size_t N>
bool known(const char* const (&names)[N], const cJSON* value) {
    if (!cJSON_IsString(value)) return false;
    for (const char* name : names) {
        if (std::string(name) == value->valuestring) return true;
    }
    return false;
}

// What an inspection found wrong, and the status the library gives such a bundle.
struct Problems {
    cJSON* list;
    int32_t status = 0;
    void add(const std::string& what, int32_t problemStatus) {
        appendString(list, what);
        // A missing file outranks the other faults, as the library finds it first.
        if (status != ZYOSTREL_Status_FileMissingInFirmwareBundle) status = problemStatus;
    }
};

// Copies the member (any letter case, as the library looks members up) or notes its absence.
void copyMember(cJSON* image, const cJSON* entry, const char* key, const std::string& where,
                Problems& problems) {
    const cJSON* member = cJSON_GetObjectItem(entry, key);
    if (member == nullptr) {
        problems.add(where + ": no \"" + key + "\"", ZYOSTREL_Status_InvalidFirmwareBundle);
        return;
    }
    cJSON* copy = cJSON_Duplicate(member, true);
    if (copy == nullptr) throw std::bad_alloc();
    cJSON_AddItemToObject(image, key, copy);
}

void inspectImage(cJSON* image, const cJSON* entry, const BundleContents& contents,
                  const std::string& where, Problems& problems) {
    for (const char* key : {"name", "version", "path", "type", "board", "identifier"}) {
        copyMember(image, entry, key, where, problems);
    }
    if (const cJSON* defaultload = cJSON_GetObjectItem(entry, "defaultload")) {
        if (cJSON_IsBool(defaultload)) addBool(image, "defaultload", cJSON_IsTrue(defaultload));
    }
    if (!known(kImageTypes, cJSON_GetObjectItem(entry, "type"))) {
        problems.add(where + ": unknown type", ZYOSTREL_Status_InvalidFirmwareBundle);
    }
    if (!known(kBoards, cJSON_GetObjectItem(entry, "board"))) {
        problems.add(where + ": unknown board", ZYOSTREL_Status_InvalidFirmwareBundle);
    }
    const cJSON* path = cJSON_GetObjectItem(entry, "path");
    const cJSON* digest = cJSON_GetObjectItem(entry, "sha256sum");
    const auto found =
        cJSON_IsString(path) ? contents.entries.find(path->valuestring) : contents.entries.end();
    if (found == contents.entries.end()) {
        problems.add(where + ": file missing from the bundle",
                     ZYOSTREL_Status_FileMissingInFirmwareBundle);
        return;
    }
    const BundleEntry& file = found->second;
    addUnsigned(image, "size", file.size);
    if (file.tooLarge || file.sparse) {
        problems.add(where + (file.sparse ? ": sparse file" : ": file too large"),
                     ZYOSTREL_Status_InvalidFirmwareBundle);
        return;
    }
    addString(image, "sha256", file.sha256);
    const bool verified = cJSON_IsString(digest) && file.sha256 == digest->valuestring;
    addBool(image, "digestVerified", verified);
    if (!verified) problems.add(where + ": digest mismatch", ZYOSTREL_Status_InvalidFirmwareBundle);
}

void inspectDevice(cJSON* devices, const cJSON* member, const BundleContents& contents,
                   Problems& problems) {
    cJSON* device = appendObject(devices);
    addString(device, "deviceKey", member->string);
    cJSON* images = addArray(device, "images");
    if (!cJSON_IsArray(member)) {
        problems.add(std::string(member->string) + ": not a list of images",
                     ZYOSTREL_Status_InvalidFirmwareBundle);
        return;
    }
    bool golden = false;
    int index = 0;
    for (const cJSON* entry = member->child; entry != nullptr; entry = entry->next, ++index) {
        const std::string where = std::string(member->string) + "[" + std::to_string(index) + "]";
        if (!cJSON_IsObject(entry)) {
            problems.add(where + ": not an object", ZYOSTREL_Status_InvalidFirmwareBundle);
            continue;
        }
        const cJSON* name = cJSON_GetObjectItem(entry, "name");
        golden =
            golden || (cJSON_IsString(name) && std::string(name->valuestring) == "golden_image");
        inspectImage(appendObject(images), entry, contents, where, problems);
    }
    if (!golden) {
        problems.add(std::string(member->string) + ": no golden_image",
                     ZYOSTREL_Status_InvalidFirmwareBundle);
    }
}

void runInspect(Context& context, const Arguments& arguments) {
    const std::string& bundlePath = arguments.operands[0];
    cJSON* out = context.result();
    addString(out, "bundle", bundlePath);
    const BundleContents contents = readBundle(readFile(bundlePath, kLargestBundle));
    addString(out, "format", contents.format);
    JsonPtr manifest(cJSON_ParseWithLength(contents.manifest.data(), contents.manifest.size()));
    if (!manifest) {
        throw Failure{ZYOSTREL_Status_InvalidParameter, "parse manifest.json",
                      "manifest.json is not JSON"};
    }
    Problems problems{addArray(out, "problems")};
    const cJSON* version = cJSON_GetObjectItem(manifest.get(), "version");
    if (cJSON_IsNumber(version) && version->valuedouble > -1 &&
        version->valuedouble < 4294967296.0) {
        addNumber(out, "version", static_cast<double>(static_cast<uint32_t>(version->valuedouble)));
    } else {
        problems.add("no bundle version", ZYOSTREL_Status_InvalidFirmwareBundle);
    }
    addNumber(out, "entries", static_cast<double>(contents.entries.size()));
    cJSON* devices = addArray(out, "devices");
    const cJSON* firmwares = cJSON_GetObjectItem(manifest.get(), "firmwares");
    if (!cJSON_IsObject(firmwares)) {
        problems.add("no \"firmwares\" object", ZYOSTREL_Status_InvalidFirmwareBundle);
    }
    const char* onlyKey = arguments.value("--device");
    for (const cJSON* member = cJSON_IsObject(firmwares) ? firmwares->child : nullptr;
         member != nullptr; member = member->next) {
        if (onlyKey == nullptr || std::string(onlyKey) == member->string) {
            inspectDevice(devices, member, contents, problems);
        }
    }
    if (onlyKey != nullptr && cJSON_GetArraySize(devices) == 0) {
        problems.add(std::string("no device ") + onlyKey, ZYOSTREL_Status_InvalidFirmwareBundle);
    }
    // The problems close the document, after what they are about.
    cJSON_AddItemToObject(out, "problems", cJSON_DetachItemViaPointer(out, problems.list));
    if (problems.status != 0) {
        fail(problems.status, 0, "inspect " + bundlePath);
    }
}

}  // namespace

std::vector<Command> firmware() {
    return {
        {"fw update",
         "RESOURCE BUNDLE DEVICEKEY",
         "Brings the instrument's flash up to the firmware bundle's images for DEVICEKEY, "
         "writing only what differs, while the progress is shown.",
         3,
         3,
         {{"--force", nullptr, "process every image even when the versions match"}},
         runUpdate},
        {"fw inspect",
         "BUNDLE",
         "Lists the bundle's manifest and images and verifies each image's digest; writes "
         "nothing.",
         1,
         1,
         {{"--device", "KEY", "show only this device's images"}},
         runInspect},
    };
}

}  // namespace ostrel::commands
