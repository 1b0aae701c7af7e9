// Whether two runs' mean start-up times differ by more than chance would
// explain: Welch's t-test, which does not assume equal variances (a cold
// build and a warm one rarely have them).
#ifndef KAIRON_REPORT_WELCH_TEST_H
#define KAIRON_REPORT_WELCH_TEST_H

#include "report/median_ratio.h"
#include "report/statistics.h"

#include <optional>

// I_x(a, b), the regularised incomplete beta function, for a, b > 0 and
// 0 <= x <= 1; by its continued fraction (modified Lentz).
double RegularizedIncompleteBeta(double a, double b, double x);

// P(|T| >= |t|) for Student's t with df > 0 degrees of freedom (df need
// not be a whole number).
double StudentTTwoSidedP(double t, double df);

struct WelchResult {
    double t = 0.0;   // (mean a - mean b) / standard error of the difference
    double df = 0.0;  // Welch-Satterthwaite degrees of freedom
    double p = 1.0;   // two-sided
};

// The launches each side needs: a sample standard deviation takes two.
extern const size_t kWelchMinLaunches;

// None when either run has fewer than kWelchMinLaunches launches or
// neither has any spread.
std::optional<WelchResult> WelchTTest(const Summary& a, const Summary& b);

// The t with df degrees of freedom that StudentTTwoSidedP maps to p.
double StudentTTwoSidedQuantile(double p, double df);

// Welch's confidence interval of mean a - mean b, divided by mean b and
// shifted by 1: the ratio of means a / b, with b's mean taken as known, so
// that the gate can hold it against a limit as it holds the median ratio's.
// Its low end is at least 0. None when WelchTTest is, or when b's mean is
// not above 0.
std::optional<RatioInterval> WelchMeanRatioInterval(const Summary& a, const Summary& b,
                                                   double confidence);

#endif
