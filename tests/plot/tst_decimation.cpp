// Dense runs drawn as per-column spans must light what the polyline lights.

#include <VRXDiscontinuousPlotCurve.h>
#include <VRXSeriesData.h>
#include <VRXSingleChannelDataModel.h>

#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QPicture>
#include <QtTest/QtTest>

#include <qwt_scale_map.h>

#include <cmath>
#include <functional>
#include <limits>

using namespace Corvid_Qt;

namespace {

using Points = QVector<QPointF>;

const QSize kSize(400, 100);
const QColor kInk(0, 200, 255);
const double kNaN = std::numeric_limits<double>::quiet_NaN();

QwtScaleMap scaleMap(double s1, double s2, double p1, double p2)
{
    QwtScaleMap map;
    map.setScaleInterval(s1, s2);
    map.setPaintInterval(p1, p2);
    return map;
}

// x in [0, 400) and y in [0, 100) map one to one onto the pixels, y upwards.
QImage render(const Points &points, double density, double penWidth = 1.0)
{
    QImage image(kSize, QImage::Format_RGB32);
    image.fill(Qt::black);
    VRXDiscontinuousPlotCurve curve(QStringLiteral("test"));
    curve.setStyle(QwtPlotCurve::Lines);
    curve.setPen(QPen(kInk, penWidth));
    curve.setDecimationDensity(density);
    curve.setSamples(points);
    QPainter painter(&image);
    curve.draw(&painter, scaleMap(0, kSize.width(), 0, kSize.width()), scaleMap(0, kSize.height(), kSize.height(), 0),
               QRectF(QPointF(0, 0), kSize));
    return image;
}

bool inked(const QImage &image, int x, int y)
{
    return image.rect().contains(x, y) && image.pixel(x, y) != QColor(Qt::black).rgb();
}

QVector<int> inkedRows(const QImage &image, int x)
{
    QVector<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        if (inked(image, x, y))
            rows.append(y);
    }
    return rows;
}

// Samples evenly over x in [x0, x1) at `perColumn` per pixel.
Points dense(double x0, double x1, double perColumn, const std::function<double(double)> &y)
{
    Points points;
    const int n = int((x1 - x0) * perColumn);
    for (int i = 0; i < n; ++i) {
        const double x = x0 + i / perColumn;
        points.append(QPointF(x, y(x)));
    }
    return points;
}

// Every inked pixel of `a` has an inked pixel of `b` within one pixel.
QString strayPixel(const QImage &a, const QImage &b)
{
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (!inked(a, x, y))
                continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx)
                    near = inked(b, x + dx, y + dy);
            if (!near)
                return QStringLiteral("(%1, %2)").arg(x).arg(y);
        }
    }
    return QString();
}

} // namespace

class tst_Decimation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void flatLineKeepsItsSpike_data();
    void flatLineKeepsItsSpike();
    void gapsSurvive_data();
    void gapsSurvive();
    void agreesWithPolylineAtThreshold_data();
    void agreesWithPolylineAtThreshold();
    void imagePixelsMatchThePainters_data();
    void imagePixelsMatchThePainters();
    void modelColumnsDrawAsTheirPoints();
};

void tst_Decimation::flatLineKeepsItsSpike_data()
{
    QTest::addColumn<double>("penWidth");
    QTest::addColumn<double>("spike");
    QTest::newRow("thin, spike up") << 1.0 << 90.0;
    QTest::newRow("thin, spike down") << 1.0 << 2.0;
    QTest::newRow("cosmetic pen") << 0.0 << 90.0;
    QTest::newRow("wide pen") << 3.0 << 90.0;
}

// 100000 samples at y = 50 over 400 columns, one of them far off.
void tst_Decimation::flatLineKeepsItsSpike()
{
    QFETCH(double, penWidth);
    QFETCH(double, spike);
    const int n = 100000;
    const int spikeIndex = 61237;
    Points points = dense(0, 400, n / 400.0, [](double) { return 50.0; });
    points[spikeIndex].setY(spike);
    const int spikeColumn = int(std::lround(points[spikeIndex].x()));

    const QImage image = render(points, 2.0, penWidth);
    const int thickness = std::max(1, int(std::lround(penWidth)));
    const int line = 50;
    for (int x : {5, 100, 200, 395}) {
        const QVector<int> rows = inkedRows(image, x);
        QCOMPARE(rows.size(), thickness);
        QVERIFY2(std::abs(rows.first() - line) <= thickness, qPrintable(QString::number(rows.first())));
    }
    const int spikeRow = int(std::lround(100 - spike));
    QVERIFY2(inked(image, spikeColumn, spikeRow), "spike lost");
    QCOMPARE(image.pixelColor(spikeColumn, spikeRow), kInk);
    // The spike is a column, not a smear across its neighbours.
    QVERIFY(!inked(image, spikeColumn - thickness - 1, spikeRow));
    QVERIFY(!inked(image, spikeColumn + thickness + 1, spikeRow));
    // Span between the line and the spike is closed.
    for (int y = std::min(spikeRow, line) + 1; y < std::max(spikeRow, line); ++y)
        QVERIFY2(inked(image, spikeColumn, y) || inked(image, spikeColumn + 1, y), qPrintable(QString::number(y)));
}

