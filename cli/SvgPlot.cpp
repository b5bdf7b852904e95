#include "SvgPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ostrel {
namespace {

constexpr double kWidth = 960;
constexpr double kHeight = 480;
constexpr double kLeft = 80;
constexpr double kRight = 150;  // room for the legend
constexpr double kTop = 50;
constexpr double kBottom = 60;
constexpr double kPlotWidth = kWidth - kLeft - kRight;
constexpr double kPlotHeight = kHeight - kTop - kBottom;
const char* const kColours[] = {"#1f77b4", "#d62728", "#2ca02c", "#ff7f0e",
                                "#9467bd", "#8c564b", "#e377c2", "#17becf"};

std::string format(const char* pattern, double a, double b = 0, double c = 0, double d = 0) {
    char text[512];
    std::snprintf(text, sizeof text, pattern, a, b, c, d);
    return text;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// A tick spacing of 1, 2 or 5 times a power of ten giving five to eight ticks over span.
double tickStep(double span) {
    const double rough = span / 8;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough) return factor * power;
    }
    return 10 * power;
}

struct Axis {
    double low;
    double high;
    double pixel(double value, double origin, double length, bool upward) const {
        const double fraction = (value - low) / (high - low);
        return upward ? origin + length - fraction * length : origin + fraction * length;
    }
};

struct TimeUnit {
    const char* name;
    double scale;
};

TimeUnit timeUnitFor(double seconds) {
    if (seconds >= 1) return {"s", 1};
    if (seconds >= 1e-3) return {"ms", 1e3};
    if (seconds >= 1e-6) return {"\xC2\xB5s", 1e6};
    return {"ns", 1e9};
}

Axis valueAxis(const std::vector<PlotSeries>& series) {
    double low = INFINITY;
    double high = -INFINITY;
    for (const PlotSeries& one : series) {
        for (const double value : one.values) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
    }
    if (!(low < high)) {
        const double middle = std::isfinite(low) ? low : 0;
        return {middle - 1, middle + 1};
    }
    const double margin = (high - low) * 0.05;
    return {low - margin, high + margin};
}

// Points of one series; past two samples per pixel column only each column's extremes.
std::string polylinePoints(const std::vector<double>& values, const Axis& x, const Axis& y,
                           double sampleInterval) {
    std::string points;
    auto add = [&](double index, double value) {
        points += format("%.1f,%.1f ", x.pixel(index * sampleInterval, kLeft, kPlotWidth, false),
                         y.pixel(value, kTop, kPlotHeight, true));
    };
    const std::size_t count = values.size();
    const auto columns = static_cast<std::size_t>(kPlotWidth);
    if (count <= 2 * columns) {
        for (std::size_t i = 0; i < count; ++i) add(static_cast<double>(i), values[i]);
        return points;
    }
    for (std::size_t column = 0; column < columns; ++column) {
        const std::size_t begin = column * count / columns;
        const std::size_t end = (column + 1) * count / columns;
        const auto [lowest, highest] =
            std::minmax_element(values.begin() + begin, values.begin() + end);
        const auto first = std::min(lowest, highest);
        const auto second = std::max(lowest, highest);
        add(static_cast<double>(first - values.begin()), *first);
        add(static_cast<double>(second - values.begin()), *second);
    }
    return points;
}

std::string axes(const Axis& x, const Axis& y, const TimeUnit& unit, const PlotLabels& labels) {
    std::string svg = format(
        "<rect x=\"%.0f\" y=\"%.0f\" width=\"%.0f\" height=\"%.0f\" fill=\"none\" "
        "stroke=\"#444\"/>\n",
        kLeft, kTop, kPlotWidth, kPlotHeight);
    const double xStep = tickStep(x.high - x.low);
    for (double t = std::ceil(x.low / xStep) * xStep; t <= x.high + xStep * 1e-9; t += xStep) {
        const double px = x.pixel(t, kLeft, kPlotWidth, false);
        svg += format("<line x1=\"%.1f\" y1=\"%.0f\" x2=\"%.1f\" y2=\"%.0f\" stroke=\"#ddd\"/>\n",
                      px, kTop, px, kTop + kPlotHeight);
        svg += format("<text x=\"%.1f\" y=\"%.0f\" text-anchor=\"middle\">%g</text>\n", px,
                      kTop + kPlotHeight + 18, t * unit.scale);
    }
    const double yStep = tickStep(y.high - y.low);
    for (double v = std::ceil(y.low / yStep) * yStep; v <= y.high + yStep * 1e-9; v += yStep) {
        const double py = y.pixel(v, kTop, kPlotHeight, true);
        svg += format("<line x1=\"%.0f\" y1=\"%.1f\" x2=\"%.0f\" y2=\"%.1f\" stroke=\"#ddd\"/>\n",
                      kLeft, py, kLeft + kPlotWidth, py);
        svg += format("<text x=\"%.0f\" y=\"%.1f\" text-anchor=\"end\">%g</text>\n", kLeft - 6,
                      py + 4, std::fabs(v) < yStep * 1e-9 ? 0.0 : v);
    }
    svg += format("<text x=\"%.0f\" y=\"%.0f\" text-anchor=\"middle\">", kLeft + kPlotWidth / 2,
                  kHeight - 18) +
           "time (" + unit.name + ")</text>\n";
    svg += format("<text transform=\"translate(20,%.0f) rotate(-90)\" text-anchor=\"middle\">",
                  kTop + kPlotHeight / 2) +
           "value (" + escaped(labels.valueUnit) + ")</text>\n";
    svg += format("<text x=\"%.0f\" y=\"30\" text-anchor=\"middle\" font-size=\"16\">",
                  kLeft + kPlotWidth / 2) +
           escaped(labels.title) + "</text>\n";
    return svg;
}

}  // namespace

std::string svgPlot(const std::vector<PlotSeries>& series, double sampleInterval,
                    const PlotLabels& labels) {
    std::size_t longest = 1;
    for (const PlotSeries& one : series) longest = std::max(longest, one.values.size());
    const double duration = static_cast<double>(longest > 1 ? longest - 1 : 1) * sampleInterval;
    const Axis x{0, duration > 0 ? duration : 1};
    const Axis y = valueAxis(series);
    const TimeUnit unit = timeUnitFor(x.high);

    std::string svg = format(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
        "viewBox=\"0 0 %.0f %.0f\" font-family=\"sans-serif\" font-size=\"12\">\n",
        kWidth, kHeight, kWidth, kHeight);
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    svg += axes(x, y, unit, labels);
    for (std::size_t i = 0; i < series.size(); ++i) {
        const char* colour = kColours[i % (sizeof kColours / sizeof kColours[0])];
        svg += std::string("<polyline fill=\"none\" stroke-width=\"1.2\" stroke=\"") + colour +
               "\" points=\"" + polylinePoints(series[i].values, x, y, sampleInterval) + "\"/>\n";
        const double legendY = kTop + 10 + 20 * static_cast<double>(i);
        svg += format("<line x1=\"%.0f\" y1=\"%.0f\" x2=\"%.0f\" y2=\"%.0f\" stroke-width=\"3\" ",
                      kLeft + kPlotWidth + 15, legendY, kLeft + kPlotWidth + 40, legendY) +
               "stroke=\"" + colour + "\"/>\n";
        svg += format("<text x=\"%.0f\" y=\"%.0f\">", kLeft + kPlotWidth + 46, legendY + 4) +
               escaped(series[i].name) + "</text>\n";
    }
    return svg + "</svg>\n";
}

}  // namespace ostrel
