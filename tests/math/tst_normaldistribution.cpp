#include "MathTestSupport.h"

#include <NormalDistribution.h>

#include <limits>

using namespace corvid::math;

class TestNormalDistribution : public QObject
{
    Q_OBJECT

private slots:
    void copyPolicyDetachesFromCallersArray();
    void copiedDistributionReadsSourceValues();
    void zeroSigmaLeavesDerivedMembersUnset();
    void clearResetsResultsButKeepsValues();
    void peakSearchKeepsFirstMaximum_data();
    void peakSearchKeepsFirstMaximum();
    void justifiedWindowSlidesInward_data();
    void justifiedWindowSlidesInward();
    void truncatedWindowShortensAtEdges();
    void centreOfGravityNeedsTwoChannels();
    void centreOfGravityOfFlatProfileIsMiddle();
    void centreOfGravityOfDeltaIsInvalid();
    void centreOfGravityMomentsOfSymmetricProfile();
    void filteredCentreOfGravityDropsChannelsAtThreshold();
    void windowedCentreOfGravityAtArrayEdge();
    void centreOfGravityOfNonPositiveProfile();
    void centreOfGravityScalesCurveThroughPeak();
    void dcOffsetNeedsEnoughChannels_data();
    void dcOffsetNeedsEnoughChannels();
    void dcOffsetAveragesOppositeWindow_data();
    void dcOffsetAveragesOppositeWindow();
    void scaleOfUnusableSigmaIsNaN();
    void amplitudeIsComputedOnceAfterFit();
    void snrSeparatesSignalFromNoise();
    void snrNeedsTwoNoiseChannels();
    void snrRejectsNonFiniteFit();
    void chi2BeforeFitUsesRawValues();
    void chi2OfPerfectFitIsZero();
    void chi2PercentNeverNegative();
    void nonFiniteChannelsEndCentreOfGravityWithoutThrow_data();
    void nonFiniteChannelsEndCentreOfGravityWithoutThrow();
};

template <typename T>
using Dist = NormalDistribution<T>;

template <typename T>
static void checkCopyPolicy()
{
    T values[4] = {1, 5, 2, 0};
    Dist<T> copy(values, 4, Dist<T>::OwnershipPolicyCopy, -1, -1, -1);
    Dist<T> shared(values, 4, Dist<T>::OwnershipPolicyShared, -1, -1, -1);
    QVERIFY(copy.m_own_histogram);
    QVERIFY(!shared.m_own_histogram);
    values[2] = 9;
    copy.find_peak_channel();
    shared.find_peak_channel();
    QCOMPARE(copy.m_histogramPeak_x, 1);
    QCOMPARE(shared.m_histogramPeak_x, 2);
}

void TestNormalDistribution::copyPolicyDetachesFromCallersArray()
{
    FOR_BOTH_PRECISIONS(checkCopyPolicy);
}

void TestNormalDistribution::copiedDistributionReadsSourceValues()
{
    double values[3] = {1, 2, 3};
    Dist<double> source(values, 3, Dist<double>::OwnershipPolicyCopy, 1.5, 2, -1);
    Dist<double> copy(source);
    QVERIFY(!copy.m_own_histogram);
    QCOMPARE(copy.m_histogram, source.m_histogram);
    QCOMPARE(copy.mean(), 1.5);
    QCOMPARE(copy.variance(), 4.0);
    QCOMPARE(copy.m_sd_inv2_neg_half, -0.125);
}

void TestNormalDistribution::zeroSigmaLeavesDerivedMembersUnset()
{
    float v = 1;
    Dist<float> zero(&v, 1, Dist<float>::OwnershipPolicyShared, 0, 0, -1);
    QCOMPARE(zero.m_sd_inv, -1.0f);
    QCOMPARE(zero.m_sd_root_two_pi_inv, -1.0f);
    QCOMPARE(zero.m_sd_inv2_neg_half, 0.0f);
    QCOMPARE(zero.variance(), 0.0f);
    Dist<float> negative(&v, 1, Dist<float>::OwnershipPolicyShared, 0, -2, -1);
    QCOMPARE(negative.variance(), -1.0f);
    Dist<float> two(&v, 1, Dist<float>::OwnershipPolicyShared, 0, 2, 7);
    QCOMPARE(two.m_sd_root_two_pi_inv, float(0.3989422804014327 / 2));
    QCOMPARE(two.m_amplitude, 7.0f);
    QCOMPARE(two.m_scale, -1.0f);
    QCOMPARE(two.m_histogramPeak_x, -1);
}

