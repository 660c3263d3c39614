#include "Resources.h"

#include <QtCore/QCoreApplication>

namespace Corvid_Qt {
namespace resource {

namespace {

const char *const kToolTips[] = {
    QT_TRANSLATE_NOOP("Corvid_Qt::resource", "uninitialized"),
    QT_TRANSLATE_NOOP("Corvid_Qt::resource", "off"),
    QT_TRANSLATE_NOOP("Corvid_Qt::resource", "running"),
    QT_TRANSLATE_NOOP("Corvid_Qt::resource", "error: unknown reason"),
    QT_TRANSLATE_NOOP("Corvid_Qt::resource", "error: timeout"),
};

} // namespace

QString rgbStyleSheetFromColor(const QColor &c)
{
    return QStringLiteral("rgb( %1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

QString colorRgbStyleSheetFromColor(const QColor &c)
{
    return QStringLiteral("color: ") + rgbStyleSheetFromColor(c) + QLatin1Char(';');
}

QString translatedToolTip(const QString &toolTip)
{
    for (const char *text : kToolTips) {
        if (toolTip == QLatin1String(text))
            return QCoreApplication::translate("Corvid_Qt::resource", text);
    }
    return toolTip;
}

} // namespace resource
} // namespace Corvid_Qt
