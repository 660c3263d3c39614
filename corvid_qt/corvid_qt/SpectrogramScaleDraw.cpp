#include "SpectrogramScaleDraw.h"

namespace Corvid_Qt {

SpectrogramScaleDraw::SpectrogramScaleDraw()
    : m_invert_x(false)
    , m_invert_y(false)
    , m_mmPerStrip(3.0)
    , m_strips(12)
{
}

QwtText SpectrogramScaleDraw::label(double value) const
{
    const int half = m_strips / 2;
    const bool mirrored = (alignment() == QwtScaleDraw::LeftScale && !m_invert_y)
                          || (alignment() == QwtScaleDraw::BottomScale && m_invert_x);
    const double mm = (mirrored ? half - value : value - half) * m_mmPerStrip;
    return QwtText(QString::number(mm, 'g', 6) + QStringLiteral("mm"));
}

} // namespace Corvid_Qt
