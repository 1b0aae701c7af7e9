#include "report/rank_test.h"

#include <algorithm>
#include <cmath>

const size_t kRankMinLaunches = 2;

namespace {

// P(|Z| >= z) for z >= 0, clipped as SciPy clips it.
double NormalTwoSidedP(double z)
{
    return std::min(1.0, std::erfc(z / std::sqrt(2.0)));
}

// z of the larger of U and n1 n2 - U; 0 spread gives none.
std::optional<double> ContinuityCorrectedZ(double u, double n1, double n2, double tieTerm)
{
    const double n = n1 + n2;
    const double variance = n1 * n2 / 12.0 * ((n + 1.0) - tieTerm / (n * (n - 1.0)));
    if (!(variance > 0.0))
        return std::nullopt;
    const double larger = std::max(u, n1 * n2 - u);
    return (larger - n1 * n2 / 2.0 - 0.5) / std::sqrt(variance);
}

}  // namespace

std::optional<RankTestResult> MannWhitneyUTest(const std::vector<double>& run,
                                               const std::vector<double>& reference)
{
    if (run.size() < kRankMinLaunches || reference.size() < kRankMinLaunches)
        return std::nullopt;
    struct Value {
        double seconds;
        bool ofRun;
    };
    std::vector<Value> pooled;
    for (double seconds : run)
        pooled.push_back({seconds, true});
    for (double seconds : reference)
        pooled.push_back({seconds, false});
    std::sort(pooled.begin(), pooled.end(),
              [](const Value& a, const Value& b) { return a.seconds < b.seconds; });
    // Tied values share the mean of their ranks (1-based).
    double runRanks = 0.0;
    double tieTerm = 0.0;
    for (size_t first = 0; first < pooled.size();) {
        size_t end = first;
        size_t ofRun = 0;
        while (end < pooled.size() && pooled[end].seconds == pooled[first].seconds)
            ofRun += pooled[end++].ofRun ? 1 : 0;
        const double tied = static_cast<double>(end - first);
        runRanks += static_cast<double>(ofRun) * (static_cast<double>(first + end) + 1.0) / 2.0;
        tieTerm += tied * tied * tied - tied;
        first = end;
    }
    const double n1 = static_cast<double>(run.size());
    const double n2 = static_cast<double>(reference.size());
    RankTestResult result;
    result.u = runRanks - n1 * (n1 + 1.0) / 2.0;
    result.pairs = n1 * n2;
    std::optional<double> z = ContinuityCorrectedZ(result.u, n1, n2, tieTerm);
    if (!z)
        return std::nullopt;
    result.p = NormalTwoSidedP(*z);
    return result;
}

double SmallestRankTestP(size_t runSize, size_t referenceSize)
{
    const double n1 = static_cast<double>(runSize);
    const double n2 = static_cast<double>(referenceSize);
    std::optional<double> z = ContinuityCorrectedZ(n1 * n2, n1, n2, 0.0);
    return z ? NormalTwoSidedP(*z) : 1.0;
}
