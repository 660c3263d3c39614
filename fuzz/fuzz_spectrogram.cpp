// Frames of any bit pattern into the spectrogram, in both chamber modes,
// with current display and odd sample rates: nothing throws, getCalc() is
// either invalid or finite, and no history grows past its cap.
#include "FuzzSupport.h"

#include <VRXSpectrogram.h>

#include <QtCore/QVector>
#include <cmath>

#include <qwt_plot.h>
#include <qwt_plot_curve.h>

using Corvid_Qt::SpectrogramCalc;
using Corvid_Qt::VRXSpectrogram;

namespace {

bool finite(const SpectrogramCalc &c)
{
    for (double v : {c.dx, c.dy, c.elongation, c.integral, c.mmajor, c.mminor, c.max, c.rotation, c.meanx, c.meany})
        if (!std::isfinite(v))
            return false;
    return true;
}

} // namespace

CORVID_FUZZ_WITH_APPLICATION()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static VRXSpectrogram *sp = new VRXSpectrogram;
    static double clock = 0;
    corvid_fuzz::Bytes in(data, size);
    const uint8_t mode = in.take<uint8_t>();
    if (mode & 1)
        sp->setK417(true);
    else
        sp->setPixelated(true);
    sp->currentEnabled(mode & 2);
    sp->setSampleRate(in.take<int32_t>());

    while (in.left() > 0) {
        QVector<float> frame(128);
        for (float &v : frame)
            v = in.take<float>();
        const uint8_t step = in.take<uint8_t>();
        // Mostly forward in time, now and then the same or an older stamp.
        clock += step < 200 ? 0.001 * (step + 1) : (step < 230 ? 0.0 : -1.0);
        sp->update();
        sp->setData(frame, clock);
        const SpectrogramCalc calc = sp->getCalc();
        FUZZ_CHECK(!calc.valid || finite(calc));
    }
    for (QwtPlot *plot : sp->findChildren<QwtPlot *>())
        for (QwtPlotItem *item : plot->itemList(QwtPlotItem::Rtti_PlotCurve))
            FUZZ_CHECK(static_cast<QwtPlotCurve *>(item)->dataSize() <= 3000);
    return 0;
}
