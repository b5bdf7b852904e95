// The in-place writer: cursors on both bracket kinds, escaping, growth and the null cursor.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "status/ElaborationWriter.h"
#include "status/Status.h"

namespace zyerr {
namespace {

std::string textOf(const Status& status) { return elaborationText(status); }

TEST(ElaborationWriterTest, ClosingBracketAppendsOpeningBracketPrepends) {
    Status status;
    ElaborationCursor cursor = rootCursor(status);
    ASSERT_FALSE(cursor.isNull());
    cursor = cursor.addInt("a", -1);
    EXPECT_EQ(textOf(status), R"({"a":-1})");
    cursor = cursor.addUInt("b", 4294967295u);
    EXPECT_EQ(textOf(status), R"({"a":-1,"b":4294967295})");
    cursor.addUInt64("c", 18446744073709551615ull);
    EXPECT_EQ(textOf(status), R"({"a":-1,"b":4294967295,"c":18446744073709551615})");
    // An opening bracket prepends, with the comma after.
    Status front;
    ASSERT_TRUE(setElaboration(front, "{}"));
    const ElaborationCursor opening(front, 0);
    opening.addInt("first", 1);
    EXPECT_EQ(textOf(front), R"({"first":1})");
    opening.addInt("second", 2);
    EXPECT_EQ(textOf(front), R"({"second":2,"first":1})");
}

TEST(ElaborationWriterTest, ArraysTakeValuesWithoutKeysAtBothBrackets) {
    Status status;
    ASSERT_TRUE(setElaboration(status, R"({"list":[]})"));
    const ElaborationCursor opening(status, 8);
    opening.addString("ignored", "x");
    const ElaborationCursor closing(status,
                                    std::strchr(status.elaboration, ']') - status.elaboration);
    closing.addInt(nullptr, 3);
    opening.addInt(nullptr, 1);
    EXPECT_EQ(textOf(status), R"({"list":[1,"x",3]})");
}

TEST(ElaborationWriterTest, NestedContainersAndEnd) {
    Status status;
    ElaborationCursor inner =
        rootCursor(status).beginObject("outer").addString("k", "v").beginArray("list");
    inner = inner.beginObject(nullptr).addInt("n", 1).end();
    ElaborationCursor outer = inner.beginObject(nullptr).addInt("n", 2).end().end();
    outer = outer.addInt("after", 3);
    EXPECT_EQ(textOf(status), R"({"outer":{"k":"v","list":[{"n":1},{"n":2}],"after":3}})");
    outer.end().addInt("last", 4);
    EXPECT_EQ(textOf(status), R"({"outer":{"k":"v","list":[{"n":1},{"n":2}],"after":3},"last":4})");
    EXPECT_TRUE(rootCursor(status).end().isNull());  // the root has no enclosing container
}

TEST(ElaborationWriterTest, EndOfAContainerWrittenAtAnOpeningBracketReachesTheParentsEnd) {
    Status status;
    ASSERT_TRUE(setElaboration(status, R"({"z":1})"));
    ElaborationCursor front(status, 0);
    front.beginObject("o").addInt("i", 1).end().addInt("tail", 2);
    EXPECT_EQ(textOf(status), R"({"o":{"i":1},"z":1,"tail":2})");
}

TEST(ElaborationWriterTest, StringsAndKeysAreEscaped) {
    Status status;
    rootCursor(status).addString("s", "q\"t\t\x01 \\ \b\f\n\r \x7f \xc3\xa9");
    EXPECT_EQ(textOf(status), "{\"s\":\"q\\\"t\\t\\u0001 \\\\ \\b\\f\\n\\r \\u007f \xc3\xa9\"}");
    Status key;
    rootCursor(key).addString("a\"b", nullptr);  // a null value is the empty string
    EXPECT_EQ(textOf(key), R"({"a\"b":""})");
    char out[6];  // a bounded escape tells the full length
    EXPECT_EQ(escapeJsonString("a\"b\tc", out, sizeof(out)), 7u);
    EXPECT_STREQ(out, "a\\\"b\\");
}

TEST(ElaborationWriterTest, GrowthPast512BytesDoublesAndAnExactFitDoesNot) {
    Status status;
    ElaborationCursor cursor = rootCursor(status);
    ASSERT_EQ(status.capacity, 512u);
    const std::string value(100, 'v');
    std::string expected = "{";
    for (int i = 0; i < 12; ++i) {
        cursor = cursor.addString("key", value.c_str());
        ASSERT_FALSE(cursor.isNull());
        expected += (i == 0 ? "" : ",") + std::string("\"key\":\"") + value + "\"";
    }
    expected += "}";
    EXPECT_EQ(textOf(status), expected);
    EXPECT_EQ(status.capacity, 2048u);
    EXPECT_EQ(status.elaboration[status.capacity - 1], 'J');
    EXPECT_EQ(strnlen(status.elaboration, status.capacity), expected.size());
    // An exact fit uses the last free byte: 510 of text, NUL, 'J'; {"k":"<v>"} is 8 + v bytes.
    Status exact;
    rootCursor(exact).addString("k", std::string(510 - 8, 'x').c_str());
    EXPECT_EQ(exact.capacity, 512u);
    EXPECT_EQ(std::strlen(exact.elaboration), 510u);
    EXPECT_EQ(exact.elaboration[511], 'J');
}

bool refuseToGrow(Status&) { return false; }

TEST(ElaborationWriterTest, FailedGrowthGivesANullCursorThatWritesNothing) {
    Status status;
    ElaborationCursor cursor = rootCursor(status, &refuseToGrow);
    cursor = cursor.addString("small", "fits");
    ASSERT_FALSE(cursor.isNull());
    const std::string big(600, 'b');
    ElaborationCursor failed = cursor.addString("big", big.c_str());
    EXPECT_TRUE(failed.isNull());
    EXPECT_TRUE(failed.addInt("later", 1).isNull());
    EXPECT_TRUE(failed.beginObject("o").end().isNull());
    EXPECT_EQ(textOf(status), R"({"small":"fits"})");
    EXPECT_EQ(status.elaboration[status.capacity - 1], 'J');
}

TEST(ElaborationWriterTest, CursorsOffABracketStaleOnAnUnterminatedBufferOrOnNoObjectAreNull) {
    Status status;
    ASSERT_TRUE(setElaboration(status, R"({"a":1})"));
    EXPECT_TRUE(ElaborationCursor(status, 1).isNull());
    EXPECT_TRUE(ElaborationCursor(status, 100).isNull());
    Status noBuffer;
    EXPECT_TRUE(ElaborationCursor(noBuffer, 0).isNull());
    Status stale;
    const ElaborationCursor root = rootCursor(stale);  // on the '}' at offset 1
    root.addInt("a", 1);                               // the '}' moves to offset 7
    EXPECT_TRUE(root.addInt("b", 2).isNull());
    EXPECT_EQ(textOf(stale), R"({"a":1})");
    // A buffer that lost its terminator is not written.
    std::memset(status.elaboration, ' ', status.capacity - 1);  // no NUL before the 'J'
    status.elaboration[0] = '{';
    status.elaboration[100] = '}';
    EXPECT_TRUE(ElaborationCursor(status, 100).addString("k", "v").isNull());
    EXPECT_EQ(status.elaboration[100], '}');
    EXPECT_EQ(status.elaboration[status.capacity - 1], 'J');
    // A root cursor needs an object.
    ASSERT_TRUE(setElaboration(status, "[1,2]"));
    EXPECT_TRUE(rootCursor(status).isNull());
    ASSERT_TRUE(setElaboration(status, R"({"cut":)"));
    EXPECT_TRUE(rootCursor(status).isNull());
    ASSERT_TRUE(setElaboration(status, ""));
    EXPECT_FALSE(rootCursor(status).isNull());  // empty text counts as the empty object
    EXPECT_EQ(textOf(status), "{}");
}

}  // namespace
}  // namespace zyerr