void TestNormalDistribution::clearResetsResultsButKeepsValues()
{
    std::vector<double> v = sampledGaussian<double>(11, 5, 1.5, 10);
    Dist<double> d(v.data(), v.size(), Dist<double>::OwnershipPolicyShared, -1, -1, -1);
    Dist<double>::CenterOfGravityFiltered cog(d, Dist<double>::CenterOfGravityFiltered::Options());
    QCOMPARE(cog.calculate_all(), int(Dist<double>::ErrorNone));
    d.m_dcoffset = 3;
    d.clear();
    QVERIFY(!d.m_fitComplete);
    QCOMPARE(d.mean(), -1.0);
    QCOMPARE(d.standard_deviation(), -1.0);
    QCOMPARE(d.scale(), -1.0);
    QCOMPARE(d.m_histogramPeak_x, -1);
    QCOMPARE(d.m_histogramPeak_y, -1.0);
    QCOMPARE(d.integral(), 0.0);
    QCOMPARE(d.dcoffset(), 0.0);
    QCOMPARE(d.m_sd_inv2_neg_half, 0.0);
    QCOMPARE(d.value(5), 0.0);
    QCOMPARE(d.m_histogram, v.data());
    QCOMPARE(d.size(), std::size_t(11));
}

void TestNormalDistribution::peakSearchKeepsFirstMaximum_data()
{
    QTest::addColumn<QVector<double>>("values");
    QTest::addColumn<int>("x");
    QTest::addColumn<double>("y");
    // A peak channel from an earlier search survives profiles without a positive value.
    QTest::newRow("equal maxima") << QVector<double>{0, 1, 0, 5, 0, 2, 0, 5, 1} << 3 << 5.0;
    QTest::newRow("last channel") << QVector<double>{1, 2, 3} << 2 << 3.0;
    QTest::newRow("all negative") << QVector<double>{-1, -5, -2} << 7 << 0.0;
    QTest::newRow("all zero") << QVector<double>{0, 0} << 7 << 0.0;
    QTest::newRow("empty") << QVector<double>{} << 7 << 0.0;
    QTest::newRow("NaN ignored") << QVector<double>{std::nan(""), 1, std::nan("")} << 1 << 1.0;
}

void TestNormalDistribution::peakSearchKeepsFirstMaximum()
{
    QFETCH(QVector<double>, values);
    QFETCH(int, x);
    QFETCH(double, y);
    Dist<double> d(values.data(), values.size(), Dist<double>::OwnershipPolicyShared, -1, -1, -1);
    d.m_histogramPeak_x = 7;
    d.find_peak_channel();
    QCOMPARE(d.m_histogramPeak_x, x);
    QCOMPARE(d.m_histogramPeak_y, y);
}

void TestNormalDistribution::justifiedWindowSlidesInward_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("center");
    QTest::addColumn<int>("halfWidth");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::newRow("peak at 0") << 10 << 0 << 2 << 0 << 4;
    QTest::newRow("peak at 1") << 10 << 1 << 2 << 0 << 4;
    QTest::newRow("inside") << 10 << 5 << 2 << 3 << 7;
    QTest::newRow("touching end") << 10 << 7 << 2 << 5 << 9;
    QTest::newRow("past end") << 10 << 9 << 2 << 5 << 9;
    QTest::newRow("exactly whole array") << 5 << 2 << 2 << 0 << 4;
    QTest::newRow("wider than array") << 5 << 4 << 3 << 0 << 4;
    QTest::newRow("no peak found") << 10 << -1 << 2 << 0 << 4;
    QTest::newRow("half-width 0") << 10 << 3 << 0 << 3 << 3;
    QTest::newRow("negative half-width") << 10 << 3 << -2 << 0 << -1;
}

