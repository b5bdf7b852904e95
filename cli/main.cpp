// ostrel: the instruments' command-line tool, written over the public C API alone.
//
//   ostrel COMMAND... [OPERANDS] [--json] [--help]
//
// Exit codes: 0 success (warnings are printed), 1 a failing status (its description is
// printed), 2 a command line the command does not take (usage on the standard error).
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "Args.h"
#include "Commands.h"
#include "Context.h"
#include "zyostrelapi.h"

namespace {

using namespace ostrel;

std::vector<Command> allCommands() {
    std::vector<Command> all;
    for (auto family :
         {commands::info, commands::attributes, commands::streams, commands::devices,
          commands::dspReset, commands::firmware, commands::bitfiles, commands::errors}) {
        for (Command& command : family()) all.push_back(std::move(command));
    }
    return all;
}

std::vector<std::string> wordsOf(const char* words) {
    std::istringstream in(words);
    std::vector<std::string> result;
    for (std::string word; in >> word;) result.push_back(word);
    return result;
}

// The command whose words open the command line (the one with most words), and how many
// arguments they took.
const Command* findCommand(const std::vector<Command>& all, int argc, char** argv, int& used) {
    const Command* best = nullptr;
    used = 0;
    for (const Command& command : all) {
        const std::vector<std::string> words = wordsOf(command.words);
        const int count = static_cast<int>(words.size());
        if (count <= used || count >= argc) continue;
        bool match = true;
        for (int i = 0; i < count && match; ++i) match = words[i] == argv[1 + i];
        if (match) {
            best = &command;
            used = count;
        }
    }
    return best;
}

bool isFamily(const std::vector<Command>& all, const char* name) {
    for (const Command& command : all) {
        if (wordsOf(command.words)[0] == name) return true;
    }
    return false;
}

void printOverview(std::FILE* out, const std::vector<Command>& all, const char* family) {
    std::fprintf(out, "usage: ostrel COMMAND [OPERANDS] [--json] [--help]\n\ncommands:\n");
    for (const Command& command : all) {
        if (family != nullptr && wordsOf(command.words)[0] != family) continue;
        std::fprintf(out, "  %s %s\n%s", command.words, command.operands,
                     wrapped(command.summary, 6).c_str());
    }
    std::fprintf(out,
                 "\nExit codes: 0 success, 1 a failing status (described), 2 bad arguments.\n");
}

// One line per command: its words, a tab, its options. Read by the bash completion.
void printCommandList(const std::vector<Command>& all) {
    for (const Command& command : all) {
        std::printf("%s\t", command.words);
        for (const Option& option : command.options) std::printf("%s ", option.name);
        std::printf("%s %s\n", kJsonOption, kHelpOption);
    }
}

int runCommand(const Command& command, int argc, char** argv, int first) {
    Arguments arguments;
    try {
        arguments = parseArguments(command, argc, argv, first);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "ostrel %s: %s\n%s", command.words, error.what(),
                     commandHelp(command).c_str());
        return 2;
    }
    if (arguments.has(kHelpOption)) {
        std::fputs(commandHelp(command).c_str(), stdout);
        return 0;
    }
    Context context(arguments.has(kJsonOption));
    try {
        command.run(context, arguments);
        return context.finish(nullptr);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "ostrel %s: %s\n%s", command.words, error.what(),
                     commandHelp(command).c_str());
        return 2;
    } catch (const Failure& failure) {
        return context.finish(&failure);
    } catch (const std::bad_alloc&) {
        const Failure failure{ZYOSTREL_Status_OutOfMemory, command.words,
                              describeStatus(0, ZYOSTREL_Status_OutOfMemory)};
        return context.finish(&failure);
    } catch (const std::exception& error) {
        const Failure failure{ZYOSTREL_Status_SoftwareError, command.words, error.what()};
        return context.finish(&failure);
    }
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::vector<Command> all = allCommands();
        if (argc < 2) {
            printOverview(stderr, all, nullptr);
            return 2;
        }
        if (std::strcmp(argv[1], kHelpOption) == 0) {
            printOverview(stdout, all, nullptr);
            return 0;
        }
        if (std::strcmp(argv[1], "--version") == 0) {
            std::printf("ostrel %d.%d.%d\n", ZYOSTREL_VERSION_MAJOR, ZYOSTREL_VERSION_MINOR,
                        ZYOSTREL_VERSION_PATCH);
            return 0;
        }
        if (std::strcmp(argv[1], "--list-commands") == 0) {
            printCommandList(all);
            return 0;
        }
        int used = 0;
        if (const Command* command = findCommand(all, argc, argv, used)) {
            return runCommand(*command, argc, argv, 1 + used);
        }
        // A family named without one of its commands ("ostrel fw") gets that family's list.
        const bool family = isFamily(all, argv[1]);
        const bool help = argc > 2 && std::strcmp(argv[2], kHelpOption) == 0;
        if (!family) std::fprintf(stderr, "ostrel: unknown command \"%s\"\n", argv[1]);
        printOverview(help ? stdout : stderr, all, family ? argv[1] : nullptr);
        return help && family ? 0 : 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ostrel: %s\n", error.what());
        return 1;
    }
}
