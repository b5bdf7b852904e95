// Runs a piece of a test in a child process whose address space may grow only by a given
// amount, so that a test can show an operation stays within a memory bound.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>

namespace zytest {

// Address-space limits cannot be combined with the sanitizers' shadow mappings.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSpaceLimitWorks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSpaceLimitWorks = false;
#else
constexpr bool kAddressSpaceLimitWorks = true;
#endif
#else
constexpr bool kAddressSpaceLimitWorks = true;
#endif

inline std::size_t addressSpaceBytes() {
    unsigned long pages = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm != nullptr) {
        if (std::fscanf(statm, "%lu", &pages) != 1) pages = 0;
        std::fclose(statm);
    }
    return pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// body's result (0 to 255) as the child's exit status; -1 when the child did not exit
// normally (killed or crashed).
inline int runWithHeadroom(std::size_t headroom, const std::function<int()>& body) {
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const rlimit limit{addressSpaceBytes() + headroom, addressSpaceBytes() + headroom};
        setrlimit(RLIMIT_AS, &limit);
        _exit(body());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// Runs check, which tells what went wrong (empty when nothing did), in a child that may grow
// by headroom only; under the sanitizers, whose shadow mappings defeat the limit, in this
// process.
inline void expectWithinHeadroom(std::size_t headroom, const std::function<std::string()>& check) {
    if (!kAddressSpaceLimitWorks) {
        EXPECT_EQ(check(), "");
        return;
    }
    EXPECT_EQ(runWithHeadroom(headroom,
                              [&] {
                                  const std::string wrong = check();
                                  if (!wrong.empty()) std::fprintf(stderr, "%s\n", wrong.c_str());
                                  return wrong.empty() ? 0 : 1;
                              }),
              0)
        << "the child's complaint, if any, is printed above";
}

}  // namespace zytest
