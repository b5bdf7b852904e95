// stream read: a finite acquisition of N samples per channel, kept as CSV, raw 16-bit data or
// an SVG plot, summarised per channel.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Commands.h"
#include "Context.h"
#include "Files.h"
#include "SvgPlot.h"
#include "zyostrelapi.h"

namespace ostrel::commands {
namespace {

// Bounds the memory a read takes: 16 Mi samples over all channels.
constexpr uint64_t kMostSamples = 16u * 1024u * 1024u;
// Samples per channel listed in the JSON document when no file takes them.
constexpr std::size_t kMostListedSamples = 4096;

struct Acquisition {
    std::vector<PlotSeries> channels;  // one per enabled channel, in channel order
    double sampleInterval = 0;
};

// Names of the enabled channels, from the stream's channel mask (bit n is AIn).
std::vector<std::string> enabledChannels(Session& session, const std::string& stream) {
    uint64_t mask = 0;
    session.check(zyOstrel_GetAttributeUInt64(session.handle(), stream.c_str(),
                                              ZYOSTREL_Attr_StreamChannelsEnabled, &mask),
                  "get Stream Channels Enabled");
    std::vector<std::string> names;
    for (unsigned bit = 0; bit < 64; ++bit) {
        if (mask & (uint64_t{1} << bit)) names.push_back("AI" + std::to_string(bit));
    }
    return names;
}

void readRaw(Session& session, uint32_t stream, uint64_t perChannel, Acquisition& data,
             const char* rawPath) {
    const std::size_t count = data.channels.size();
    std::vector<int16_t> samples(count * perChannel);
    zyOstrel_ReadInfo info{};
    session.check(
        zyOstrel_ReadStreamI16(session.handle(), stream, 0, samples.size(), samples.data(), &info),
        "read stream");
    // The device delivers the channels interleaved; the file keeps them so.
    writeFile(rawPath, samples.data(), samples.size() * sizeof(int16_t));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        data.channels[i % count].values.push_back(samples[i]);
    }
}

void readValues(Session& session, uint32_t stream, uint64_t perChannel, Acquisition& data) {
    const std::size_t count = data.channels.size();
    std::vector<double> rows(count * perChannel);
    std::vector<zyOstrel_ReadInfo> info(count);
    session.check(zyOstrel_ReadStream2DF64(session.handle(), stream, 0, count, perChannel,
                                           rows.data(), info.data()),
                  "read stream");
    for (std::size_t c = 0; c < count; ++c) {
        const auto begin = rows.begin() + static_cast<std::ptrdiff_t>(c * perChannel);
        data.channels[c].values.assign(begin, begin + static_cast<std::ptrdiff_t>(perChannel));
    }
}

// Stops a started stream that a failure leaves behind; the normal path clears it itself.
class StartedStream {
public:
    StartedStream(uint32_t session, uint32_t stream) : session_(session), stream_(stream) {}
    ~StartedStream() {
        if (running_) zyOstrel_ClearStream(session_, stream_);
    }
    StartedStream(const StartedStream&) = delete;
    StartedStream& operator=(const StartedStream&) = delete;
    void cleared() noexcept { running_ = false; }

private:
    uint32_t session_;
    uint32_t stream_;
    bool running_ = true;
};

Acquisition acquire(Session& session, uint32_t stream, uint64_t perChannel,
                    const std::string& channelList, const char* rawPath) {
    const uint32_t handle = session.handle();
    const std::string streamName = std::to_string(stream);
    uint32_t enabled = 0;
    session.check(
        zyOstrel_ConfigureStreamEnabledChannels(handle, stream, channelList.c_str(), &enabled),
        "enable channels " + channelList);
    if (enabled * perChannel > kMostSamples) {
        throw UsageError("at most " + std::to_string(kMostSamples) + " samples over all channels");
    }
    session.check(zyOstrel_ConfigureStreamFinite(handle, stream, perChannel),
                  "configure the stream");
    Acquisition data;
    for (const std::string& name : enabledChannels(session, streamName)) {
        data.channels.push_back({name, {}});
    }
    if (data.channels.empty()) throw UsageError("no channel is enabled");
    session.check(
        zyOstrel_GetAttributeDouble(handle, "", ZYOSTREL_Attr_SampleDt, &data.sampleInterval),
        "get Sample dt");
    session.check(zyOstrel_StartStream(handle, stream), "start the stream");
    StartedStream started(handle, stream);
    uint64_t available = 0;
    uint8_t state = 0;
    session.check(zyOstrel_WaitForTransfer(handle, stream, data.channels.size() * perChannel, 0,
                                           &available, &state),
                  "wait for the samples");
    if (rawPath != nullptr) {
        readRaw(session, stream, perChannel, data, rawPath);
    } else {
        readValues(session, stream, perChannel, data);
    }
    started.cleared();
    session.check(zyOstrel_ClearStream(handle, stream), "clear the stream");
    return data;
}

// Written row by row: the text of a long acquisition is several times the samples' size.
void writeCsv(const std::string& path, const Acquisition& data) {
    OutputFile file(path);
    std::string row = "time_s";
    for (const PlotSeries& channel : data.channels) row += "," + channel.name;
    file.write(row + "\n");
    char field[48];
    const std::size_t count = data.channels.front().values.size();
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(field, sizeof field, "%.9g", static_cast<double>(i) * data.sampleInterval);
        row = field;
        for (const PlotSeries& channel : data.channels) {
            std::snprintf(field, sizeof field, ",%.9g", channel.values[i]);
            row += field;
        }
        file.write(row + "\n");
    }
    file.close();
}

