#include "report/welch_test.h"

#include <cmath>

const size_t kWelchMinLaunches = 2;

namespace {

double BetaContinuedFraction(double a, double b, double x)
{
    const double tiny = 1e-300;
    const double precision = 1e-15;
    double c = 1.0;
    double d = 1.0 - (a + b) * x / (a + 1.0);
    if (std::fabs(d) < tiny)
        d = tiny;
    d = 1.0 / d;
    double fraction = d;
    for (int m = 1; m <= 10000; ++m) {
        // Each m contributes an even and an odd term.
        for (int step = 0; step < 2; ++step) {
            double term = step == 0
                              ? m * (b - m) * x / ((a + 2.0 * m - 1.0) * (a + 2.0 * m))
                              : -(a + m) * (a + b + m) * x / ((a + 2.0 * m) * (a + 2.0 * m + 1.0));
            d = 1.0 + term * d;
            if (std::fabs(d) < tiny)
                d = tiny;
            c = 1.0 + term / c;
            if (std::fabs(c) < tiny)
                c = tiny;
            d = 1.0 / d;
            fraction *= d * c;
            if (step == 1 && std::fabs(d * c - 1.0) < precision)
                return fraction;
        }
    }
    return fraction;
}

}  // namespace

double RegularizedIncompleteBeta(double a, double b, double x)
{
    if (x <= 0.0)
        return 0.0;
    if (x >= 1.0)
        return 1.0;
    double logFront = std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) +
                      a * std::log(x) + b * std::log1p(-x);
    // The fraction converges fast only below the mean of the distribution;
    // above it, the symmetry I_x(a, b) = 1 - I_(1-x)(b, a) is used.
    if (x < (a + 1.0) / (a + b + 2.0))
        return std::exp(logFront) * BetaContinuedFraction(a, b, x) / a;
    return 1.0 - std::exp(logFront) * BetaContinuedFraction(b, a, 1.0 - x) / b;
}

double StudentTTwoSidedP(double t, double df)
{
    if (std::isinf(t))
        return 0.0;
    return RegularizedIncompleteBeta(df / 2.0, 0.5, df / (df + t * t));
}

std::optional<WelchResult> WelchTTest(const Summary& a, const Summary& b)
{
    if (a.count < kWelchMinLaunches || b.count < kWelchMinLaunches || !a.stddev || !b.stddev)
        return std::nullopt;
    double shareA = *a.stddev * *a.stddev / static_cast<double>(a.count);
    double shareB = *b.stddev * *b.stddev / static_cast<double>(b.count);
    double variance = shareA + shareB;
    if (variance <= 0.0)
        return std::nullopt;
    WelchResult result;
    result.t = (a.mean - b.mean) / std::sqrt(variance);
    result.df = variance * variance /
                (shareA * shareA / static_cast<double>(a.count - 1) +
                 shareB * shareB / static_cast<double>(b.count - 1));
    result.p = StudentTTwoSidedP(result.t, result.df);
    return result;
}
