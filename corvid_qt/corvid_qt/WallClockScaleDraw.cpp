#include "WallClockScaleDraw_p.h"

#include <QtCore/QDateTime>

#include <qwt_text.h>

#include <cmath>

namespace Corvid_Qt {

namespace {

QDateTime toDateTime(double seconds)
{
    return QDateTime::fromMSecsSinceEpoch(qint64(std::floor(seconds * 1000.0 + 0.5)));
}

} // namespace

void WallClockScaleDraw::setSpan(double low, double high)
{
    // Ticks of a span up to ten seconds fall between whole seconds.
    QString format = std::abs(high - low) <= 10.0 ? QStringLiteral("hh:mm:ss.zzz") : QStringLiteral("hh:mm:ss");
    if (toDateTime(low).date() != toDateTime(high).date())
        format += QStringLiteral("\nyyyy-MM-dd");
    if (format == m_format)
        return;
    m_format = format;
    invalidateCache();
}

QwtText WallClockScaleDraw::label(double value) const
{
    if (!std::isfinite(value) || std::abs(value) > kEpochLimit)
        return QwtScaleDraw::label(value);
    return QwtText(toDateTime(value).toString(m_format));
}

QString WallClockScaleDraw::dateTimeText(double seconds)
{
    return toDateTime(seconds).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

} // namespace Corvid_Qt
