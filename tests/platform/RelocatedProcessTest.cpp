// A process whose loader finds the relocation library by its name (this program's run path
// holds the test library): the shipped standard directory table follows it, and names the
// library does not answer are unknown.
#include <gtest/gtest.h>

#include "platform/Paths.h"

namespace zyostrel::platform {
namespace {

TEST(RelocatedProcessTest, StandardDirsComeFromTheRelocationLibrary) {
    zyerr::Status status;
    EXPECT_EQ(getStandardDir("prefixdir", status), "/opt/relocated");
    EXPECT_EQ(lookupPathVariable("_multiarchlibdir", status), "/opt/relocated/lib/multiarch");
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(getStandardDir("bindir", status), "");
    EXPECT_EQ(status.code, -52008);
}

}  // namespace
}  // namespace zyostrel::platform
