#ifndef CORVID_MATH_TEST_SUPPORT_H
#define CORVID_MATH_TEST_SUPPORT_H

#include <NormalDistribution.h>

#include <QtTest/QtTest>
#include <cmath>
#include <limits>
#include <vector>

// Runs check(T()) for float, then, unless it failed, for double.
template <typename Check>
void forBothPrecisions(Check check)
{
    check(float());
    if (!QTest::currentTestFailed())
        check(double());
}

#define QVERIFY_NEAR(actual, expected, tolerance)                                                                      \
    QVERIFY2(std::fabs(double(actual) - double(expected)) <= double(tolerance),                                       \
             qPrintable(QStringLiteral("%1 is %2, expected %3 +- %4")                                                  \
                            .arg(QLatin1String(#actual))                                                               \
                            .arg(double(actual), 0, 'g', 17)                                                           \
                            .arg(double(expected), 0, 'g', 17)                                                         \
                            .arg(double(tolerance))))

// Single-precision tolerance for float, a much tighter one for double.
template <typename T>
double tol(double forFloat, double forDouble)
{
    return sizeof(T) == sizeof(float) ? forFloat : forDouble;
}

// amplitude * exp(-(i - mean)^2 / (2 sigma^2)) sampled at channels 0 .. n - 1.
template <typename T>
std::vector<T> sampledGaussian(int n, double mean, double sigma, double amplitude, double pedestal = 0)
{
    std::vector<T> v(n);
    for (int i = 0; i < n; ++i)
        v[i] = T(pedestal + amplitude * std::exp(-(i - mean) * (i - mean) / (2 * sigma * sigma)));
    return v;
}

// The caller's values analysed in place, with no curve yet.
template <typename C>
corvid::math::NormalDistribution<typename C::value_type> profile(C &values)
{
    typedef corvid::math::NormalDistribution<typename C::value_type> D;
    return D(values.data(), std::size_t(values.size()), D::OwnershipPolicyShared, -1, -1, -1);
}

// Options of one estimator run, in double so that both precisions can share them: signal
// threshold as a fraction of the peak, peak threshold (an installed curve's amplitude), sum
// threshold, an installed curve's mean and sigma, window half-width, weighting exponent.
struct Knobs
{
    double fraction = 0, peak = 0, sum = 0, mean = 0, sd = 0;
    int halfWidth = 1, weighting = 0;
};
Q_DECLARE_METATYPE(Knobs)

enum Estimator { Filtered, Windowed, Regression, RegressionDc, Precalculated, Centroid, Gaussabola, Installed, Count };

// Runs one estimator on d and returns its code; an installed curve gives -1 when refused.
// The centroid uses the peak already stored in d.
template <typename T>
int estimate(int which, corvid::math::NormalDistribution<T> &d, Knobs const &k)
{
    typedef corvid::math::NormalDistribution<T> D;
    const T fraction = T(k.fraction), peak = T(k.peak), sum = T(k.sum);
    switch (which) {
    case Filtered:
        return typename D::CenterOfGravityFiltered(d, typename D::CenterOfGravityFiltered::Options(fraction))
            .calculate_all();
    case Windowed:
        return typename D::CenterOfGravityWindowed(d, typename D::CenterOfGravityWindowed::Options(k.halfWidth))
            .calculate_all();
    case Regression:
    case RegressionDc:
        return typename D::Regression(d, {fraction, k.halfWidth, peak, sum, k.weighting})
            .calculate_all(which == RegressionDc);
    case Precalculated:
        return typename D::RegressionPrecalculated(d, {fraction, k.halfWidth, peak, sum}).calculate_all();
    case Centroid:
        return typename D::RegressionPrecalculated(d, {fraction, k.halfWidth, peak, sum}).calculate_centroid();
    case Gaussabola:
        return typename D::Gaussabola(d, {peak, sum, T(0.98)}).calculate_all();
    default:
        typename D::PrecalculatedFit(d, {T(k.mean), T(k.sd), peak, 0, 1}).set();
        return d.m_fitComplete ? 0 : -1;
    }
}

#endif
