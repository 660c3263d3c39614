#include "MathTestSupport.h"

#include <Matrix.h>
#include <NormalDistribution.h>
#include <VRXPixelatedChamber.h>

#include <climits>
#include <limits>
#include <random>

using namespace corvid::math;

class TestMathRobustness : public QObject
{
    Q_OBJECT

private slots:
    void hostileProfilesNeverThrowOrLie();
    void hostileChamberFramesNeverThrow();
    void hostileMatricesNeverThrow();
    void floatAgreesWithDoubleOnNoisyProfiles();
};

// Profiles of 0 to 300 channels: a noisy peak, a flat or random run, with a
// random share of the channels replaced by NaN, infinities, subnormals,
// values near the type's limits and negative values.
template <typename T>
class HostileProfiles
{
public:
    explicit HostileProfiles(unsigned seed)
        : m_rng(seed)
    {
    }

    std::vector<T> next()
    {
        const int n = uniformInt(0, 300);
        std::vector<T> v(n);
        const int shape = uniformInt(0, 2);
        const double centre = uniform(-5, n + 5), sigma = uniform(0.2, 20), height = std::pow(10.0, uniform(-30, 30));
        for (int i = 0; i < n; ++i) {
            const double g = height * std::exp(-(i - centre) * (i - centre) / (2 * sigma * sigma));
            v[i] = shape == 0 ? T(g + uniform(-0.05, 0.05) * height) : shape == 1 ? T(height) : T(uniform(-1, 1) * height);
        }
        const double corrupted = std::vector<double>{0, 0.01, 0.1, 0.5, 1}[uniformInt(0, 4)];
        for (T &x : v)
            if (uniform(0, 1) < corrupted || (corrupted == 0.01 && &x == &v[n / 2]))
                x = special();
        return v;
    }

    T special()
    {
        typedef std::numeric_limits<T> L;
        switch (uniformInt(0, 9)) {
        case 0: return L::quiet_NaN();
        case 1: return L::infinity();
        case 2: return -L::infinity();
        case 3: return L::denorm_min() * T(uniformInt(1, 1000));
        case 4: return L::max() * T(uniform(0.5, 1));
        case 5: return -L::max() * T(uniform(0.5, 1));
        case 6: return L::min();
        case 7: return T(-uniform(0, 1e6));
        case 8: return T(0);
        default: return -T(0);
        }
    }

    int uniformInt(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_rng); }
    double uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(m_rng); }

    // A window half-width, sometimes absurd.
    int halfWidth()
    {
        switch (uniformInt(0, 5)) {
        case 0: return -uniformInt(1, 3);
        case 1: return INT_MAX;
        case 2: return uniformInt(150, 400);
        default: return uniformInt(0, 40);
        }
    }

    T threshold()
    {
        switch (uniformInt(0, 4)) {
        case 0: return special();
        case 1: return T(0);
        default: return T(uniform(0, 1));
        }
    }

private:
    std::mt19937 m_rng;
};

template <typename T>
static QString describe(std::vector<T> const &v)
{
    QStringList parts;
    for (std::size_t i = 0; i < v.size() && i < 40; ++i)
        parts << QString::number(double(v[i]), 'g', 9);
    return QStringLiteral("%1 channels: %2%3").arg(v.size()).arg(parts.join(' ')).arg(v.size() > 40 ? " ..." : "");
}

// A finished estimator: success means a complete, finite curve; failure a
// documented code with no curve. Then the quality measures run on it.
template <typename T>
static bool checkOutcome(NormalDistribution<T> &d, int code, bool centroidOnly, QString &why)
{
    if (code > 0 || code < NormalDistribution<T>::ErrorSolutionInvalid) {
        why = QStringLiteral("undocumented code %1").arg(code);
        return false;
    }
    if (code == NormalDistribution<T>::ErrorNone) {
        if (!std::isfinite(d.mean()) || !std::isfinite(d.standard_deviation()) || !(d.standard_deviation() > 0)
            || !std::isfinite(d.variance())) {
            why = QStringLiteral("success with mean %1, sigma %2").arg(double(d.mean())).arg(double(d.standard_deviation()));
            return false;
        }
        if (!centroidOnly && (!d.m_fitComplete || !std::isfinite(d.scale()))) {
            why = QStringLiteral("success with scale %1").arg(double(d.scale()));
            return false;
        }
    } else if (d.m_fitComplete) {
        why = QStringLiteral("code %1 with a complete fit").arg(code);
        return false;
    }
    typename NormalDistribution<T>::SNR snr(d, 3);
    const int s = snr.calculate_all();
    if (s != 0 && s != 1) {
        why = QStringLiteral("SNR returned %1").arg(s);
        return false;
    }
    typename NormalDistribution<T>::Chi2 chi(d, typename NormalDistribution<T>::Chi2::Options(5));
    chi.calculate_all();
    (void)chi.quality_of_fit_percent();
    (void)d.value(T(d.size()) / 2);
    (void)d.amplitude();
    return true;
}