void tst_Decimation::gapsSurvive_data()
{
    QTest::addColumn<Points>("points");
    QTest::addColumn<int>("gapFrom");
    QTest::addColumn<int>("gapTo");
    QTest::addColumn<QVector<int>>("allowedRows");
    const auto wave = [](double x) { return 50 + 30 * std::sin(x / 20); };
    QTest::newRow("missing samples") << dense(0, 150, 250, wave) + dense(250, 400, 250, wave) << 152 << 248
                                     << QVector<int>();
    Points withNaN = dense(0, 400, 250, wave);
    for (int i = 150 * 250; i < 250 * 250; ++i)
        withNaN[i].setY(kNaN);
    QTest::newRow("NaN samples") << withNaN << 152 << 248 << QVector<int>();
    // Two flat runs overlapping in x: nothing may join the end of one to
    // the start of the other.
    const Points backwards = dense(0, 300, 250, [](double) { return 20.0; }) + dense(100, 400, 250, [](double) {
                                 return 90.0;
                             });
    QTest::newRow("time going backwards") << backwards << 98 << 302 << QVector<int>{10, 80};
}

void tst_Decimation::gapsSurvive()
{
    QFETCH(Points, points);
    QFETCH(int, gapFrom);
    QFETCH(int, gapTo);
    QFETCH(QVector<int>, allowedRows);
    const QImage image = render(points, 2.0);
    QVERIFY(!inkedRows(image, gapFrom - 4).isEmpty());
    QVERIFY(!inkedRows(image, gapTo + 4).isEmpty());
    for (int x = gapFrom; x <= gapTo; ++x) {
        for (int y : inkedRows(image, x))
            QVERIFY2(allowedRows.contains(y), qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
    }
}

void tst_Decimation::agreesWithPolylineAtThreshold_data()
{
    QTest::addColumn<double>("perColumn");
    QTest::addColumn<double>("amplitude");
    QTest::newRow("at threshold") << 2.0 << 40.0;
    QTest::newRow("steep at threshold") << 2.0 << 48.0;
    QTest::newRow("just above") << 2.5 << 40.0;
    QTest::newRow("dense") << 20.0 << 40.0;
}

// A slow sine drawn both ways: the same pixels within one, both ways round.
void tst_Decimation::agreesWithPolylineAtThreshold()
{
    QFETCH(double, perColumn);
    QFETCH(double, amplitude);
    const Points points = dense(0.3, 399.7, perColumn, [=](double x) { return 50 + amplitude * std::sin(x / 25); });
    const QImage polyline = render(points, std::numeric_limits<double>::infinity());
    const QImage spans = render(points, 0.0);
    const QString extra = strayPixel(spans, polyline);
    QVERIFY2(extra.isEmpty(), qPrintable(QStringLiteral("span pixel far from the polyline at ") + extra));
    const QString missing = strayPixel(polyline, spans);
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("polyline pixel missing from the spans at ") + missing));
    int columns = 0;
    for (int x = 0; x < kSize.width(); ++x)
        columns += inkedRows(spans, x).isEmpty() ? 0 : 1;
    QVERIFY(columns >= kSize.width() - 2);
}

enum class Target { Image, Picture };

