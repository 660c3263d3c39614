#include "MathTestSupport.h"

#include <NormalDistribution.h>

#include <limits>

using namespace corvid::math;

template <typename T>
using Dist = NormalDistribution<T>;

class TestGaussianFits : public QObject
{
    Q_OBJECT

private slots:
    void optionDefaults();
    void regressionRecoversSampledGaussian_data();
    void regressionRecoversSampledGaussian();
    void regressionSubtractsDcOffsetInPlace();
    void regressionRejectsNonFiniteOffsetWithoutTouchingValues();
    void regressionFailsInDocumentedOrder_data();
    void regressionFailsInDocumentedOrder();
    void peakOnEdgeFailsEveryFit_data();
    void peakOnEdgeFailsEveryFit();
    void twoChannelPeakIsNotEnough();
    void precalculatedMatricesInvertTheNormalEquations();
    void precalculatedRegressionRecoversSampledGaussian();
    void precalculatedRegressionReusesKnownPeak();
    void centroidLeavesFitIncomplete();
    void gaussabolaThroughOneFourOne();
    void gaussabolaTakesFirstOfEqualMaxima();
    void gaussabolaNeedsThreeChannelsAndPeak();
    void precalculatedFitInstallsDeviceCurve();
    void precalculatedFitIgnoresInvalidButClearsNonFinite();
};

void TestGaussianFits::optionDefaults()
{
    const Dist<float>::Regression::Options r;
    QCOMPARE(r.m_signal_threshold_percent, 10.0f);
    QCOMPARE(r.m_max_signal_channels, 1);
    QCOMPARE(r.m_peak_threshold, 1e-15f);
    QCOMPARE(r.m_sum_threshold, 1e-15f);
    QCOMPARE(r.m_weighting, 2);
    const Dist<float>::RegressionPrecalculated::Options p;
    QCOMPARE(p.m_max_signal_channels, 1024);
    QCOMPARE(p.m_signal_threshold_percent + p.m_peak_threshold + p.m_sum_threshold, 0.0f);
    const Dist<float>::Gaussabola::Options g;
    QCOMPARE(g.m_percent_threshold, 0.98f);
    QCOMPARE(g.m_peak_threshold + g.m_sum_threshold, 0.0f);
    const Dist<double>::PrecalculatedFit::Options f;
    QCOMPARE(f.m_mean, -1.0);
    QCOMPARE(f.m_sd, -1.0);
    QCOMPARE(f.m_amplitude + f.m_offset + f.m_confidence, 0.0);
}

void TestGaussianFits::regressionRecoversSampledGaussian_data()
{
    QTest::addColumn<int>("weighting");
    QTest::newRow("unweighted") << 0;
    QTest::newRow("squared weights") << 2;
    QTest::newRow("inverse weights") << -1;
}

template <typename T>
static void checkSampledRegression(int weighting)
{
    std::vector<T> v = sampledGaussian<T>(25, 10.3, 2, 100);
    const std::vector<T> before = v;
    Dist<T> d(v.data(), v.size(), Dist<T>::OwnershipPolicyShared, -1, -1, -1);
    typename Dist<T>::Regression fit(d, typename Dist<T>::Regression::Options(T(0.1), 5, T(1e-15), T(1e-15), weighting));
    QCOMPARE(fit.calculate_all(false), int(Dist<T>::ErrorNone));
    QVERIFY(d.m_fitComplete);
    // In float the normal equations over x = 0 .. 8 keep about four digits.
    QVERIFY_NEAR(d.mean(), 10.3, tol<T>(2e-3, 1e-10));
    QVERIFY_NEAR(d.standard_deviation(), 2, tol<T>(2e-3, 1e-10));
    QVERIFY_NEAR(d.variance(), 4, tol<T>(1e-2, 1e-9));
    QVERIFY_NEAR(d.amplitude(), 100, tol<T>(0.1, 1e-8));
    QVERIFY_NEAR(d.scale(), 100 * 2 * 2.5066282746310007, tol<T>(1, 1e-7));
    QVERIFY_NEAR(d.value(T(10.3)), 100, tol<T>(0.1, 1e-8));
    // Channels 6 .. 14 hold at least a tenth of the peak (channel 10).
    QCOMPARE(fit.signal_range(), std::make_pair(6, 14));
    QCOMPARE(fit.m_signal_threshold, T(0.1) * v[10]);
    QCOMPARE(d.dcoffset(), T(0));
    QVERIFY(v == before);
}

