#include "Resources.h"

namespace Corvid_Qt {
namespace resource {

QString rgbStyleSheetFromColor(const QColor &c)
{
    return QStringLiteral("rgb( %1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

QString colorRgbStyleSheetFromColor(const QColor &c)
{
    return QStringLiteral("color: ") + rgbStyleSheetFromColor(c) + QLatin1Char(';');
}

} // namespace resource
} // namespace Corvid_Qt
