#include "VRX_HistogramItemAxisWidget.h"

namespace Corvid_Qt {

VRX_HistogramItemAxisWidget::VRX_HistogramItemAxisWidget(QwtPlot *plot)
    : QWidget(nullptr)
    , m_plot(plot)
{
    setObjectName(QStringLiteral("VRX_HistogramItemAxisWidget"));
}

VRX_HistogramItemAxisWidget::~VRX_HistogramItemAxisWidget() = default;

} // namespace Corvid_Qt
