#include "report/welch_test.h"

#include <algorithm>
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

double StudentTTwoSidedQuantile(double p, double df)
{
    // P falls as t grows: halve the bracket until it is below any
    // difference a report shows.
    double low = 0.0;
    double high = 1e6;
    for (int step = 0; step < 200 && high - low > 1e-10; ++step) {
        const double middle = (low + high) / 2.0;
        (StudentTTwoSidedP(middle, df) > p ? low : high) = middle;
    }
    return (low + high) / 2.0;
}

std::optional<RatioInterval> WelchMeanRatioInterval(const Summary& a, const Summary& b,
                                                   double confidence)
{
    const std::optional<WelchResult> welch = WelchTTest(a, b);
    if (!welch || !(b.mean > 0.0))
        return std::nullopt;
    const double difference = a.mean - b.mean;
    // t is 0 when the means are equal; the error is then the spread's own.
    const double error = std::sqrt(*a.stddev * *a.stddev / static_cast<double>(a.count) +
                                   *b.stddev * *b.stddev / static_cast<double>(b.count));
    const double reach = StudentTTwoSidedQuantile(1.0 - confidence, welch->df) * error;
    // No run is faster than taking no time at all.
    return RatioInterval{std::max(0.0, 1.0 + (difference - reach) / b.mean),
                         1.0 + (difference + reach) / b.mean};
}
