// The exception that carries a status through internal calls to an entry point.
#pragma once

#include <cstdint>
#include <exception>

#include "status/Status.h"

namespace zyerr {

// Holds one status; what() gives its elaboration text ("" without a buffer).
class ExceptionBase {
public:
    explicit ExceptionBase(Status&& status) noexcept;
    // A copy starts from an empty status with the default reallocation function and merges
    // the source into it; a text that cannot be copied leaves the code alone.
    ExceptionBase(const ExceptionBase& other) noexcept;
    ExceptionBase& operator=(const ExceptionBase&) = delete;
    virtual ~ExceptionBase();
    virtual const char* what() const noexcept;

    const Status& status() const noexcept { return status_; }
    int32_t code() const noexcept { return status_.code; }

private:
    Status status_;
};

// The only exception type thrown by the library's internals.
class Exception : public virtual ExceptionBase, public virtual std::exception {
public:
    explicit Exception(Status&& status) noexcept;
    explicit Exception(int32_t code) noexcept;
    Exception(const Exception& other) noexcept;
    Exception& operator=(const Exception&) = delete;
    ~Exception() override;
    const char* what() const noexcept override;
};

}  // namespace zyerr
