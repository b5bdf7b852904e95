#include "firmware/FirmwareUpdateRegistry.h"

#include <algorithm>

namespace zyostrel::firmware {

FirmwareUpdateRegistry& FirmwareUpdateRegistry::instance() {
    // Made once, also when first used from several threads at the same time, and never
    // destroyed: an update may still be polled while the process exits.
    static FirmwareUpdateRegistry* const registry = new FirmwareUpdateRegistry;
    return *registry;
}

std::shared_ptr<FirmwareUpdateDevice> FirmwareUpdateRegistry::start(const std::string& resource) {
    auto record = std::make_shared<FirmwareUpdateDevice>(resource);
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& existing : records_) {
        if (existing->resourceName == resource) return nullptr;
    }
    records_.push_back(record);
    return record;
}

bool FirmwareUpdateRegistry::collect(const std::string& resource, UpdateProgress& progress) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = std::find_if(records_.begin(), records_.end(), [&](const auto& record) {
        return record->resourceName == resource;
    });
    if (found == records_.end()) return false;
    // inProgress is read first: an ended update has already stored its final fields.
    progress.inProgress = (*found)->inProgress.load();
    progress.failed = (*found)->failed.load();
    progress.progressPercent = (*found)->progressPercent.load();
    if (!progress.inProgress) records_.erase(found);
    return true;
}

}  // namespace zyostrel::firmware
