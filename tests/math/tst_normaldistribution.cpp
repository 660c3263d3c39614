#include "MathTestSupport.h"

#include <numeric>

using namespace corvid::math;

template <typename T>
using Dist = NormalDistribution<T>;
typedef QVector<double> Values;

class TestNormalDistribution : public QObject
{
    Q_OBJECT

private slots:
    void copyPolicyDetachesFromCallersArray();
    void windowsStayInsideArray();
    void centreOfGravity_data();
    void centreOfGravity();
    void centreOfGravityScalesCurveThroughPeakUntilCleared();
    void dcOffsetAveragesOppositeWindow();
    void snrAndChi2OfKnownProfiles();
    void regressionRecoversSampledGaussian_data();
    void regressionRecoversSampledGaussian();
    void regressionSubtractsDcOffsetInPlace();
    void fitsRejectUnusableProfiles_data();
    void fitsRejectUnusableProfiles();
    void precalculatedRegressionUsesStoredPeak();
    void gaussabolaRunsThroughPeakAndNeighbours_data();
    void gaussabolaRunsThroughPeakAndNeighbours();
    void precalculatedFitInstallsOnlyUsableCurves();
};

void TestNormalDistribution::copyPolicyDetachesFromCallersArray()
{
    double values[4] = {1, 5, 2, 5};
    Dist<double> copy(values, 4, Dist<double>::OwnershipPolicyCopy, -1, -1, -1);
    Dist<double> shared(values, 4, Dist<double>::OwnershipPolicyShared, 1.5, 2, -1);
    const Dist<double> view(shared); // reads the source's values, owns none
    values[2] = 9;
    copy.find_peak_channel();
    shared.find_peak_channel();
    QCOMPARE(copy.m_histogramPeak_x, 1); // the first of equal maxima
    QCOMPARE(shared.m_histogramPeak_x, 2);
    QVERIFY(view.m_histogram == values && !view.m_own_histogram);
    QCOMPARE(view.variance(), 4.0);
    QCOMPARE(Dist<double>(nullptr, 10, Dist<double>::OwnershipPolicyCopy, -1, -1, -1).size(), std::size_t(0));
}

void TestNormalDistribution::windowsStayInsideArray()
{
    const struct { bool justify; int total, center, halfWidth, low, high; } windows[] = {
        {true, 10, 0, 2, 0, 4},   // peak at 0
        {true, 10, 7, 2, 5, 9},   // touching the end
        {true, 10, 9, 2, 5, 9},   // past the end
        {true, 5, 2, 2, 0, 4},    // exactly the whole array
        {true, 5, 4, 3, 0, 4},    // wider than the array
        {true, 10, -1, 2, 0, 4},  // no peak found
        {true, 10, 3, 0, 3, 3},   // half-width 0
        {true, 10, 3, -2, 0, -1}, // negative half-width: no channel
        {false, 10, 0, 2, 0, 2},  // truncated at the start
        {false, 10, 9, 2, 7, 9}}; // truncated at the end
    for (auto const &w : windows) {
        const range::Range r = w.justify
            ? range::WindowedRangePicker<range::Justify>(w.halfWidth, w.total).range(w.center)
            : range::WindowedRangePicker<range::Truncate>(w.halfWidth, w.total).range(w.center);
        QCOMPARE(r, range::Range(w.low, w.high));
    }
}

void TestNormalDistribution::centreOfGravity_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<int>("window"); // half-width; -1: every channel above fraction * peak
    QTest::addColumn<double>("fraction");
    QTest::addColumn<int>("code");
    QTest::addColumn<Values>("expected"); // mean, variance, integral, skewness, kurtosis; NaN: any
    const int invalid = Dist<double>::ErrorSolutionInvalid, noSum = Dist<double>::ErrorSumBelowThreshold;
    const double inf = HUGE_VAL;
    // Weights 2 and 1 at offsets -1 and 2: m2 = 2, m3 = 2, m4 = 6 (kurtosis m4 / sigma^4, no 3 taken off).
    QTest::newRow("skewed") << Values{0, 2, 0, 0, 1, 0} << -1 << 0.0 << 0 << Values{2, 2, 3, std::sqrt(0.5), 1.5};
    // Channels equal to the threshold are dropped too.
    QTest::newRow("at threshold") << Values{4, 5, 10, 8, 5, 1} << -1 << 0.5 << 0 << Values{44 / 18.0, NAN, 18};
    QTest::newRow("window at edge") << Values{9, 3, 2, 1, 1, 0, 7, 0, 0, 0} << 2 << 0.0 << 0
                                    << Values{14 / 16.0, NAN, 16};
    QTest::newRow("delta") << Values{0, 0, 0, 4, 0, 0} << 1 << 0.0 << invalid << Values{3};
    QTest::newRow("one channel") << Values{5} << -1 << 0.0 << int(Dist<double>::ErrorNotEnoughData) << Values{};
    QTest::newRow("non-positive") << Values{-1, 0, -3, 0} << 1 << 0.0 << noSum << Values{};
    QTest::newRow("infinities") << Values{1, -inf, inf, 2, 1} << 1 << 0.0 << invalid << Values{};
    // The filter drops NaN: it is not above the threshold.
    QTest::newRow("NaN") << Values{1, NAN, 4, 2, 1} << -1 << 0.0 << 0 << Values{2.25, NAN, 8};
}

