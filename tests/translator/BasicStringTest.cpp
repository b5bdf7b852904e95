// The framework's string: growth, editing in place and running out of memory as a status.
#include <gtest/gtest.h>

#include <limits>

#include "translator/BasicString.h"

namespace {

using zyhtl::BasicString;

TEST(BasicStringTest, GrowsToTheLargestOfRequest127AndHalfAgain) {
    EXPECT_EQ(BasicString::grownBufferSize(0, 0), 128u);
    EXPECT_EQ(BasicString::grownBufferSize(200, 0), 201u);
    EXPECT_EQ(BasicString::grownBufferSize(130, 127), 191u);
    zyerr::Status status;
    BasicString text;
    EXPECT_EQ(text.capacity(), 0u);
    ASSERT_TRUE(text.append("abc", status));
    EXPECT_EQ(text.capacity(), 127u);
    ASSERT_TRUE(text.append(std::string(130, 'x'), status));
    EXPECT_EQ(text.capacity(), 190u);
    EXPECT_EQ(text.size(), 133u);
}

TEST(BasicStringTest, EditsInPlace) {
    zyerr::Status status;
    BasicString text;
    EXPECT_STREQ(text.c_str(), "");
    ASSERT_TRUE(text.assign("held", status));
    ASSERT_TRUE(text.insert(0, "\n", status));
    ASSERT_TRUE(text.insert(99, "!", status)) << "a position past the end appends";
    EXPECT_STREQ(text.c_str(), "\nheld!");
    // A piece of the string itself, before, straddling and after the insertion point.
    ASSERT_TRUE(text.insert(3, text.view().substr(1, 4), status));
    EXPECT_STREQ(text.c_str(), "\nheheldld!");
    ASSERT_TRUE(text.assign(text.view().substr(3, 4), status));
    EXPECT_STREQ(text.c_str(), "held");
    text.erase(1, 2);
    EXPECT_STREQ(text.c_str(), "hd");
    text.erase(1, 100);
    text.erase(5, 1);
    EXPECT_STREQ(text.c_str(), "h");
    text.clear();
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(status.code, 0);
}

TEST(BasicStringTest, RunningOutOfMemoryIsAStatus) {
    zyerr::Status status;
    BasicString text;
    ASSERT_TRUE(text.assign("kept", status));
    EXPECT_FALSE(text.reserve(std::numeric_limits<std::size_t>::max() / 4, status));
    EXPECT_EQ(status.code, -52000);
    EXPECT_STREQ(text.c_str(), "kept");
    EXPECT_FALSE(text.append("more", status)) << "a status holding an error stops every edit";
    EXPECT_STREQ(text.c_str(), "kept");

    zyerr::Status warning(5);
    EXPECT_TRUE(text.append("!", warning)) << "a warning does not";
    BasicString moved(std::move(text));
    EXPECT_STREQ(moved.c_str(), "kept!");
    EXPECT_STREQ(text.c_str(), "");
}

}  // namespace