template <typename T>
static void runHostileProfiles(int arrays)
{
    typedef NormalDistribution<T> D;
    HostileProfiles<T> gen(sizeof(T) * 1000 + 17);
    for (int a = 0; a < arrays; ++a) {
        const std::vector<T> values = gen.next();
        auto fresh = [&] { return D(const_cast<T *>(values.data()), values.size(), D::OwnershipPolicyCopy, -1, -1, -1); };
        QString why;
        int stage = 0;
        auto stages = [&] {
            {
                D d = fresh();
                typename D::CenterOfGravityFiltered cog(d, typename D::CenterOfGravityFiltered::Options(gen.threshold()));
                stage = 1;
                if (!checkOutcome(d, cog.calculate_all(), false, why))
                    return;
            }
            {
                D d = fresh();
                typename D::CenterOfGravityWindowed cog(d, typename D::CenterOfGravityWindowed::Options(gen.halfWidth()));
                stage = 2;
                if (!checkOutcome(d, cog.calculate_all(), false, why))
                    return;
            }
            for (bool dcOffset : {false, true}) {
                D d = fresh();
                const typename D::Regression::Options o(gen.threshold(), gen.halfWidth(), gen.threshold(),
                                                        gen.threshold(), gen.uniformInt(-3, 40));
                typename D::Regression fit(d, o);
                stage = dcOffset ? 4 : 3;
                if (!checkOutcome(d, fit.calculate_all(dcOffset), false, why))
                    return;
            }
            {
                const typename D::RegressionPrecalculated::Options o(gen.threshold(), gen.halfWidth(), gen.threshold(),
                                                                     gen.threshold());
                D d = fresh();
                typename D::RegressionPrecalculated fit(d, o);
                stage = 5;
                if (!checkOutcome(d, fit.calculate_all(), false, why))
                    return;
                D c = fresh();
                c.find_peak_channel();
                typename D::RegressionPrecalculated centroid(c, o);
                stage = 6;
                if (!checkOutcome(c, centroid.calculate_centroid(), true, why))
                    return;
            }
            {
                D d = fresh();
                typename D::Gaussabola fit(d, typename D::Gaussabola::Options(gen.threshold(), 0, T(0.98)));
                stage = 7;
                if (!checkOutcome(d, fit.calculate_all(), false, why))
                    return;
            }
            {
                D d = fresh();
                const T mean = gen.uniformInt(0, 1) ? gen.special() : T(gen.uniform(-1, 300));
                const T sd = gen.uniformInt(0, 1) ? gen.special() : T(gen.uniform(-1, 30));
                typename D::PrecalculatedFit fit(d, typename D::PrecalculatedFit::Options(mean, sd, gen.threshold(), 0, 1));
                fit.set();
                stage = 8;
                if (!checkOutcome(d, d.m_fitComplete ? 0 : -1, false, why))
                    return;
            }
            {
                D d = fresh();
                d.calculate_dc_offset(std::size_t(gen.uniformInt(0, 200)));
                d.calculate_scale();
            }
        };
        try {
            stages();
        } catch (std::exception const &e) {
            why = QStringLiteral("threw %1").arg(QLatin1String(e.what()));
        } catch (...) {
            why = QStringLiteral("threw");
        }
        if (!why.isEmpty())
            QFAIL(qPrintable(QStringLiteral("%1 estimator %2 on %3: %4")
                                 .arg(sizeof(T) == 4 ? "float" : "double")
                                 .arg(stage)
                                 .arg(describe(values))
                                 .arg(why)));
    }
}

void TestMathRobustness::hostileProfilesNeverThrowOrLie()
{
    runHostileProfiles<float>(3000);
    if (QTest::currentTestFailed())
        return;
    runHostileProfiles<double>(3000);
}

template <typename T>
static void runHostileFrames(int frames)
{
    HostileProfiles<T> gen(sizeof(T) * 7 + 3);
    const ChamberType types[] = {STR_IC, LM2_IC, LM3_IC};
    for (int f = 0; f < frames; ++f) {
        const std::vector<T> values = gen.next();
        // Shared: the sanitizer build catches a read past the caller's values.
        std::unique_ptr<T[]> exact(new T[values.size() + 1]);
        std::copy(values.begin(), values.end(), exact.get());
        VRXPixelatedChamber<T> chamber(exact.get(), values.size(), VRXPixelatedChamber<T>::OwnershipPolicyShared);
        typename VRXPixelatedChamber<T>::LMMatrix image;
        chamber.calculate_all(types[gen.uniformInt(0, 2)], gen.threshold(), image);
        if (chamber.isValid()) {
            // Second moments of values near the type's limit may overflow; the centroid may not.
            const T results[] = {chamber.integral(), chamber.meanXmm(false), chamber.meanYmm(true)};
            for (T r : results)
                QVERIFY2(std::isfinite(r), qPrintable(describe(values)));
            QVERIFY(values.size() >= 126);
        }
        (void)chamber.rotationdeg(true, false);
    }
}

void TestMathRobustness::hostileChamberFramesNeverThrow()
{
    runHostileFrames<float>(3000);
    if (QTest::currentTestFailed())
        return;
    runHostileFrames<double>(3000);
}