void TestGaussianFits::regressionRecoversSampledGaussian()
{
    QFETCH(int, weighting);
    checkSampledRegression<float>(weighting);
    if (QTest::currentTestFailed())
        return;
    checkSampledRegression<double>(weighting);
}

template <typename T>
static void checkDcOffset()
{
    // The peak sits near channel 10 of 60, so the window opposite it,
    // channels 35 .. 45, holds the pedestal alone.
    std::vector<T> v = sampledGaussian<T>(60, 10.3, 2, 100, 5);
    v[35] = T(5.5);
    v[45] = T(4.5);
    const std::vector<T> before = v;
    Dist<T> d(v.data(), v.size(), Dist<T>::OwnershipPolicyShared, -1, -1, -1);
    typename Dist<T>::Regression fit(d, typename Dist<T>::Regression::Options(T(0.1), 5, T(1e-15), T(1e-15), 2));
    QCOMPARE(fit.calculate_all(true), int(Dist<T>::ErrorNone));

    T window = 0;
    for (int i = 35; i <= 45; ++i)
        window += before[i];
    const T offset = window / T(11);
    QCOMPARE(d.dcoffset(), offset);
    T sum = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        QCOMPARE(v[i], T(before[i] - offset));
        sum += v[i];
    }
    QCOMPARE(d.integral(), sum);
    QCOMPARE(d.m_histogramPeak_y, T(before[10] - offset));
    QCOMPARE(offset, T(5));
    QVERIFY_NEAR(d.mean(), 10.3, tol<T>(2e-3, 1e-9));
    QVERIFY_NEAR(d.amplitude(), 100, tol<T>(0.1, 1e-7));
}

void TestGaussianFits::regressionSubtractsDcOffsetInPlace()
{
    FOR_BOTH_PRECISIONS(checkDcOffset);
}

void TestGaussianFits::regressionRejectsNonFiniteOffsetWithoutTouchingValues()
{
    std::vector<double> v = sampledGaussian<double>(60, 10.3, 2, 100, 5);
    v[44] = std::numeric_limits<double>::quiet_NaN();
    Dist<double> d(v.data(), v.size(), Dist<double>::OwnershipPolicyShared, -1, -1, -1);
    d.m_fitComplete = true;
    Dist<double>::Regression fit(d, Dist<double>::Regression::Options(0.1, 5, 1e-15, 1e-15, 2));
    QCOMPARE(fit.calculate_all(true), int(Dist<double>::ErrorSolutionInvalid));
    QVERIFY(!d.m_fitComplete);
    QCOMPARE(v[10], 5 + 100 * std::exp(-0.09 / 8));
    QCOMPARE(v[43], 5.0);
}

void TestGaussianFits::regressionFailsInDocumentedOrder_data()
{
    QTest::addColumn<QVector<double>>("values");
    QTest::addColumn<double>("peakThreshold");
    QTest::addColumn<double>("sumThreshold");
    QTest::addColumn<int>("error");
    const QVector<double> peak{0, 1, 6, 9, 6, 1, 0};
    QTest::newRow("two channels") << QVector<double>{1, 2} << 0.0 << 0.0 << int(Dist<double>::ErrorNotEnoughData);
    QTest::newRow("no channels") << QVector<double>{} << 0.0 << 0.0 << int(Dist<double>::ErrorNotEnoughData);
    // The peak test comes before the edge test.
    QTest::newRow("peak below threshold") << QVector<double>{9, 1, 0} << 10.0 << 0.0
                                          << int(Dist<double>::ErrorPeakBelowThreshold);
    QTest::newRow("sum below threshold") << peak << 1.0 << 24.0 << int(Dist<double>::ErrorSumBelowThreshold);
    QTest::newRow("sum at threshold") << peak << 1.0 << 23.0 << int(Dist<double>::ErrorNone);
    QTest::newRow("log-convex run") << QVector<double>{0, 9.9, 9, 8, 10, 8, 9, 9.9, 0} << 1.0 << 0.0
                                    << int(Dist<double>::ErrorSolutionInvalid);
}

