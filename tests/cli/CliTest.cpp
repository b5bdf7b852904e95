// The ostrel tool run as a child process on the emulated instrument: exit codes, the JSON
// document of every command, the progress of a firmware update, usage errors and the
// descriptions of failures.
#include <cjson/cJSON.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <rapidxml/rapidxml.hpp>

#include "support/TempPath.h"
#include "zyemu/control.h"
#include "zyostrelapi.h"

extern char** environ;

namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs a program with the arguments, extra environment entries ("NAME=value") added, its
// output collected in files so that neither stream can block the other.
ToolRun runProgram(const char* program, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& env = {}) {
    const std::string outPath = zytest::uniqueTempPath("ostrel.out");
    const std::string errPath = zytest::uniqueTempPath("ostrel.err");
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment(env);
    for (char** entry = environ; *entry != nullptr; ++entry) environment.emplace_back(*entry);
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t child = 0;
    ToolRun run;
    const int spawned = posix_spawn(&child, program, &actions, nullptr, argv.data(), envp.data());
    EXPECT_EQ(spawned, 0) << std::strerror(spawned);
    if (spawned == 0) {
        int status = 0;
        EXPECT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status)) << "status " << status;
        if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = readAll(outPath);
    run.err = readAll(errPath);
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return run;
}

ToolRun runTool(const std::vector<std::string>& arguments,
                const std::vector<std::string>& env = {}) {
    return runProgram(ZY_OSTREL, arguments, env);
}

struct JsonDelete {
    void operator()(cJSON* value) const { cJSON_Delete(value); }
};
using Json = std::unique_ptr<cJSON, JsonDelete>;

// The one JSON document the tool printed; a test failure shows what it printed instead.
Json documentOf(const ToolRun& run) {
    Json document(cJSON_Parse(run.out.c_str()));
    EXPECT_TRUE(cJSON_IsObject(document.get())) << "stdout:\n" << run.out << "stderr:\n" << run.err;
    return document;
}

const cJSON* at(const cJSON* value, const char* key) {
    return cJSON_GetObjectItemCaseSensitive(value, key);
}

std::string bundle(const char* name) { return std::string(ZY_CLI_BUNDLE_DIR) + "/" + name; }

// ---- One command line each: exit code, members of the document ----------------------------

struct Case {
    const char* label;
    std::vector<std::string> arguments;
    int exitCode;
    std::vector<const char*> keys;  // members the document must have
    const char* expected;           // for exit 0: key=value the document must hold
};

std::ostream& operator<<(std::ostream& out, const Case& c) { return out << c.label; }

class CommandLine : public ::testing::TestWithParam<Case> {};

TEST_P(CommandLine, GivesItsExitCodeAndDocument) {
    const Case& c = GetParam();
    std::vector<std::string> arguments = c.arguments;
    arguments.insert(std::find(arguments.begin(), arguments.end(), "--"), "--json");
    const ToolRun run = runTool(arguments);
    ASSERT_EQ(run.exitCode, c.exitCode) << run.out << run.err;
    if (c.exitCode == 2) {
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("usage: ostrel"), std::string::npos) << run.err;
        return;
    }
    const Json document = documentOf(run);
    for (const char* key : c.keys) EXPECT_NE(at(document.get(), key), nullptr) << key;
    const cJSON* error = at(document.get(), "error");
    if (c.exitCode == 1) {
        // A failure carries the library's description of its status.
        ASSERT_NE(error, nullptr) << run.out;
        // A failure of the tool itself (a file it cannot write) carries no status.
        if (const cJSON* status = at(error, "status")) {
            EXPECT_LT(status->valuedouble, 0);
        }
        EXPECT_STRNE(cJSON_GetStringValue(at(error, "description")), "");
        return;
    }
    EXPECT_EQ(error, nullptr) << run.out;
    if (c.expected == nullptr) return;
    const std::string expected = c.expected;
    const std::string key = expected.substr(0, expected.find('='));
    const cJSON* value = at(document.get(), key.c_str());
    ASSERT_NE(value, nullptr) << run.out;
    char* text = cJSON_PrintUnformatted(value);
    EXPECT_EQ(key + "=" + text, expected);
    cJSON_free(text);
}