void TestNormalDistribution::justifiedWindowSlidesInward()
{
    QFETCH(int, total);
    QFETCH(int, center);
    QFETCH(int, halfWidth);
    QFETCH(int, low);
    QFETCH(int, high);
    const range::WindowedRangePicker<range::Justify> picker(halfWidth, total);
    QCOMPARE(picker.range(center), range::Range(low, high));
}

void TestNormalDistribution::truncatedWindowShortensAtEdges()
{
    const range::WindowedRangePicker<range::Truncate> picker(2, 10);
    QCOMPARE(picker.range(0), range::Range(0, 2));
    QCOMPARE(picker.range(5), range::Range(3, 7));
    QCOMPARE(picker.range(9), range::Range(7, 9));
}

template <typename T>
static void checkCogNeedsTwoChannels()
{
    T one = 5;
    Dist<T> d(&one, 1, Dist<T>::OwnershipPolicyShared, -1, -1, -1);
    typename Dist<T>::CenterOfGravityFiltered filtered(d, typename Dist<T>::CenterOfGravityFiltered::Options());
    typename Dist<T>::CenterOfGravityWindowed windowed(d, typename Dist<T>::CenterOfGravityWindowed::Options(3));
    QCOMPARE(filtered.calculate_all(), int(Dist<T>::ErrorNotEnoughData));
    QCOMPARE(windowed.calculate_all(), int(Dist<T>::ErrorNotEnoughData));
    Dist<T> empty(nullptr, 10, Dist<T>::OwnershipPolicyCopy, -1, -1, -1);
    QCOMPARE(empty.size(), std::size_t(0));
    typename Dist<T>::CenterOfGravityFiltered onEmpty(empty, typename Dist<T>::CenterOfGravityFiltered::Options());
    QCOMPARE(onEmpty.calculate_all(), int(Dist<T>::ErrorNotEnoughData));
}

void TestNormalDistribution::centreOfGravityNeedsTwoChannels()
{
    FOR_BOTH_PRECISIONS(checkCogNeedsTwoChannels);
}

template <typename T>
static void checkFlatProfile()
{
    std::vector<T> v(5, T(2));
    Dist<T> d(v.data(), v.size(), Dist<T>::OwnershipPolicyShared, -1, -1, -1);
    typename Dist<T>::CenterOfGravityFiltered cog(d, typename Dist<T>::CenterOfGravityFiltered::Options());
    QCOMPARE(cog.calculate_all(), int(Dist<T>::ErrorNone));
    QCOMPARE(d.mean(), T(2));
    QCOMPARE(d.variance(), T(2));
    QCOMPARE(d.integral(), T(10));
    QCOMPARE(cog.signal_range(), std::make_pair(0, 4));
    QVERIFY(d.m_fitComplete);
}

void TestNormalDistribution::centreOfGravityOfFlatProfileIsMiddle()
{
    FOR_BOTH_PRECISIONS(checkFlatProfile);
}

template <typename T>
static void checkDelta()
{
    std::vector<T> v{0, 0, 0, 4, 0, 0};
    Dist<T> d(v.data(), v.size(), Dist<T>::OwnershipPolicyShared, -1, -1, -1);
    typename Dist<T>::CenterOfGravityWindowed cog(d, typename Dist<T>::CenterOfGravityWindowed::Options(1));
    QCOMPARE(cog.calculate_all(), int(Dist<T>::ErrorSolutionInvalid));
    QCOMPARE(d.mean(), T(3));
    QVERIFY(!d.m_fitComplete);
}

void TestNormalDistribution::centreOfGravityOfDeltaIsInvalid()
{
    FOR_BOTH_PRECISIONS(checkDelta);
}

