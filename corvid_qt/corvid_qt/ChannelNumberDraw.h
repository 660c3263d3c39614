#ifndef CORVID_QT_CHANNELNUMBERDRAW_H
#define CORVID_QT_CHANNELNUMBERDRAW_H

#include "corvid_qt_export.h"

#include <QtGui/QFont>
#include <qwt_scale_draw.h>

namespace Corvid_Qt {

/**
 * Labels the channel axis of a beam profile with channel numbers, thinned
 * out for many channels: tick 1 and every multiple of channels / 32 (at
 * least 1) are labelled, the others stay empty. Labels use Arial 8.
 */
class CORVID_QT_EXPORT ChannelNumberDraw : public QwtScaleDraw
{
public:
    explicit ChannelNumberDraw(int channels);

    int frequency() const { return m_frequency; }

    QwtText label(double value) const override;

private:
    int m_frequency;
    QFont m_font;
};

} // namespace Corvid_Qt

#endif