const std::string kSample = ZY_SAMPLE_BITFILE;

INSTANTIATE_TEST_SUITE_P(
    Ostrel, CommandLine,
    ::testing::Values(
        Case{"Info",
             {"info", "ostrel0"},
             0,
             {"bitfile", "identity", "temperatures", "power", "adapterModule", "qsfpPorts"},
             nullptr},
        Case{"InfoOnABitfile", {"info", "ostrel1", "--image", kSample}, 0, {"bitfile"}, nullptr},
        Case{"InfoUnknownResource", {"info", "nosuch9"}, 1, {}, nullptr},
        Case{"AttrGetEnumByName",
             {"attr", "get", "ostrel0", "reference clock source"},
             0,
             {},
             "value=\"Default\""},
        Case{"AttrGetById",
             {"attr", "get", "ostrel0", "0x10000003"},
             0,
             {},
             "attribute=\"Stream Data Format\""},
        Case{"AttrGetChannel", {"attr", "get", "ostrel0", "AI1", "AIRange"}, 0, {}, "value=2"},
        Case{"AttrSetEnumName",
             {"attr", "set", "ostrel0", "ReferenceClockSource", "pxi_clk10"},
             0,
             {},
             "value=\"PXI_Clk10\""},
        Case{"AttrSetBoolean",
             {"attr", "set", "ostrel0", "AI0-AI3", "AI Channel Enabled", "off"},
             0,
             {},
             "value=false"},
        Case{"AttrSetRefused", {"attr", "set", "ostrel0", "StreamDataFormat", "7"}, 1, {}, nullptr},
        Case{"AttrSetReadOnly", {"attr", "set", "ostrel0", "SerialNumber", "x"}, 2, {}, nullptr},
        Case{"AttrUnknownName", {"attr", "get", "ostrel0", "Bogus"}, 2, {}, nullptr},
        Case{"AttrIdOutOfRange", {"attr", "get", "ostrel0", "0x6000000F"}, 2, {}, nullptr},
        Case{"AttrBadNumber", {"attr", "set", "ostrel0", "AIRange", "two"}, 2, {}, nullptr},
        Case{"AttrInt32Overflow",
             {"attr", "set", "ostrel0", "AINyquistZone", "2147483648"},
             2,
             {},
             nullptr},
        Case{"AttrList", {"attr", "list"}, 0, {"attributes"}, nullptr},
        Case{"AttrTextTooLong",
             {"attr", "set", "ostrel0", "RoutingAlias", std::string(257, 'x')},
             2,
             {},
             nullptr},
        Case{"StreamBadChannel",
             {"stream", "read", "ostrel0", "0", "8", "--channels", "BX9"},
             1,
             {},
             nullptr},
        Case{"CsvOnAFullDisk",
             {"stream", "read", "ostrel0", "0", "8", "--csv", "/dev/full"},
             1,
             {},
             nullptr},
        Case{"PlotInNoFolder",
             {"stream", "read", "ostrel0", "0", "8", "--plot", "/no/such.svg"},
             1,
             {},
             nullptr},
        Case{"StreamNumberTooHigh", {"stream", "read", "ostrel0", "64", "8"}, 2, {}, nullptr},
        Case{"StreamNoSamples", {"stream", "read", "ostrel0", "0", "0"}, 2, {}, nullptr},
        Case{"StreamCsvAndRaw",
             {"stream", "read", "ostrel0", "0", "8", "--csv", "a", "--raw", "b"},
             2,
             {},
             nullptr},
        Case{"I2cSensor",
             {"i2c", "transfer", "ostrel0", "0", "0x48", "2", "0"},
             0,
             {},
             "readHex=\"1A 80\""},
        Case{"I2cNoDevice", {"i2c", "read", "ostrel0", "0", "0x51", "1"}, 1, {}, nullptr},
        Case{"I2cReadTooLong", {"i2c", "read", "ostrel0", "0", "0x50", "256"}, 2, {}, nullptr},
        Case{"I2cByteTooLarge", {"i2c", "write", "ostrel0", "0", "0x50", "0x100"}, 2, {}, nullptr},
        Case{"QsfpPresent", {"qsfp", "present", "ostrel0", "0"}, 0, {}, "modulePresent=true"},
        Case{"QsfpIdentifier", {"qsfp", "read", "ostrel0", "0", "0"}, 0, {}, "readHex=\"11\""},
        Case{"QsfpEmptyPort", {"qsfp", "read", "ostrel0", "1", "0"}, 1, {}, nullptr},
        Case{"QsfpLowPowerWord", {"qsfp", "low-power", "ostrel0", "maybe"}, 2, {}, nullptr},
        Case{"QsfpReadPastTheMap", {"qsfp", "read", "ostrel0", "0", "250", "7"}, 2, {}, nullptr},
        Case{"AttrSetBadChannel",
             {"attr", "set", "ostrel0", "AI0,XY1", "AIRange", "1"},
             1,
             {},
             nullptr},
        Case{"FwInspectUnknownDevice",
             {"fw", "inspect", bundle("good.zip"), "--device", "nokey"},
             1,
             {"problems"},
             nullptr},
        Case{"ErrorZero", {"error", "0"}, 0, {"description"}, "kind=\"success\""},
        Case{"RouteAdd", {"route", "add", "ostrel0", "PFI0", "PXI_Trig0"}, 0, {"routeId"}, nullptr},
        Case{"RouteRemoveUnknown", {"route", "remove", "ostrel0", "99"}, 1, {}, nullptr},
        Case{"DspResetThree",
             {"dsp-reset", "ostrel0", "ostrel1", "ostrel2"},
             0,
             {"resources"},
             "reset=true"},
        Case{"DspResetNoRegisters",
             {"dsp-reset", "ostrel0", "ostrel1", "--index", "3"},
             1,
             {},
             nullptr},
        Case{"DspResetIndexTooHigh", {"dsp-reset", "ostrel0", "--index", "33"}, 2, {}, nullptr},
        Case{"BitfileInspect",
             {"bitfile", "inspect", kSample},
             0,
             {"registers", "fifos"},
             "signature=\"5A0C3F9B17E24D6880A1B2C3D4E5F601\""},
        Case{"BitfileMissing", {"bitfile", "inspect", "/nonexistent/x.bit"}, 1, {}, nullptr},
        Case{"BitfileNotXml", {"bitfile", "inspect", bundle("good.zip")}, 1, {}, nullptr},
        Case{"BitfileDirectory", {"bitfile", "inspect", "/"}, 1, {}, nullptr},
        Case{"FwInspect", {"fw", "inspect", bundle("good.zip")}, 0, {"devices"}, "version=3"},
        Case{"FwInspectUndigested",
             {"fw", "inspect", bundle("undigested.tar")},
             1,
             {"devices", "problems"},
             nullptr},
        Case{"FwInspectNotABundle", {"fw", "inspect", kSample}, 1, {}, nullptr},
        Case{"FwUpdateUnknownKey",
             {"fw", "update", "ostrel2", bundle("good.zip"), "nokey"},
             1,
             {"progressSeen"},
             nullptr},
        Case{"ErrorByName", {"error", "InvalidFirmwareBundle"}, 0, {"description"}, "code=-304431"},
        Case{"ErrorFrench", {"error", "-304431", "--lang", "fr"}, 0, {}, "language=\"French\""},
        Case{"ErrorUnknownLanguage", {"error", "-1", "--lang", "xx"}, 2, {}, nullptr},
        Case{"ErrorNotANumber", {"error", "12abc"}, 2, {}, nullptr},
        Case{"UnknownOption", {"info", "ostrel0", "--colour"}, 2, {}, nullptr},
        Case{"MissingOperand", {"fw", "update", "ostrel0"}, 2, {}, nullptr},
        Case{"UnknownCommand", {"frobnicate"}, 2, {}, nullptr},
        Case{"OptionWithEquals",
             {"stream", "read", "ostrel0", "1", "4", "--channels=AI3"},
             0,
             {"channels"},
             "stream=1"},
        Case{
            "OptionWithoutValue", {"stream", "read", "ostrel0", "0", "8", "--csv"}, 2, {}, nullptr},
        Case{"FlagWithValue", {"fw", "update", "r", "b", "k", "--force=yes"}, 2, {}, nullptr},
        Case{"NumberTooLarge",
             {"i2c", "read", "ostrel0", "99999999999999999999", "0x50", "1"},
             2,
             {},
             nullptr},
        Case{"NegativeUnsigned", {"qsfp", "present", "ostrel0", "-1"}, 2, {}, nullptr},
        Case{"ErrorAfterDoubleDash",
             {"error", "--", "-304433"},
             0,
             {},
             "name=\"FileMissingInFirmwareBundle\""},
        Case{"ErrorCodeTooLarge", {"error", "2147483648"}, 2, {}, nullptr},
        Case{"InfoSimulated", {"info", "ostrelsim0"}, 0, {"adapterModule"}, "simulated=true"}),
    [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.label); });

