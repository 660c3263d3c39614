#ifndef CORVID_MATH_TEST_SUPPORT_H
#define CORVID_MATH_TEST_SUPPORT_H

#include <QtTest/QtTest>
#include <cmath>
#include <vector>

// Runs a templated check for float, then, unless it failed, for double.
#define FOR_BOTH_PRECISIONS(check)                                                                                     \
    do {                                                                                                               \
        check<float>();                                                                                                \
        if (QTest::currentTestFailed())                                                                                \
            return;                                                                                                    \
        check<double>();                                                                                               \
    } while (0)

#define QVERIFY_NEAR(actual, expected, tolerance)                                                                      \
    QVERIFY2(std::fabs(double(actual) - double(expected)) <= double(tolerance),                                       \
             qPrintable(QStringLiteral("%1 is %2, expected %3 +- %4")                                                  \
                            .arg(QLatin1String(#actual))                                                               \
                            .arg(double(actual), 0, 'g', 17)                                                           \
                            .arg(double(expected), 0, 'g', 17)                                                         \
                            .arg(double(tolerance))))

// amplitude * exp(-(i - mean)^2 / (2 sigma^2)) sampled at channels 0 .. n - 1.
template <typename T>
std::vector<T> sampledGaussian(int n, double mean, double sigma, double amplitude, double pedestal = 0)
{
    std::vector<T> v(n);
    for (int i = 0; i < n; ++i)
        v[i] = T(pedestal + amplitude * std::exp(-(i - mean) * (i - mean) / (2 * sigma * sigma)));
    return v;
}

// Single-precision tolerance for float, a much tighter one for double.
template <typename T>
double tol(double forFloat, double forDouble)
{
    return sizeof(T) == sizeof(float) ? forFloat : forDouble;
}

#endif
