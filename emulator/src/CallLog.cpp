#include "CallLog.h"

#include <cstring>

#include "channel/WireConstants.h"

namespace zyemu {

namespace {
constexpr uint32_t kAttributeInterface = zyostrel::wire::kAttributeInterface;
constexpr std::size_t kAttributeIdOffset = zyostrel::wire::kCommandHeaderSize;
}  // namespace

std::optional<uint32_t> LoggedCall::attributeId() const {
    if (entry != ZYEMU_ENTRY_CLIENT_CALL ||
        functionNumber != zyostrel::wire::kInterfaceCallFunction ||
        interfaceNumber != kAttributeInterface || input.size() < kAttributeIdOffset + 4) {
        return std::nullopt;
    }
    uint32_t id;
    std::memcpy(&id, input.data() + kAttributeIdOffset, sizeof id);
    return id;
}

ZyEmuCall LoggedCall::view() const {
    ZyEmuCall call{};
    call.entry = entry;
    call.session = session;
    call.functionGroup = functionGroup;
    call.functionNumber = functionNumber;
    call.interfaceNumber = interfaceNumber;
    call.method = method;
    call.input = input.empty() ? nullptr : input.data();
    call.inputSize = input.size();
    call.outputGiven = outputGiven ? 1 : 0;
    call.outputSize = outputSize;
    call.text = text ? text->c_str() : nullptr;
    call.resource = resource ? resource->c_str() : nullptr;
    call.signatureGiven = signatureGiven ? 1 : 0;
    call.word = word;
    call.value = value;
    call.status = status;
    return call;
}

std::size_t LoggedCall::footprint() const {
    const auto textSize = [](const std::optional<std::string>& t) { return t ? t->size() : 0; };
    return sizeof(LoggedCall) + input.size() + textSize(text) + textSize(resource);
}

LoggedCall& CallLog::append(LoggedCall call) {
    const std::size_t bytes = call.footprint();
    calls_.push_back(Entry{std::move(call), bytes});
    bytes_ += bytes;
    return calls_.back().call;
}

void CallLog::trim() noexcept {
    while (!calls_.empty() && overLimits()) {
        bytes_ -= calls_.front().bytes;
        calls_.pop_front();
        ++dropped_;
    }
}

void CallLog::setLimits(std::size_t maxCalls, std::size_t maxBytes) noexcept {
    maxCalls_ = maxCalls;
    maxBytes_ = maxBytes;
    trim();
}

const LoggedCall* CallLog::at(std::size_t index) const {
    return index < calls_.size() ? &calls_[index].call : nullptr;
}

void CallLog::clear() noexcept {
    calls_.clear();
    bytes_ = 0;
    dropped_ = 0;
}

std::optional<std::string> optionalText(const char* text) {
    if (text == nullptr) return std::nullopt;
    return std::string(text);
}

}  // namespace zyemu