void TestNormalDistribution::centreOfGravityMomentsOfSymmetricProfile()
{
    // Weights 1, 2, 1 at offsets -1, 0, 1: variance 1/2, m4 = 1/2, so m4 / var^2 = 2.
    std::vector<double> v{0, 1, 2, 1, 0};
    Dist<double> d(v.data(), v.size(), Dist<double>::OwnershipPolicyShared, -1, -1, -1);
    Dist<double>::CenterOfGravityFiltered cog(d, Dist<double>::CenterOfGravityFiltered::Options());
    QCOMPARE(cog.calculate_all(), int(Dist<double>::ErrorNone));
    QCOMPARE(d.mean(), 2.0);
    QCOMPARE(d.variance(), 0.5);
    QCOMPARE(d.standard_deviation(), std::sqrt(0.5));
    QCOMPARE(d.skewness() + 1, 1.0);
    QCOMPARE(d.kurtosis_excess(), 2.0);
    QCOMPARE(d.m_sd_inv2_neg_half, -1.0);

    // Skewed towards higher channels: positive skewness.
    std::vector<double> w{0, 1, 2, 1, 1, 1, 0};
    Dist<double> s(w.data(), w.size(), Dist<double>::OwnershipPolicyShared, -1, -1, -1);
    Dist<double>::CenterOfGravityFiltered skewed(s, Dist<double>::CenterOfGravityFiltered::Options());
    QCOMPARE(skewed.calculate_all(), int(Dist<double>::ErrorNone));
    QVERIFY(s.skewness() > 0);
}

void TestNormalDistribution::filteredCentreOfGravityDropsChannelsAtThreshold()
{
    // Threshold 0.5 of a peak of 10 is 5: the channels equal to 5 are dropped too.
    std::vector<double> v{4, 5, 10, 8, 5, 1};
    Dist<double> d(v.data(), v.size(), Dist<double>::OwnershipPolicyShared, -1, -1, -1);
    Dist<double>::CenterOfGravityFiltered cog(d, Dist<double>::CenterOfGravityFiltered::Options(0.5));
    QCOMPARE(cog.calculate_all(), int(Dist<double>::ErrorNone));
    QCOMPARE(cog.m_filter.m_threshold, 5.0);
    QCOMPARE(d.integral(), 18.0);
    QCOMPARE(d.mean(), (2 * 10 + 3 * 8) / 18.0);
    QCOMPARE(cog.signal_range(), std::make_pair(0, 5));
}

template <typename T>
static void checkWindowedEdge()
{
    std::vector<T> v{9, 3, 2, 1, 1, 0, 7, 0, 0, 0};
    Dist<T> d(v.data(), v.size(), Dist<T>::OwnershipPolicyShared, -1, -1, -1);
    typename Dist<T>::CenterOfGravityWindowed cog(d, typename Dist<T>::CenterOfGravityWindowed::Options(2));
    QCOMPARE(cog.calculate_all(), int(Dist<T>::ErrorNone));
    QCOMPARE(cog.xLowSide(), 0);
    QCOMPARE(cog.xHighSide(), 4);
    QCOMPARE(d.integral(), T(16));
    QCOMPARE(d.mean(), T(3 + 4 + 3 + 4) / T(16));
}

void TestNormalDistribution::windowedCentreOfGravityAtArrayEdge()
{
    FOR_BOTH_PRECISIONS(checkWindowedEdge);
}

void TestNormalDistribution::centreOfGravityOfNonPositiveProfile()
{
    std::vector<float> v{-1, 0, -3, 0};
    Dist<float> d(v.data(), v.size(), Dist<float>::OwnershipPolicyShared, -1, -1, -1);
    Dist<float>::CenterOfGravityFiltered cog(d, Dist<float>::CenterOfGravityFiltered::Options());
    QCOMPARE(cog.calculate_all(), int(Dist<float>::ErrorSumBelowThreshold));
    QCOMPARE(d.m_histogramPeak_y, 0.0f);
    Dist<float>::CenterOfGravityWindowed windowed(d, Dist<float>::CenterOfGravityWindowed::Options(1));
    QCOMPARE(windowed.calculate_all(), int(Dist<float>::ErrorSumBelowThreshold));
    QCOMPARE(windowed.signal_range(), std::make_pair(0, 2));
}

