// The hand-written scanner against the sscanf reference on many generated texts: valid
// forms of every family and the grammar table's texts mutated byte by byte, and numbers at
// the limits of every conversion. Names, their order and the status must agree. Longer
// combinations of tokens come from the fuzz corpus, which the corpus replay checks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/names/NameSamples.h"
#include "tests/names/ReferenceNames.h"

namespace zytest::names {
namespace {

// Bytes that can change how a pattern reads: pattern letters of both cases, digits, signs,
// separators, white space of every kind, and bytes outside ASCII.
const std::string kAlphabet =
    "AIOaioCLKclkSsEeRrDdTtPFIfp_BbNnXxGg0123456789-+,/ \t\n\v\f\r\x80\xA0\xFF";

// The valid forms of every family, and every text of the grammar table.
std::vector<std::string> seeds() {
    std::vector<std::string> seeds;
    for (const Family& f : kFamilies) {
        seeds.push_back(f.upper(f.top) + "-" + f.upper(0));
        seeds.push_back(f.lower(1));
    }
    for (const GrammarRow& row : kGrammarRows) seeds.emplace_back(row.text);
    return seeds;
}

void expectAgreement(const std::string& text, int& failures) {
    for (const std::uint32_t attribute : {0u, 0x10000008u}) {
        const std::string difference = resolutionDifference(text.c_str(), attribute);
        if (!difference.empty() && ++failures <= 20) ADD_FAILURE() << difference;
    }
    const std::string difference = lookupDifference(text.c_str());
    if (!difference.empty() && ++failures <= 20) ADD_FAILURE() << difference;
}

std::vector<std::string> mutations(const std::string& seed) {
    std::vector<std::string> out;
    for (std::size_t at = 0; at <= seed.size(); ++at) {
        if (at < seed.size()) {
            out.push_back(seed.substr(0, at) + seed.substr(at + 1));
            std::string toggled = seed;
            toggled[at] = static_cast<char>(toggled[at] ^ 0x20);
            out.push_back(toggled);
        }
        for (const char c : kAlphabet) {
            out.push_back(seed.substr(0, at) + c + seed.substr(at));
            if (at < seed.size()) {
                std::string replaced = seed;
                replaced[at] = c;
                out.push_back(replaced);
            }
        }
    }
    return out;
}

TEST(NamesDifferential, EveryValidFormMutatedByteByByte) {
    int failures = 0;
    std::size_t checked = 0;
    for (const std::string& seed : seeds()) {
        for (const std::string& text : mutations(seed)) {
            expectAgreement(text, failures);
            ++checked;
        }
    }
    EXPECT_GT(checked, 50000u);
    EXPECT_EQ(failures, 0);
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
