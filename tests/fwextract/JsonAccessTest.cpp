// The JSON accessors: each mismatch is a status with its JSON error constant.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "firmware/fwextract/JsonAccess.h"
#include "fwextract/BundleFixtures.h"
#include "status/StatusCodes.h"

namespace {

namespace json = zyostrel::fwextract::json;

json::Tree parsed(const std::string& text) { return json::parse(text.data(), text.size()); }

TEST(JsonAccess, EachMismatchCarriesItsConstant) {
    const auto tree = parsed("{\"list\":[1,\"two\",true],\"Name\":\"x\",\"name\":\"second\"}");
    const cJSON& root = *tree;
    const cJSON& list = json::member(root, "list");
    EXPECT_EQ(json::stringOf(json::member(root, "NAME")), "x");  // any case, first occurrence
    EXPECT_EQ(json::arraySize(list), 3u);
    EXPECT_EQ(json::numberOf(json::element(list, 0)), 1.0);
    EXPECT_TRUE(json::booleanOf(json::element(list, 2)));
    EXPECT_EQ(json::optionalMember(root, "absent"), nullptr);

    struct Row {
        std::function<void()> body;
        const char* constant;
        int32_t status;
    };
    const Row rows[] = {
        {[&] { json::member(root, "absent"); }, "jsonErrorsObjectItemNotFound",
         zyerr::codes::ResourceNotFound},
        {[&] { json::element(list, 3); }, "jsonErrorsArrayItemOutOfBounds",
         zyerr::codes::ResourceNotFound},
        {[&] { json::element(root, 0); }, "jsonErrorsNotAnArray", zyerr::codes::TypeMismatch},
        {[&] { json::arraySize(root); }, "jsonErrorsNotAnArray", zyerr::codes::TypeMismatch},
        {[&] { json::member(list, "x"); }, "jsonErrorsNotAnObject", zyerr::codes::TypeMismatch},
        {[&] { json::stringOf(json::element(list, 0)); }, "jsonErrorsTypeMismatch",
         zyerr::codes::TypeMismatch},
        {[&] { json::numberOf(json::member(root, "name")); }, "jsonErrorsTypeMismatch",
         zyerr::codes::TypeMismatch},
        {[&] { json::booleanOf(json::member(root, "name")); }, "jsonErrorsTypeMismatch",
         zyerr::codes::TypeMismatch},
    };
    for (const Row& row : rows) {
        const zytest::Thrown thrown = zytest::statusOf(row.body);
        EXPECT_EQ(thrown, row.status) << row.constant;
        EXPECT_NE(thrown.elaboration.find(row.constant), std::string::npos) << thrown;
    }
}

TEST(JsonAccess, OnlyTheGivenLengthIsParsed) {
    const std::string text = "{\"a\":1}garbage";
    EXPECT_EQ(zytest::statusOf([&] { json::parse(text.data(), text.size()); }),
              zyerr::codes::InvalidParameter);
    EXPECT_EQ(zytest::statusOf([&] { json::parse(text.data(), 7); }), 0);
    const std::string padded = std::string("[1] \n") + '\0';
    EXPECT_EQ(zytest::statusOf([&] { json::parse(padded.data(), padded.size()); }), 0);
}

}  // namespace
