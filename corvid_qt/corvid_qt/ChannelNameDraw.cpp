#include "ChannelNameDraw.h"

#include <qwt_text.h>

namespace Corvid_Qt {

const char ChannelNameDraw::channelNames[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

ChannelNameDraw::ChannelNameDraw() = default;

QwtText ChannelNameDraw::label(double value) const
{
    // The comparison also keeps NaN and values beyond int out of the cast.
    if (!(value >= 1.0 && value < 2147483648.0))
        return QwtText();
    const int n = int(value);
    return QwtText(QString(QLatin1Char(channelNames[(n - 1) % 26])));
}

} // namespace Corvid_Qt
