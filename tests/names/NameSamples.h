// Texts of the terminal name grammar with the names they resolve to, pinned by the table test.
#pragma once

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "zyostrelapi.h"

namespace zytest::names {

using Names = std::vector<std::string>;

constexpr std::int32_t kBad = ZYOSTREL_Status_InvalidTerminalName;
constexpr std::int32_t kIndex = ZYOSTREL_Status_TerminalIndexOutOfRange;
constexpr std::int32_t kNumber = ZYOSTREL_Status_TerminalNumberOutOfRange;
constexpr std::int32_t kTooMany = ZYOSTREL_Status_TooManyTerminalNames;

// A family of indexed names in its upper-case spelling; the lower-case spelling is the same
// text in lower case and resolves to the same names.
struct Family {
    std::string prefix, suffix;
    unsigned top;
    std::string upper(unsigned i) const { return prefix + std::to_string(i) + suffix; }
    std::string lower(unsigned i) const {
        std::string text = upper(i);
        for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    }
};

inline const Family kFamilies[] = {
    {"AI", "", 63},        {"AO", "", 63},       {"CLK", "", 63}, {"SI", "", 7},
    {"SO", "", 7},         {"DataClk", "", 3},   {"DI", "", 63},  {"DO", "", 63},
    {"RxBank", "", 15},    {"DIO", "", 95},      {"PFI", "", 63}, {"DIFF PFI", "", 63},
    {"Ser", "_RefClk", 7}, {"Des", "_RefClk", 7}};

struct GrammarRow {
    const char* text;
    std::int32_t status;
    Names names = {};
};

inline const GrammarRow kGrammarRows[] = {
    // Case is all upper or all lower, across a range too.
    {"Ai5", kBad},
    {"SER1_REFCLK", kBad},
    {"AI0-ai3", kBad},
    {"Diff Pfi1", kBad},
    // Ranges in either order give ascending names; past the highest index the valid
    // part is kept and the range fails.
    {"AI3-AI0", 0, {"AI0", "AI1", "AI2", "AI3"}},
    {"PFI7-PFI7", 0, {"PFI7"}},
    {"AI60-AI70", kIndex, {"AI60", "AI61", "AI62", "AI63"}},
    {"AI70-AI60", kIndex, {"AI60", "AI61", "AI62", "AI63"}},
    {"AI64-AI70", kIndex},
    {"SI6-SI4294967295", kIndex, {"SI6", "SI7"}},
    // The separator follows the number directly.
    {"AI0 -AI3", kBad},
    {"AI0-", kBad},
    {"AI0-AI3 ", kBad},
    {"AI0-AO3", kBad},
    {"AI0-AI 2", 0, {"AI0", "AI1", "AI2"}},
    // Numbers follow the C scanning rules: leading white space and a sign are accepted,
    // a negative number wraps modulo 2^32, a value is converted in 64 bits before the cut.
    {"AI\t\n5", 0, {"AI5"}},
    {"AI+5", 0, {"AI5"}},
    {"AI-4294967295", 0, {"AI1"}},
    {"AI4294967296", 0, {"AI0"}},
    {"AI-1", kIndex},
    {"AI", kBad},
    {"AI- 5", kBad},
    {"AI+-5", kBad},
    {"AI5 ", kBad},
    {"AI0x5", kBad},
    {" AI5", kBad},
    // White space inside a family name matches any white space, or none.
    {"DIFFPFI3", 0, {"DIFF PFI3"}},
    {"diff\npfi3", 0, {"DIFF PFI3"}},
    // A pattern that reads its number before a suffix counts as matched once the number
    // is read, whatever follows, unless the whole suffix and then another character are.
    {"Ser5", 0, {"Ser5_RefClk"}},
    {"des2_ref", 0, {"Des2_RefClk"}},
    {"Ser5-Ser7", 0, {"Ser5_RefClk"}},
    {"Ser5_RefClkX", kBad},
    {"Ser8", kIndex},
    {"Ser1_RefClk-Ser3", 0, {"Ser1_RefClk", "Ser2_RefClk", "Ser3_RefClk"}},
    // Plain numbers 0 to 63 and the trigger input.
    {"63", 0, {"63"}},
    {"TRIGIN", 0, {"TRIGIN"}},
    {"64", kNumber},
    {"1-2", kBad},
    {"trigin", kBad},
    {"TRIGIN0", kBad},
    // Connector prefixes qualify family names; the number wraps like the others.
    {"conn2/ai0-ai1", 0, {"Conn2/AI0", "Conn2/AI1"}},
    {"CONNECTOR2/AI0", 0, {"Conn2/AI0"}},
    {"connector0/ser1_refclk", 0, {"Conn0/Ser1_RefClk"}},
    {"conn 3/ pfi1 and the rest", 0, {"Conn3/PFI1"}},
    {"conn+3/diffpfi1", 0, {"Conn3/DIFF PFI1"}},
    {"conn-1/ai0", 0, {"Conn4294967295/AI0"}},
    {"conn9223372036854775808/ai0", 0, {"Conn4294967295/AI0"}},
    // Plain numbers stay unqualified; the remainder after a prefix is lower case.
    {"conn1/5", 0, {"5"}},
    {"conn1/TRIGIN", kBad},
    {"conn2/DIFF PFI3", kBad},
    {"conn1/64", kNumber},
    {"conn1/ai64", kIndex},
    // An incomplete prefix leaves the token unqualified.
    {"conn2/", kBad},
    {"conn/ai0", kBad},
    {"conn2 /ai0", kBad},
    // Tokens resolve in order and the first failure ends the list.
    {"AO1,AI0,conn3/clk2,TRIGIN,4", 0, {"AO1", "AI0", "Conn3/CLK2", "TRIGIN", "4"}},
    {"conn1/ai0-ai1,conn2/ao1,7", 0, {"Conn1/AI0", "Conn1/AI1", "Conn2/AO1", "7"}},
    {"AI0,", kBad, {"AI0"}},
    {",AI0", kBad},
    {"AI0, AI1", kBad, {"AI0"}},
    {"AI0,AI64,AI1", kIndex, {"AI0"}},
    {"AI0,64,AI1", kNumber, {"AI0"}},
    // Not empty: a text of white space is a token that matches nothing.
    {" ", kBad},
};

}  // namespace zytest::names
