// The attribute table: complete, consistent with the identifier ranges, and readable line by
// line by the generators that build other tables from it.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <vector>
#include <set>
#include <string>

#include "attributes/AttributeTable.h"

namespace zyostrel::attributes {
namespace {

TEST(AttributeTableTest, HoldsEveryIdentifierOfEachType) {
    std::map<AttributeType, int> perType;
    for (const AttributeInfo& info : kAttributeTable) ++perType[info.type];
    EXPECT_EQ(kAttributeCount, 158u);
    EXPECT_EQ(perType[AttributeType::Int32], 51);
    EXPECT_EQ(perType[AttributeType::Double], 45);
    EXPECT_EQ(perType[AttributeType::String], 21);
    EXPECT_EQ(perType[AttributeType::Boolean], 33);
    EXPECT_EQ(perType[AttributeType::UInt64], 8);
}

TEST(AttributeTableTest, EveryIdentifierLiesInTheRangeOfItsType) {
    std::set<std::string> names;
    for (const AttributeInfo& info : kAttributeTable) {
        EXPECT_TRUE(inAttributeRange(info.id, info.type)) << std::hex << info.id;
        EXPECT_TRUE(names.insert(info.displayName).second) << info.displayName;
    }
}

TEST(AttributeTableTest, RangesEndOneBelowTheLastIdentifierOfTheBlock) {
    EXPECT_TRUE(inAttributeRange(0x10000000, AttributeType::Int32));
    EXPECT_TRUE(inAttributeRange(0x1000FFFE, AttributeType::Int32));
    EXPECT_FALSE(inAttributeRange(0x1000FFFF, AttributeType::Int32));
    EXPECT_FALSE(inAttributeRange(0x0FFFFFFF, AttributeType::Int32));
    EXPECT_FALSE(inAttributeRange(0x20000010, AttributeType::Int32));
    EXPECT_TRUE(inAttributeRange(0x5000FFFE, AttributeType::UInt64));
    EXPECT_FALSE(inAttributeRange(0x5000FFFF, AttributeType::UInt64));
}

TEST(AttributeTableTest, FindsNamesAndEnumerationsByIdentifier) {
    ASSERT_NE(findAttribute(0x20000010), nullptr);
    EXPECT_STREQ(findAttribute(0x20000010)->displayName, "AI Range");
    EXPECT_STREQ(findAttribute(0x10000118)->displayName, "Circular Buffer Segments");
    EXPECT_STREQ(findAttribute(0x50000007)->displayName, "Circular Buffer Elements Written");
    EXPECT_EQ(findAttribute(0x10000002), nullptr);
    EXPECT_EQ(findAttribute(0), nullptr);
    EXPECT_EQ(findAttribute(0xFFFFFFFF), nullptr);

    EXPECT_STREQ(attributeEnumName(0x1000000B, 6), "PXI_Clk100");
    EXPECT_STREQ(attributeEnumName(0x10000016, 0x7FFFFFFC), "Low Level");
    EXPECT_STREQ(attributeEnumName(0x10000036, 4), "4");
    EXPECT_EQ(attributeEnumName(0x10000029, 1), nullptr);  // SO PoC Sink skips 1
    EXPECT_FALSE(isEnumeratedAttribute(0x10000000));
}

TEST(AttributeTableTest, EnumeratedAttributesAreInt32EntriesWithTheirDefaultListed) {
    std::set<uint32_t> enumerated;
    for (const AttributeEnumValue& entry : kAttributeEnumValues) enumerated.insert(entry.id);
    EXPECT_EQ(enumerated.size(), 21u);
    for (uint32_t id : enumerated) {
        const AttributeInfo* info = findAttribute(id);
        ASSERT_NE(info, nullptr) << std::hex << id;
        EXPECT_EQ(info->type, AttributeType::Int32);
        const auto value = static_cast<int32_t>(std::stoll(info->defaultValue, nullptr, 0));
        EXPECT_NE(attributeEnumName(id, value), nullptr) << info->displayName;
    }
}

// The fields of one "NAME(a, b, c)" line, split at ", "; empty when the line is not one.
std::vector<std::string> fieldsOf(const std::string& line, const std::string& name) {
    const std::string open = name + "(";
    if (line.rfind(open, 0) != 0 || line.back() != ')') return {};
    std::vector<std::string> fields;
    std::string rest = line.substr(open.size(), line.size() - open.size() - 1);
    for (std::size_t comma; (comma = rest.find(", ")) != std::string::npos;) {
        fields.push_back(rest.substr(0, comma));
        rest.erase(0, comma + 2);
    }
    fields.push_back(rest);
    return fields;
}

bool isHexIdentifier(const std::string& field) {
    return field.size() == 10 && field.rfind("0x", 0) == 0 &&
           field.find_first_not_of("0123456789ABCDEF", 2) == std::string::npos;
}

bool isQuoted(const std::string& field) {
    return field.size() >= 2 && field.front() == '"' && field.back() == '"' &&
           field.find('"', 1) == field.size() - 1;
}

// The script translator's table is generated from the same file by a line-based reader.
TEST(AttributeTableTest, DefinitionFileHasOneWellFormedEntryPerLine) {
    std::ifstream file(ZY_ATTRIBUTE_TABLE_FILE);
    ASSERT_TRUE(file) << ZY_ATTRIBUTE_TABLE_FILE;
    const std::set<std::string> types = {"Int32", "Double", "String", "Boolean", "UInt64"};
    std::size_t attributes = 0;
    std::size_t values = 0;
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind("ZY_ATTRIBUTE(", 0) == 0) {
            const auto f = fieldsOf(line, "ZY_ATTRIBUTE");
            ASSERT_EQ(f.size(), 5u) << line;
            EXPECT_TRUE(isHexIdentifier(f[0])) << line;
            EXPECT_EQ(types.count(f[1]), 1u) << line;
            EXPECT_TRUE(isQuoted(f[2]) && f[2].size() > 2) << line;
            EXPECT_TRUE(f[3] == "ReadWrite" || f[3] == "ReadOnly") << line;
            EXPECT_TRUE(isQuoted(f[4])) << line;
            ++attributes;
        } else if (line.rfind("ZY_ATTRIBUTE_ENUM(", 0) == 0) {
            const auto f = fieldsOf(line, "ZY_ATTRIBUTE_ENUM");
            ASSERT_EQ(f.size(), 3u) << line;
            EXPECT_TRUE(isHexIdentifier(f[0])) << line;
            EXPECT_NO_THROW(static_cast<void>(std::stoll(f[1], nullptr, 0))) << line;
            EXPECT_TRUE(isQuoted(f[2]) && f[2].size() > 2) << line;
            ++values;
        }
    }
    EXPECT_EQ(attributes, kAttributeCount);
    EXPECT_EQ(values, sizeof kAttributeEnumValues / sizeof kAttributeEnumValues[0]);
}

}  // namespace
}  // namespace zyostrel::attributes
