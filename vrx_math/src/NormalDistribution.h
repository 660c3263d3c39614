#ifndef CORVID_MATH_NORMALDISTRIBUTION_H
#define CORVID_MATH_NORMALDISTRIBUTION_H

#include "Matrix.h"

#include <cmath>
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace corvid {
namespace math {

/// Which channels an estimator uses. Ranges are inclusive pairs (low, high);
/// low > high means no channel.
namespace range {

typedef std::pair<int, int> Range;

/// Keeps the window at its full length by sliding it inward at the edges.
struct Justify
{
    static Range confine(long long center, long long halfWidth, long long total)
    {
        if (halfWidth < 0)
            return Range(0, -1);
        const long long width = 2 * halfWidth + 1;
        if (total <= width)
            return Range(0, int(total - 1));
        if (center - halfWidth < 0)
            return Range(0, int(width - 1));
        if (center + halfWidth <= total - 1)
            return Range(int(center - halfWidth), int(center + halfWidth));
        return Range(int(total - width), int(total - 1));
    }
};

/// Shortens the window at the edges instead of sliding it.
struct Truncate
{
    static Range confine(long long center, long long halfWidth, long long total)
    {
        if (halfWidth < 0)
            return Range(0, -1);
        const long long low = center - halfWidth < 0 ? 0 : center - halfWidth;
        const long long high = center + halfWidth > total - 1 ? total - 1 : center + halfWidth;
        if (low > high)
            return Range(0, -1);
        return Range(int(low), int(high));
    }
};

/// Every channel, 0 .. m_total_channels - 1.
class FullRangePicker
{
public:
    explicit FullRangePicker(int total_channels = 0)
        : m_total_channels(total_channels)
    {
    }
    Range range(int /*center*/) const { return Range(0, m_total_channels - 1); }

    int m_total_channels;
};

/// The 2 m_signal_channels + 1 channels centred on a channel, confined to the
/// array by Confiner.
template <typename Confiner>
class WindowedRangePicker
{
public:
    explicit WindowedRangePicker(int signal_channels = 1, int total_channels = 0)
        : m_signal_channels(signal_channels)
        , m_total_channels(total_channels)
    {
    }
    Range range(int center) const { return Confiner::confine(center, m_signal_channels, m_total_channels); }

    int m_signal_channels;
    int m_total_channels;
};

} // namespace range

/// Maps each channel value before an estimator uses it.
namespace filter {

/// Passes values above m_percent_threshold times the peak; others become m_zero.
template <typename T>
class PercentThresholdFilter
{
public:
    explicit PercentThresholdFilter(T percent_threshold = 0, T zero = 0)
        : m_percent_threshold(percent_threshold)
        , m_threshold(0)
        , m_zero(zero)
    {
    }
    void init(T peak) { m_threshold = m_percent_threshold * peak; }
    T operator()(T v) const { return v > m_threshold ? v : m_zero; }

    T m_percent_threshold;
    T m_threshold;
    T m_zero;
};

/// Passes every value unchanged.
template <typename T>
class NullFilter
{
public:
    void init(T /*peak*/) {}
    T operator()(T v) const { return v; }
};

} // namespace filter

/**
 * One beam profile (channel values, channel 0 first) and the normal curve
 * fitted to it. Positions are 0-based channel indices, possibly fractional.
 *
 * The estimators are nested classes: build one on a distribution, call
 * calculate_all() and read mean(), standard_deviation(), scale()... from the
 * distribution. Estimators return an Error code and never throw, whatever
 * the channel values. Where NaN, infinite or overflowing values would leave
 * a fit with a non-finite mean, sigma, amplitude or scale, the estimator
 * returns ErrorSolutionInvalid and m_fitComplete stays false; the regression
 * does the same, without touching any value, when the DC offset it would
 * subtract is not finite.
 *
 * Under OwnershipPolicyShared the caller's array is analysed in place (the
 * regression with DC-offset removal writes to it) and must outlive the
 * distribution; under OwnershipPolicyCopy the distribution owns a copy.
 * Instantiated for float and double.
 */
template <typename T>
class NormalDistribution
{
public:
    enum OwnershipPolicy {
        OwnershipPolicyShared = 0,
        OwnershipPolicyCopy = 1
    };

    enum Error {
        ErrorNone = 0,
        ErrorNotEnoughData = -1,
        ErrorPeakBelowThreshold = -2,
        ErrorPeakEdge = -3,
        ErrorSumBelowThreshold = -4,
        ErrorNotEnoughPeakData = -5,
        ErrorNoiseAboveThreshold = -6,
        ErrorMatrixNoninvertible = -7,
        ErrorSolutionInvalid = -8
    };

    /// A null data pointer is an empty profile.
    NormalDistribution(T *data, std::size_t size, OwnershipPolicy policy, T mean, T sd, T amplitude);
    /// The copy reads the source's values and owns nothing: it must not
    /// outlive the source.
    NormalDistribution(NormalDistribution const &other);
    NormalDistribution &operator=(NormalDistribution const &) = delete;
    ~NormalDistribution();

    T mean() const { return m_mean; }
    T standard_deviation() const { return m_sd; }
    T variance() const { return m_variance; }
    T skewness() const { return m_skewness; }
    /// m4 / sigma^4, without 3 subtracted.
    T kurtosis_excess() const { return m_kurtosis; }
    T scale() const { return m_scale; }
    /// Sum of the channel values used by the last estimator.
    T integral() const { return m_histogramSum; }
    std::size_t size() const { return m_histogram_size; }
    T dcoffset() const { return m_dcoffset; }

    /// The normal density with the current mean and sigma.
    T pdf(T x) const { return m_sd_root_two_pi_inv * std::exp((x - m_mean) * (x - m_mean) * m_sd_inv2_neg_half); }
    /// The fitted curve in channel-value units; 0 without a complete fit.
    T value(T x) const { return m_fitComplete ? m_scale * pdf(x) : T(0); }
    /// Height of the fitted curve at its centre; 0 without a complete fit.
    T amplitude();

    void find_peak_channel();
    void clear();
    /// Mean of the justified window of half-width window around the channel
    /// opposite the peak, into m_dcoffset; nothing unless size >= 4 and
    /// size / 2 >= window.
    void calculate_dc_offset(std::size_t window);
    /// m_scale so that the curve passes through the peak channel's value;
    /// NaN when mean or sigma is unusable (not finite, sigma not positive).
    void calculate_scale();
    void calculate_sd_optimizations();

    class Analyzer
    {
    public:
        explicit Analyzer(NormalDistribution &d)
            : m_d(d)
        {
        }

        NormalDistribution &m_d;
    };

    /// An analyzer that records the first and last channel it used.
    class WindowedAnalyzer : public Analyzer
    {
    public:
        explicit WindowedAnalyzer(NormalDistribution &d)
            : Analyzer(d)
            , m_x_lowSide(0)
            , m_x_highSide(int(d.m_histogram_size) - 1)
        {
        }

        int xLowSide() const { return m_x_lowSide; }
        int xHighSide() const { return m_x_highSide; }
        std::pair<int, int> signal_range() const { return std::pair<int, int>(m_x_lowSide, m_x_highSide); }
        void setSignalRange(std::pair<int, int> const &r) { setSignalRange(r.first, r.second); }
        void setSignalRange(int low, int high)
        {
            m_x_lowSide = low;
            m_x_highSide = high;
        }

        int m_x_lowSide;
        int m_x_highSide;
    };

    /// Centre of gravity and higher moments of the filtered values over the
    /// picked range.
    template <class Filter, class SignalRangePicker>
    class CenterOfGravity : public WindowedAnalyzer
    {
    public:
        CenterOfGravity(NormalDistribution &d, Filter const &f, SignalRangePicker const &p)
            : WindowedAnalyzer(d)
            , m_filter(f)
            , m_signalRangePicker(p)
        {
        }

        int calculate_all();

        Filter m_filter;
        SignalRangePicker m_signalRangePicker;
    };

    typedef CenterOfGravity<filter::PercentThresholdFilter<T>, range::FullRangePicker> CenterOfGravityFilteredBase;
    typedef CenterOfGravity<filter::NullFilter<T>, range::WindowedRangePicker<range::Justify>> CenterOfGravityWindowedBase;

    /// Centre of gravity over all channels above a fraction of the peak.
    class CenterOfGravityFiltered : public CenterOfGravityFilteredBase
    {
    public:
        struct Options
        {
            Options()
                : m_signal_threshold_percent(0)
            {
            }
            explicit Options(T signal_threshold_percent)
                : m_signal_threshold_percent(signal_threshold_percent)
            {
            }
            T m_signal_threshold_percent;
        };

        CenterOfGravityFiltered(NormalDistribution &d, Options const &opt)
            : CenterOfGravityFilteredBase(d, filter::PercentThresholdFilter<T>(opt.m_signal_threshold_percent, 0),
                                          range::FullRangePicker(int(d.m_histogram_size)))
            , m_opt(opt)
        {
        }

        Options m_opt;
    };

    /// Centre of gravity over the justified window around the peak.
    class CenterOfGravityWindowed : public CenterOfGravityWindowedBase
    {
    public:
        struct Options
        {
            Options()
                : m_signal_channels(1)
            {
            }
            explicit Options(int signal_channels)
                : m_signal_channels(signal_channels)
            {
            }
            int m_signal_channels;
        };

        CenterOfGravityWindowed(NormalDistribution &d, Options const &opt)
            : CenterOfGravityWindowedBase(d, filter::NullFilter<T>(),
                                          range::WindowedRangePicker<range::Justify>(opt.m_signal_channels,
                                                                                     int(d.m_histogram_size)))
            , m_opt(opt)
        {
        }

        Options m_opt;
    };

    /// Signal to noise of the last fit: the channels within m_signalSigmas
    /// sigmas of the mean are signal, the rest noise. calculate_all() returns
    /// 1 on success, 0 when there are fewer than two noise channels or the
    /// mean or sigma is not finite (m_snr is then 1).
    class SNR
    {
    public:
        SNR(NormalDistribution &d, int signalSigmas);

        int calculate_all();
        T snr() const { return m_snr; }
        T noise_standard_deviation() const { return m_noiseSigma; }
        std::pair<int, int> signal_range() const { return m_signalRange; }

        NormalDistribution &m_d;
        int m_signalSigmas;
        T m_noiseMean;
        T m_noiseSigma;
        T m_noiseVariance;
        T m_noiseSum;
        T m_signalSum;
        T m_snr;
        std::pair<int, int> m_signalRange;
    };

    /// Root of the summed squared residuals of the last fit, normalised to the
    /// peak, over the justified window around the peak. calculate_all()
    /// always returns 1.
    class Chi2 : public WindowedAnalyzer
    {
    public:
        struct Options
        {
            Options()
                : m_signal_channels(1)
            {
            }
            explicit Options(int signal_channels)
                : m_signal_channels(signal_channels)
            {
            }
            int m_signal_channels;
        };

        Chi2(NormalDistribution &d, Options const &opt);

        int calculate_all();
        T quality_of_fit() const { return m_S; }
        /// 100 for a perfect fit, never below 0.
        T quality_of_fit_percent() const
        {
            const T p = (T(1) - m_S) * T(100);
            return p < 0 ? T(0) : p;
        }

        Options m_opt;
        range::WindowedRangePicker<range::Justify> m_signalRangePicker;
        T m_S;
    };

    /// Weighted least-squares parabola through the logarithms of the run of
    /// channels at or above the signal threshold around the peak, optionally
    /// after subtracting the DC offset from every value in place.
    class Regression : public WindowedAnalyzer
    {
    public:
        struct Options
        {
            Options()
                : m_signal_threshold_percent(10)
                , m_max_signal_channels(1)
                , m_peak_threshold(T(1e-15))
                , m_sum_threshold(T(1e-15))
                , m_weighting(2)
            {
            }
            Options(T percent, int max_signal_channels, T peak_threshold, T sum_threshold, int weighting)
                : m_signal_threshold_percent(percent)
                , m_max_signal_channels(max_signal_channels)
                , m_peak_threshold(peak_threshold)
                , m_sum_threshold(sum_threshold)
                , m_weighting(weighting)
            {
            }
            /// Signal threshold as a fraction of the peak height.
            T m_signal_threshold_percent;
            /// Half-width of the search window around the peak (and of the
            /// DC-offset window), channels.
            int m_max_signal_channels;
            T m_peak_threshold;
            T m_sum_threshold;
            /// Exponent k of the weights (value / peak)^k.
            int m_weighting;
        };

        Regression(NormalDistribution &d, Options const &opt);

        int calculate_all(bool dcOffsetApplied);

        Options m_opt;
        range::WindowedRangePicker<range::Justify> m_signalRangePicker;
        T m_signal_threshold;
    };

    /// The unweighted regression, with the normal-equation matrices of every
    /// window length inverted once at construction.
    class RegressionPrecalculated : public WindowedAnalyzer
    {
    public:
        struct Options
        {
            Options()
                : m_signal_threshold_percent(0)
                , m_max_signal_channels(1024)
                , m_peak_threshold(0)
                , m_sum_threshold(0)
            {
            }
            Options(T percent, int max_signal_channels, T peak_threshold, T sum_threshold)
                : m_signal_threshold_percent(percent)
                , m_max_signal_channels(max_signal_channels)
                , m_peak_threshold(peak_threshold)
                , m_sum_threshold(sum_threshold)
            {
            }
            T m_signal_threshold_percent;
            int m_max_signal_channels;
            T m_peak_threshold;
            T m_sum_threshold;
        };

        RegressionPrecalculated(NormalDistribution &d, Options const &opt);

        int calculate_all();
        /// Mean, variance and sigma only, around the peak already stored in
        /// the distribution; m_fitComplete stays false.
        int calculate_centroid();

        Options m_opt;
        range::WindowedRangePicker<range::Justify> m_signalRangePicker;
        T m_signal_threshold;
        /// Entry n (3 <= n) is the inverse normal-equation matrix of an
        /// unweighted parabola over n points; n never exceeds the window
        /// length 2w + 1 nor the number of channels.
        std::vector<Matrix3<T>> m_matrices;

    private:
        void init();
        int fit(bool centroidOnly);
    };

    /// Installs a curve computed elsewhere (by the instrument).
    class PrecalculatedFit
    {
    public:
        struct Options
        {
            Options()
                : m_mean(-1)
                , m_sd(-1)
                , m_amplitude(0)
                , m_offset(0)
                , m_confidence(0)
            {
            }
            Options(T mean, T sd, T amplitude, T offset, T confidence)
                : m_mean(mean)
                , m_sd(sd)
                , m_amplitude(amplitude)
                , m_offset(offset)
                , m_confidence(confidence)
            {
            }
            T m_mean;
            T m_sd;
            T m_amplitude;
            T m_offset;
            T m_confidence;
        };

        PrecalculatedFit(NormalDistribution &d, Options const &opt)
            : m_d(d)
            , m_opt(opt)
        {
        }

        /// Completes the fit when mean >= 0 and sigma > 0; a non-finite mean,
        /// sigma or scale clears m_fitComplete; otherwise it is left as it was.
        void set();

        NormalDistribution &m_d;
        Options m_opt;
    };

    /// The Gaussian through the highest channel and its two neighbours.
    class Gaussabola : public WindowedAnalyzer
    {
    public:
        struct Options
        {
            Options()
                : m_peak_threshold(0)
                , m_sum_threshold(0)
                , m_percent_threshold(T(0.98))
            {
            }
            Options(T peak_threshold, T sum_threshold, T percent_threshold)
                : m_peak_threshold(peak_threshold)
                , m_sum_threshold(sum_threshold)
                , m_percent_threshold(percent_threshold)
            {
            }
            T m_peak_threshold;
            /// Carried for callers; not used by the fit.
            T m_sum_threshold;
            /// Carried for callers; not used by the fit.
            T m_percent_threshold;
        };

        Gaussabola(NormalDistribution &d, Options const &opt)
            : WindowedAnalyzer(d)
            , m_opt(opt)
        {
        }

        int calculate_all();

        Options m_opt;
    };

    T *m_histogram;
    std::size_t m_histogram_size;
    std::unique_ptr<std::vector<T>> m_own_histogram;
    T m_mean;
    T m_sd;
    T m_sd_inv;
    T m_sd_inv2_neg_half;
    T m_sd_root_two_pi_inv;
    T m_variance;
    T m_skewness;
    T m_kurtosis;
    T m_scale;
    T m_amplitude;
    T m_histogramSum;
    T m_histogramPeak_y;
    int m_histogramPeak_x;
    bool m_fitComplete;
    T m_dcoffset;

private:
    int finish_log_parabola(T const *c, int origin, bool centroidOnly);
};

template <typename T>
template <class Filter, class SignalRangePicker>
int NormalDistribution<T>::CenterOfGravity<Filter, SignalRangePicker>::calculate_all()
{
    NormalDistribution &d = this->m_d;
    const long long n = (long long)d.m_histogram_size;
    if (n < 2)
        return ErrorNotEnoughData;

    d.m_fitComplete = false;
    d.m_histogramSum = 0;
    d.find_peak_channel();

    range::Range r = m_signalRangePicker.range(d.m_histogramPeak_x);
    // A picker built for another size must not lead outside the array.
    if (r.first < 0)
        r.first = 0;
    if (r.second > n - 1)
        r.second = int(n - 1);
    this->m_x_lowSide = r.first;
    this->m_x_highSide = r.second;
    m_filter.init(d.m_histogramPeak_y);

    T const *h = d.m_histogram;
    T m1 = 0;
    for (int i = r.first; i <= r.second; ++i) {
        const T f = m_filter(h[i]);
        d.m_histogramSum += f;
        m1 += T(i) * f;
    }
    const T s = d.m_histogramSum;
    if (s <= 0)
        return ErrorSumBelowThreshold;

    const T mean = m1 / s;
    d.m_mean = mean;
    if (mean < T(r.first) || mean > T(r.second))
        return ErrorPeakEdge;
    if (!std::isfinite(mean))
        return ErrorSolutionInvalid;

    T m2 = 0, m3 = 0, m4 = 0;
    for (int i = r.first; i <= r.second; ++i) {
        const T f = m_filter(h[i]);
        const T dx = T(i) - mean;
        const T dx2 = dx * dx;
        m2 += f * dx2;
        m3 += f * dx2 * dx;
        m4 += f * dx2 * dx2;
    }
    const T var = m2 / s;
    if (!(var > 0) || !std::isfinite(var))
        return ErrorSolutionInvalid;

    d.m_variance = var;
    d.m_sd = std::sqrt(var);
    d.calculate_sd_optimizations();
    d.m_skewness = (m3 / s) / (d.m_sd * d.m_sd * d.m_sd);
    d.m_kurtosis = (m4 / s) / (var * var);

    d.calculate_scale();
    if (!std::isfinite(d.m_scale))
        return ErrorSolutionInvalid;
    d.m_fitComplete = true;
    return ErrorNone;
}

extern template class NormalDistribution<float>;
extern template class NormalDistribution<double>;

} // namespace math
} // namespace corvid

#endif