void TestNormalDistribution::centreOfGravity()
{
    QFETCH(Values, values);
    QFETCH(int, window);
    QFETCH(double, fraction);
    QFETCH(int, code);
    QFETCH(Values, expected);
    forBothPrecisions([&](auto zero) {
        typedef decltype(zero) T;
        std::vector<T> v(values.begin(), values.end());
        auto d = profile(v);
        QCOMPARE(estimate(window < 0 ? Filtered : Windowed, d, Knobs{fraction, 0, 0, 0, 0, window}), code);
        QCOMPARE(d.m_fitComplete, code == 0);
        const T got[5] = {d.mean(), d.variance(), d.integral(), d.skewness(), d.kurtosis_excess()};
        for (int i = 0; i < expected.size(); ++i)
            if (!std::isnan(expected[i]))
                QVERIFY_NEAR(got[i], expected[i], tol<T>(1e-6, 1e-15));
    });
}

void TestNormalDistribution::centreOfGravityScalesCurveThroughPeakUntilCleared()
{
    forBothPrecisions([](auto zero) {
        typedef decltype(zero) T;
        std::vector<T> v = sampledGaussian<T>(40, 19.4, 3, 50);
        auto d = profile(v);
        QCOMPARE(d.amplitude(), T(0)); // no curve yet
        QCOMPARE(estimate(Filtered, d, Knobs()), 0);
        QVERIFY_NEAR(d.mean(), 19.4, tol<T>(1e-4, 1e-9));
        QVERIFY_NEAR(d.standard_deviation(), 3, tol<T>(1e-4, 1e-8)); // tails cut at 6.5 sigma
        QVERIFY_NEAR(d.value(T(19)), v[19], tol<T>(1e-4, 1e-9));
        QVERIFY_NEAR(d.amplitude(), d.value(d.mean()), tol<T>(1e-4, 1e-9));
        d.m_dcoffset = 3;
        d.clear();
        const QList<double> cleared{d.mean(), d.standard_deviation(), d.scale(), double(d.m_histogramPeak_x),
                                    d.integral(), d.dcoffset(), d.value(19)};
        QCOMPARE(cleared, (QList<double>{-1, -1, -1, -1, 0, 0, 0}));
        QCOMPARE(d.m_histogram, v.data());
    });
}

void TestNormalDistribution::dcOffsetAveragesOppositeWindow()
{
    // Channel i holds i, the peak holds 100; 0.25 is the offset found before.
    const struct { int channels, peak, window; double offset; } cases[] = {
        {10, 2, 1, 7},     // opposite 7, inside: channels 6..8
        {10, 8, 1, 3},     // (5 + 8) mod 10 = 3: channels 2..4
        {10, 4, 2, 7},     // opposite 9, slid in to 5..9
        {10, 0, 5, 14.5},  // half the array: all of it, peak included
        {3, 0, 0, 0.25},   // too few channels
        {10, 2, 6, 0.25}}; // window above half the array
    for (auto const &c : cases) {
        std::vector<double> v(c.channels);
        std::iota(v.begin(), v.end(), 0.0);
        v[c.peak] = 100;
        const std::vector<double> before = v;
        auto d = profile(v);
        d.m_dcoffset = 0.25;
        d.calculate_dc_offset(c.window);
        QCOMPARE(d.dcoffset(), c.offset);
        QVERIFY(v == before);
    }
}

