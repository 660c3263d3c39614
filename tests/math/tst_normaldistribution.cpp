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
    void copyPolicyDetachesFromCallersArray()
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

    void smallProfiles_data()
    {
        typedef Dist<double> D;
        QTest::addColumn<QList<int>>("estimators");
        QTest::addColumn<Values>("values");
        QTest::addColumn<Knobs>("options");
        QTest::addColumn<QList<int>>("codes"); // one per estimator
        QTest::addColumn<Values>("expected"); // mean, variance, integral, skewness, kurtosis; NaN: any
        const int invalid = D::ErrorSolutionInvalid, noSum = D::ErrorSumBelowThreshold, edge = D::ErrorPeakEdge;
        const int low = D::ErrorPeakBelowThreshold, few = D::ErrorNotEnoughPeakData, notEnough = D::ErrorNotEnoughData;
        const double inf = HUGE_VAL;
        const auto row = [](const char *name, const QList<int> &which, const Values &v, Knobs k, const QList<int> &codes,
                            const Values &expected = {}) { QTest::newRow(name) << which << v << k << codes << expected; };
        const Knobs all, window1{0, 0, 0, 0, 0, 1};
        // Weights 2 and 1 at offsets -1 and 2: m2 = 2, m3 = 2, m4 = 6 (kurtosis m4 / sigma^4, no 3 taken off).
        row("skewed", {Filtered}, {0, 2, 0, 0, 1, 0}, all, {0}, {2, 2, 3, std::sqrt(0.5), 1.5});
        // Channels equal to the threshold are dropped too.
        row("at threshold", {Filtered}, {4, 5, 10, 8, 5, 1}, Knobs{0.5}, {0}, {44 / 18.0, NAN, 18});
        row("window at edge", {Windowed}, {9, 3, 2, 1, 1, 0, 7, 0, 0, 0}, Knobs{0, 0, 0, 0, 0, 2}, {0}, {14 / 16.0, NAN, 16});
        row("delta", {Windowed}, {0, 0, 0, 4, 0, 0}, window1, {invalid}, {3});
        row("one channel", {Filtered}, {5}, all, {notEnough});
        row("non-positive", {Windowed}, {-1, 0, -3, 0}, window1, {noSum});
        row("infinities", {Windowed}, {1, -inf, inf, 2, 1}, window1, {invalid});
        // The filter drops NaN: it is not above the threshold.
        row("NaN", {Filtered}, {1, NAN, 4, 2, 1}, all, {0}, {2.25, NAN, 8});
        // The three-point fit runs through the peak and its neighbours.
        row("parabola 1, 4, 1", {Gaussabola}, {1, 4, 1}, all, {0}, {1, 1 / std::log(16.0)});
        // Of equal maxima the first counts, here on the edge.
        row("parabola 1, 2, 2, 1", {Gaussabola}, {1, 2, 2, 1}, all, {0}, {1.5, 1 / std::log(2.0)});
        row("parabola 2, 2, 1", {Gaussabola}, {2, 2, 1}, all, {edge});
        // Non-positive neighbours are floored at 1e-20 of the peak, not logged as -inf.
        row("parabola of a lone channel", {Gaussabola}, {0, 3, -1, 0}, all, {0}, {1, -1 / (2 * std::log(1e-20))});

        // Profiles the fits refuse: knobs are fraction, peak threshold, sum threshold, -, -, half-width.
        const QList<int> fits{Regression, Precalculated, Gaussabola};
        const Values peak{0, 1, 6, 9, 6, 1, 0}, narrow{0, 0, 1, 10, 5, 0.5, 0, 0};
        // The precalculated regression has no length test of its own: its peak lies on an edge.
        row("fits, two channels", fits, {1, 2}, Knobs{0.5}, {notEnough, edge, notEnough});
        // The peak test comes before the edge test.
        row("fits, peak below threshold", fits, {9, 1, 0}, Knobs{0.5, 10}, {low, low, low});
        row("fits, peak on first channel", fits, {9, 5, 3, 1, 0.5}, Knobs{0.01, 0, 0, 0, 0, 5}, {edge, edge, edge});
        row("fits, peak on last channel", fits, {0.5, 1, 3, 5, 9}, Knobs{0.01, 0, 0, 0, 0, 5}, {edge, edge, edge});
        // Gaussabola carries the sum threshold without using it.
        row("fits, sum below threshold", fits, peak, Knobs{0.5, 1, 24, 0, 0, 5}, {noSum, noSum, 0});
        row("fits, sum at threshold", fits, peak, Knobs{0.5, 1, 23, 0, 0, 5}, {0, 0, 0});
        row("fits, log-convex run", fits, {0, 9.9, 9, 8, 10, 8, 9, 9.9, 0}, Knobs{0.5, 1, 0, 0, 0, 5}, {invalid, invalid, 0});
        // At 0.4 of the peak only channels 3 and 4 count; a half-width of 0 cuts the run as short.
        row("fits, two-channel run", fits, narrow, Knobs{0.4, 0, 0, 0, 0, 5}, {few, few, 0});
        row("fits, one-channel window", fits, narrow, Knobs{0.01, 0, 0, 0, 0, 0}, {few, few, 0});
    }

    void smallProfiles()
    {
        QFETCH(QList<int>, estimators);
        QFETCH(Values, values);
        QFETCH(Knobs, options);
        QFETCH(QList<int>, codes);
        QFETCH(Values, expected);
        forBothPrecisions([&](auto zero) {
            typedef decltype(zero) T;
            for (int e = 0; e < estimators.size(); ++e) {
                std::vector<T> v(values.begin(), values.end());
                auto d = profile(v);
                QCOMPARE(estimate(estimators[e], d, options), codes[e]);
                QCOMPARE(d.m_fitComplete, codes[e] == 0);
                const T got[5] = {d.mean(), d.variance(), d.integral(), d.skewness(), d.kurtosis_excess()};
                for (int i = 0; i < expected.size(); ++i)
                    if (!std::isnan(expected[i]))
                        QVERIFY_NEAR(got[i], expected[i], tol<T>(1e-6, 1e-15));
                const int peak = d.m_histogramPeak_x;
                for (int x = peak - 1; estimators[e] == Gaussabola && codes[e] == 0 && x <= peak + 1; ++x)
                    if (v[x] > 0)
                        QVERIFY_NEAR(d.value(T(x)), v[x], tol<T>(1e-5, 1e-13));
            }
        });
    }

    void dcOffsetAveragesOppositeWindow()
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

    void snrAndChi2OfKnownProfiles()
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

    void fitsRecoverSampledGaussian_data()
    {
        QTest::addColumn<int>("estimator");
        QTest::addColumn<int>("weighting");
        QTest::newRow("centre of gravity") << int(Filtered) << 0;
        QTest::newRow("unweighted") << int(Regression) << 0;
        QTest::newRow("squared weights") << int(Regression) << 2;
        QTest::newRow("inverse weights") << int(Regression) << -1;
        QTest::newRow("precalculated") << int(Precalculated) << 0;
    }

    void fitsRecoverSampledGaussian()
    {
        QFETCH(int, estimator);
        QFETCH(int, weighting);
        forBothPrecisions([&](auto zero) {
            typedef decltype(zero) T;
            std::vector<T> v = sampledGaussian<T>(30, 14.3, 2, 100);
            const std::vector<T> before = v;
            auto d = profile(v);
            QCOMPARE(d.amplitude(), T(0)); // no curve yet
            typename Dist<T>::RegressionPrecalculated fixed(d, {T(0.1), 5, 0, 0});
            typename Dist<T>::Regression weighted(d, {T(0.1), 5, T(1e-15), T(1e-15), weighting});
            if (estimator == Filtered) {
                QCOMPARE(estimate(Filtered, d, Knobs()), 0);
            } else {
                QCOMPARE(estimator == Precalculated ? fixed.calculate_all() : weighted.calculate_all(false), 0);
                // Channels 10 .. 18 hold at least a tenth of the peak (channel 14).
                const auto range = estimator == Precalculated ? fixed.signal_range() : weighted.signal_range();
                QCOMPARE(range, std::make_pair(10, 18));
            }
            QVERIFY(d.m_fitComplete);
            QVERIFY(v == before);
            // In float the normal equations over x = 0 .. 8 keep about four digits.
            QVERIFY_NEAR(d.mean(), 14.3, tol<T>(2e-3, 1e-9));
            QVERIFY_NEAR(d.standard_deviation(), 2, tol<T>(2e-3, 1e-9));
            QVERIFY_NEAR(d.amplitude(), 100, tol<T>(0.1, 1e-7));
            QVERIFY_NEAR(d.scale(), 100 * 2 * std::sqrt(2 * M_PI), tol<T>(1, 1e-6));
            typename Dist<T>::Chi2 chi(d, typename Dist<T>::Chi2::Options(5));
            chi.calculate_all();
            QVERIFY_NEAR(chi.quality_of_fit_percent(), 100, tol<T>(0.5, 1e-7));
        });
    }

    // The histogram view's default regression (no threshold, the widest
    // window) fits the whole profile: a narrow beam far from channel 0.
    void regressionOverAWholeProfileFindsTheBeam_data()
    {
        QTest::addColumn<double>("pedestal");
        QTest::newRow("on zero") << 0.0;
        QTest::newRow("on a pedestal") << 0.5;
    }

    void regressionOverAWholeProfileFindsTheBeam()
    {
        QFETCH(double, pedestal);
        forBothPrecisions([&](auto zero) {
            typedef decltype(zero) T;
            std::vector<T> v = sampledGaussian<T>(128, 60.3, 5, 1000, pedestal);
            auto d = profile(v);
            typename Dist<T>::Regression fit(d, {T(0), 1024, T(1e-15), T(1e-14), 2});
            QCOMPARE(fit.calculate_all(false), 0);
            QCOMPARE(fit.signal_range(), std::make_pair(0, 127));
            // A pedestal is no part of the model: only the centre stays, nearly.
            QVERIFY_NEAR(d.mean(), 60.3, pedestal == 0 ? tol<T>(2e-3, 1e-6) : 5e-3);
            if (pedestal == 0) {
                QVERIFY_NEAR(d.standard_deviation(), 5, tol<T>(2e-3, 1e-6));
                QVERIFY_NEAR(d.amplitude(), 1000, tol<T>(0.5, 1e-3));
            }
        });
    }

    void regressionSubtractsDcOffsetInPlace()
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

    void precalculatedRegressionUsesStoredPeak()
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

    void precalculatedFitInstallsOnlyUsableCurves()
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
};

QTEST_APPLESS_MAIN(TestNormalDistribution)
#include "tst_normaldistribution.moc"
