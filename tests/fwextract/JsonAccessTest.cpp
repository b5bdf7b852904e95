// The JSON accessors: each mismatch is a status with its JSON error constant.
#include <gtest/gtest.h>

#include <string>

#include "firmware/fwextract/JsonAccess.h"
#include "fwextract/BundleFixtures.h"
#include "status/StatusCodes.h"

namespace {

namespace json = zyostrel::fwextract::json;

json::Tree parsed(const std::string& text) { return json::parse(text.data(), text.size()); }

// The status and the error constant body threw.
std::pair<int32_t, bool> failure(const std::function<void()>& body, const char* constant) {
    const std::string elaboration = zytest::elaborationOf(body);
    return {zytest::statusOf(body), elaboration.find(constant) != std::string::npos};
}

TEST(JsonAccess, EachMismatchCarriesItsConstant) {
    const auto tree = parsed("{\"list\":[1,\"two\",true],\"Name\":\"x\",\"name\":\"second\"}");
    const cJSON& root = *tree;
    EXPECT_EQ(json::stringOf(json::member(root, "NAME")), "x");  // any case, first occurrence
    EXPECT_EQ(json::arraySize(json::member(root, "list")), 3u);
    EXPECT_EQ(json::numberOf(json::element(json::member(root, "list"), 0)), 1.0);
    EXPECT_TRUE(json::booleanOf(json::element(json::member(root, "list"), 2)));
    EXPECT_EQ(json::optionalMember(root, "absent"), nullptr);

    using zyerr::codes::ResourceNotFound;
    using zyerr::codes::TypeMismatch;
    EXPECT_EQ(failure([&] { json::member(root, "absent"); }, "jsonErrorsObjectItemNotFound"),
              std::make_pair(ResourceNotFound, true));
    EXPECT_EQ(failure([&] { json::element(json::member(root, "list"), 3); }, "jsonErrorsArrayItemOutOfBounds"),
              std::make_pair(ResourceNotFound, true));
    EXPECT_EQ(failure([&] { json::element(root, 0); }, "jsonErrorsNotAnArray"), std::make_pair(TypeMismatch, true));
    EXPECT_EQ(failure([&] { json::member(json::member(root, "list"), "x"); }, "jsonErrorsNotAnObject"),
              std::make_pair(TypeMismatch, true));
    EXPECT_EQ(failure([&] { json::stringOf(json::element(json::member(root, "list"), 0)); }, "jsonErrorsTypeMismatch"),
              std::make_pair(TypeMismatch, true));
    EXPECT_EQ(failure([&] { json::numberOf(json::member(root, "name")); }, "jsonErrorsTypeMismatch"),
              std::make_pair(TypeMismatch, true));
    EXPECT_EQ(failure([&] { json::booleanOf(json::member(root, "name")); }, "jsonErrorsTypeMismatch"),
              std::make_pair(TypeMismatch, true));
}

TEST(JsonAccess, OnlyTheGivenLengthIsParsed) {
    const std::string text = "{\"a\":1}garbage";
    EXPECT_EQ(zytest::statusOf([&] { json::parse(text.data(), text.size()); }), zyerr::codes::InvalidParameter);
    EXPECT_EQ(zytest::statusOf([&] { json::parse(text.data(), 7); }), 0);
    const std::string padded = std::string("[1] \n") + '\0';
    EXPECT_EQ(zytest::statusOf([&] { json::parse(padded.data(), padded.size()); }), 0);
}

}  // namespace
