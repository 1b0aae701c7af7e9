#include "report/trend_exports.h"

#include "report/statistics.h"
#include "report/text_format.h"

#include <algorithm>
#include <cmath>

namespace {

const double kWidth = 800.0;
const double kPanelHeight = 320.0;
const double kLeft = 70.0;
const double kRight = 20.0;
const double kTop = 56.0;     // the panel's title and the changes' labels
const double kBottom = 44.0;  // the build numbers and the axis's name

std::string Px(double value)
{
    return FormatFixed(value, 1);
}

// Round ticks that cover [low, high]: steps of 1, 2 or 5 times a power of
// ten, about five of them.
std::vector<double> Ticks(double low, double high)
{
    const double raw = (high - low) / 5.0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (double factor : {2.0, 5.0, 10.0})
        if (step < raw)
            step = power * factor;
    std::vector<double> ticks;
    for (double tick = std::floor(low / step) * step; tick <= high + step * 1e-9; tick += step)
        ticks.push_back(tick);
    return ticks;
}

struct Axis {
    double low = 0.0;
    double high = 1.0;
    double top = 0.0;     // pixel of `high`
    double bottom = 0.0;  // pixel of `low`
    double Y(double seconds) const
    {
        const double clamped = std::min(std::max(seconds, low), high);
        return bottom - (clamped - low) / (high - low) * (bottom - top);
    }
};

// The axis covers every measured launch; failed ones (a 50 s time-out)
// would squeeze the rest into a line, so a cross beyond it sits on its
// edge and its tooltip tells the time.
Axis MakeAxis(const TrendSeries& series, double top, double bottom)
{
    double low = 0.0;
    double high = 0.0;
    bool any = false;
    for (const TrendBuild& build : series.builds) {
        const RunAnalysis& analysis = *build.analysis;
        for (size_t i = 0; i < analysis.seconds.size(); ++i) {
            if (!IsMeasured(analysis, i))
                continue;
            low = any ? std::min(low, analysis.seconds[i]) : analysis.seconds[i];
            high = any ? std::max(high, analysis.seconds[i]) : analysis.seconds[i];
            any = true;
        }
    }
    if (!any || high <= low) {
        low = any ? low * 0.9 : 0.0;
        high = any ? high * 1.1 + 1e-4 : 1.0;
    }
    const double margin = (high - low) * 0.05;
    Axis axis;
    const std::vector<double> ticks = Ticks(std::max(0.0, low - margin), high + margin);
    axis.low = ticks.front();
    axis.high = ticks.back();
    axis.top = top;
    axis.bottom = bottom;
    return axis;
}

std::string Panel(const TrendSeries& series, double offset)
{
    const double plotTop = offset + kTop;
    const double plotBottom = offset + kPanelHeight - kBottom;
    const double plotWidth = kWidth - kLeft - kRight;
    const Axis axis = MakeAxis(series, plotTop, plotBottom);
    const size_t n = std::max<size_t>(series.builds.size(), 1);
    const double slot = plotWidth / static_cast<double>(n);
    auto x = [&](double build) { return kLeft + build * slot; };
    std::string svg;
    std::string title = series.programName;
    if (!series.machine.empty())
        title += " on " + series.machine;
    svg += "<text class=\"title\" x=\"" + Px(kLeft) + "\" y=\"" + Px(offset + 20) + "\">" +
           EscapeXml(ToUtf8(title)) + ": " + std::to_string(series.builds.size()) +
           " builds</text>\n";
    svg += "<rect class=\"axes\" x=\"" + Px(kLeft) + "\" y=\"" + Px(plotTop) + "\" width=\"" +
           Px(plotWidth) + "\" height=\"" + Px(plotBottom - plotTop) + "\"/>\n";
    for (double tick : Ticks(axis.low, axis.high)) {
        const double y = axis.Y(tick);
        svg += "<line class=\"grid\" x1=\"" + Px(kLeft) + "\" x2=\"" + Px(kLeft + plotWidth) +
               "\" y1=\"" + Px(y) + "\" y2=\"" + Px(y) + "\"/><text class=\"tick\" x=\"" +
               Px(kLeft - 6) + "\" y=\"" + Px(y + 4) + "\">" + FormatShortest(tick) + "</text>\n";
    }
    svg += "<text class=\"axis-label\" x=\"" + Px(kLeft + plotWidth / 2) + "\" y=\"" +
           Px(plotBottom + 34) + "\">build (start-up time in seconds)</text>\n";
    const size_t labelEvery = std::max<size_t>(1, (n + 19) / 20);
    const double boxWidth = std::min(14.0, slot * 0.6);
    for (size_t b = 0; b < series.builds.size(); ++b) {
        const RunAnalysis& analysis = *series.builds[b].analysis;
        const double centre = x(static_cast<double>(b) + 0.5);
        if (b % labelEvery == 0)
            svg += "<text class=\"build\" x=\"" + Px(centre) + "\" y=\"" + Px(plotBottom + 16) +
                   "\">" + std::to_string(b + 1) + "</text>\n";
        svg += "<g class=\"build\"><title>" + EscapeXml(ToUtf8(series.builds[b].label)) +
               ": median " + FormatFixed(series.builds[b].median, 4) + " s</title>";
        if (analysis.summary)
            svg += "<rect class=\"box\" x=\"" + Px(centre - boxWidth / 2) + "\" y=\"" +
                   Px(axis.Y(analysis.summary->p75)) + "\" width=\"" + Px(boxWidth) +
                   "\" height=\"" + Px(axis.Y(analysis.summary->p25) - axis.Y(analysis.summary->p75)) +
                   "\"/>";
        svg += "<line class=\"median\" x1=\"" + Px(centre - boxWidth / 2) + "\" x2=\"" +
               Px(centre + boxWidth / 2) + "\" y1=\"" + Px(axis.Y(series.builds[b].median)) +
               "\" y2=\"" + Px(axis.Y(series.builds[b].median)) + "\"/>";
        for (size_t i = 0; i < analysis.seconds.size(); ++i) {
            // Spread across the box by the launch's number, the same every time.
            const double dx = (static_cast<double>(i % 5) - 2.0) * boxWidth / 6.0;
            const double y = axis.Y(analysis.seconds[i]);
            const std::string tip = "<title>launch " + std::to_string(i + 1) + ": " +
                                    FormatFixed(analysis.seconds[i], 4) + " s</title>";
            if (analysis.failed[i])
                svg += "<path class=\"failed\" d=\"M" + Px(centre + dx - 3) + " " + Px(y - 3) +
                       "l6 6m0 -6l-6 6\">" + tip + "</path>";
            else
                svg += "<circle class=\"launch\" cx=\"" + Px(centre + dx) + "\" cy=\"" + Px(y) +
                       "\" r=\"1.6\">" + tip + "</circle>";
        }
        svg += "</g>\n";
    }
    std::string steps;
    for (size_t level = 0; level < series.levelStarts.size(); ++level) {
        const size_t first = series.levelStarts[level];
        const size_t last = level + 1 < series.levelStarts.size() ? series.levelStarts[level + 1]
                                                                  : series.builds.size();
        const double y = axis.Y(series.levels[level]);
        steps += (steps.empty() ? "M" : "L") + Px(x(static_cast<double>(first))) + " " + Px(y) +
                 "L" + Px(x(static_cast<double>(last))) + " " + Px(y);
    }
    if (!steps.empty())
        svg += "<path class=\"level\" d=\"" + steps + "\"/>\n";
    for (size_t c = 0; c < series.changes.size(); ++c) {
        const TrendChange& change = series.changes[c];
        const double cx = x(static_cast<double>(change.build));
        // Alternate rows, so that the labels of changes close together
        // do not print over each other.
        const double labelY = plotTop - 6 - (c % 2 == 0 ? 0.0 : 14.0);
        svg += "<g class=\"change\"><line x1=\"" + Px(cx) + "\" x2=\"" + Px(cx) + "\" y1=\"" +
               Px(plotTop) + "\" y2=\"" + Px(plotBottom) + "\"/><text x=\"" + Px(cx) + "\" y=\"" +
               Px(labelY) + "\">" + FormatFixed(change.ratio, 2) + " x, builds " +
               std::to_string(change.build) + " to " + std::to_string(change.build + 1) + " (" +
               kTrendChangeStatusNames[change.status] + ")</text></g>\n";
    }
    return svg;
}

}  // namespace

