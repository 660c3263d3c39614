#ifndef CORVID_QT_VRXPLOTCOLORS_H
#define CORVID_QT_VRXPLOTCOLORS_H

#include "corvid_qt_export.h"

#include <QtGui/QColor>

namespace Corvid_Qt {

/**
 * The process-wide colours of channels and marker labels. Channel column c
 * (1-based) is drawn in colors[(c - 1) % 8]; use forChannel() for that.
 */
class CORVID_QT_EXPORT VRXPlotColors
{
public:
    static const int count = 8;
    static const QColor colors[count];
    static const QColor kLabelTextColor;
    static const QColor kLabelBackgroundColor;

    /// The colour of channel column c (1-based); column 0 and below map like column 1.
    static const QColor &forChannel(int column)
    {
        return colors[column >= 1 ? (column - 1) % count : 0];
    }
};

} // namespace Corvid_Qt

#endif
