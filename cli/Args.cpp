#include "Args.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace ostrel {
namespace {

const Option kCommonOptions[] = {
    {kJsonOption, nullptr, "print one JSON document instead of text"},
    {kHelpOption, nullptr, "print this help and exit"},
};

const Option* findOption(const Command& command, const std::string& name) {
    for (const Option& option : kCommonOptions) {
        if (name == option.name) return &option;
    }
    for (const Option& option : command.options) {
        if (name == option.name) return &option;
    }
    return nullptr;
}

// "-5" and "-0x10" are operands (negative status codes, values), not options.
bool looksLikeOption(const char* text) {
    return text[0] == '-' && text[1] != '\0' && !std::isdigit(static_cast<unsigned char>(text[1]));
}

[[noreturn]] void badValue(const char* what, const std::string& text, const char* expected) {
    throw UsageError(std::string(what) + " \"" + text + "\" is not " + expected);
}

}  // namespace

const char* Arguments::value(const char* option, const char* fallback) const {
    const auto found = options_.find(option);
    return found == options_.end() ? fallback : found->second.c_str();
}

Arguments parseArguments(const Command& command, int argc, char** argv, int first) {
    Arguments arguments;
    bool operandsOnly = false;
    for (int i = first; i < argc; ++i) {
        const char* text = argv[i];
        if (operandsOnly || !looksLikeOption(text)) {
            arguments.operands.emplace_back(text);
            continue;
        }
        if (std::strcmp(text, "--") == 0) {
            operandsOnly = true;
            continue;
        }
        std::string name = text;
        std::string value;
        const std::size_t equals = name.find('=');
        const bool inlineValue = equals != std::string::npos;
        if (inlineValue) {
            value = name.substr(equals + 1);
            name.erase(equals);
        }
        const Option* option = findOption(command, name);
        if (option == nullptr) throw UsageError("unknown option " + name);
        if (name == kHelpOption) {
            arguments.set(name, "");
            return arguments;  // the rest is not checked: help is printed instead
        }
        if (option->valueName == nullptr) {
            if (inlineValue) throw UsageError(name + " takes no value");
        } else if (!inlineValue) {
            // A following option is not taken as the value: "--csv --json" lacks its FILE.
            if (i + 1 >= argc || std::strncmp(argv[i + 1], "--", 2) == 0) {
                throw UsageError(name + " needs " + option->valueName);
            }
            value = argv[++i];
        }
        arguments.set(name, value);
    }
    const std::size_t count = arguments.operands.size();
    if (count < command.minOperands) throw UsageError("missing operands");
    if (count > command.maxOperands) throw UsageError("too many operands");
    return arguments;
}

std::string wrapped(const std::string& text, std::size_t indent, std::size_t width) {
    std::string result;
    std::string line;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && indent + line.size() + 1 + word.size() > width) {
            result += std::string(indent, ' ') + line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        start = end + 1;
    }
    if (!line.empty()) result += std::string(indent, ' ') + line + "\n";
    return result;
}

std::string commandHelp(const Command& command) {
    std::string text = std::string("usage: ostrel ") + command.words + " " + command.operands +
                       " [options]\n\n" + wrapped(command.summary, 0) + "\noptions:\n";
    auto describe = [&text](const Option& option) {
        std::string left = std::string("  ") + option.name;
        if (option.valueName != nullptr) left += std::string(" ") + option.valueName;
        if (left.size() < 24) left.resize(24, ' ');
        text += left + "  " + option.help + "\n";
    };
    for (const Option& option : command.options) describe(option);
    for (const Option& option : kCommonOptions) describe(option);
    return text;
}

uint64_t parseUnsigned(const std::string& text, const char* what, uint64_t maximum) {
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) {
        badValue(what, text, "an unsigned number");
    }
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || value > maximum) {
        badValue(what, text, ("a number from 0 to " + std::to_string(maximum)).c_str());
    }
    return value;
}

int64_t parseSigned(const std::string& text, const char* what, int64_t minimum, int64_t maximum) {
    const bool negative = !text.empty() && text[0] == '-';
    const std::string digits = negative ? text.substr(1) : text;
    if (digits.empty() || !std::isdigit(static_cast<unsigned char>(digits[0]))) {
        badValue(what, text, "a number");
    }
    errno = 0;
    char* end = nullptr;
    const unsigned long long magnitude = std::strtoull(digits.c_str(), &end, 0);
    const std::string range =
        "a number from " + std::to_string(minimum) + " to " + std::to_string(maximum);
    if (errno != 0 || *end != '\0') badValue(what, text, range.c_str());
    // Compared as magnitudes, so that no value outside int64_t is ever formed.
    const unsigned long long limit = negative ? 0ULL - static_cast<unsigned long long>(minimum)
                                              : static_cast<unsigned long long>(maximum);
    if ((negative && minimum >= 0 && magnitude != 0) || (!negative && maximum < 0) ||
        magnitude > limit) {
        badValue(what, text, range.c_str());
    }
    return negative ? static_cast<int64_t>(0ULL - magnitude) : static_cast<int64_t>(magnitude);
}

double parseDouble(const std::string& text, const char* what) {
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || errno != 0 || *end != '\0' || !std::isfinite(value)) {
        badValue(what, text, "a finite number");
    }
    return value;
}

bool parseSwitch(const std::string& text, const char* what) {
    const std::string key = nameKey(text);
    if (key == "on" || key == "true" || key == "yes" || key == "1") return true;
    if (key == "off" || key == "false" || key == "no" || key == "0") return false;
    badValue(what, text, "on or off");
}

std::string nameKey(const std::string& text) {
    std::string key;
    for (const char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return key;
}

}  // namespace ostrel
