// Scratch file names that stay apart when ctest runs many test processes at once.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace zytest {

// Every test case runs in its own process, possibly at the same time as its
// siblings, so a fixed name in the temporary directory would be shared
// between them. The process id and the running test's name keep it private (a
// parameterised test's '/' becomes '_', so the name stays one file name).
inline std::string uniqueTempPath(const std::string& stem) {
    std::string name = stem + "." + std::to_string(::getpid());
    if (const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
        std::string test = std::string(info->test_suite_name()) + "." + info->name();
        for (char& c : test) {
            if (c == '/') c = '_';
        }
        name += "." + test;
    }
    return ::testing::TempDir() + name;
}

}  // namespace zytest
