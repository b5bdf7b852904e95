// The fixed-size status record and its file path rule.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "status/StatusRecord.h"

namespace zyerr {
namespace {

// Paths up to the 100-byte field are copied whole; longer ones keep 49 bytes of head and tail.
TEST(StatusRecordTest, LongFilePathKeepsHeadAndTail) {
    for (const std::size_t length : {100u, 101u, 150u}) {
        std::string path;
        for (std::size_t i = 0; i < length; ++i) path.push_back(static_cast<char>('a' + i % 26));
        StatusRecord record = makeStatusRecord();
        EXPECT_TRUE(setStatusRecord(record, -52000, "zyostrelapi", path.c_str(), 99));
        EXPECT_EQ(std::string(record.file),
                  length <= 100 ? path : path.substr(0, 49) + ".." + path.substr(length - 49))
            << length;
        EXPECT_STREQ(record.component, "zyostrela");  // 9 characters and NUL
        EXPECT_EQ(record.line, 99u);
        EXPECT_EQ(record.code, -52000);
    }
}

// A caller's record declared smaller than the code field must not be written past its size.
TEST(StatusRecordTest, RecordWithoutRoomForTheCodeIsNotTouchedAndOneWithRoomForItOnlyGetsIt) {
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
    EXPECT_EQ(record.file[0], '\0');
    EXPECT_EQ(record.line, 0u);
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