// ---- Output that needs more than a member or two -------------------------------------------

TEST(Ostrel, StreamSamplesAreTheInstrumentsWaveform) {
    const Json document = documentOf(
        runTool({"stream", "read", "ostrel0", "3", "300", "--channels", "AI0,AI2", "--json"}));
    const cJSON* channels = at(document.get(), "channels");
    ASSERT_EQ(cJSON_GetArraySize(channels), 2);
    for (int row = 0; row < 2; ++row) {
        const cJSON* channel = cJSON_GetArrayItem(channels, row);
        const uint32_t number = row == 0 ? 0 : 2;
        EXPECT_EQ(std::string(cJSON_GetStringValue(at(channel, "name"))),
                  "AI" + std::to_string(number));
        const cJSON* samples = at(channel, "samples");
        ASSERT_EQ(cJSON_GetArraySize(samples), 300);
        for (int n = 0; n < 300; n += 37) {
            EXPECT_DOUBLE_EQ(cJSON_GetArrayItem(samples, n)->valuedouble,
                             zyemu_waveform_f64(number, static_cast<uint64_t>(n)))
                << "sample " << n;
        }
    }
}

TEST(Ostrel, StreamWritesCsvRawAndPlot) {
    const std::string csv = zytest::uniqueTempPath("samples.csv");
    const std::string raw = zytest::uniqueTempPath("samples.raw");
    const std::string svg = zytest::uniqueTempPath("samples.svg");
    ASSERT_EQ(runTool({"stream", "read", "ostrel0", "0", "1000", "--channels", "AI0-AI2", "--csv",
                       csv, "--plot", svg})
                  .exitCode,
              0);
    std::istringstream lines(readAll(csv));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "time_s,AI0,AI1,AI2");
    int rows = 0;
    while (std::getline(lines, line)) ++rows;
    EXPECT_EQ(rows, 1000);
    const std::string plot = readAll(svg);
    EXPECT_EQ(plot.rfind("</svg>\n"), plot.size() - 7);
    std::size_t polylines = 0;
    for (std::size_t at = 0; (at = plot.find("<polyline", at)) != std::string::npos; ++at) {
        ++polylines;
    }
    EXPECT_EQ(polylines, 3u);

    ASSERT_EQ(
        runTool({"stream", "read", "ostrel0", "0", "16", "--channels", "AI0,AI1", "--raw", raw})
            .exitCode,
        0);
    const std::string bytes = readAll(raw);
    ASSERT_EQ(bytes.size(), 16u * 2 * sizeof(int16_t));
    int16_t second = 0;  // channels interleaved: the second value is AI1's first sample
    std::memcpy(&second, bytes.data() + sizeof(int16_t), sizeof second);
    EXPECT_EQ(second, zyemu_waveform_i16(1, 0));
    for (const std::string& path : {csv, raw, svg}) std::remove(path.c_str());
}