void TestGaussianFits::regressionFailsInDocumentedOrder()
{
    QFETCH(QVector<double>, values);
    QFETCH(double, peakThreshold);
    QFETCH(double, sumThreshold);
    QFETCH(int, error);
    Dist<double> d(values.data(), values.size(), Dist<double>::OwnershipPolicyShared, -1, -1, -1);
    Dist<double>::Regression fit(d, Dist<double>::Regression::Options(0.5, 5, peakThreshold, sumThreshold, 0));
    QCOMPARE(fit.calculate_all(false), error);
    QCOMPARE(d.m_fitComplete, error == 0);
}

void TestGaussianFits::peakOnEdgeFailsEveryFit_data()
{
    QTest::addColumn<QVector<double>>("values");
    QTest::newRow("first channel") << QVector<double>{9, 5, 3, 1, 0.5};
    QTest::newRow("last channel") << QVector<double>{0.5, 1, 3, 5, 9};
}

void TestGaussianFits::peakOnEdgeFailsEveryFit()
{
    QFETCH(QVector<double>, values);
    const int edge = Dist<double>::ErrorPeakEdge;
    Dist<double> a(values.data(), values.size(), Dist<double>::OwnershipPolicyCopy, -1, -1, -1);
    Dist<double>::Regression regression(a, Dist<double>::Regression::Options(0.01, 5, 1e-15, 1e-15, 2));
    QCOMPARE(regression.calculate_all(false), edge);
    Dist<double> b(values.data(), values.size(), Dist<double>::OwnershipPolicyCopy, -1, -1, -1);
    Dist<double>::RegressionPrecalculated precalculated(b, Dist<double>::RegressionPrecalculated::Options());
    QCOMPARE(precalculated.calculate_all(), edge);
    Dist<double> c(values.data(), values.size(), Dist<double>::OwnershipPolicyCopy, -1, -1, -1);
    Dist<double>::Gaussabola gaussabola(c, Dist<double>::Gaussabola::Options());
    QCOMPARE(gaussabola.calculate_all(), edge);
}

void TestGaussianFits::twoChannelPeakIsNotEnough()
{
    // A threshold of 4 keeps only channels 3 and 4.
    QVector<double> values{0, 0, 1, 10, 5, 0.5, 0, 0};
    Dist<double> a(values.data(), values.size(), Dist<double>::OwnershipPolicyCopy, -1, -1, -1);
    Dist<double>::Regression regression(a, Dist<double>::Regression::Options(0.4, 5, 1e-15, 1e-15, 2));
    QCOMPARE(regression.calculate_all(false), int(Dist<double>::ErrorNotEnoughPeakData));
    QCOMPARE(regression.signal_range(), std::make_pair(3, 4));
    QCOMPARE(regression.m_signal_threshold, 4.0);

    Dist<double> b(values.data(), values.size(), Dist<double>::OwnershipPolicyCopy, -1, -1, -1);
    Dist<double>::RegressionPrecalculated precalculated(b, Dist<double>::RegressionPrecalculated::Options(0.4, 5, 0, 0));
    QCOMPARE(precalculated.calculate_all(), int(Dist<double>::ErrorNotEnoughPeakData));
    QCOMPARE(precalculated.signal_range(), std::make_pair(3, 4));

    // A window of one channel either side cuts the run short as well.
    Dist<double> c(values.data(), values.size(), Dist<double>::OwnershipPolicyCopy, -1, -1, -1);
    Dist<double>::Regression narrow(c, Dist<double>::Regression::Options(0.01, 0, 1e-15, 1e-15, 2));
    QCOMPARE(narrow.calculate_all(false), int(Dist<double>::ErrorNotEnoughPeakData));
}