void TestMathRobustness::hostileMatricesNeverThrow()
{
    HostileProfiles<double> gen(99);
    for (int i = 0; i < 2000; ++i) {
        const int n = gen.uniformInt(0, 6);
        Matrix<double>::boost_matrix m(n, gen.uniformInt(0, 1) ? n : gen.uniformInt(0, 6)), out(n, n);
        for (std::size_t r = 0; r < m.size1(); ++r)
            for (std::size_t c = 0; c < m.size2(); ++c)
                m(r, c) = gen.uniformInt(0, 3) ? gen.uniform(-10, 10) : gen.special();
        try {
            if (Matrix<double>::invert_lu(m, out))
                for (std::size_t k = 0; k < out.data().size(); ++k)
                    QVERIFY(std::isfinite(out.data()[k]));
            Matrix3<double> small(m);
            if (small.invert())
                for (double e : small.m_d)
                    QVERIFY(std::isfinite(e));
            Matrix3<double> hankel(small.m_d[0], small.m_d[1], small.m_d[2], small.m_d[5], small.m_d[8]);
            hankel.invert_hankel();
        } catch (...) {
            QFAIL("a matrix operation threw");
        }
    }
}

void TestMathRobustness::floatAgreesWithDoubleOnNoisyProfiles()
{
    typedef NormalDistribution<float> F;
    typedef NormalDistribution<double> D;
    std::mt19937 rng(2024);
    std::uniform_real_distribution<double> u(0, 1);
    std::normal_distribution<double> noise(0, 1);
    double worstMean = 0, worstSigma = 0;
    for (int p = 0; p < 1000; ++p) {
        const double mean = 20 + 88 * u(rng), sigma = 1.5 + 8 * u(rng), height = std::pow(10.0, 1 + 3 * u(rng));
        std::vector<float> fv(128);
        for (int i = 0; i < 128; ++i)
            fv[i] = float(height * (std::exp(-(i - mean) * (i - mean) / (2 * sigma * sigma)) + 0.01 * noise(rng)));
        const std::vector<double> dv(fv.begin(), fv.end());

        for (int estimator = 0; estimator < 5; ++estimator) {
            std::vector<float> fc = fv;
            std::vector<double> dc = dv;
            F f(fc.data(), fc.size(), F::OwnershipPolicyShared, -1, -1, -1);
            D d(dc.data(), dc.size(), D::OwnershipPolicyShared, -1, -1, -1);
            int fr = 0, dr = 0;
            switch (estimator) {
            case 0:
                fr = F::CenterOfGravityFiltered(f, F::CenterOfGravityFiltered::Options(0.1f)).calculate_all();
                dr = D::CenterOfGravityFiltered(d, D::CenterOfGravityFiltered::Options(0.1)).calculate_all();
                break;
            case 1:
                fr = F::CenterOfGravityWindowed(f, F::CenterOfGravityWindowed::Options(10)).calculate_all();
                dr = D::CenterOfGravityWindowed(d, D::CenterOfGravityWindowed::Options(10)).calculate_all();
                break;
            case 2:
                fr = F::Regression(f, F::Regression::Options(0.1f, 30, 1e-15f, 1e-15f, 2)).calculate_all(true);
                dr = D::Regression(d, D::Regression::Options(0.1, 30, 1e-15, 1e-15, 2)).calculate_all(true);
                break;
            case 3:
                fr = F::RegressionPrecalculated(f, F::RegressionPrecalculated::Options(0.2f, 30, 0, 0)).calculate_all();
                dr = D::RegressionPrecalculated(d, D::RegressionPrecalculated::Options(0.2, 30, 0, 0)).calculate_all();
                break;
            default:
                fr = F::Gaussabola(f, F::Gaussabola::Options()).calculate_all();
                dr = D::Gaussabola(d, D::Gaussabola::Options()).calculate_all();
                break;
            }
            QCOMPARE(fr, dr);
            if (dr != D::ErrorNone)
                continue;
            worstMean = std::max(worstMean, std::fabs(f.mean() - d.mean()));
            worstSigma = std::max(worstSigma, std::fabs(f.standard_deviation() / d.standard_deviation() - 1));
            // The weighted normal equations over runs of up to 40 channels
            // (sums of x^4 near 10^7) keep fewer digits in float.
            const double meanTolerance = estimator == 2 ? 2e-2 : 1e-3;
            QVERIFY2(std::fabs(f.mean() - d.mean()) < meanTolerance
                         && std::fabs(f.standard_deviation() / d.standard_deviation() - 1) < 2e-3,
                     qPrintable(QStringLiteral("estimator %1: float %2 +- %3, double %4 +- %5")
                                    .arg(estimator)
                                    .arg(double(f.mean()))
                                    .arg(double(f.standard_deviation()))
                                    .arg(d.mean())
                                    .arg(d.standard_deviation())));
            QVERIFY(std::fabs(f.scale() / d.scale() - 1) < 1e-2);
        }
    }
    qDebug("largest float-double difference: mean %g channels, sigma %g relative", worstMean, worstSigma);
}

QTEST_APPLESS_MAIN(TestMathRobustness)
#include "tst_mathrobustness.moc"