// The plot is well-formed SVG with one line per channel through every sample, and a long
// acquisition is reduced to the extremes of each pixel column.
TEST(Ostrel, PlotDrawsEverySampleOrEachColumnsExtremes) {
    const std::string svg = zytest::uniqueTempPath("plot.svg");
    for (const auto& [samples, most] : {std::pair{"50", 50}, std::pair{"100000", 2 * 730}}) {
        ASSERT_EQ(runTool({"stream", "read", "ostrel0", "0", samples, "--channels", "AI0,AI1",
                           "--plot", svg})
                      .exitCode,
                  0);
        std::string text = readAll(svg);
        rapidxml::xml_document<char> document;
        ASSERT_NO_THROW(document.parse<0>(text.data())) << samples;
        const auto* root = document.first_node("svg");
        ASSERT_NE(root, nullptr);
        int lines = 0;
        for (auto* line = root->first_node("polyline"); line != nullptr;
             line = line->next_sibling("polyline"), ++lines) {
            std::istringstream points(line->first_attribute("points")->value());
            int count = 0;
            for (std::string point; points >> point;) ++count;
            if (std::string(samples) == "50") {
                EXPECT_EQ(count, most);
            } else {
                EXPECT_LE(count, most);
                EXPECT_GT(count, most / 2);
            }
        }
        EXPECT_EQ(lines, 2);
    }
    std::remove(svg.c_str());
}

