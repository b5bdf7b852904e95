// The attribute table: complete, consistent with the identifier ranges, and readable line by
// line by the generators that build other tables from it.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

#include "attributes/AttributeTable.h"

namespace zyostrel::attributes {
namespace {

// Duplicate names, a type digit that differs from the type and enumerations of other than
// Int32 attributes already fail the header's generation; the ends of each range are tested
// through the API (AttributeRecordsTest).
TEST(AttributeTableTest, IdentifiersLieInTheRangeOfTheirType) {
    for (const AttributeInfo& info : kAttributeTable) {
        EXPECT_TRUE(inAttributeRange(info.id, info.type)) << std::hex << info.id;
    }
    EXPECT_FALSE(inAttributeRange(0x0FFFFFFF, AttributeType::Int32));
}

TEST(AttributeTableTest, LookupsFindEveryEntryByIdentifierAndNothingElse) {
    for (const AttributeInfo& info : kAttributeTable) {
        EXPECT_EQ(findAttribute(info.id), &info) << std::hex << info.id;
    }
    EXPECT_EQ(findAttribute(0x10000002), nullptr);

    std::set<uint32_t> enumerated;
    for (const AttributeEnumValue& entry : kAttributeEnumValues) {
        EXPECT_STREQ(attributeEnumName(entry.id, entry.value), entry.name) << std::hex << entry.id;
        enumerated.insert(entry.id);
    }
    EXPECT_EQ(attributeEnumName(0x10000029, 1), nullptr);  // SO PoC Sink skips 1
    EXPECT_FALSE(isEnumeratedAttribute(0x10000000));
    // The default value of an enumerated attribute is one of its values.
    EXPECT_FALSE(enumerated.empty());
    for (uint32_t id : enumerated) {
        const AttributeInfo* info = findAttribute(id);
        ASSERT_NE(info, nullptr) << std::hex << id;
        EXPECT_TRUE(isEnumeratedAttribute(id)) << std::hex << id;
        const auto value = static_cast<int32_t>(std::stoll(info->defaultValue, nullptr, 0));
        EXPECT_NE(attributeEnumName(id, value), nullptr) << info->displayName;
    }
}

// The script translator's table is generated from the same file by a line-based reader: one
// entry per line, fields split at ", ", so no text may hold ", " or a quote.
TEST(AttributeTableTest, DefinitionFileHasOneWellFormedEntryPerLine) {
    std::ifstream file(ZY_ATTRIBUTE_TABLE_FILE);
    ASSERT_TRUE(file) << ZY_ATTRIBUTE_TABLE_FILE;
    const std::string id = "0x[0-9A-F]{8}";
    const std::string text = "\"(?:(?!, )[^\"])";
    const std::regex attribute("ZY_ATTRIBUTE\\(" + id + ", (Int32|Double|String|Boolean|UInt64), " +
                               text + "+\", (ReadWrite|ReadOnly), " + text + "*\"\\)");
    const std::regex value("ZY_ATTRIBUTE_ENUM\\(" + id + ", -?(0x[0-9A-F]+|[0-9]+), " + text +
                           "+\"\\)");
    std::size_t attributes = 0;
    std::size_t values = 0;
    for (std::string line; std::getline(file, line);) {
        if (line.rfind("ZY_ATTRIBUTE(", 0) == 0) {
            EXPECT_TRUE(std::regex_match(line, attribute)) << line;
            ++attributes;
        } else if (line.rfind("ZY_ATTRIBUTE_ENUM(", 0) == 0) {
            EXPECT_TRUE(std::regex_match(line, value)) << line;
            ++values;
        }
    }
    EXPECT_EQ(attributes, kAttributeCount);
    EXPECT_EQ(values, std::size(kAttributeEnumValues));
}

}  // namespace
}  // namespace zyostrel::attributes
