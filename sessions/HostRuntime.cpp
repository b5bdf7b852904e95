#include "sessions/HostRuntime.h"

#include <atomic>
#include <cerrno>
#include <ctime>

#include "platform/DynamicLibrary.h"
#include "sessions/Sessions.h"
#include "status/Status.h"

namespace zyostrel::sessions {
namespace {

constexpr const char* kHostLibrary = "libZyFpgaWb.so";

struct WbRuntimeLoader {
    std::atomic<uint32_t> done{0};
    std::atomic<uint32_t> busy{0};
    void (*load)(zyerr::Status&);
    void (*unload)();  // none: the host library stays loaded
    uint32_t sleepMs;
};

std::atomic<OpenEntry> hostOpenEntry{nullptr};
std::atomic<uint32_t> hostTlsIndex{0};
std::atomic<uint32_t> loaderRuns{0};

void loadHostRuntime(zyerr::Status& status) {
    loaderRuns.fetch_add(1);
    void* library = platform::loadLibrary(kHostLibrary, platform::kLoadNowGlobal, status);
    if (library == nullptr) return;
    // The TLS hook is optional: older hosts do not have it.
    zyerr::Status hookStatus;
    if (void* hook = platform::getSymbol(library, "SetWBRTTLSIndex", hookStatus)) {
        reinterpret_cast<void (*)(uint32_t)>(hook)(hostTlsIndex.load());
    }
    void* open = platform::getSymbol(library, "ZyFpgaWb_Open", status);
    if (open != nullptr) hostOpenEntry.store(reinterpret_cast<OpenEntry>(open));
}

WbRuntimeLoader loader{{0}, {0}, &loadHostRuntime, nullptr, 1};

// At exit the loader counts as not done again; nothing is unloaded.
struct LoaderReset {
    ~LoaderReset() {
        if (loader.done.exchange(0) == 1 && loader.unload != nullptr) loader.unload();
    }
} loaderReset;

void sleepMilliseconds(uint32_t ms) noexcept {
    timespec remaining{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

int32_t ensureLoaded() {
    if (loader.done.load() == 1) return 0;
    uint32_t expected = 0;
    while (!loader.busy.compare_exchange_strong(expected, 1)) {
        expected = 0;
        sleepMilliseconds(loader.sleepMs);
    }
    zyerr::Status status;
    if (loader.done.load() == 0) {
        try {
            loader.load(status);
        } catch (...) {
            loader.busy.store(0);
            throw;
        }
        if (status.code >= 0) loader.done.store(1);
    }
    loader.busy.store(0);
    return status.code < 0 ? status.code : 0;
}

}  // namespace

void setHostTlsIndex(uint32_t index) noexcept { hostTlsIndex.store(index); }

int32_t openThroughHostRuntime(const char* resourceName, const char* imagePath, uint32_t attribute,
                               uint32_t* session) {
    if (int32_t status = ensureLoaded()) return status;
    return openWithImage(hostOpenEntry.load(), resourceName, imagePath, attribute, session);
}

uint32_t hostRuntimeLoaderRuns() noexcept { return loaderRuns.load(); }

}  // namespace zyostrel::sessions