void TestNormalDistribution::snrAndChi2OfKnownProfiles()
{
    std::vector<double> v{1, 3, 1, 3, 10, 20, 10, 3, 1, 3};
    Dist<double> d(v.data(), v.size(), Dist<double>::OwnershipPolicyShared, 5.2, 1, -1);
    Dist<double>::SNR snr(d, 1);
    QCOMPARE(snr.calculate_all(), 1);
    QCOMPARE(snr.signal_range(), std::make_pair(5, 6));
    // Noise: channels 0..4 and 7..9, its sample standard deviation.
    double squares = 0;
    for (double n : {1, 3, 1, 3, 10, 3, 1, 3})
        squares += (n - 25.0 / 8) * (n - 25.0 / 8);
    const double sigma = std::sqrt(squares / 7);
    QCOMPARE(snr.noise_standard_deviation(), sigma);
    QCOMPARE(snr.snr(), 30 / (sigma * std::sqrt(2.0)));
    d.m_sd = 1.5; // leaves a single noise channel at 3 sigma
    Dist<double>::SNR wide(d, 3);
    QVERIFY(wide.calculate_all() == 0 && wide.snr() == 1);

    // Without a curve every residual is the value itself, over the peak.
    std::vector<double> w{1, 2, 4, 2, 1, 0, 3};
    auto e = profile(w);
    e.find_peak_channel();
    Dist<double>::Chi2 chi(e, Dist<double>::Chi2::Options(1));
    QCOMPARE(chi.calculate_all(), 1);
    QCOMPARE(chi.signal_range(), std::make_pair(1, 3));
    QCOMPARE(chi.quality_of_fit(), std::sqrt(0.25 + 1 + 0.25));
    QCOMPARE(chi.quality_of_fit_percent(), 0.0); // not negative
}

void TestNormalDistribution::regressionRecoversSampledGaussian_data()
{
    QTest::addColumn<bool>("precalculated");
    QTest::addColumn<int>("weighting");
    QTest::newRow("unweighted") << false << 0;
    QTest::newRow("squared weights") << false << 2;
    QTest::newRow("inverse weights") << false << -1;
    QTest::newRow("precalculated") << true << 0;
}

void TestNormalDistribution::regressionRecoversSampledGaussian()
{
    QFETCH(bool, precalculated);
    QFETCH(int, weighting);
    forBothPrecisions([&](auto zero) {
        typedef decltype(zero) T;
        std::vector<T> v = sampledGaussian<T>(25, 10.3, 2, 100);
        const std::vector<T> before = v;
        auto d = profile(v);
        typename Dist<T>::RegressionPrecalculated fixed(d, {T(0.1), 5, 0, 0});
        typename Dist<T>::Regression weighted(d, {T(0.1), 5, T(1e-15), T(1e-15), weighting});
        QCOMPARE(precalculated ? fixed.calculate_all() : weighted.calculate_all(false), 0);
        QVERIFY(d.m_fitComplete);
        QVERIFY(v == before);
        // Channels 6 .. 14 hold at least a tenth of the peak (channel 10).
        QCOMPARE(precalculated ? fixed.signal_range() : weighted.signal_range(), std::make_pair(6, 14));
        // In float the normal equations over x = 0 .. 8 keep about four digits.
        QVERIFY_NEAR(d.mean(), 10.3, tol<T>(2e-3, 1e-10));
        QVERIFY_NEAR(d.standard_deviation(), 2, tol<T>(2e-3, 1e-10));
        QVERIFY_NEAR(d.amplitude(), 100, tol<T>(0.1, 1e-8));
        QVERIFY_NEAR(d.scale(), 100 * 2 * std::sqrt(2 * M_PI), tol<T>(1, 1e-7));
        typename Dist<T>::Chi2 chi(d, typename Dist<T>::Chi2::Options(5));
        chi.calculate_all();
        QVERIFY_NEAR(chi.quality_of_fit_percent(), 100, tol<T>(0.5, 1e-8));
    });
}