template <typename T>
static void checkScaleThroughPeak()
{
    std::vector<T> v = sampledGaussian<T>(40, 19.4, 3, 50);
    Dist<T> d(v.data(), v.size(), Dist<T>::OwnershipPolicyShared, -1, -1, -1);
    typename Dist<T>::CenterOfGravityFiltered cog(d, typename Dist<T>::CenterOfGravityFiltered::Options());
    QCOMPARE(cog.calculate_all(), int(Dist<T>::ErrorNone));
    QVERIFY_NEAR(d.mean(), 19.4, tol<T>(1e-4, 1e-9));
    QVERIFY_NEAR(d.standard_deviation(), 3, tol<T>(1e-4, 1e-8)); // tails cut at 6.5 sigma
    QCOMPARE(d.m_histogramPeak_x, 19);
    QVERIFY_NEAR(d.value(T(19)), v[19], tol<T>(1e-4, 1e-9));
    QVERIFY_NEAR(d.amplitude(), d.value(d.mean()), tol<T>(1e-4, 1e-9));
}

void TestNormalDistribution::centreOfGravityScalesCurveThroughPeak()
{
    FOR_BOTH_PRECISIONS(checkScaleThroughPeak);
}

void TestNormalDistribution::dcOffsetNeedsEnoughChannels_data()
{
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("window");
    QTest::newRow("three channels") << 3 << 0;
    QTest::newRow("window above half") << 10 << 6;
}

void TestNormalDistribution::dcOffsetNeedsEnoughChannels()
{
    QFETCH(int, channels);
    QFETCH(int, window);
    std::vector<double> v(channels, 2.0);
    Dist<double> d(v.data(), v.size(), Dist<double>::OwnershipPolicyShared, -1, -1, -1);
    d.m_dcoffset = 0.25;
    d.calculate_dc_offset(window);
    QCOMPARE(d.dcoffset(), 0.25);
    QCOMPARE(d.m_histogramPeak_x, -1);
}

void TestNormalDistribution::dcOffsetAveragesOppositeWindow_data()
{
    QTest::addColumn<int>("peak");
    QTest::addColumn<int>("window");
    QTest::addColumn<double>("offset");
    // Channel i holds i, the peak 100 sits at `peak`; N = 10.
    QTest::newRow("opposite inside") << 2 << 1 << 7.0;      // channels 6..8
    QTest::newRow("opposite wraps") << 8 << 1 << 3.0;       // (5 + 8) mod 10 = 3: channels 2..4
    QTest::newRow("opposite at end") << 4 << 2 << 7.0;      // 9: slid to 5..9
    QTest::newRow("half the array") << 0 << 5 << 14.5;      // the whole array, peak included
}

void TestNormalDistribution::dcOffsetAveragesOppositeWindow()
{
    QFETCH(int, peak);
    QFETCH(int, window);
    QFETCH(double, offset);
    std::vector<double> v(10);
    for (int i = 0; i < 10; ++i)
        v[i] = i;
    v[peak] = 100;
    const std::vector<double> before = v;
    Dist<double> d(v.data(), v.size(), Dist<double>::OwnershipPolicyShared, -1, -1, -1);
    d.calculate_dc_offset(window);
    QCOMPARE(d.m_histogramPeak_x, peak);
    QCOMPARE(d.dcoffset(), offset);
    QVERIFY(v == before);
}

void TestNormalDistribution::scaleOfUnusableSigmaIsNaN()
{
    double v[3] = {1, 2, 1};
    Dist<double> d(v, 3, Dist<double>::OwnershipPolicyShared, 1, std::numeric_limits<double>::quiet_NaN(), -1);
    d.find_peak_channel();
    d.calculate_scale();
    QVERIFY(std::isnan(d.scale()));
    d.m_sd = 0;
    d.calculate_scale();
    QVERIFY(std::isnan(d.scale()));
    d.m_sd = 1;
    d.m_mean = std::numeric_limits<double>::infinity();
    d.calculate_scale();
    QVERIFY(std::isnan(d.scale()));
    d.m_mean = 1;
    d.calculate_scale();
    QCOMPARE(d.scale(), 2.0 / 0.3989422804014327);
}