void summarise(cJSON* channelJson, const std::vector<double>& values, bool listSamples) {
    const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
    double sum = 0;
    double squares = 0;
    for (const double value : values) {
        sum += value;
        squares += value * value;
    }
    const double count = static_cast<double>(values.size());
    addNumber(channelJson, "minimum", *lowest);
    addNumber(channelJson, "maximum", *highest);
    addNumber(channelJson, "mean", sum / count);
    addNumber(channelJson, "rms", std::sqrt(squares / count));
    if (!listSamples) return;
    cJSON* samples = addArray(channelJson, "samples");
    for (const double value : values) appendNumber(samples, value);
}

void runRead(Context& context, const Arguments& arguments) {
    const std::string& resource = arguments.operands[0];
    const auto stream = static_cast<uint32_t>(
        parseUnsigned(arguments.operands[1], "stream", ZYOSTREL_MAX_STREAM_NUMBER));
    const uint64_t perChannel = parseUnsigned(arguments.operands[2], "N", kMostSamples);
    if (perChannel == 0) throw UsageError("N must be at least 1");
    const char* csvPath = arguments.value("--csv");
    const char* rawPath = arguments.value("--raw");
    const char* plotPath = arguments.value("--plot");
    if (csvPath != nullptr && rawPath != nullptr) throw UsageError("--csv or --raw, not both");
    const std::string channels = arguments.value("--channels", "AI0");

    cJSON* out = context.result();
    addString(out, "resource", resource);
    addNumber(out, "stream", stream);
    addNumber(out, "samplesPerChannel", static_cast<double>(perChannel));
    Session session(context, resource);
    const Acquisition data = acquire(session, stream, perChannel, channels, rawPath);
    session.close();

    addNumber(out, "sampleInterval", data.sampleInterval);
    // A raw file takes 16-bit counts rather than floating-point values.
    const char* unit = rawPath != nullptr ? "counts" : "V";
    addString(out, "unit", unit);
    const bool listSamples = context.json() && csvPath == nullptr && rawPath == nullptr &&
                             perChannel <= kMostListedSamples;
    cJSON* channelList = addArray(out, "channels");
    for (const PlotSeries& channel : data.channels) {
        cJSON* entry = appendObject(channelList);
        addString(entry, "name", channel.name);
        summarise(entry, channel.values, listSamples);
    }
    cJSON* files = addObject(out, "files");
    if (rawPath != nullptr) addString(files, "raw", rawPath);
    if (csvPath != nullptr) {
        writeCsv(csvPath, data);
        addString(files, "csv", csvPath);
    }
    if (plotPath != nullptr) {
        const double interval = data.sampleInterval > 0 ? data.sampleInterval : 1;
        const std::string svg = svgPlot(data.channels, interval,
                                        {resource + " stream " + std::to_string(stream) + ": " +
                                             std::to_string(perChannel) + " samples per channel",
                                         unit});
        writeFile(plotPath, svg.data(), svg.size());
        addString(files, "plot", plotPath);
    }
}

}  // namespace

std::vector<Command> streams() {
    return {
        {"stream read",
         "RESOURCE STREAM N",
         "Acquires N samples per channel on STREAM (0-63) and prints each channel's minimum, "
         "maximum, mean and RMS. The samples go to a CSV file (a time column, then one "
         "column per channel), or as the instrument delivers them (16-bit, channels "
         "interleaved) to a raw file, and can be plotted against time into an SVG file. With "
         "--json and no file, the document lists the samples (up to 4096 per channel).",
         3,
         3,
         {{"--channels", "LIST", "channels to acquire, such as AI0,AI2 or AI0-AI3 (AI0)"},
          {"--csv", "FILE", "write the samples as CSV"},
          {"--raw", "FILE", "read 16-bit samples and write them unconverted"},
          {"--plot", "FILE.svg", "draw each channel against time"}},
         runRead},
    };
}

}  // namespace ostrel::commands
