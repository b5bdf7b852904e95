// The one exception boundary of every exported function whose work can throw.
#pragma once

#include <cstdint>
#include <exception>
#include <new>
#include <utility>

#include "status/Exception.h"
#include "status/Status.h"
#include "status/StatusCodes.h"

namespace zyerr {

// The status an exception stands for at the C boundary: zyerr::Exception its own code (an
// exception that carries no error is still a failure: -304400), std::bad_alloc -304017,
// anything else -304400.
inline int32_t boundaryCodeOf(const Exception& exception) noexcept {
    const int32_t code = exception.code();
    return code != 0 ? code : codes::SoftwareError;
}

// Runs body (returning int32_t) and turns whatever it throws into a status.
template <class F>
int32_t callBoundary(F&& body) noexcept {
    try {
        return std::forward<F>(body)();
    } catch (const Exception& exception) {
        return boundaryCodeOf(exception);
    } catch (const std::bad_alloc&) {
        return codes::OutOfMemory;
    } catch (const std::exception&) {
        return codes::SoftwareError;
    } catch (...) {
        return codes::SoftwareError;
    }
}

// As callBoundary, for entry points with a text output: the failure's status (with its
// elaboration when it came from zyerr::Exception) is merged into failure for the
// description writers.
template <class F>
int32_t callBoundary(Status& failure, F&& body) noexcept {
    int32_t result = 0;
    try {
        result = std::forward<F>(body)();
    } catch (const Exception& exception) {
        result = boundaryCodeOf(exception);
        if (exception.code() != 0) {
            mergeFrom(failure, exception.status());
            return result;
        }
    } catch (const std::bad_alloc&) {
        result = codes::OutOfMemory;
    } catch (const std::exception&) {
        result = codes::SoftwareError;
    } catch (...) {
        result = codes::SoftwareError;
    }
    if (result != 0) setCode(failure, result);
    return result;
}

}  // namespace zyerr
