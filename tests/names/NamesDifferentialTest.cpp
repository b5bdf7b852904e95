// The hand-written scanner against the sscanf reference on numbers at the limits of every
// conversion: names, their order and the status must agree. The texts around the grammar's
// forms come from the fuzz corpus, whose replay makes the same comparison.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/names/ReferenceNames.h"

namespace zytest::names {
namespace {

void expectAgreement(const std::string& text, int& failures) {
    for (const std::uint32_t attribute : {0u, 0x10000008u}) {
        const std::string difference = resolutionDifference(text.c_str(), attribute);
        if (!difference.empty() && ++failures <= 20) ADD_FAILURE() << difference;
    }
    const std::string difference = lookupDifference(text.c_str());
    if (!difference.empty() && ++failures <= 20) ADD_FAILURE() << difference;
}

TEST(NamesDifferential, NumbersAtTheLimitsOfEveryConversion) {
    std::vector<std::string> numbers = {"0", "-0", "+5", " 5", "\t-5"};
    // Both sides of every cut: the families' highest indices, 32, 63 and 64 bits.
    for (const uint64_t limit :
         {7ull, 63ull, 95ull, 0x7FFFFFFFull, 0xFFFFFFFFull, 0x7FFFFFFFFFFFFFFFull}) {
        for (const uint64_t n : {limit, limit + 1, limit + 2}) {
            numbers.push_back(std::to_string(n));
            numbers.push_back("-" + std::to_string(n));
        }
    }
    for (const char* big : {"00000000000000000000063", "18446744073709551615",
                            "18446744073709551616", "99999999999999999999999"}) {
        numbers.push_back(big);
        numbers.push_back(std::string("-") + big);
    }
    const std::vector<std::string> shapes = {
        "AI#",       "ai#-ai#", "SI#",       "Ser#_RefClk",  "ser#_refclk-ser#_refclk",
        "DIO#-DIO#", "#",       "conn#/ai0", "connector#/5", "conn#/pfi#-pfi#",
        "DIFF PFI#", "Des#"};
    int failures = 0;
    for (const std::string& shape : shapes) {
        for (const std::string& first : numbers) {
            for (const std::string& second : numbers) {
                std::string text = shape;
                const std::size_t slot = text.find('#');
                text.replace(slot, 1, first);
                const std::size_t next = text.find('#', slot + first.size());
                if (next != std::string::npos) text.replace(next, 1, second);
                expectAgreement(text, failures);
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

}  // namespace
}  // namespace zytest::names