TEST(Ostrel, InspectionsDescribeWhatTheyRead) {
    const Json bitfile = documentOf(runTool({"bitfile", "inspect", kSample, "--json"}));
    const cJSON* registers = at(bitfile.get(), "registers");
    ASSERT_EQ(cJSON_GetArraySize(registers), 6);
    const cJSON* gain = cJSON_GetArrayItem(registers, 3);
    EXPECT_STREQ(cJSON_GetStringValue(at(gain, "name")), "Gain & Offset");
    EXPECT_STREQ(cJSON_GetStringValue(at(gain, "access")), "control");
    EXPECT_STREQ(cJSON_GetStringValue(at(gain, "type")), "FXP<20,-2> unsigned");
    const cJSON* fifos = at(bitfile.get(), "fifos");
    ASSERT_EQ(cJSON_GetArraySize(fifos), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(cJSON_GetArrayItem(fifos, i)->child->next->valueint, i);  // number order
    }
    EXPECT_STREQ(cJSON_GetStringValue(at(cJSON_GetArrayItem(fifos, 3), "type")),
                 "Cluster of 128 bits");

    const Json undigested =
        documentOf(runTool({"fw", "inspect", bundle("undigested.tar"), "--json"}));
    const cJSON* problems = at(undigested.get(), "problems");
    EXPECT_EQ(cJSON_GetArraySize(problems), 3);
    EXPECT_STREQ(cJSON_GetStringValue(cJSON_GetArrayItem(problems, 0)),
                 "ostrel-7976[0]: digest mismatch");
    const Json good = documentOf(runTool({"fw", "inspect", bundle("good.zip"), "--json"}));
    const cJSON* images = at(cJSON_GetArrayItem(at(good.get(), "devices"), 0), "images");
    ASSERT_EQ(cJSON_GetArraySize(images), 3);
    for (const cJSON* image = images->child; image != nullptr; image = image->next) {
        EXPECT_TRUE(cJSON_IsTrue(at(image, "digestVerified"))) << at(image, "name")->valuestring;
        EXPECT_EQ(std::strlen(cJSON_GetStringValue(at(image, "sha256"))), 64u);
    }
}

