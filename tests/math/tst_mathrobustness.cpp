#include "MathTestSupport.h"

#include <Matrix.h>
#include <VRXPixelatedChamber.h>

#include <climits>
#include <random>

using namespace corvid::math;

// Random profiles of 0 to 300 channels (a noisy peak, a flat or a random run)
// with a random share of NaN, infinities, subnormals, values near the type's
// limits and negative values; estimator options just as careless.
template <typename T>
struct Hostile
{
    explicit Hostile(unsigned seed) : rng(seed) {}
    int integer(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
    double uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(rng); }

    std::vector<T> profile()
    {
        const int n = integer(0, 300), shape = integer(0, 2);
        const double centre = uniform(-5, n + 5), sigma = uniform(0.2, 20), height = std::pow(10.0, uniform(-30, 30));
        const double corrupted = std::vector<double>{0, 0.01, 0.1, 0.5, 1}[integer(0, 4)];
        std::vector<T> v(n);
        for (int i = 0; i < n; ++i) {
            const double g = height * std::exp(-(i - centre) * (i - centre) / (2 * sigma * sigma));
            v[i] = T(shape == 0 ? g + uniform(-0.05, 0.05) * height : shape == 1 ? height : uniform(-1, 1) * height);
            if (uniform(0, 1) < corrupted || (corrupted == 0.01 && i == n / 2))
                v[i] = special();
        }
        return v;
    }
    T special()
    {
        typedef std::numeric_limits<T> L;
        const T specials[] = {L::quiet_NaN(), L::infinity(), -L::infinity(), L::denorm_min() * T(integer(1, 1000)),
                              L::max() * T(uniform(0.5, 1)), -L::max(), L::min(), T(-uniform(0, 1e6)), T(0), -T(0)};
        return specials[integer(0, 9)];
    }
    int halfWidth()
    {
        const int widths[] = {-integer(1, 3), INT_MAX, integer(150, 400), integer(0, 40)};
        return widths[std::min(integer(0, 5), 3)];
    }
    T threshold() { return integer(0, 4) == 0 ? special() : integer(0, 3) == 0 ? T(0) : T(uniform(0, 1)); }
    T anything() { return integer(0, 1) ? special() : T(uniform(-1, 300)); }

    std::mt19937 rng;
};

class TestMathRobustness : public QObject
{
    Q_OBJECT

private slots:
    // An estimate that succeeds leaves a complete, finite curve (the centroid:
    // finite moments only), one that fails a documented code and no curve; the
    // quality measures then run on either. A chamber frame of the same values
    // gives a finite centroid or none. A throw fails the test by itself.
    void hostileProfilesNeverThrowOrLie()
    {
        forBothPrecisions([](auto zero) {
            typedef decltype(zero) T;
            typedef NormalDistribution<T> D;
            Hostile<T> gen(sizeof(T) * 1000 + 17);
            for (int a = 0; a < 3000; ++a) {
                // Exactly the values on the heap: the sanitizer build catches a read past them.
                std::vector<T> values = gen.profile();
                const std::vector<T> frame = values;
                VRXPixelatedChamber<T> chamber(frame.data(), frame.size(), VRXPixelatedChamber<T>::OwnershipPolicyShared);
                typename VRXPixelatedChamber<T>::LMMatrix image;
                chamber.calculate_all(ChamberType(gen.integer(STR_IC, LM3_IC)), gen.threshold(), image);
                // Second moments of values near the type's limit may overflow; the centroid may not.
                QVERIFY(!chamber.isValid()
                        || (frame.size() >= 126 && std::isfinite(chamber.integral())
                            && std::isfinite(chamber.meanXmm(false)) && std::isfinite(chamber.meanYmm(true))));
                (void)chamber.rotationdeg(true, false);
                for (int which = 0; which < Count; ++which) {
                    const Knobs k{gen.threshold(), gen.threshold(), gen.threshold(), gen.anything(),
                                  gen.anything(),  gen.halfWidth(), gen.integer(-3, 40)};
                    D d(values.data(), values.size(), D::OwnershipPolicyCopy, -1, -1, -1);
                    if (which == Centroid)
                        d.find_peak_channel();
                    const int code = estimate(which, d, k);
                    const bool finite = std::isfinite(d.mean()) && std::isfinite(d.variance())
                                        && std::isfinite(d.standard_deviation()) && d.standard_deviation() > 0;
                    const bool honest = code == 0
                        ? finite && (which == Centroid || (d.m_fitComplete && std::isfinite(d.scale())))
                        : code < 0 && code >= D::ErrorSolutionInvalid && !d.m_fitComplete;
                    const int snr = typename D::SNR(d, 3).calculate_all();
                    typename D::Chi2(d, typename D::Chi2::Options(5)).calculate_all();
                    (void)d.value(T(d.size()) / 2);
                    (void)d.amplitude();
                    d.calculate_dc_offset(d.size() / 3);
                    d.calculate_scale();
                    if (honest && (snr == 0 || snr == 1))
                        continue;
                    QStringList shown;
                    for (T x : values)
                        shown << QString::number(double(x), 'g', 9);
                    QFAIL(qPrintable(QStringLiteral("estimator %1: code %2, mean %3, sigma %4, SNR code %5 on %6")
                                         .arg(which).arg(code).arg(d.mean()).arg(d.standard_deviation()).arg(snr)
                                         .arg(shown.join(' '))));
                }
            }
        });
    }

    void hostileMatricesNeverThrow()
    {
        Hostile<double> gen(99);
        auto finite = [](double e) { return std::isfinite(e); };
        for (int i = 0; i < 2000; ++i) {
            const int n = gen.integer(0, 6);
            Matrix<double>::boost_matrix m(n, gen.integer(0, 1) ? n : gen.integer(0, 6)), out(n, n);
            for (double &e : m.data())
                e = gen.integer(0, 3) ? gen.uniform(-10, 10) : gen.special();
            if (Matrix<double>::invert_lu(m, out))
                QVERIFY(std::all_of(out.data().begin(), out.data().end(), finite));
            Matrix3<double> small(m);
            if (small.invert())
                QVERIFY(std::all_of(small.m_d, small.m_d + 9, finite));
            Matrix3<double>(small.m_d[0], small.m_d[1], small.m_d[2], small.m_d[5], small.m_d[8]).invert_hankel();
        }
    }
};

QTEST_APPLESS_MAIN(TestMathRobustness)
#include "tst_mathrobustness.moc"