std::string ExportTrendSvg(const std::vector<TrendSeries>& all)
{
    const double height = kPanelHeight * static_cast<double>(std::max<size_t>(all.size(), 1));
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Px(kWidth) + "\" height=\"" +
        Px(height) + "\" viewBox=\"0 0 " + Px(kWidth) + " " + Px(height) +
        "\" font-family=\"sans-serif\" font-size=\"11\">\n"
        "<style>.title{font-weight:bold;font-size:13px}.axes{fill:none;stroke:#888}"
        ".grid{stroke:#eee}.tick{text-anchor:end;fill:#555}.build{text-anchor:middle;fill:#555}"
        ".axis-label{text-anchor:middle;fill:#333}.box{fill:#dbe8f5;stroke:#4a7ab5}"
        ".median{stroke:#1d4f91;stroke-width:2}.launch{fill:#1d4f91;fill-opacity:0.25}"
        ".failed{stroke:#c0392b;stroke-width:1.2;fill:none}"
        ".level{fill:none;stroke:#e67e22;stroke-width:2}"
        ".change line{stroke:#c0392b;stroke-dasharray:4 3}"
        ".change text{fill:#c0392b;text-anchor:middle}</style>\n"
        "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    for (size_t s = 0; s < all.size(); ++s)
        svg += Panel(all[s], kPanelHeight * static_cast<double>(s));
    return svg + "</svg>\n";
}