// Spans of a dense curve drawn under a painter state, into an image of the
// given format (written in place) or recorded as a picture and played back
// (left to the painter).
QImage renderUnder(const Points &points, Target target, QImage::Format format, const QPen &pen,
                   const QPoint &offset, const QRect &clip)
{
    VRXDiscontinuousPlotCurve curve(QStringLiteral("test"));
    curve.setStyle(QwtPlotCurve::Lines);
    curve.setPen(pen);
    curve.setDecimationDensity(0.0);
    curve.setSamples(points);
    const auto draw = [&](QPaintDevice *device) {
        QPainter painter(device);
        painter.translate(offset);
        if (!clip.isNull())
            painter.setClipRect(clip);
        curve.draw(&painter, scaleMap(0, kSize.width(), 0, kSize.width()),
                   scaleMap(0, kSize.height(), kSize.height(), 0), QRectF(QPointF(0, 0), kSize));
    };
    QImage image(kSize, format);
    image.fill(Qt::black);
    if (target == Target::Picture) {
        QPicture picture;
        draw(&picture);
        QPainter painter(&image);
        picture.play(&painter);
    } else {
        draw(&image);
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

void tst_Decimation::imagePixelsMatchThePainters_data()
{
    QTest::addColumn<QImage::Format>("format");
    QTest::addColumn<QPen>("pen");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<QRect>("clip");
    QTest::newRow("plain") << QImage::Format_RGB32 << QPen(kInk, 1.0) << QPoint() << QRect();
    QTest::newRow("premultiplied") << QImage::Format_ARGB32_Premultiplied << QPen(kInk, 0.0) << QPoint() << QRect();
    QTest::newRow("moved and clipped") << QImage::Format_ARGB32 << QPen(kInk, 1.0) << QPoint(7, -3)
                                       << QRect(40, 20, 300, 50);
    QTest::newRow("wide pen, clipped at the edge") << QImage::Format_RGB32 << QPen(kInk, 3.0) << QPoint(-5, 4)
                                                  << QRect(-10, -10, 200, 80);
    // Not written in place: the painter blends it, and both must agree.
    QTest::newRow("translucent") << QImage::Format_RGB32 << QPen(QColor(0, 200, 255, 128), 1.0) << QPoint()
                                 << QRect();
}

void tst_Decimation::imagePixelsMatchThePainters()
{
    QFETCH(QImage::Format, format);
    QFETCH(QPen, pen);
    QFETCH(QPoint, offset);
    QFETCH(QRect, clip);
    Points points = dense(0, 400, 40, [](double x) { return 50 + 45 * std::sin(x / 7) + std::fmod(x * 7.3, 3.0); });
    points[5000].setY(kNaN);
    points[9000].setY(1e300);
    const QImage written = renderUnder(points, Target::Image, format, pen, offset, clip);
    const QImage painted = renderUnder(points, Target::Picture, format, pen, offset, clip);
    QVERIFY(written != QImage(kSize, QImage::Format_RGB32));
    for (int y = 0; y < kSize.height(); ++y) {
        for (int x = 0; x < kSize.width(); ++x)
            QVERIFY2(written.pixel(x, y) == painted.pixel(x, y), qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
    }
}

// A model's series is drawn from its columns; the picture is that of the
// same samples given as points, also when the curve is normalised.
void tst_Decimation::modelColumnsDrawAsTheirPoints()
{
    VRXSingleChannelDataModel model;
    Points points;
    for (int i = 0; i < 20000; ++i) {
        const double x = i * 0.02;
        const double y = i == 7000 ? kNaN : 50 + 40 * std::sin(x / 9);
        model.AddData(x, y);
        points.append(QPointF(x, y));
    }
    for (double scale : {1.0, 2.0}) {
        auto *series = static_cast<VRXSeriesData *>(model.seriesData(1, 1, -1));
        series->setScale(scale);
        Points scaled = points;
        for (QPointF &p : scaled)
            p.ry() /= scale;
        VRXDiscontinuousPlotCurve fromModel(QStringLiteral("model")), fromPoints(QStringLiteral("points"));
        for (VRXDiscontinuousPlotCurve *curve : {&fromModel, &fromPoints}) {
            curve->setStyle(QwtPlotCurve::Lines);
            curve->setPen(QPen(kInk, 1.0));
        }
        fromModel.setData(series);
        fromPoints.setSamples(scaled);
        QImage a(kSize, QImage::Format_RGB32), b(kSize, QImage::Format_RGB32);
        a.fill(Qt::black);
        b.fill(Qt::black);
        const QwtScaleMap xMap = scaleMap(0, kSize.width(), 0, kSize.width());
        const QwtScaleMap yMap = scaleMap(0, kSize.height(), kSize.height(), 0);
        QPainter pa(&a), pb(&b);
        fromModel.draw(&pa, xMap, yMap, QRectF(QPointF(0, 0), kSize));
        fromPoints.draw(&pb, xMap, yMap, QRectF(QPointF(0, 0), kSize));
        QVERIFY(a != QImage(kSize, QImage::Format_RGB32));
        QVERIFY2(a == b, qPrintable(QStringLiteral("scale %1").arg(scale)));
    }
}

QTEST_MAIN(tst_Decimation)
#include "tst_decimation.moc"
