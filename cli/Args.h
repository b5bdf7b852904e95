// Command table and argument parsing. Each command names its words ("fw update"), its
// operands and its options; the parser checks a command line against that and the handler
// reads typed values through the helpers below, which refuse malformed text as a usage error
// (exit code 2) before anything reaches the instrument.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace ostrel {

class Context;
class Arguments;

struct Option {
    const char* name;       // "--csv"
    const char* valueName;  // "FILE", or nullptr for a flag
    const char* help;
};

struct Command {
    const char* words;     // "stream read"
    const char* operands;  // "RESOURCE STREAM N"
    const char* summary;
    std::size_t minOperands;
    std::size_t maxOperands;
    std::vector<Option> options;
    void (*run)(Context&, const Arguments&);
};

inline constexpr std::size_t kAnyNumber = static_cast<std::size_t>(-1);

// A command line that does not fit its command; main prints it with the usage, exit code 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Arguments {
public:
    std::vector<std::string> operands;

    bool has(const char* option) const { return options_.count(option) != 0; }
    // The value of an option given with one, or fallback.
    const char* value(const char* option, const char* fallback = nullptr) const;
    void set(const std::string& option, const std::string& value) { options_[option] = value; }

private:
    std::map<std::string, std::string> options_;
};

// Options every command takes.
inline constexpr const char* kJsonOption = "--json";
inline constexpr const char* kHelpOption = "--help";

// Parses argv[first..argc) against the command. Throws UsageError.
Arguments parseArguments(const Command& command, int argc, char** argv, int first);
// The help text of a command: synopsis, summary and options.
std::string commandHelp(const Command& command);

// Text broken into lines of at most width columns, each after indent blanks.
std::string wrapped(const std::string& text, std::size_t indent, std::size_t width = 90);

// Typed operands. what names the value in the usage message.
uint64_t parseUnsigned(const std::string& text, const char* what, uint64_t maximum);
int64_t parseSigned(const std::string& text, const char* what, int64_t minimum, int64_t maximum);
double parseDouble(const std::string& text, const char* what);
// "on", "true", "yes", "1" and "off", "false", "no", "0", in any letter case.
bool parseSwitch(const std::string& text, const char* what);

// Lower case with everything but letters and digits dropped: "PXI_Clk10" and "pxi-clk10"
// both give "pxiclk10". Names are compared in this form.
std::string nameKey(const std::string& text);

}  // namespace ostrel