void TestGaussianFits::precalculatedMatricesInvertTheNormalEquations()
{
    std::vector<double> v(10, 1.0);
    Dist<double> d(v.data(), v.size(), Dist<double>::OwnershipPolicyShared, -1, -1, -1);
    Dist<double>::RegressionPrecalculated wide(d, Dist<double>::RegressionPrecalculated::Options(0, 3, 0, 0));
    QCOMPARE(wide.m_matrices.size(), std::size_t(8)); // 2w + 2
    for (int n = 0; n < 3; ++n)
        for (double e : wide.m_matrices[n].m_d)
            QCOMPARE(e, 0.0);
    for (int n = 3; n <= 7; ++n) {
        double s[5] = {0, 0, 0, 0, 0};
        for (int x = 0; x < n; ++x)
            for (int k = 0; k < 5; ++k)
                s[k] += std::pow(x, k);
        Matrix3<double> h(s[0], s[1], s[2], s[3], s[4]);
        QVERIFY(h.invert_hankel());
        for (int i = 0; i < 9; ++i)
            QVERIFY_NEAR(wide.m_matrices[n].m_d[i], h.m_d[i], 1e-12);
    }
    // Runs never exceed the profile, so neither does the table.
    Dist<double>::RegressionPrecalculated defaults(d, Dist<double>::RegressionPrecalculated::Options());
    QCOMPARE(defaults.m_matrices.size(), std::size_t(11));
}

template <typename T>
static void checkPrecalculatedSampled()
{
    std::vector<T> v = sampledGaussian<T>(25, 10.3, 2, 100);
    Dist<T> d(v.data(), v.size(), Dist<T>::OwnershipPolicyShared, -1, -1, -1);
    typename Dist<T>::RegressionPrecalculated fit(d, typename Dist<T>::RegressionPrecalculated::Options(T(0.1), 5, 0, 0));
    QCOMPARE(fit.calculate_all(), int(Dist<T>::ErrorNone));
    QCOMPARE(d.m_histogramPeak_x, 10);
    QVERIFY_NEAR(d.integral(), 100 * 2 * 2.5066282746310007, tol<T>(1e-2, 1e-4)); // tail below channel 0
    QCOMPARE(fit.signal_range(), std::make_pair(6, 14));
    QVERIFY_NEAR(d.mean(), 10.3, tol<T>(2e-3, 1e-10));
    QVERIFY_NEAR(d.standard_deviation(), 2, tol<T>(2e-3, 1e-10));
    QVERIFY_NEAR(d.amplitude(), 100, tol<T>(0.1, 1e-8));
    QVERIFY(d.m_fitComplete);
}

void TestGaussianFits::precalculatedRegressionRecoversSampledGaussian()
{
    FOR_BOTH_PRECISIONS(checkPrecalculatedSampled);
}

void TestGaussianFits::precalculatedRegressionReusesKnownPeak()
{
    // A peak already known is used as it stands, even where it is not the maximum.
    std::vector<double> v = sampledGaussian<double>(25, 10.3, 2, 100);
    v[20] = 1000;
    Dist<double> d(v.data(), v.size(), Dist<double>::OwnershipPolicyShared, -1, -1, -1);
    d.m_histogramPeak_x = 10;
    d.m_histogramPeak_y = v[10];
    d.m_histogramSum = 500;
    Dist<double>::RegressionPrecalculated fit(d, Dist<double>::RegressionPrecalculated::Options(0.1, 5, 0, 0));
    QCOMPARE(fit.calculate_all(), int(Dist<double>::ErrorNone));
    QCOMPARE(d.integral(), 500.0);
    QVERIFY_NEAR(d.mean(), 10.3, 1e-10);
}