void TestNormalDistribution::regressionSubtractsDcOffsetInPlace()
{
    forBothPrecisions([](auto zero) {
        typedef decltype(zero) T;
        // The peak sits near channel 10 of 60, so the window opposite it,
        // channels 35 .. 45, holds the pedestal 5 alone (two channels 0.5 off).
        std::vector<T> v = sampledGaussian<T>(60, 10.3, 2, 100, 5);
        v[35] = T(5.5);
        v[45] = T(4.5);
        const std::vector<T> before = v;
        auto d = profile(v);
        const Knobs k{0.1, 1e-15, 1e-15, 0, 0, 5, 2};
        QCOMPARE(estimate(RegressionDc, d, k), 0);
        QCOMPARE(d.dcoffset(), T(5));
        for (std::size_t i = 0; i < v.size(); ++i)
            QCOMPARE(v[i], T(before[i] - 5));
        QCOMPARE(d.integral(), std::accumulate(v.begin(), v.end(), T(0)));
        QVERIFY_NEAR(d.mean(), 10.3, tol<T>(2e-3, 1e-9));
        QVERIFY_NEAR(d.amplitude(), 100, tol<T>(0.1, 1e-7));

        // A NaN in the offset window ends the fit before any value changes.
        std::vector<T> w = before;
        w[44] = std::numeric_limits<T>::quiet_NaN();
        auto e = profile(w);
        e.m_fitComplete = true;
        QCOMPARE(estimate(RegressionDc, e, k), int(Dist<T>::ErrorSolutionInvalid));
        QVERIFY(!e.m_fitComplete);
        QVERIFY(w[10] == before[10] && w[43] == before[43]);
    });
}

void TestNormalDistribution::fitsRejectUnusableProfiles_data()
{
    typedef Dist<double> D;
    QTest::addColumn<Values>("values");
    QTest::addColumn<Knobs>("options"); // fraction, peak threshold, sum threshold, -, -, half-width
    QTest::addColumn<QList<int>>("codes"); // regression, precalculated regression, Gaussabola
    const Values peak{0, 1, 6, 9, 6, 1, 0}, narrow{0, 0, 1, 10, 5, 0.5, 0, 0};
    const QList<int> edge{D::ErrorPeakEdge, D::ErrorPeakEdge, D::ErrorPeakEdge};
    const int low = D::ErrorPeakBelowThreshold, invalid = D::ErrorSolutionInvalid, few = D::ErrorNotEnoughPeakData;
    // The precalculated regression has no length test of its own: its peak lies on an edge.
    QTest::newRow("two channels") << Values{1, 2} << Knobs{0.5}
                                  << QList<int>{D::ErrorNotEnoughData, D::ErrorPeakEdge, D::ErrorNotEnoughData};
    // The peak test comes before the edge test.
    QTest::newRow("peak below threshold") << Values{9, 1, 0} << Knobs{0.5, 10} << QList<int>{low, low, low};
    QTest::newRow("peak on first channel") << Values{9, 5, 3, 1, 0.5} << Knobs{0.01, 0, 0, 0, 0, 5} << edge;
    QTest::newRow("peak on last channel") << Values{0.5, 1, 3, 5, 9} << Knobs{0.01, 0, 0, 0, 0, 5} << edge;
    // Gaussabola carries the sum threshold without using it.
    QTest::newRow("sum below threshold") << peak << Knobs{0.5, 1, 24, 0, 0, 5}
                                         << QList<int>{D::ErrorSumBelowThreshold, D::ErrorSumBelowThreshold, 0};
    QTest::newRow("sum at threshold") << peak << Knobs{0.5, 1, 23, 0, 0, 5} << QList<int>{0, 0, 0};
    QTest::newRow("log-convex run") << Values{0, 9.9, 9, 8, 10, 8, 9, 9.9, 0} << Knobs{0.5, 1, 0, 0, 0, 5}
                                    << QList<int>{invalid, invalid, 0};
    // At 0.4 of the peak only channels 3 and 4 count; a half-width of 0 cuts the run as short.
    QTest::newRow("two-channel run") << narrow << Knobs{0.4, 0, 0, 0, 0, 5} << QList<int>{few, few, 0};
    QTest::newRow("one-channel window") << narrow << Knobs{0.01, 0, 0, 0, 0, 0} << QList<int>{few, few, 0};
}

void TestNormalDistribution::fitsRejectUnusableProfiles()
{
    QFETCH(Values, values);
    QFETCH(Knobs, options);
    QFETCH(QList<int>, codes);
    QList<int> got;
    for (int which : {Regression, Precalculated, Gaussabola}) {
        Values copy = values;
        auto d = profile(copy);
        got << estimate(which, d, options);
    }
    QCOMPARE(got, codes);
}

