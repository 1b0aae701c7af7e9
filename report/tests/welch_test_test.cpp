#include "report/welch_test.h"

#include <gtest/gtest.h>

#include <cmath>

// Expected values from Python 3's mpmath 1.3 at 30 digits:
// betainc(a, b, 0, x, regularized=True), and for the t-test
// betainc(df/2, 1/2, 0, df/(df + t^2), regularized=True).
TEST(WelchTest, IncompleteBetaAgreesWithMpmath)
{
    struct {
        double a, b, x, expected;
    } cases[] = {
        {0.5, 0.5, 0.3, 0.36901011956554536},  {2.0, 3.0, 0.4, 0.5248},
        {5.5, 0.5, 0.9, 0.2925184553957732},   {50.0, 0.5, 0.99, 0.3173043978741974},
        {0.5, 7.0, 0.01, 0.28748362987172177}, {3.0, 3.0, 0.0, 0.0},
        {3.0, 3.0, 1.0, 1.0},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(RegularizedIncompleteBeta(c.a, c.b, c.x), c.expected, 1e-12)
            << "a " << c.a << " b " << c.b << " x " << c.x;
}

TEST(WelchTest, TwoSidedPAgreesWithMpmathAndClosedForms)
{
    // With a million degrees of freedom the log-gamma terms are large and
    // cancel, leaving about ten correct digits: plenty for a p-value.
    struct {
        double t, df, expected, tolerance;
    } cases[] = {
        {2.0, 5.0, 0.10193947882985836, 1e-12},   {0.5, 30.0, 0.6207230048851279, 1e-12},
        {10.0, 3.5, 0.0010714758956126638, 1e-12}, {1.96, 1e6, 0.049996067582829366, 1e-10},
        {-3.0, 12.25, 0.010844404514911383, 1e-12}, {0.0, 4.0, 1.0, 1e-12},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(StudentTTwoSidedP(c.t, c.df), c.expected, c.tolerance)
            << "t " << c.t << " df " << c.df;
        // The quantile is its inverse, where p tells one t from another.
        if (c.t != 0.0) {
            EXPECT_NEAR(StudentTTwoSidedQuantile(c.expected, c.df), std::abs(c.t), 1e-6);
        }
    }
    // One degree of freedom is the Cauchy law: p = 1 - 2 atan(|t|) / pi;
    // two: p = 1 - |t| / sqrt(2 + t^2).
    const double pi = std::acos(-1.0);
    for (double t : {0.3, 1.0, 4.0, 25.0}) {
        EXPECT_NEAR(StudentTTwoSidedP(t, 1.0), 1.0 - 2.0 * std::atan(t) / pi, 1e-12);
        EXPECT_NEAR(StudentTTwoSidedP(t, 2.0), 1.0 - t / std::sqrt(2.0 + t * t), 1e-12);
    }
    EXPECT_EQ(StudentTTwoSidedP(INFINITY, 3.0), 0.0);
}

namespace {

Summary SummaryOf(const std::vector<double>& values)
{
    return *Summarize(values);
}

}  // namespace

TEST(WelchTest, TestsTheDemoRunsLikeMpmath)
{
    // t, Welch-Satterthwaite df and p worked in Python from
    // statistics.mean/variance and mpmath.betainc, for the first two runs
    // of data/demo.log, all launches and without the first.
    const std::vector<double> first = {1.3812, 0.3879, 0.3926, 0.4114, 0.4222, 0.4049,
                                       0.3767, 0.6904, 0.4054, 0.4233, 0.3951, 0.3772};
    const std::vector<double> second = {1.2207, 0.3744, 0.3744, 0.363,  0.3808, 0.3634,
                                        0.3653, 0.3841, 0.3736, 0.3722, 0.3836, 0.3621};
    std::optional<WelchResult> all = WelchTTest(SummaryOf(first), SummaryOf(second));
    ASSERT_TRUE(all);
    EXPECT_NEAR(all->t, 0.5725632584931278, 1e-10);
    EXPECT_NEAR(all->df, 21.437295661585274, 1e-9);
    EXPECT_NEAR(all->p, 0.5728971382905149, 1e-10);

    std::optional<WelchResult> warm =
        WelchTTest(SummaryOf({first.begin() + 1, first.end()}),
                   SummaryOf({second.begin() + 1, second.end()}));
    ASSERT_TRUE(warm);
    EXPECT_NEAR(warm->t, 1.9893918774069526, 1e-10);
    EXPECT_NEAR(warm->df, 10.1684175852384, 1e-9);
    EXPECT_NEAR(warm->p, 0.07422315810219694, 1e-10);

    std::optional<WelchResult> swapped = WelchTTest(SummaryOf(second), SummaryOf(first));
    EXPECT_NEAR(swapped->t, -all->t, 1e-12);
    EXPECT_NEAR(swapped->p, all->p, 1e-12);
}

TEST(WelchTest, NeedsTwoLaunchesEachAndSomeSpread)
{
    EXPECT_FALSE(WelchTTest(SummaryOf({1.0}), SummaryOf({1.0, 2.0, 3.0})));
    EXPECT_FALSE(WelchTTest(SummaryOf({1.0, 2.0}), SummaryOf({4.0})));
    EXPECT_FALSE(WelchTTest(SummaryOf({1.0, 1.0}), SummaryOf({2.0, 2.0})));
    // Spread on one side is enough; df is then that side's n - 1.
    std::optional<WelchResult> oneSided =
        WelchTTest(SummaryOf({1.0, 1.0, 1.0}), SummaryOf({1.0, 2.0, 3.0}));
    ASSERT_TRUE(oneSided);
    EXPECT_NEAR(oneSided->df, 2.0, 1e-12);
    EXPECT_NEAR(oneSided->t, -1.0 / std::sqrt(1.0 / 3.0), 1e-12);
}