void TestNormalDistribution::amplitudeIsComputedOnceAfterFit()
{
    std::vector<double> v = sampledGaussian<double>(21, 10, 2, 8);
    Dist<double> d(v.data(), v.size(), Dist<double>::OwnershipPolicyShared, -1, -1, -1);
    QCOMPARE(d.amplitude(), 0.0);
    QCOMPARE(d.m_amplitude, -1.0);
    Dist<double>::CenterOfGravityFiltered cog(d, Dist<double>::CenterOfGravityFiltered::Options());
    QCOMPARE(cog.calculate_all(), int(Dist<double>::ErrorNone));
    const double a = d.amplitude();
    QCOMPARE(a, d.scale() * d.m_sd_root_two_pi_inv);
    QCOMPARE(d.m_amplitude, a);
    d.m_scale *= 2;
    QCOMPARE(d.amplitude(), a);
}

void TestNormalDistribution::snrSeparatesSignalFromNoise()
{
    std::vector<double> v{1, 3, 1, 3, 10, 20, 10, 3, 1, 3};
    Dist<double> d(v.data(), v.size(), Dist<double>::OwnershipPolicyShared, 5.2, 1, -1);
    Dist<double>::SNR snr(d, 1);
    QCOMPARE(snr.calculate_all(), 1);
    QCOMPARE(snr.signal_range(), std::make_pair(5, 6));
    // Noise: channels 0..4 and 7..9.
    const double noise[] = {1, 3, 1, 3, 10, 3, 1, 3};
    const double mean = 25.0 / 8;
    double squares = 0;
    for (double n : noise)
        squares += (n - mean) * (n - mean);
    const double sigma = std::sqrt(squares / 7);
    QCOMPARE(snr.m_noiseMean, mean);
    QCOMPARE(snr.noise_standard_deviation(), sigma);
    QCOMPARE(snr.m_signalSum, 30.0);
    QCOMPARE(snr.snr(), 30 / (sigma * std::sqrt(2.0)));
}

void TestNormalDistribution::snrNeedsTwoNoiseChannels()
{
    std::vector<float> v{1, 3, 1, 3, 10, 20, 10, 3, 1, 3};
    Dist<float> d(v.data(), v.size(), Dist<float>::OwnershipPolicyShared, 5, 1.5f, -1);
    Dist<float>::SNR snr(d, 3);
    QCOMPARE(snr.calculate_all(), 0);
    QCOMPARE(snr.signal_range(), std::make_pair(1, 9));
    QCOMPARE(snr.snr(), 1.0f);
}

void TestNormalDistribution::snrRejectsNonFiniteFit()
{
    std::vector<double> v(20, 1.0);
    Dist<double> d(v.data(), v.size(), Dist<double>::OwnershipPolicyShared, std::nan(""), 1, -1);
    Dist<double>::SNR snr(d, 3);
    QCOMPARE(snr.calculate_all(), 0);
    QCOMPARE(snr.snr(), 1.0);
    d.m_mean = 1e300;
    d.m_sd = 1e300;
    QCOMPARE(snr.calculate_all(), 0);
    d.m_mean = 5;
    d.m_sd = std::numeric_limits<double>::infinity();
    QCOMPARE(snr.calculate_all(), 0);
}

void TestNormalDistribution::chi2BeforeFitUsesRawValues()
{
    std::vector<double> v{1, 2, 4, 2, 1, 0, 3};
    Dist<double> d(v.data(), v.size(), Dist<double>::OwnershipPolicyShared, -1, -1, -1);
    d.find_peak_channel();
    Dist<double>::Chi2 chi(d, Dist<double>::Chi2::Options(1));
    QCOMPARE(chi.calculate_all(), 1);
    QCOMPARE(chi.signal_range(), std::make_pair(1, 3));
    QCOMPARE(chi.quality_of_fit(), std::sqrt(0.25 + 1 + 0.25));
    QCOMPARE(chi.quality_of_fit_percent(), 0.0);
}

