#include "ChannelNumberDraw.h"

#include <qwt_text.h>

namespace Corvid_Qt {

ChannelNumberDraw::ChannelNumberDraw(int channels)
    : m_frequency(channels / 32 < 1 ? 1 : channels / 32)
    , m_font(QStringLiteral("Arial"), 8)
{
}

QwtText ChannelNumberDraw::label(double value) const
{
    QwtText text;
    if (value >= 1.0 && value < 2147483648.0) {
        const int n = int(value);
        if (n == 1 || n % m_frequency == 0)
            text.setText(QString::number(n));
    }
    text.setFont(m_font);
    return text;
}

} // namespace Corvid_Qt
