#ifndef CORVID_QT_MARKERSTATISTICS_P_H
#define CORVID_QT_MARKERSTATISTICS_P_H

#include <algorithm>
#include <cmath>

namespace Corvid_Qt {

/**
 * Sums over the values between two plot markers, from which the marker
 * labels derive their statistics. Both label families print a "Sum", "Mean",
 * "RMS" and "Std. Dev" line, but with different quantities behind the last
 * two (see the accessors).
 */
struct MarkerStatistics
{
    int count = 0;
    double sum = 0.0;
    double sumOfSquares = 0.0;
    /// Squares of the deviations from the mean. Taken in a second pass: the
    /// one-pass difference sumOfSquares / n - mean² cancels to 0 for a small
    /// spread on a large offset (1e6 ± 1e-4).
    double sumOfCentredSquares = 0.0;

    double mean() const { return sum / count; }
    double rootMeanSquare() const { return std::sqrt(sumOfSquares / count); }
    /// The root mean square deviation from the mean (divided by n).
    double spread() const { return std::sqrt(sumOfCentredSquares / count); }
    /// The sample standard deviation (divided by n - 1), 0 for one value.
    double standardDeviation() const { return count > 1 ? std::sqrt(sumOfCentredSquares / (count - 1)) : 0.0; }
    /// The standard error of the mean from the population variance.
    double errorOfMean() const { return std::sqrt(sumOfCentredSquares / count / (count - 1)); }
};

/// Statistics of valueAt(first)..valueAt(last), summed in that order.
template <typename ValueAt>
MarkerStatistics markerStatistics(int first, int last, const ValueAt &valueAt)
{
    MarkerStatistics s;
    for (int i = first; i <= last; ++i) {
        const double v = valueAt(i);
        ++s.count;
        s.sum += v;
        s.sumOfSquares += v * v;
    }
    if (s.count > 0) {
        const double m = s.mean();
        for (int i = first; i <= last; ++i) {
            const double d = valueAt(i) - m;
            s.sumOfCentredSquares += d * d;
        }
    }
    return s;
}

} // namespace Corvid_Qt

#endif
