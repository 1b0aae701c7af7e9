#include "report/exports.h"

#include "report/text_format.h"

#include <algorithm>
#include <cmath>

namespace {

const double kWidth = 800.0;
const double kPlotLeft = 250.0;
const double kPlotRight = kWidth - 30.0;
const double kTop = 44.0;
const double kRowHeight = 46.0;
const double kDotRadius = 2.6;

struct Axis {
    double low = 0.0;
    double high = 1.0;
    double step = 0.2;
    int decimals = 1;

    double X(double seconds) const
    {
        return kPlotLeft + (seconds - low) / (high - low) * (kPlotRight - kPlotLeft);
    }
};

// Ticks at 1, 2 or 5 times a power of ten, about five of them, the axis
// ending on ticks just outside the data. Failed launches are not drawn: a
// search that gave up after 50 s would squeeze every start-up into a corner.
Axis ChooseAxis(const std::vector<RunAnalysis>& runs)
{
    bool any = false;
    double low = 0.0;
    double high = 0.0;
    for (const RunAnalysis& run : runs) {
        for (size_t i = 0; i < run.seconds.size(); ++i) {
            if (!IsMeasured(run, i))
                continue;
            double seconds = run.seconds[i];
            low = any ? std::min(low, seconds) : seconds;
            high = any ? std::max(high, seconds) : seconds;
            any = true;
        }
    }
    if (!any)
        high = 1.0;
    if (high - low < 1e-4) {
        double pad = std::max(0.1 * std::fabs(low), 0.001);
        low -= pad;
        high += pad;
    }
    Axis axis;
    double raw = (high - low) / 5.0;
    double power = std::pow(10.0, std::floor(std::log10(raw)));
    double mantissa = raw / power;
    double nice = mantissa <= 1.0 ? 1.0 : mantissa <= 2.0 ? 2.0 : mantissa <= 5.0 ? 5.0 : 10.0;
    axis.step = nice * power;
    axis.low = std::floor(low / axis.step) * axis.step;
    if (low >= 0.0)
        axis.low = std::max(axis.low, 0.0);
    axis.high = std::ceil(high / axis.step) * axis.step;
    if (axis.high <= axis.low)
        axis.high = axis.low + axis.step;
    axis.decimals = std::max(0, -static_cast<int>(std::floor(std::log10(axis.step) + 1e-9)));
    return axis;
}

std::string N(double value)
{
    return FormatFixed(value, 1);
}

// Spreads the dots of a row vertically in a fixed pattern (the fractional
// parts of multiples of the golden ratio), so that equal times stay visible
// and the chart comes out the same every time.
double Jitter(size_t index)
{
    double spread = static_cast<double>(index) * 0.6180339887498949;
    return spread - std::floor(spread) - 0.5;
}

// The end of a path, which tells builds apart better than its start;
// counted in code points and cut only between them.
std::string PathTail(const std::string& path, size_t limit)
{
    size_t points = 0;
    size_t keptFrom = path.size();
    for (size_t i = path.size(); i-- > 0;) {
        if ((static_cast<unsigned char>(path[i]) & 0xC0) == 0x80)
            continue;
        if (++points > limit)
            return "…" + path.substr(keptFrom);
        keptFrom = i;
    }
    return path;
}

std::string RunRow(const RunAnalysis& analysis, const Axis& axis, size_t row)
{
    const Run& run = *analysis.run;
    double top = kTop + static_cast<double>(row) * kRowHeight;
    double middle = top + kRowHeight / 2.0;
    std::string application = ToUtf8(run.application);
    std::string out = "<text x=\"" + N(kPlotLeft - 12) + "\" y=\"" + N(middle - 3) +
           "\" text-anchor=\"end\"><title>" + EscapeXml(application) +
           "</title><tspan font-weight=\"bold\">Run " + std::to_string(analysis.number) +
           "</tspan>: " + EscapeXml(PathTail(application, 28)) + "</text>\n";
    std::string detail = std::to_string(run.launches.size()) + " of " +
                         std::to_string(run.announced) + " launches";
    if (analysis.failedLaunches > 0)
        detail += ", " + std::to_string(analysis.failedLaunches) + " failed";
    if (analysis.summary)
        detail += ", median " + FormatFixed(analysis.summary->median, 4) + " s";
    out += "<text x=\"" + N(kPlotLeft - 12) + "\" y=\"" + N(middle + 12) +
           "\" text-anchor=\"end\" font-size=\"10\" fill=\"#555\">" + EscapeXml(detail) +
           "</text>\n";
    if (!analysis.summary) {
        bool allFailed = !analysis.failedCounted && !analysis.seconds.empty() &&
                         analysis.failedLaunches == analysis.seconds.size();
        out += "<text x=\"" + N(kPlotLeft + 8) + "\" y=\"" + N(middle + 4) + "\" fill=\"#888\">" +
               (allFailed ? "every launch failed" : "no launches") + "</text>\n";
        return out;
    }
    const Summary& summary = *analysis.summary;
    out += "<rect x=\"" + N(axis.X(summary.p25)) + "\" y=\"" + N(middle - 12) + "\" width=\"" +
           N(std::max(axis.X(summary.p75) - axis.X(summary.p25), 0.5)) +
           "\" height=\"24\" fill=\"#dbe7f3\" stroke=\"#7d9cbf\"/>\n";
    out += "<line x1=\"" + N(axis.X(summary.median)) + "\" y1=\"" + N(middle - 16) + "\" x2=\"" +
           N(axis.X(summary.median)) + "\" y2=\"" + N(middle + 16) +
           "\" stroke=\"#1d3557\" stroke-width=\"2.5\"/>\n";
    std::vector<bool> outlier(analysis.seconds.size(), false);
    for (size_t index : analysis.outliers)
        outlier[index] = true;
    for (size_t i = 0; i < analysis.seconds.size(); ++i) {
        if (!IsMeasured(analysis, i))
            continue;
        double seconds = analysis.seconds[i];
        std::string look = outlier[i] ? "fill=\"#d1495b\"" : "fill=\"#2a6fb0\"";
        if (i == 0 && analysis.warm)
            look = outlier[i] ? "fill=\"none\" stroke=\"#d1495b\" stroke-width=\"1.5\""
                              : "fill=\"none\" stroke=\"#1d3557\" stroke-width=\"1.5\"";
        out += "<circle cx=\"" + N(axis.X(seconds)) + "\" cy=\"" +
               N(middle + Jitter(i) * 22.0) + "\" r=\"" + N(kDotRadius) + "\" " + look +
               " fill-opacity=\"0.7\"><title>launch " + std::to_string(i + 1) + ": " +
               FormatFixed(seconds, 4) + " s</title></circle>\n";
    }
    return out;
}

// Every other row shaded, drawn first so that the grid shows through.
std::string RowShading(size_t rows)
{
    std::string out;
    for (size_t row = 0; row < rows; row += 2)
        out += "<rect x=\"0\" y=\"" + N(kTop + static_cast<double>(row) * kRowHeight) +
               "\" width=\"" + N(kWidth) + "\" height=\"" + N(kRowHeight) +
               "\" fill=\"#f4f6f8\"/>\n";
    return out;
}

std::string AxisAndGrid(const Axis& axis, double bottom)
{
    std::string out;
    int ticks = static_cast<int>(std::lround((axis.high - axis.low) / axis.step));
    for (int i = 0; i <= ticks; ++i) {
        double value = axis.low + i * axis.step;
        std::string x = N(axis.X(value));
        out += "<line x1=\"" + x + "\" y1=\"" + N(kTop) + "\" x2=\"" + x + "\" y2=\"" +
               N(bottom + 5) + "\" stroke=\"#d0d4d9\" stroke-width=\"1\"/>\n";
        out += "<text x=\"" + x + "\" y=\"" + N(bottom + 18) + "\" text-anchor=\"middle\">" +
               FormatFixed(value, axis.decimals) + "</text>\n";
    }
    out += "<line x1=\"" + N(kPlotLeft) + "\" y1=\"" + N(bottom) + "\" x2=\"" + N(kPlotRight) +
           "\" y2=\"" + N(bottom) + "\" stroke=\"#333\" stroke-width=\"1\"/>\n";
    out += "<text x=\"" + N((kPlotLeft + kPlotRight) / 2) + "\" y=\"" + N(bottom + 34) +
           "\" text-anchor=\"middle\">start-up time (seconds)</text>\n";
    return out;
}

std::string Legend(double y)
{
    std::string Y = N(y);
    std::string out;
    out += "<circle cx=\"" + N(kPlotLeft) + "\" cy=\"" + Y + "\" r=\"" + N(kDotRadius) +
           "\" fill=\"#2a6fb0\" fill-opacity=\"0.7\"/>\n";
    out += "<text x=\"" + N(kPlotLeft + 8) + "\" y=\"" + N(y + 4) + "\">launch</text>\n";
    out += "<circle cx=\"" + N(kPlotLeft + 70) + "\" cy=\"" + Y + "\" r=\"" + N(kDotRadius) +
           "\" fill=\"none\" stroke=\"#1d3557\" stroke-width=\"1.5\"/>\n";
    out += "<text x=\"" + N(kPlotLeft + 78) + "\" y=\"" + N(y + 4) + "\">first (cold)</text>\n";
    out += "<circle cx=\"" + N(kPlotLeft + 170) + "\" cy=\"" + Y + "\" r=\"" + N(kDotRadius) +
           "\" fill=\"#d1495b\" fill-opacity=\"0.7\"/>\n";
    out += "<text x=\"" + N(kPlotLeft + 178) + "\" y=\"" + N(y + 4) + "\">outlier</text>\n";
    out += "<line x1=\"" + N(kPlotLeft + 245) + "\" y1=\"" + N(y - 7) + "\" x2=\"" +
           N(kPlotLeft + 245) + "\" y2=\"" + N(y + 7) +
           "\" stroke=\"#1d3557\" stroke-width=\"2.5\"/>\n";
    out += "<text x=\"" + N(kPlotLeft + 253) + "\" y=\"" + N(y + 4) + "\">median</text>\n";
    out += "<rect x=\"" + N(kPlotLeft + 315) + "\" y=\"" + N(y - 6) +
           "\" width=\"16.0\" height=\"12.0\" fill=\"#dbe7f3\" stroke=\"#7d9cbf\"/>\n";
    out += "<text x=\"" + N(kPlotLeft + 337) + "\" y=\"" + N(y + 4) +
           "\">25th–75th percentile</text>\n";
    return out;
}

}  // namespace

std::string ExportSvg(const std::vector<RunAnalysis>& runs, const ComparisonReport*)
{
    Axis axis = ChooseAxis(runs);
    double bottom = kTop + static_cast<double>(std::max<size_t>(runs.size(), 1)) * kRowHeight;
    double height = bottom + 70.0;
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + N(kWidth) +
                      "\" height=\"" + N(height) + "\" viewBox=\"0 0 " + N(kWidth) + " " +
                      N(height) +
                      "\" font-family=\"Helvetica, Arial, sans-serif\" font-size=\"12\">\n"
                      "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n"
                      "<text x=\"12\" y=\"24\" font-size=\"15\" font-weight=\"bold\">"
                      "Start-up time per launch</text>\n";
    out += RowShading(runs.size());
    out += AxisAndGrid(axis, bottom);
    for (size_t row = 0; row < runs.size(); ++row)
        out += RunRow(runs[row], axis, row);
    out += Legend(bottom + 56);
    return out + "</svg>\n";
}
