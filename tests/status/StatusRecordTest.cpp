// The fixed-size status record and its file path rule.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "status/StatusRecord.h"

namespace zyerr {
namespace {

TEST(StatusRecordTest, LongFilePathKeepsHeadAndTail) {
    std::string path;
    for (int i = 0; i < 150; ++i) path.push_back(static_cast<char>('a' + i % 26));
    StatusRecord record = makeStatusRecord();
    EXPECT_TRUE(setStatusRecord(record, -52000, "zyostrelapi", path.c_str(), 99));
    EXPECT_EQ(std::string(record.file), path.substr(0, 49) + ".." + path.substr(101));
    EXPECT_EQ(std::strlen(record.file), 100u);
    EXPECT_STREQ(record.component, "zyostrela");  // 9 characters and NUL
    EXPECT_EQ(record.line, 99u);
    EXPECT_EQ(record.code, -52000);
}

TEST(StatusRecordTest, PathsUpToTheFieldAreCopiedWhole) {
    const std::string hundred(100, 'p');
    StatusRecord record = makeStatusRecord();
    setStatusRecord(record, -1, "c", hundred.c_str(), 1);
    EXPECT_EQ(std::string(record.file), hundred);
    const std::string hundredOne(101, 'q');
    StatusRecord other = makeStatusRecord();
    setStatusRecord(other, -1, "c", hundredOne.c_str(), 1);
    EXPECT_EQ(std::string(other.file), std::string(49, 'q') + ".." + std::string(49, 'q'));
}

// A caller's record declared smaller than the code field must not be written past its size.
TEST(StatusRecordTest, RecordWithoutRoomForTheCodeIsNotTouched) {
    StatusRecord record = makeStatusRecord();
    record.structSize = 8;
    record.code = 0;
    EXPECT_FALSE(setStatusRecord(record, -52000, "c", "f.c", 1));
    EXPECT_EQ(record.code, 0);

    StatusRecord failure = makeStatusRecord();
    setStatusRecord(failure, -52008, "c", "f.c", 2);
    EXPECT_FALSE(mergeStatusRecord(record, failure));
    EXPECT_EQ(record.code, 0);

    StatusRecord full = makeStatusRecord();
    failure.structSize = 15;
    EXPECT_FALSE(mergeStatusRecord(full, failure));
    EXPECT_EQ(full.code, 0);

    record.structSize = 16;  // room for the code and nothing more
    EXPECT_TRUE(setStatusRecord(record, -52000, "c", "f.c", 1));
    EXPECT_EQ(record.code, -52000);
    EXPECT_EQ(record.component[0], '\0');
}

TEST(StatusRecordTest, MergeRuleDecidesWhetherAnythingIsStored) {
    StatusRecord record = makeStatusRecord();
    record.extra[0] = 77;
    EXPECT_TRUE(setStatusRecord(record, 5, "warn", "w.c", 1));
    EXPECT_EQ(record.extra[0], 0u);
    EXPECT_FALSE(setStatusRecord(record, 6, "other", "o.c", 2));
    EXPECT_STREQ(record.file, "w.c");
    EXPECT_TRUE(setStatusRecord(record, -3, "err", "e.c", 3));
    EXPECT_FALSE(setStatusRecord(record, -4, "later", "l.c", 4));
    EXPECT_EQ(record.code, -3);
    EXPECT_STREQ(record.component, "err");
    EXPECT_EQ(record.line, 3u);
}

TEST(StatusRecordTest, SmallRecordStoresOnlyTheCode) {
    StatusRecord record = makeStatusRecord();
    record.structSize = 16;
    EXPECT_TRUE(setStatusRecord(record, -7, "comp", "file.c", 8));
    EXPECT_EQ(record.code, -7);
    EXPECT_STREQ(record.file, "");
    EXPECT_EQ(record.line, 0u);
}

TEST(StatusRecordTest, MergeCopiesTheExtraWords) {
    StatusRecord source = makeStatusRecord();
    setStatusRecord(source, -2, "src", "s.c", 10);
    source.extra[0] = 11;
    source.extra[1] = 12;
    StatusRecord target = makeStatusRecord();
    EXPECT_TRUE(mergeStatusRecord(target, source));
    EXPECT_EQ(target.code, -2);
    EXPECT_STREQ(target.file, "s.c");
    EXPECT_EQ(target.extra[1], 12u);
    EXPECT_FALSE(mergeStatusRecord(target, source));
}

}  // namespace
}  // namespace zyerr