void TestGaussianFits::centroidLeavesFitIncomplete()
{
    std::vector<float> v = sampledGaussian<float>(25, 12.6, 1.5, 40);
    Dist<float> d(v.data(), v.size(), Dist<float>::OwnershipPolicyShared, -1, -1, -1);
    Dist<float>::RegressionPrecalculated fit(d, Dist<float>::RegressionPrecalculated::Options(0.2f, 4, 0, 0));
    QCOMPARE(fit.calculate_centroid(), int(Dist<float>::ErrorPeakBelowThreshold)); // no peak known
    d.find_peak_channel();
    QCOMPARE(fit.calculate_centroid(), int(Dist<float>::ErrorNone));
    QVERIFY_NEAR(d.mean(), 12.6, 2e-4);
    QVERIFY_NEAR(d.standard_deviation(), 1.5, 2e-4);
    QVERIFY_NEAR(d.m_sd_inv, 1 / 1.5, 2e-4);
    QVERIFY(!d.m_fitComplete);
    QCOMPARE(d.scale(), -1.0f);
    QCOMPARE(d.m_amplitude, -1.0f);
    QCOMPARE(d.value(12.6f), 0.0f);
}

template <typename T>
static void checkOneFourOne()
{
    std::vector<T> v{1, 4, 1};
    Dist<T> d(v.data(), v.size(), Dist<T>::OwnershipPolicyShared, -1, -1, -1);
    typename Dist<T>::Gaussabola fit(d, typename Dist<T>::Gaussabola::Options());
    QCOMPARE(fit.calculate_all(), int(Dist<T>::ErrorNone));
    QCOMPARE(d.mean(), T(1));
    QVERIFY_NEAR(d.standard_deviation(), std::sqrt(1 / (2 * std::log(4.0))), tol<T>(1e-6, 1e-15));
    QVERIFY_NEAR(d.value(T(1)), 4, tol<T>(1e-5, 1e-13));
    QVERIFY_NEAR(d.value(T(0)), 1, tol<T>(1e-5, 1e-13));
    QCOMPARE(d.integral(), T(6));
    QCOMPARE(fit.signal_range(), std::make_pair(0, 2));
}

void TestGaussianFits::gaussabolaThroughOneFourOne()
{
    FOR_BOTH_PRECISIONS(checkOneFourOne);
}

void TestGaussianFits::gaussabolaTakesFirstOfEqualMaxima()
{
    std::vector<double> edge{2, 2, 1};
    Dist<double> e(edge.data(), edge.size(), Dist<double>::OwnershipPolicyShared, -1, -1, -1);
    Dist<double>::Gaussabola onEdge(e, Dist<double>::Gaussabola::Options());
    QCOMPARE(onEdge.calculate_all(), int(Dist<double>::ErrorPeakEdge));
    QCOMPARE(e.m_histogramPeak_x, 0);

    std::vector<double> v{1, 2, 2, 1};
    Dist<double> d(v.data(), v.size(), Dist<double>::OwnershipPolicyShared, -1, -1, -1);
    Dist<double>::Gaussabola fit(d, Dist<double>::Gaussabola::Options());
    QCOMPARE(fit.calculate_all(), int(Dist<double>::ErrorNone));
    QCOMPARE(d.m_histogramPeak_x, 1);
    QCOMPARE(d.mean(), 1.5);
    QCOMPARE(d.variance(), 1 / std::log(2.0));
    QVERIFY_NEAR(d.value(1), 2, 1e-13);
    QVERIFY_NEAR(d.value(2), 2, 1e-13);
}

