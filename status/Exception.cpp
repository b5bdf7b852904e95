#include "status/Exception.h"

#include <utility>

namespace zyerr {

ExceptionBase::ExceptionBase(Status&& status) noexcept : status_(std::move(status)) {}

ExceptionBase::ExceptionBase(const ExceptionBase& other) noexcept {
    mergeFrom(status_, other.status_);
}

ExceptionBase::~ExceptionBase() = default;

const char* ExceptionBase::what() const noexcept {
    return status_.elaboration != nullptr ? status_.elaboration : "";
}

Exception::Exception(Status&& status) noexcept : ExceptionBase(std::move(status)) {}

Exception::Exception(int32_t code) noexcept : ExceptionBase(Status(code)) {}

Exception::Exception(const Exception& other) noexcept
    : ExceptionBase(other), std::exception(other) {}

Exception::~Exception() = default;

const char* Exception::what() const noexcept { return ExceptionBase::what(); }

}  // namespace zyerr
