#ifndef CORVID_QT_PLOTTIMEINDEX_P_H
#define CORVID_QT_PLOTTIMEINDEX_P_H

#include <boost/iterator/counting_iterator.hpp>

#include <algorithm>

namespace Corvid_Qt {

/**
 * Looks rows of a sample buffer up by time. Row 0 is the header; rows 1..n
 * hold times, normally non-decreasing, where a binary search finds exactly
 * what a scan from row 1 finds. The order is checked as rows arrive; a buffer
 * with a step back in time (or a NaN) is scanned row by row instead.
 *
 * The index holds no times: every call that reads them takes a callable
 * `double time(int row)`.
 */
class PlotTimeIndex
{
public:
    enum Bound {
        AtOrAfter, ///< the first row whose time is >= t
        After      ///< the first row whose time is > t
    };

    void invalidate()
    {
        m_checkedRows = 0;
        m_lastStepBack = 0;
    }

    /// Rows from `row` on changed their times or were replaced.
    void invalidateFrom(int row)
    {
        if (row > m_checkedRows)
            return;
        if (m_lastStepBack >= row)
            invalidate();
        else
            m_checkedRows = std::max(row - 1, 0);
    }

    /// Rows `start`..`end` are about to go; dropping the oldest rows keeps the order of the rest.
    void removeRows(int start, int end)
    {
        if (start > m_checkedRows)
            return;
        const int count = end - start + 1;
        if (start == 1) {
            m_checkedRows = std::max(m_checkedRows - count, 0);
            m_lastStepBack = m_lastStepBack - count > 1 ? m_lastStepBack - count : 0;
        } else {
            invalidateFrom(start);
        }
    }

    /// Rows can only vanish unannounced from a misbehaving model; then the index starts over.
    void forgetRowsAfter(int lastRow)
    {
        if (m_checkedRows > lastRow)
            invalidate();
    }

    template <typename TimeAt>
    bool sorted(int lastRow, const TimeAt &time)
    {
        if (m_checkedRows < lastRow) {
            int row = std::max(m_checkedRows, 1);
            double previous = time(row);
            for (++row; row <= lastRow; ++row) {
                const double t = time(row);
                if (!(t >= previous))
                    m_lastStepBack = row;
                previous = t;
            }
            m_checkedRows = lastRow;
        }
        return m_lastStepBack == 0;
    }

    /// The first row in 1..lastRow at the bound of `t`, or -1 for none.
    template <typename TimeAt>
    int firstRow(Bound bound, double t, int lastRow, const TimeAt &time)
    {
        if (lastRow < 1)
            return -1;
        // Written as "not at the bound" so that a NaN time or t is never at it.
        const auto before = [&](int row) {
            const double rowTime = time(row);
            return bound == AtOrAfter ? !(rowTime >= t) : !(rowTime > t);
        };
        const boost::counting_iterator<int> first(1), last(lastRow + 1);
        const boost::counting_iterator<int> found =
            sorted(lastRow, time) ? std::partition_point(first, last, before) : std::find_if_not(first, last, before);
        return found != last ? *found : -1;
    }

    int checkedRows() const { return m_checkedRows; }

private:
    int m_checkedRows = 0;  ///< rows 1..m_checkedRows have been checked for their order
    int m_lastStepBack = 0; ///< the last checked row earlier than its predecessor; 0 for none
};

} // namespace Corvid_Qt

#endif
