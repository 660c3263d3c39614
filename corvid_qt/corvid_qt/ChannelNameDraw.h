#ifndef CORVID_QT_CHANNELNAMEDRAW_H
#define CORVID_QT_CHANNELNAMEDRAW_H

#include "corvid_qt_export.h"

#include <qwt_scale_draw.h>

namespace Corvid_Qt {

/**
 * Labels the channel axis of a beam profile with letters: tick 1 is "A",
 * 26 is "Z", 27 is "A" again. Ticks below 1 carry no label.
 */
class CORVID_QT_EXPORT ChannelNameDraw : public QwtScaleDraw
{
public:
    static const char channelNames[];

    ChannelNameDraw();

    QwtText label(double value) const override;
};

} // namespace Corvid_Qt

#endif
