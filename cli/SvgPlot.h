// A line plot of sampled channels against time, as a standalone SVG document.
#pragma once

#include <string>
#include <vector>

namespace ostrel {

struct PlotSeries {
    std::string name;
    std::vector<double> values;  // sample n at time n * sampleInterval
};

struct PlotLabels {
    std::string title;
    std::string valueUnit;  // "V", "counts"
};

// The SVG text. Long series are reduced to the minimum and maximum per pixel column, so
// the document stays small and still shows every peak.
std::string svgPlot(const std::vector<PlotSeries>& series, double sampleInterval,
                    const PlotLabels& labels);

}  // namespace ostrel
