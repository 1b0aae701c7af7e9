#include "report/strip_chart.h"

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
// The labels end 12 px before the plot and must not pass the chart's left
// edge whatever sans-serif font draws them: their width is reckoned at
// the widest advance common fonts give a character (DejaVu Sans and
// Verdana, which stand in for Arial, give a digit or lower-case letter
// about 0.64 em; bold about 0.7 em).
const double kLabelRight = kPlotLeft - 12.0;
const double kLabelRoom = kLabelRight - 12.0;
const double kWidestAdvanceEm = 0.7;
const double kWidestBoldAdvanceEm = 0.78;
const double kLabelFontSize = 12.0;
const double kDetailFontSize = 10.0;

const char kPlainDot[] = "fill=\"#2a6fb0\"";
const char kOutlierDot[] = "fill=\"#d1495b\"";
const char kColdDot[] = "fill=\"none\" stroke=\"#1d3557\" stroke-width=\"1.5\"";
const char kColdOutlierDot[] = "fill=\"none\" stroke=\"#d1495b\" stroke-width=\"1.5\"";
const char kMedianStroke[] = "stroke=\"#1d3557\" stroke-width=\"2.5\"";
const char kBoxLook[] = "fill=\"#dbe7f3\" stroke=\"#7d9cbf\"";
const char kReferenceStroke[] =
    "stroke=\"#e07a1f\" stroke-width=\"2\" stroke-dasharray=\"4 3\"";

struct Axis {
    double low = 0.0;
    double high = 1.0;
    double step = 0.2;
    int decimals = 1;

    double X(double value) const
    {
        return kPlotLeft + (value - low) / (high - low) * (kPlotRight - kPlotLeft);
    }
};

