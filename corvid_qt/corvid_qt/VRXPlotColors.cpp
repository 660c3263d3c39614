#include "VRXPlotColors.h"

namespace Corvid_Qt {

const QColor VRXPlotColors::colors[VRXPlotColors::count] = {
    QColor(Qt::cyan),          QColor(Qt::green),        QColor(Qt::magenta),      QColor(Qt::red),
    QColor(0, 85, 255),        QColor(Qt::yellow),       QColor(255, 128, 0),      QColor(179, 102, 255),
};

const QColor VRXPlotColors::kLabelTextColor(255, 255, 200, 255);
const QColor VRXPlotColors::kLabelBackgroundColor(40, 40, 40, 130);

} // namespace Corvid_Qt
