#ifndef CORVID_QT_RESOURCES_H
#define CORVID_QT_RESOURCES_H

#include "corvid_qt_export.h"

#include <QtCore/QString>
#include <QtGui/QColor>

/**
 * Standard colours and tool tips for device and channel states, so that every
 * host window colours states alike. The constants have internal linkage: each
 * translation unit that includes this header holds its own copy.
 */
namespace Corvid_Qt {
namespace resource {

const QColor kUninitializedColor(90, 90, 90);
const QString kUninitializedToolTip = QStringLiteral("uninitialized");
const QColor kOffColor(108, 108, 108);
const QString kOffToolTip = QStringLiteral("off");
const QColor kUnusedDarkColor(30, 30, 30);
const QColor kRunningGoodToGoColor(12, 255, 12);
const QColor kRunningGoodToGoColor_onGrayBackground(13, 202, 6);
const QString kNormalColor_text_styleSheet = QStringLiteral("color:text");
const QString kRunningGoodToGoToolTip = QStringLiteral("running");
const QColor kNonDangerousErrorConditionColor(255, 255, 32);
const QColor kNonDangerousErrorConditionColor_onWhiteBackground(255, 125, 40);
const QColor kNonDangerousErrorConditionColor_onGrayBackground(254, 110, 10);
const QColor kUrgentErrorConditionColor(200, 40, 10);
const QString kErrorConditionToolTip = QStringLiteral("error: unknown reason");
const QString kTimeoutErrorConditionToolTip = QStringLiteral("error: timeout");
const QColor kWarningConditionColor(250, 220, 80);
const QColor kWarningConditionColor_onWhiteBackground(245, 200, 5);
const QColor kWarningConditionColor_onGrayBackground(199, 174, 21);
const QColor kPowerSupplySelectionColor(70, 240, 190);

/// "rgb( r,g,b)"; the alpha component is never written.
CORVID_QT_EXPORT QString rgbStyleSheetFromColor(const QColor &c);
/// "color: rgb( r,g,b);"
CORVID_QT_EXPORT QString colorRgbStyleSheetFromColor(const QColor &c);
/// One of the tool tips above in the application's language (the constants
/// stay English); any other text is returned as it is.
CORVID_QT_EXPORT QString translatedToolTip(const QString &toolTip);

} // namespace resource
} // namespace Corvid_Qt

#endif