// Ticks at 1, 2 or 5 times a power of ten, about five of them, the axis
// ending on ticks just outside the dots and the reference marks.
Axis ChooseAxis(const std::vector<StripRow>& rows)
{
    bool any = false;
    double low = 0.0;
    double high = 0.0;
    auto take = [&](double value) {
        low = any ? std::min(low, value) : value;
        high = any ? std::max(high, value) : value;
        any = true;
    };
    for (const StripRow& row : rows) {
        for (const StripDot& dot : row.dots)
            take(dot.value);
        if (row.reference)
            take(*row.reference);
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
// parts of multiples of the golden ratio), so that equal values stay
// visible and the chart comes out the same every time.
double Jitter(size_t slot)
{
    double spread = static_cast<double>(slot) * 0.6180339887498949;
    return spread - std::floor(spread) - 0.5;
}

// Counted in code points and cut only between them.
std::string NameTail(const std::string& name, size_t limit)
{
    size_t points = 0;
    size_t keptFrom = name.size();
    for (size_t i = name.size(); i-- > 0;) {
        if ((static_cast<unsigned char>(name[i]) & 0xC0) == 0x80)
            continue;
        if (++points > limit)
            return "…" + name.substr(keptFrom);
        keptFrom = i;
    }
    return name;
}

const char* DotLook(const StripDot& dot)
{
    if (dot.cold)
        return dot.outlier ? kColdOutlierDot : kColdDot;
    return dot.outlier ? kOutlierDot : kPlainDot;
}

size_t CodePoints(const std::string& text)
{
    size_t points = 0;
    for (char c : text)
        points += (static_cast<unsigned char>(c) & 0xC0) == 0x80 ? 0 : 1;
    return points;
}

// How many code points of the name fit after the bold heading, ": " and
// the ellipsis of a name cut short.
size_t NameRoom(const std::string& heading)
{
    const double advance = kWidestAdvanceEm * kLabelFontSize;
    const double left = kLabelRoom -
                        static_cast<double>(CodePoints(heading)) * kWidestBoldAdvanceEm *
                            kLabelFontSize -
                        3.0 * advance;
    return left < 2.0 * advance ? 1 : static_cast<size_t>(left / advance);
}

std::string RowLabel(const StripRow& row, double middle)
{
    std::string out = "<text x=\"" + N(kLabelRight) + "\" y=\"" + N(middle - 3) +
                      "\" text-anchor=\"end\">";
    if (!row.name.empty())
        out += "<title>" + EscapeXml(row.name) + "</title>";
    out += "<tspan font-weight=\"bold\">" + EscapeXml(row.heading) + "</tspan>";
    if (!row.name.empty())
        out += ": " + EscapeXml(NameTail(row.name, NameRoom(row.heading)));
    out += "</text>\n";
    // Nothing of the detail can go: one too long for the room is fitted to it.
    const double detailWidth =
        static_cast<double>(CodePoints(row.detail)) * kWidestAdvanceEm * kDetailFontSize;
    const std::string fitted =
        detailWidth > kLabelRoom
            ? "\" textLength=\"" + N(kLabelRoom) + "\" lengthAdjust=\"spacingAndGlyphs"
            : "";
    out += "<text x=\"" + N(kLabelRight) + "\" y=\"" + N(middle + 12) +
           "\" text-anchor=\"end\" font-size=\"10\" fill=\"#555" + fitted + "\">" +
           EscapeXml(row.detail) + "</text>\n";
    return out;
}

std::string Row(const StripRow& row, const Axis& axis, size_t index)
{
    double top = kTop + static_cast<double>(index) * kRowHeight;
    double middle = top + kRowHeight / 2.0;
    std::string out = RowLabel(row, middle);
    if (!row.box) {
        out += "<text x=\"" + N(kPlotLeft + 8) + "\" y=\"" + N(middle + 4) +
               "\" fill=\"#888\">" + EscapeXml(row.emptyText) + "</text>\n";
        return out;
    }
    const StripBox& box = *row.box;
    out += "<rect x=\"" + N(axis.X(box.p25)) + "\" y=\"" + N(middle - 12) + "\" width=\"" +
           N(std::max(axis.X(box.p75) - axis.X(box.p25), 0.5)) + "\" height=\"24\" " +
           kBoxLook + "/>\n";
    out += "<line x1=\"" + N(axis.X(box.median)) + "\" y1=\"" + N(middle - 16) + "\" x2=\"" +
           N(axis.X(box.median)) + "\" y2=\"" + N(middle + 16) + "\" " + kMedianStroke + "/>\n";
    for (const StripDot& dot : row.dots)
        out += "<circle cx=\"" + N(axis.X(dot.value)) + "\" cy=\"" +
               N(middle + Jitter(dot.slot) * 22.0) + "\" r=\"" + N(kDotRadius) + "\" " +
               DotLook(dot) + " fill-opacity=\"0.7\"><title>" + EscapeXml(dot.tooltip) +
               "</title></circle>\n";
    // Last, so that no dot hides it.
    if (row.reference)
        out += "<line x1=\"" + N(axis.X(*row.reference)) + "\" y1=\"" + N(middle - 19) +
               "\" x2=\"" + N(axis.X(*row.reference)) + "\" y2=\"" + N(middle + 19) + "\" " +
               kReferenceStroke + "/>\n";
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

std::string AxisAndGrid(const Axis& axis, double bottom, const std::string& label)
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
           "\" text-anchor=\"middle\">" + EscapeXml(label) + "</text>\n";
    return out;
}

std::string LegendText(double x, double y, const std::string& text)
{
    return "<text x=\"" + N(x) + "\" y=\"" + N(y + 4) + "\">" + EscapeXml(text) + "</text>\n";
}

std::string LegendDot(double x, double y, const char* look, const char* opacity)
{
    return "<circle cx=\"" + N(x) + "\" cy=\"" + N(y) + "\" r=\"" + N(kDotRadius) + "\" " +
           look + opacity + "/>\n";
}

std::string LegendLine(double x, double y, double reach, const char* stroke)
{
    return "<line x1=\"" + N(x) + "\" y1=\"" + N(y - reach) + "\" x2=\"" + N(x) + "\" y2=\"" +
           N(y + reach) + "\" " + stroke + "/>\n";
}

// Left to right, each entry as wide as its text needs.
std::string Legend(const StripChart& chart, double y)
{
    const char opaque[] = " fill-opacity=\"0.7\"";
    double x = kPlotLeft;
    std::string out = LegendDot(x, y, kPlainDot, opaque) + LegendText(x + 8, y, "launch");
    x += 70;
    if (chart.legendCold) {
        out += LegendDot(x, y, kColdDot, "") + LegendText(x + 8, y, "first (cold)");
        x += 100;
    }
    if (chart.legendOutlier) {
        out += LegendDot(x, y, kOutlierDot, opaque) + LegendText(x + 8, y, "outlier");
        x += 75;
    }
    out += LegendLine(x, y, 7, kMedianStroke) + LegendText(x + 8, y, "median");
    x += 70;
    out += "<rect x=\"" + N(x) + "\" y=\"" + N(y - 6) + "\" width=\"16.0\" height=\"12.0\" " +
           kBoxLook + "/>\n" + LegendText(x + 22, y, "25th–75th percentile");
    x += 155;
    if (!chart.referenceLabel.empty())
        out += LegendLine(x, y, 7, kReferenceStroke) + LegendText(x + 8, y, chart.referenceLabel);
    return out;
}

}  // namespace

std::string DrawStripChart(const StripChart& chart)
{
    Axis axis = ChooseAxis(chart.rows);
    double bottom =
        kTop + static_cast<double>(std::max<size_t>(chart.rows.size(), 1)) * kRowHeight;
    double height = bottom + 70.0;
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + N(kWidth) +
                      "\" height=\"" + N(height) + "\" viewBox=\"0 0 " + N(kWidth) + " " +
                      N(height) +
                      "\" font-family=\"Helvetica, Arial, sans-serif\" font-size=\"12\">\n"
                      "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n"
                      "<text x=\"12\" y=\"24\" font-size=\"15\" font-weight=\"bold\">" +
                      EscapeXml(chart.title) + "</text>\n";
    out += RowShading(chart.rows.size());
    out += AxisAndGrid(axis, bottom, chart.axisLabel);
    for (size_t row = 0; row < chart.rows.size(); ++row)
        out += Row(chart.rows[row], axis, row);
    out += Legend(chart, bottom + 56);
    return out + "</svg>\n";
}
