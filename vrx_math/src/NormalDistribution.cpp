#include "NormalDistribution.h"

#include <boost/math/distributions/normal.hpp>

#include <algorithm>
#include <limits>

namespace corvid {
namespace math {

namespace {

// Boost.Math reports bad arguments and overflow through the return value
// (NaN or infinity) instead of an exception, so that no estimator can throw.
typedef boost::math::policies::policy<
    boost::math::policies::domain_error<boost::math::policies::ignore_error>,
    boost::math::policies::pole_error<boost::math::policies::ignore_error>,
    boost::math::policies::overflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::underflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::evaluation_error<boost::math::policies::ignore_error>,
    boost::math::policies::rounding_error<boost::math::policies::ignore_error>>
    QuietPolicy;

template <typename T>
constexpr T rootTwoPiInv()
{
    return T(0.3989422804014327);
}

template <typename T>
constexpr T rootTwoPi()
{
    return T(2.5066282746310007);
}

template <typename T>
constexpr T logFloor()
{
    return T(1e-20);
}

// x^k by squaring, so that large exponents stay cheap; the usual square
// (the same product the loop forms) without the loop.
template <typename T>
T integerPower(T x, int k)
{
    if (k == 2)
        return x * x;
    unsigned long long e = k < 0 ? 0ULL - (unsigned long long)(long long)k : (unsigned long long)k;
    T result = 1;
    while (e) {
        if (e & 1)
            result *= x;
        e >>= 1;
        if (e)
            x *= x;
    }
    return k < 0 ? T(1) / result : result;
}

// The run of channels at or above t that contains the peak p, grown one
// channel at a time within [low, high]; returns its first channel and length.
template <typename T>
void growRun(T const *h, long long p, long long low, long long high, T t, long long &first, long long &length)
{
    long long s = p;
    while (s - 1 >= low && h[s - 1] >= t)
        --s;
    long long e = p;
    while (e + 1 <= high && h[e + 1] >= t)
        ++e;
    first = s;
    length = e - s + 1;
}

} // namespace

template <typename T>
NormalDistribution<T>::NormalDistribution(T *data, std::size_t size, OwnershipPolicy policy, T mean, T sd,
                                          T amplitude)
    : m_histogram(data)
    , m_histogram_size(data ? size : 0)
    , m_mean(mean)
    , m_sd(sd)
    , m_sd_inv(-1)
    , m_sd_inv2_neg_half(0)
    , m_sd_root_two_pi_inv(-1)
    , m_variance(sd >= 0 ? sd * sd : T(-1))
    , m_skewness(-1)
    , m_kurtosis(0)
    , m_scale(-1)
    , m_amplitude(amplitude)
    , m_histogramSum(0)
    , m_histogramPeak_y(-1)
    , m_histogramPeak_x(-1)
    , m_fitComplete(false)
    , m_dcoffset(0)
{
    if (policy == OwnershipPolicyCopy) {
        m_own_histogram.reset(new std::vector<T>(data, data + m_histogram_size));
        m_histogram = m_own_histogram->data();
    }
    if (sd != 0)
        calculate_sd_optimizations();
}

template <typename T>
NormalDistribution<T>::NormalDistribution(NormalDistribution const &o)
    : m_histogram(o.m_histogram)
    , m_histogram_size(o.m_histogram_size)
    , m_mean(o.m_mean)
    , m_sd(o.m_sd)
    , m_sd_inv(o.m_sd_inv)
    , m_sd_inv2_neg_half(o.m_sd_inv2_neg_half)
    , m_sd_root_two_pi_inv(o.m_sd_root_two_pi_inv)
    , m_variance(o.m_variance)
    , m_skewness(o.m_skewness)
    , m_kurtosis(o.m_kurtosis)
    , m_scale(o.m_scale)
    , m_amplitude(o.m_amplitude)
    , m_histogramSum(o.m_histogramSum)
    , m_histogramPeak_y(o.m_histogramPeak_y)
    , m_histogramPeak_x(o.m_histogramPeak_x)
    , m_fitComplete(o.m_fitComplete)
    , m_dcoffset(o.m_dcoffset)
{
}

template <typename T>
NormalDistribution<T>::~NormalDistribution() = default;

template <typename T>
T NormalDistribution<T>::amplitude()
{
    if (!m_fitComplete)
        return 0;
    if (m_amplitude < 0)
        m_amplitude = value(m_mean);
    return m_amplitude;
}

template <typename T>
void NormalDistribution<T>::calculate_sd_optimizations()
{
    m_sd_inv = T(1) / m_sd;
    m_sd_root_two_pi_inv = m_sd_inv * rootTwoPiInv<T>();
    m_sd_inv2_neg_half = T(-0.5) * m_sd_inv * m_sd_inv;
}

template <typename T>
void NormalDistribution<T>::find_peak_channel()
{
    // Locals: the channel array may alias the members as far as the compiler knows.
    T const *h = m_histogram;
    T peak = 0;
    int x = m_histogramPeak_x;
    for (std::size_t i = 0, n = m_histogram_size; i < n; ++i) {
        if (h[i] > peak) {
            peak = h[i];
            x = int(i);
        }
    }
    m_histogramPeak_y = peak;
    m_histogramPeak_x = x;
}

template <typename T>
void NormalDistribution<T>::clear()
{
    m_mean = m_sd = m_sd_inv = m_sd_root_two_pi_inv = m_variance = -1;
    m_skewness = m_kurtosis = m_scale = m_amplitude = m_histogramPeak_y = -1;
    m_sd_inv2_neg_half = m_histogramSum = m_dcoffset = 0;
    m_histogramPeak_x = -1;
    m_fitComplete = false;
}

template <typename T>
void NormalDistribution<T>::calculate_dc_offset(std::size_t window)
{
    const std::size_t n = m_histogram_size;
    if (n < 4 || n / 2 < window)
        return;
    find_peak_channel();
    const long long total = (long long)n;
    const long long opposite = (((long long)(n / 2) + m_histogramPeak_x) % total + total) % total;
    const range::Range r = range::Justify::confine(opposite, (long long)window, total);
    T sum = 0;
    for (int i = r.first; i <= r.second; ++i)
        sum += m_histogram[i];
    m_dcoffset = sum / T(r.second - r.first + 1);
}

template <typename T>
void NormalDistribution<T>::calculate_scale()
{
    if (!(m_sd > 0) || !std::isfinite(m_sd) || !std::isfinite(m_mean)) {
        m_scale = std::numeric_limits<T>::quiet_NaN();
        return;
    }
    const boost::math::normal_distribution<T, QuietPolicy> normal(m_mean, m_sd);
    const T density = boost::math::pdf(normal, T(m_histogramPeak_x));
    m_scale = m_histogramPeak_y / density;
}

template <typename T>
bool NormalDistribution<T>::curve_is_usable() const
{
    return m_sd > 0 && std::isfinite(m_mean) && std::isfinite(m_variance) && std::isfinite(m_sd_inv2_neg_half)
        && std::isfinite(m_sd_root_two_pi_inv);
}

template <typename T>
int NormalDistribution<T>::finish_log_parabola(T const *c, int origin, bool centroidOnly)
{
    m_variance = T(-1) / (T(2) * c[2]);
    m_sd = std::sqrt(m_variance);
    calculate_sd_optimizations();
    const T mu = m_variance * c[1];
    if (centroidOnly) {
        m_mean = mu + T(origin);
        return curve_is_usable() ? ErrorNone : ErrorSolutionInvalid;
    }
    m_amplitude = std::exp(mu * c[1] / T(2) + c[0]);
    m_scale = m_amplitude * m_sd * rootTwoPi<T>();
    m_fitComplete = true;
    m_mean = mu + T(origin);
    if (!curve_is_usable() || !std::isfinite(m_amplitude) || !std::isfinite(m_scale)) {
        m_fitComplete = false;
        return ErrorSolutionInvalid;
    }
    return ErrorNone;
}

template <typename T>
NormalDistribution<T>::SNR::SNR(NormalDistribution &d, int signalSigmas)
    : m_d(d)
    , m_signalSigmas(signalSigmas)
    , m_noiseMean(0)
    , m_noiseSigma(0)
    , m_noiseVariance(0)
    , m_noiseSum(0)
    , m_signalSum(0)
    , m_snr(1)
    , m_signalRange(0, 0)
{
}

template <typename T>
int NormalDistribution<T>::SNR::calculate_all()
{
    m_snr = 1;
    m_noiseSum = m_signalSum = 0;
    const T h = T(m_signalSigmas) * m_d.m_sd;
    const T low = std::ceil(m_d.m_mean - h);
    const T high = std::floor(m_d.m_mean + h);
    if (!std::isfinite(low) || !std::isfinite(high))
        return 0;
    // Bounds far outside any array are pinned inside int range; which
    // channels count as signal does not change.
    const T limit = T(1e9);
    m_signalRange.first = int(std::max(-limit, std::min(limit, low)));
    m_signalRange.second = int(std::max(-limit, std::min(limit, high)));

    T const *v = m_d.m_histogram;
    const long long n = (long long)m_d.m_histogram_size;
    long long signalCount = 0;
    for (long long i = 0; i < n; ++i) {
        if (i >= m_signalRange.first && i <= m_signalRange.second) {
            m_signalSum += v[i];
            ++signalCount;
        } else {
            m_noiseSum += v[i];
        }
    }
    if (signalCount >= n - 1)
        return 0;

    const long long noiseCount = n - signalCount;
    m_noiseMean = m_noiseSum / T(noiseCount);
    T squares = 0;
    for (long long i = 0; i < n; ++i) {
        if (i < m_signalRange.first || i > m_signalRange.second) {
            const T dv = v[i] - m_noiseMean;
            squares += dv * dv;
        }
    }
    m_noiseVariance = squares / T(noiseCount - 1);
    m_noiseSigma = std::sqrt(m_noiseVariance);
    m_snr = m_signalSum / (m_noiseSigma * std::sqrt(T(signalCount)));
    return 1;
}

template <typename T>
NormalDistribution<T>::Chi2::Chi2(NormalDistribution &d, Options const &opt)
    : WindowedAnalyzer(d)
    , m_opt(opt)
    , m_signalRangePicker(opt.m_signal_channels, int(d.m_histogram_size))
    , m_S(1)
{
}

template <typename T>
int NormalDistribution<T>::Chi2::calculate_all()
{
    NormalDistribution &d = this->m_d;
    const range::Range r = m_signalRangePicker.range(d.m_histogramPeak_x);
    this->m_x_lowSide = r.first;
    this->m_x_highSide = r.second;
    T x = 0;
    for (int i = r.first; i <= r.second; ++i) {
        const T residual = (d.m_histogram[i] - d.value(T(i))) / d.m_histogramPeak_y;
        x += residual * residual;
    }
    m_S = std::sqrt(x);
    return 1;
}

template <typename T>
NormalDistribution<T>::Regression::Regression(NormalDistribution &d, Options const &opt)
    : WindowedAnalyzer(d)
    , m_opt(opt)
    , m_signalRangePicker(opt.m_max_signal_channels, int(d.m_histogram_size))
    , m_signal_threshold(0)
{
}

template <typename T>
int NormalDistribution<T>::Regression::calculate_all(bool dcOffsetApplied)
{
    NormalDistribution &d = this->m_d;
    T *h = d.m_histogram;
    const long long n = (long long)d.m_histogram_size;
    T sum = 0;
    bool summed = false;
    if (dcOffsetApplied) {
        if (m_opt.m_max_signal_channels >= 0)
            d.calculate_dc_offset(std::size_t(m_opt.m_max_signal_channels));
    } else if (d.m_dcoffset == 0) {
        // Nothing will be subtracted: the peak search and the sum share one
        // pass (the histogram display's case, once per frame).
        T peak = 0;
        int x = d.m_histogramPeak_x;
        for (long long i = 0; i < n; ++i) {
            sum += h[i];
            if (h[i] > peak) {
                peak = h[i];
                x = int(i);
            }
        }
        d.m_histogramPeak_y = peak;
        d.m_histogramPeak_x = x;
        summed = true;
    } else {
        d.find_peak_channel();
    }
    const T offset = d.m_dcoffset;
    d.m_histogramSum = 0;
    d.m_histogramPeak_y -= offset;

    if (n < 1)
        return ErrorNotEnoughData;
    if (!std::isfinite(offset)) {
        d.m_fitComplete = false;
        return ErrorSolutionInvalid;
    }
    if (offset != 0) {
        for (long long i = 0; i < n; ++i) {
            h[i] -= offset;
            sum += h[i];
        }
    } else if (!summed) {
        for (long long i = 0; i < n; ++i)
            sum += h[i];
    }
    d.m_histogramSum = sum;
    if (n < 3)
        return ErrorNotEnoughData;

    const long long p = d.m_histogramPeak_x;
    d.m_fitComplete = false;
    const long long w = m_opt.m_max_signal_channels;
    const long long low = std::max(p - w, 0LL);
    const long long high = std::min(p + w, n - 1);
    const T peak = d.m_histogramPeak_y;
    const T t = m_signal_threshold = m_opt.m_signal_threshold_percent * peak;

    if (m_opt.m_peak_threshold > peak)
        return ErrorPeakBelowThreshold;
    if (p < 1 || p >= n - 1)
        return ErrorPeakEdge;
    if (m_opt.m_sum_threshold > d.m_histogramSum)
        return ErrorSumBelowThreshold;

    long long first = 0, length = 0;
    growRun(h, p, low, high, t, first, length);
    this->m_x_lowSide = int(first);
    this->m_x_highSide = int(first + length - 1);
    if (length < 3)
        return ErrorNotEnoughPeakData;

    // Logarithms and weights first, a block at a time, then the sums: no
    // accumulator has to live across a call into the maths library. The sums
    // and the solution are double whatever T: at a low threshold the run
    // spans the whole profile, and in float the normal equations of x up to
    // a hundred channels and more lose the centre entirely.
    const int k = m_opt.m_weighting;
    const T lnFloor = std::log(logFloor<T>());
    double s0 = 0, s1 = 0, s2 = 0, s3 = 0, s4 = 0, t0 = 0, t1 = 0, t2 = 0;
    T const *y = h + first;
    const long long block = 64;
    T weight[block], logValue[block];
    for (long long start = 0; start < length; start += block) {
        const long long count = std::min(block, length - start);
        for (long long j = 0; j < count; ++j) {
            const T v = y[start + j];
            weight[j] = v > 0 ? integerPower(v / peak, k) : T(0);
            logValue[j] = v > 0 ? std::log(v) : lnFloor;
        }
        for (long long j = 0; j < count; ++j) {
            const double x = double(start + j);
            const double u = weight[j];
            const double l = logValue[j];
            const double ux = u * x;
            const double ux2 = ux * x;
            s0 += u;
            s1 += ux;
            s2 += ux2;
            s3 += ux2 * x;
            s4 += ux2 * x * x;
            t0 += u * l;
            t1 += ux * l;
            t2 += ux2 * l;
        }
    }

    Matrix3<double> m(s0, s1, s2, s3, s4);
    const double rhs[3] = {t0, t1, t2};
    double solution[3];
    if (!m.invert_hankel_multiply(rhs, solution))
        return ErrorMatrixNoninvertible;
    const T c[3] = {T(solution[0]), T(solution[1]), T(solution[2])};
    if (c[2] >= 0)
        return ErrorSolutionInvalid;
    return d.finish_log_parabola(c, int(first), false);
}

template <typename T>
NormalDistribution<T>::RegressionPrecalculated::RegressionPrecalculated(NormalDistribution &d,
                                                                        Options const &opt)
    : WindowedAnalyzer(d)
    , m_opt(opt)
    , m_signalRangePicker(opt.m_max_signal_channels, int(d.m_histogram_size))
    , m_signal_threshold(0)
{
    init();
}

template <typename T>
void NormalDistribution<T>::RegressionPrecalculated::init()
{
    // A run never holds more channels than the window or the profile, so
    // larger matrices would never be read.
    const long long w = m_opt.m_max_signal_channels;
    const long long longest = w < 0 ? -1 : std::min(2 * w + 1, (long long)this->m_d.m_histogram_size);
    m_matrices.assign(std::size_t(longest + 1 > 0 ? longest + 1 : 0), Matrix3<T>());

    // Power sums of the integers 0 .. n - 1, exact in long double for every
    // window a profile can hold.
    long double b = 0, c = 0, d = 0, e = 0;
    for (long long n = 1; n <= longest; ++n) {
        const long double x = (long double)(n - 1);
        b += x;
        c += x * x;
        d += x * x * x;
        e += x * x * x * x;
        if (n < 3)
            continue;
        Matrix3<T> m(static_cast<T>(n), static_cast<T>(b), static_cast<T>(c), static_cast<T>(d), static_cast<T>(e));
        if (m.invert_hankel())
            m_matrices[std::size_t(n)] = m;
    }
}

template <typename T>
int NormalDistribution<T>::RegressionPrecalculated::calculate_all()
{
    return fit(false);
}

template <typename T>
int NormalDistribution<T>::RegressionPrecalculated::calculate_centroid()
{
    return fit(true);
}

template <typename T>
int NormalDistribution<T>::RegressionPrecalculated::fit(bool centroidOnly)
{
    NormalDistribution &d = this->m_d;
    T const *h = d.m_histogram;
    const long long n = (long long)d.m_histogram_size;
    d.m_fitComplete = false;
    if (!centroidOnly && d.m_histogramPeak_x < 0) {
        T sum = 0, peak = 0;
        int x = 0;
        for (long long i = 0; i < n; ++i) {
            sum += h[i];
            if (h[i] > peak) {
                peak = h[i];
                x = int(i);
            }
        }
        d.m_histogramSum = sum;
        d.m_histogramPeak_y = peak;
        d.m_histogramPeak_x = x;
    }

    const long long p = d.m_histogramPeak_x;
    const long long w = m_opt.m_max_signal_channels;
    const long long low = std::max(p - w, 0LL);
    const long long high = std::min(p + w, n - 1);
    const T t = m_signal_threshold = m_opt.m_signal_threshold_percent * d.m_histogramPeak_y;

    if (m_opt.m_peak_threshold > d.m_histogramPeak_y)
        return ErrorPeakBelowThreshold;
    if (p < 1 || p >= n - 1)
        return ErrorPeakEdge;
    if (m_opt.m_sum_threshold > d.m_histogramSum)
        return ErrorSumBelowThreshold;

    long long first = 0, length = 0;
    growRun(h, p, low, high, t, first, length);
    this->m_x_lowSide = int(first);
    this->m_x_highSide = int(first + length - 1);
    if (length < 3)
        return ErrorNotEnoughPeakData;
    // m_opt may have been widened since the table was built.
    if (std::size_t(length) >= m_matrices.size())
        return ErrorMatrixNoninvertible;

    T sums[3] = {0, 0, 0};
    T const *y = h + first;
    for (long long j = 0; j < length; ++j) {
        const T x = T(j);
        const T l = std::log(y[j]);
        sums[0] += l;
        sums[1] += x * l;
        sums[2] += x * x * l;
    }
    T c[3];
    m_matrices[std::size_t(length)].multiply(sums, c);
    if (c[2] >= 0)
        return ErrorSolutionInvalid;
    return d.finish_log_parabola(c, int(first), centroidOnly);
}

template <typename T>
void NormalDistribution<T>::PrecalculatedFit::set()
{
    NormalDistribution &d = m_d;
    d.m_sd = m_opt.m_sd;
    d.m_mean = m_opt.m_mean;
    d.m_amplitude = m_opt.m_amplitude;
    d.m_variance = d.m_sd * d.m_sd;
    if (!std::isfinite(d.m_mean) || !std::isfinite(d.m_sd)) {
        d.m_fitComplete = false;
        return;
    }
    if (d.m_mean >= 0 && d.m_sd > 0) {
        d.calculate_sd_optimizations();
        d.find_peak_channel();
        d.m_scale = d.m_amplitude * d.m_sd * rootTwoPi<T>();
        d.m_fitComplete = d.curve_is_usable() && std::isfinite(d.m_scale);
    }
}

template <typename T>
int NormalDistribution<T>::Gaussabola::calculate_all()
{
    NormalDistribution &d = this->m_d;
    const long long n = (long long)d.m_histogram_size;
    if (n < 3)
        return ErrorNotEnoughData;

    T const *h = d.m_histogram;
    d.m_fitComplete = false;
    T sum = 0, peak = 0;
    int x = 0;
    for (long long i = 0; i < n; ++i) {
        sum += h[i];
        if (h[i] > peak) {
            peak = h[i];
            x = int(i);
        }
    }
    d.m_histogramSum = sum;
    d.m_histogramPeak_y = peak;
    d.m_histogramPeak_x = x;
    if (m_opt.m_peak_threshold > d.m_histogramPeak_y)
        return ErrorPeakBelowThreshold;
    const long long p = d.m_histogramPeak_x;
    if (p < 1 || p >= n - 1)
        return ErrorPeakEdge;
    // The search never settles on a NaN, so a NaN at the true peak shows up
    // beside the one found; -inf beside it would pass as an empty channel.
    if (!std::isfinite(h[p - 1]) || !std::isfinite(h[p]) || !std::isfinite(h[p + 1]))
        return ErrorNotEnoughPeakData;
    this->m_x_lowSide = int(p - 1);
    this->m_x_highSide = int(p + 1);

    T y1 = h[p - 1] / d.m_histogramPeak_y;
    T y2 = h[p + 1] / d.m_histogramPeak_y;
    if (y1 <= 0)
        y1 = logFloor<T>();
    if (y2 <= 0)
        y2 = logFloor<T>();
    const T l1 = std::log(y1);
    const T l2 = std::log(y2);

    const T a = (l1 + l2) / T(2);
    const T b = l2 - T(2 * p + 1) * a;
    d.m_mean = -b / (T(2) * a);
    const T sigma = std::sqrt(T(-1) / (T(2) * a));
    d.m_sd = sigma;
    d.m_variance = sigma * sigma;
    d.calculate_sd_optimizations();
    if (!d.curve_is_usable())
        return ErrorSolutionInvalid;

    d.calculate_scale();
    if (!std::isfinite(d.m_scale))
        return ErrorSolutionInvalid;
    d.m_fitComplete = true;
    return ErrorNone;
}

template class NormalDistribution<float>;
template class NormalDistribution<double>;

} // namespace math
} // namespace corvid