void TestGaussianFits::gaussabolaNeedsThreeChannelsAndPeak()
{
    std::vector<float> two{1, 2};
    Dist<float> d2(two.data(), two.size(), Dist<float>::OwnershipPolicyShared, -1, -1, -1);
    Dist<float>::Gaussabola short_(d2, Dist<float>::Gaussabola::Options());
    QCOMPARE(short_.calculate_all(), int(Dist<float>::ErrorNotEnoughData));

    std::vector<float> v{1, 4, 1};
    Dist<float> d(v.data(), v.size(), Dist<float>::OwnershipPolicyShared, -1, -1, -1);
    Dist<float>::Gaussabola high(d, Dist<float>::Gaussabola::Options(5, 0, 0.98f));
    QCOMPARE(high.calculate_all(), int(Dist<float>::ErrorPeakBelowThreshold));

    // Non-positive neighbours are floored at 1e-20 of the peak, not logged as -inf.
    std::vector<float> lone{0, 3, -1, 0};
    Dist<float> l(lone.data(), lone.size(), Dist<float>::OwnershipPolicyShared, -1, -1, -1);
    Dist<float>::Gaussabola fit(l, Dist<float>::Gaussabola::Options());
    QCOMPARE(fit.calculate_all(), int(Dist<float>::ErrorNone));
    QCOMPARE(l.mean(), 1.0f);
    QVERIFY_NEAR(l.standard_deviation(), std::sqrt(-1 / (2 * std::log(1e-20f))), 1e-6);
}

void TestGaussianFits::precalculatedFitInstallsDeviceCurve()
{
    std::vector<double> v{0, 1, 7, 3, 0};
    Dist<double> d(v.data(), v.size(), Dist<double>::OwnershipPolicyShared, -1, -1, -1);
    Dist<double>::PrecalculatedFit fit(d, Dist<double>::PrecalculatedFit::Options(2.2, 0.8, 6.5, 0.1, 95));
    fit.set();
    QVERIFY(d.m_fitComplete);
    QCOMPARE(d.mean(), 2.2);
    QCOMPARE(d.variance(), 0.64);
    QCOMPARE(d.m_histogramPeak_x, 2);
    QCOMPARE(d.scale(), 6.5 * 0.8 * 2.5066282746310007);
    QVERIFY_NEAR(d.value(2.2), 6.5, 1e-12);
    QCOMPARE(d.amplitude(), 6.5);
}

void TestGaussianFits::precalculatedFitIgnoresInvalidButClearsNonFinite()
{
    std::vector<double> v{0, 1, 7, 3, 0};
    Dist<double> d(v.data(), v.size(), Dist<double>::OwnershipPolicyShared, -1, -1, -1);
    Dist<double>::PrecalculatedFit zero(d, Dist<double>::PrecalculatedFit::Options(2, 0, 5, 0, 1));
    zero.set();
    QVERIFY(!d.m_fitComplete);
    QCOMPARE(d.variance(), 0.0);

    Dist<double>::PrecalculatedFit good(d, Dist<double>::PrecalculatedFit::Options(2, 1, 5, 0, 1));
    good.set();
    QVERIFY(d.m_fitComplete);
    Dist<double>::PrecalculatedFit negative(d, Dist<double>::PrecalculatedFit::Options(-1, 1, 5, 0, 1));
    negative.set();
    QVERIFY(d.m_fitComplete); // left as it was

    const double inf = std::numeric_limits<double>::infinity();
    const Dist<double>::PrecalculatedFit::Options nonFinite[] = {
        {inf, 1, 5, 0, 1}, {2, std::nan(""), 5, 0, 1}, {2, 1, inf, 0, 1}, {2, 1e200, 1e200, 0, 1}};
    for (auto const &o : nonFinite) {
        good.set();
        QVERIFY(d.m_fitComplete);
        Dist<double>::PrecalculatedFit bad(d, o);
        bad.set();
        QVERIFY(!d.m_fitComplete);
        QCOMPARE(d.value(2), 0.0);
    }
}

QTEST_APPLESS_MAIN(TestGaussianFits)
#include "tst_gaussianfits.moc"
