#include "report/median_ratio.h"

#include "report/statistics.h"
#include "report/text_format.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

const int kBootstrapResamples = 10000;
const double kIntervalConfidence = 0.95;

std::string ConfidenceText(double confidence)
{
    // Hundredths of a percent: a level split between looks, 0.05 / 4,
    // leaves 98.75%.
    std::string text = FormatFixed(confidence * 100.0, 2);
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text + "%";
}

std::string IntervalRule(double confidence)
{
    return ConfidenceText(confidence) + " percentile bootstrap interval of the ratio of medians, " +
           std::to_string(kBootstrapResamples) + " resamples";
}

namespace {

// FNV-1a over the values' bits, in order: the same times give the same
// seed on every machine and build.
std::uint64_t SeedOf(const std::vector<double>& run, const std::vector<double>& reference)
{
    std::uint64_t hash = 14695981039346656037ull;
    auto add = [&hash](std::uint64_t word) {
        for (int byte = 0; byte < 8; ++byte) {
            hash ^= (word >> (8 * byte)) & 0xff;
            hash *= 1099511628211ull;
        }
    };
    for (const std::vector<double>* side : {&run, &reference}) {
        add(side->size());
        for (double value : *side) {
            std::uint64_t bits = 0;
            std::memcpy(&bits, &value, sizeof bits);
            add(bits);
        }
    }
    return hash;
}

// The median of `values` drawn with replacement; `draw` is scratch space.
// The modulo's bias, size / 2^64, is far below anything a percentile shows.
double ResampledMedian(const std::vector<double>& values, std::mt19937_64& generator,
                       std::vector<double>& draw)
{
    const size_t n = values.size();
    draw.resize(n);
    for (double& value : draw)
        value = values[generator() % n];
    const size_t middle = n / 2;
    std::nth_element(draw.begin(), draw.begin() + static_cast<std::ptrdiff_t>(middle),
                     draw.end());
    if (n % 2 == 1)
        return draw[middle];
    const double below = *std::max_element(draw.begin(),
                                           draw.begin() + static_cast<std::ptrdiff_t>(middle));
    return (below + draw[middle]) / 2.0;
}

}  // namespace

std::optional<double> MedianRatio(const std::vector<double>& run,
                                  const std::vector<double>& reference)
{
    const double referenceMedian = Median(reference);
    if (run.empty() || !(referenceMedian > 0.0))
        return std::nullopt;
    return Median(run) / referenceMedian;
}

std::optional<RatioInterval> BootstrapMedianRatio(const std::vector<double>& run,
                                                  const std::vector<double>& reference,
                                                  double confidence)
{
    if (run.empty() || reference.empty())
        return std::nullopt;
    std::mt19937_64 generator(SeedOf(run, reference));
    std::vector<double> ratios;
    ratios.reserve(kBootstrapResamples);
    std::vector<double> draw;
    for (int i = 0; i < kBootstrapResamples; ++i) {
        const double runMedian = ResampledMedian(run, generator, draw);
        const double referenceMedian = ResampledMedian(reference, generator, draw);
        if (!(referenceMedian > 0.0))
            return std::nullopt;
        ratios.push_back(runMedian / referenceMedian);
    }
    std::sort(ratios.begin(), ratios.end());
    const double tail = (1.0 - confidence) / 2.0;
    return RatioInterval{Percentile(ratios, tail), Percentile(ratios, 1.0 - tail)};
}
