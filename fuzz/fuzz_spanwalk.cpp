// Series of any spacing and values through the gap-breaking curve: drawn
// from a model's columns (several samples at a time) and from the same
// samples as points (one at a time), dense or sparse, normalised or not,
// the two pictures are the same pixel for pixel.
#include "FuzzSupport.h"

#include <VRXDiscontinuousPlotCurve.h>
#include <VRXSeriesData.h>
#include <VRXSingleChannelDataModel.h>

#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include <qwt_point_data.h>
#include <qwt_scale_map.h>

using namespace Corvid_Qt;

namespace {

const QSize kSize(300, 80);

QImage draw(const QwtPlotCurve &curve, const QRectF &scale)
{
    QImage image(kSize, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    QwtScaleMap xMap, yMap;
    xMap.setScaleInterval(scale.left(), scale.right());
    xMap.setPaintInterval(0, kSize.width());
    yMap.setScaleInterval(scale.top(), scale.bottom());
    yMap.setPaintInterval(kSize.height(), 0);
    curve.draw(&painter, xMap, yMap, QRectF(QPointF(0, 0), kSize));
    return image;
}

std::unique_ptr<VRXDiscontinuousPlotCurve> makeCurve()
{
    auto curve = std::make_unique<VRXDiscontinuousPlotCurve>(QStringLiteral("fuzz"));
    curve->setPen(QPen(QColor(0, 200, 255), 1.0));
    return curve;
}

} // namespace

CORVID_FUZZ_WITH_APPLICATION()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    corvid_fuzz::Bytes in(data, size);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double perPixel = 0.5 + in.take<uint8_t>() * 0.4;
    const double scales[] = {1.0, 2.0, 1000.0, 1e-3};
    const double scale = scales[in.take<uint8_t>() % 4];
    const int count = int(std::min<size_t>(in.left() / 2, 20000));
    const double step = 1.0 / perPixel;

    VRXSingleChannelDataModel model;
    double x = 0.0;
    for (int i = 0; i < count; ++i) {
        const uint8_t a = in.take<uint8_t>(), b = in.take<uint8_t>();
        const double y = b == 255 ? nan : b == 254 ? inf : b == 253 ? -inf : b * 0.4;
        model.AddData(x, y);
        // Mostly even steps; some uneven, some back in time, some gaps.
        x += step * (a < 200 ? 1.0 : a < 230 ? 0.3 + (a - 200) * 0.1 : a < 250 ? -(a - 229.0) : 60.0 + a);
    }
    QwtPointSeriesData *points = new QwtPointSeriesData;
    QVector<QPointF> samples;
    double xLow = 0.0, xHigh = 1.0;
    for (int row = 1; row < model.rowCount(); ++row) {
        const QPointF p(model.doubleData(row, 0), model.doubleData(row, 1) / scale);
        samples.append(p);
        xLow = std::min(xLow, p.x());
        xHigh = std::max(xHigh, p.x());
    }
    points->setSamples(samples);
    const QRectF view(xLow, 0.0, xHigh - xLow, 102.0 / scale);

    auto fromModel = makeCurve();
    auto *series = static_cast<VRXSeriesData *>(model.seriesData(1, 1, -1));
    series->setScale(scale);
    fromModel->setData(series);
    auto fromPoints = makeCurve();
    fromPoints->setData(points);
    FUZZ_CHECK(draw(*fromModel, view) == draw(*fromPoints, view));
    return 0;
}