template <typename T>
static void checkPerfectChi2()
{
    std::vector<T> v = sampledGaussian<T>(25, 10.3, 2, 100);
    Dist<T> d(v.data(), v.size(), Dist<T>::OwnershipPolicyShared, -1, -1, -1);
    typename Dist<T>::Regression fit(d, typename Dist<T>::Regression::Options(T(0.1), 5, T(1e-15), T(1e-15), 0));
    QCOMPARE(fit.calculate_all(false), int(Dist<T>::ErrorNone));
    typename Dist<T>::Chi2 chi(d, typename Dist<T>::Chi2::Options(5));
    QCOMPARE(chi.calculate_all(), 1);
    QCOMPARE(chi.signal_range(), std::make_pair(5, 15));
    QVERIFY_NEAR(chi.quality_of_fit(), 0, tol<T>(1e-4, 1e-10));
    QVERIFY_NEAR(chi.quality_of_fit_percent(), 100, tol<T>(1e-2, 1e-8));
}

void TestNormalDistribution::chi2OfPerfectFitIsZero()
{
    FOR_BOTH_PRECISIONS(checkPerfectChi2);
}

void TestNormalDistribution::chi2PercentNeverNegative()
{
    double v = 1;
    Dist<double> d(&v, 1, Dist<double>::OwnershipPolicyShared, -1, -1, -1);
    Dist<double>::Chi2 chi(d, Dist<double>::Chi2::Options(5));
    QCOMPARE(chi.quality_of_fit(), 1.0);
    chi.m_S = 1.5;
    QCOMPARE(chi.quality_of_fit_percent(), 0.0);
    chi.m_S = 0.25;
    QCOMPARE(chi.quality_of_fit_percent(), 75.0);
}

void TestNormalDistribution::nonFiniteChannelsEndCentreOfGravityWithoutThrow_data()
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::addColumn<QVector<double>>("values");
    QTest::addColumn<int>("filtered");
    QTest::addColumn<int>("windowed");
    // An infinite peak makes the filter's threshold NaN, so no channel passes it.
    QTest::newRow("+inf") << QVector<double>{1, 2, inf, 2, 1} << int(Dist<double>::ErrorSumBelowThreshold)
                          << int(Dist<double>::ErrorSolutionInvalid);
    QTest::newRow("+inf and -inf") << QVector<double>{1, -inf, inf, 2, 1} << int(Dist<double>::ErrorSumBelowThreshold)
                                   << int(Dist<double>::ErrorSolutionInvalid);
    // The filter drops NaN (it is not above the threshold); the window keeps it.
    QTest::newRow("NaN beside peak") << QVector<double>{1, nan, 4, 2, 1} << int(Dist<double>::ErrorNone)
                                     << int(Dist<double>::ErrorSolutionInvalid);
    QTest::newRow("overflowing sum") << QVector<double>{1e308, 1e308, 1e308} << int(Dist<double>::ErrorSolutionInvalid)
                                     << int(Dist<double>::ErrorSolutionInvalid);
}

void TestNormalDistribution::nonFiniteChannelsEndCentreOfGravityWithoutThrow()
{
    QFETCH(QVector<double>, values);
    QFETCH(int, filtered);
    QFETCH(int, windowed);
    Dist<double> a(values.data(), values.size(), Dist<double>::OwnershipPolicyCopy, -1, -1, -1);
    Dist<double>::CenterOfGravityFiltered f(a, Dist<double>::CenterOfGravityFiltered::Options());
    QCOMPARE(f.calculate_all(), filtered);
    QCOMPARE(a.m_fitComplete, filtered == 0);
    Dist<double> b(values.data(), values.size(), Dist<double>::OwnershipPolicyCopy, -1, -1, -1);
    Dist<double>::CenterOfGravityWindowed w(b, Dist<double>::CenterOfGravityWindowed::Options(1));
    QCOMPARE(w.calculate_all(), windowed);
    QCOMPARE(b.m_fitComplete, windowed == 0);
}

QTEST_APPLESS_MAIN(TestNormalDistribution)
#include "tst_normaldistribution.moc"