void TestNormalDistribution::precalculatedRegressionUsesStoredPeak()
{
    std::vector<double> v = sampledGaussian<double>(25, 12.6, 1.5, 40);
    v[20] = 1000; // a spike outside the window around the reported peak
    auto d = profile(v);
    Dist<double>::RegressionPrecalculated fit(d, {0.2, 4, 0, 0});
    QCOMPARE(fit.calculate_centroid(), int(Dist<double>::ErrorPeakBelowThreshold)); // no peak stored
    d.m_histogramPeak_x = 13;
    d.m_histogramPeak_y = v[13];
    d.m_histogramSum = 500;
    QCOMPARE(fit.calculate_centroid(), 0);
    QVERIFY_NEAR(d.mean(), 12.6, 1e-10);
    QVERIFY_NEAR(d.standard_deviation(), 1.5, 1e-10);
    QCOMPARE(d.value(12.6), 0.0); // a centroid, no curve
    QCOMPARE(fit.calculate_all(), 0);
    QVERIFY_NEAR(d.amplitude(), 40, 1e-8);
    QCOMPARE(d.integral(), 500.0);
}

void TestNormalDistribution::gaussabolaRunsThroughPeakAndNeighbours_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("peak");
    QTest::addColumn<Values>("expected"); // mean, variance
    QTest::newRow("1, 4, 1") << Values{1, 4, 1} << 0 << 1 << Values{1, 1 / std::log(16.0)};
    // Of equal maxima the first counts, here on the edge.
    QTest::newRow("1, 2, 2, 1") << Values{1, 2, 2, 1} << 0 << 1 << Values{1.5, 1 / std::log(2.0)};
    QTest::newRow("2, 2, 1") << Values{2, 2, 1} << int(Dist<double>::ErrorPeakEdge) << 0 << Values{};
    // Non-positive neighbours are floored at 1e-20 of the peak, not logged as -inf.
    QTest::newRow("lone channel") << Values{0, 3, -1, 0} << 0 << 1 << Values{1, -1 / (2 * std::log(1e-20))};
}

void TestNormalDistribution::gaussabolaRunsThroughPeakAndNeighbours()
{
    QFETCH(Values, values);
    QFETCH(int, code);
    QFETCH(int, peak);
    QFETCH(Values, expected);
    forBothPrecisions([&](auto zero) {
        typedef decltype(zero) T;
        std::vector<T> v(values.begin(), values.end());
        auto d = profile(v);
        QCOMPARE(estimate(Gaussabola, d, Knobs()), code);
        QCOMPARE(d.m_histogramPeak_x, peak);
        if (code != 0)
            return;
        QVERIFY_NEAR(d.mean(), expected[0], tol<T>(1e-6, 1e-15));
        QVERIFY_NEAR(d.variance(), expected[1], tol<T>(1e-6, 1e-15));
        for (int x = peak - 1; x <= peak + 1; ++x)
            if (v[x] > 0)
                QVERIFY_NEAR(d.value(T(x)), v[x], tol<T>(1e-5, 1e-13));
    });
}

void TestNormalDistribution::precalculatedFitInstallsOnlyUsableCurves()
{
    std::vector<double> v{0, 1, 7, 3, 0};
    auto d = profile(v);
    const Knobs good{0, 6.5, 0, 2.2, 0.8};
    QCOMPARE(estimate(Installed, d, good), 0);
    QCOMPARE(d.m_histogramPeak_x, 2);
    QVERIFY_NEAR(d.value(2.2), 6.5, 1e-12);
    QVERIFY_NEAR(d.value(3), 6.5 * std::exp(-0.5), 1e-12);
    // A negative mean or zero sigma is ignored; a curve that is not finite is cleared.
    const double inf = HUGE_VAL;
    const Knobs others[] = {{0, 5, 0, -1, 1}, {0, 5, 0, 2, 0},   {0, 5, 0, inf, 1},
                            {0, 5, 0, 2, NAN}, {0, inf, 0, 2, 1}, {0, 1e200, 0, 2, 1e200}};
    for (int i = 0; i < 6; ++i) {
        estimate(Installed, d, good);
        QCOMPARE(estimate(Installed, d, others[i]), i < 2 ? 0 : -1);
        if (i >= 2)
            QCOMPARE(d.value(2), 0.0);
    }
}

QTEST_APPLESS_MAIN(TestNormalDistribution)
#include "tst_normaldistribution.moc"