TEST(Ostrel, FirmwareUpdateShowsProgressUpTo100) {
    // Without a terminal the progress comes as one line per change, the last one at 100.
    const ToolRun run = runTool({"fw", "update", "ostrel0", bundle("good.zip"), "ostrel-7976"},
                                {"ZYEMU_FLASH_WRITE_MS=30"});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("progress 100% (ended)\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("progress 33%\n"), std::string::npos) << run.out;

    const Json document = documentOf(runTool(
        {"fw", "update", "ostrel0", bundle("good.zip"), "ostrel-7976", "--force", "--json"}));
    const cJSON* seen = at(document.get(), "progressSeen");
    ASSERT_GT(cJSON_GetArraySize(seen), 0);
    EXPECT_EQ(cJSON_GetArrayItem(seen, cJSON_GetArraySize(seen) - 1)->valueint, 100);
    EXPECT_TRUE(cJSON_IsTrue(at(document.get(), "ended")));
}

TEST(Ostrel, FailureInTextPrintsTheLibrarysDescription) {
    const ToolRun run = runTool({"fw", "inspect", bundle("undigested.tar")});
    EXPECT_EQ(run.exitCode, 1);
    char description[1024] = {};
    zyOstrel_GetError(0, ZYOSTREL_Status_InvalidFirmwareBundle, sizeof description, description);
    std::string firstLine(description);
    firstLine.erase(firstLine.find('\n') == std::string::npos ? firstLine.size()
                                                              : firstLine.find('\n'));
    ASSERT_FALSE(firstLine.empty());
    EXPECT_NE(run.err.find("error -304431: " + firstLine), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("digest mismatch"), std::string::npos) << run.out;
}

// Without --json the same document comes as indented lines, lists of objects as items.
TEST(Ostrel, TextShowsTheDocumentIndented) {
    const ToolRun run = runTool({"info", "ostrel0"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("\nqsfpPorts:\n  - port: 0\n    modulePresent: yes\n  - port: 1\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\ntemperatures:\n  fpga: 47.5\n"), std::string::npos) << run.out;
}

TEST(Ostrel, OutputThatCannotBeWrittenIsAFailure) {
    const ToolRun run = runProgram("/bin/sh", {"-c", ZY_OSTREL " error -1 >/dev/full"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("the output could not be written"), std::string::npos) << run.err;
}

TEST(Ostrel, EveryCommandHasHelp) {
    const ToolRun list = runTool({"--list-commands"});
    ASSERT_EQ(list.exitCode, 0);
    std::istringstream lines(list.out);
    int commands = 0;
    for (std::string line; std::getline(lines, line); ++commands) {
        const std::string words = line.substr(0, line.find('\t'));
        std::vector<std::string> arguments;
        std::istringstream split(words);
        for (std::string word; split >> word;) arguments.push_back(word);
        arguments.push_back("--help");
        const ToolRun help = runTool(arguments);
        EXPECT_EQ(help.exitCode, 0) << words;
        EXPECT_EQ(help.out.rfind("usage: ostrel " + words + " ", 0), 0u) << help.out;
    }
    EXPECT_GE(commands, 10);
}

// The completion asks the tool for its commands, options and attribute names.
TEST(Ostrel, BashCompletionOffersWhatTheToolKnows) {
    const std::string script =
        "source " ZY_CLI_COMPLETION
        "; complete -p ostrel >/dev/null || exit 9; "
        "for line in 'fw ' 'stream read r 0 8 --c' 'attr get r ReferenceClockS'; do "
        "  read -ra typed <<<\"$line\"; [[ $line == *' ' ]] && typed+=(''); "
        "  COMP_WORDS=(" ZY_OSTREL
        " \"${typed[@]}\"); COMP_CWORD=${#typed[@]}; _ostrel; "
        "  echo \"${COMPREPLY[*]}\"; done";
    const ToolRun run = runProgram("/bin/bash", {"-c", script});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "inspect update\n--channels --csv\nReferenceClockSource\n") << run.err;
}

}  // namespace
