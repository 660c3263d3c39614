#include "ChannelHover.h"

#include "VRXPixelatedChamber.h"

#include <QtGui/QBrush>
#include <QtGui/QFont>

#include <algorithm>
#include <cmath>

namespace Corvid_Qt {

namespace {

std::array<int, 144> invertedMapping()
{
    std::array<int, 144> channels;
    channels.fill(-1);
    for (const corvid::math::ICtoLMMapping *m = corvid::math::_mapping_LM2_LM3; m->q905 != -1; ++m)
        channels[m->y * corvid::math::MAX_LM_WIDTH + m->x] = m->q905;
    return channels;
}

int clampedCell(double pos, int n)
{
    if (!(pos > 0.0))
        return 0;
    return int(std::min(std::floor(pos), double(n - 1)));
}

} // namespace

const std::array<int, 144> kChannelArray = invertedMapping();

ChannelHover::ChannelHover(int xAxis, int yAxis, RubberBand rubberBand, DisplayMode trackerMode,
                           QWidget *canvas)
    : QwtPlotPicker(xAxis, yAxis, rubberBand, trackerMode, canvas)
    , m_strips(12)
    , m_channel_enable(true)
{
}

QwtText ChannelHover::trackerTextF(const QPointF &pos) const
{
    const int n = std::max(1, m_strips);
    const int column = clampedCell(pos.x(), n);
    const int row = clampedCell(pos.y(), n);
    const int index = row * n + column;
    const QString value = index < m_data.size() ? QString::number(m_data.at(index), 'g', 6) : QString();

    QString text;
    if (!m_channel_enable) {
        text = tr("Index [%1][%2]: %3").arg(column).arg(row).arg(value);
    } else {
        const int cell = row * 12 + column;
        const int channel = cell < int(kChannelArray.size()) ? kChannelArray[cell] : -1;
        text = channel != -1 ? tr("Channel %1: %2").arg(channel + 1).arg(value)
                             : tr("Out of bounds");
    }
    QwtText tracker(text);
    tracker.setBackgroundBrush(QBrush(Qt::white, Qt::SolidPattern));
    QFont font = tracker.font();
    font.setPointSize(14);
    tracker.setFont(font);
    return tracker;
}

} // namespace Corvid_Qt
