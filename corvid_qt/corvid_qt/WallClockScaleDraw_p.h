#ifndef CORVID_QT_WALLCLOCKSCALEDRAW_P_H
#define CORVID_QT_WALLCLOCKSCALEDRAW_P_H

#include <QtCore/QString>

#include "PlotScaleDraw_p.h"

namespace Corvid_Qt {

/**
 * Labels a time axis in seconds since the epoch with the local wall-clock
 * time: "hh:mm:ss", with milliseconds over a short span and the date below
 * where the span crosses midnight. setSpan() is told the visible range
 * before each repaint. Owned by its scale widget.
 */
class WallClockScaleDraw : public PlotScaleDraw
{
public:
    /// Times from this many seconds on are taken as seconds since the epoch.
    static constexpr double kEpochThreshold = 1.0e8;
    /// ... up to this many (three million years): later ones have no date.
    static constexpr double kEpochLimit = 1.0e14;
    static bool isEpochTime(double seconds) { return seconds >= kEpochThreshold && seconds <= kEpochLimit; }

    WallClockScaleDraw() = default;

    void setSpan(double low, double high);
    QwtText label(double value) const override;

    /// `seconds` since the epoch as local "yyyy-MM-dd hh:mm:ss.zzz".
    static QString dateTimeText(double seconds);

private:
    QString m_format = QStringLiteral("hh:mm:ss");
};

} // namespace Corvid_Qt

#endif
