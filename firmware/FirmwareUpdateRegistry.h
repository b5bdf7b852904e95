// The progress records of running and finished firmware updates, one per resource, shared
// between the updating thread and the threads that poll the progress.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace zyostrel::firmware {

// The progress fields are written by the updating thread and read by pollers without a lock;
// each is atomic, so a poller sees a value from just before or just after a step.
class FirmwareUpdateDevice {
public:
    explicit FirmwareUpdateDevice(std::string resource) : resourceName(std::move(resource)) {}
    virtual ~FirmwareUpdateDevice() = default;

    // Marks the update ended, progress 100. Failure is recorded before the end, so a poller
    // that sees the end also sees the outcome.
    void finish(bool hasFailed) {
        if (hasFailed) failed.store(true);
        progressPercent.store(100);
        inProgress.store(false);
    }

    const std::string resourceName;
    std::atomic<uint32_t> progressPercent{0};
    std::atomic<bool> inProgress{true};
    std::atomic<bool> failed{false};
};

struct UpdateProgress {
    uint32_t progressPercent = 0;
    bool inProgress = false;
    bool failed = false;
};

class FirmwareUpdateRegistry {
public:
    // The one registry of the process, made on first use and kept until the process ends.
    static FirmwareUpdateRegistry& instance();

    // A new record for resource, or null when one exists (an update running, or a finished
    // one not yet collected by a progress query).
    std::shared_ptr<FirmwareUpdateDevice> start(const std::string& resource);

    // The record's progress; false when there is none. A record whose update has ended is
    // removed, so its end is reported exactly once.
    bool collect(const std::string& resource, UpdateProgress& progress);

private:
    std::mutex mutex_;
    std::vector<std::shared_ptr<FirmwareUpdateDevice>> records_;
};

}  // namespace zyostrel::firmware
