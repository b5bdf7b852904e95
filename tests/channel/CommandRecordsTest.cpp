#include <gtest/gtest.h>
#include "channel/CommandRecords.h"
TEST(X, Y) {}
