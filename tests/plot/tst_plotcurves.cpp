// The gap-breaking curve on pixels: runs, gaps and dots as polylines, dense
// runs as per-column spans that light what the polyline lights; and the two
// channel-axis label draws.

#include <ChannelNameDraw.h>
#include <ChannelNumberDraw.h>
#include <VRXDiscontinuousPlotCurve.h>
#include <VRXSingleChannelDataModel.h>

#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QPicture>
#include <QtTest/QtTest>

#include <qwt_scale_map.h>
#include <qwt_text.h>

#include <cmath>
#include <functional>
#include <memory>

using namespace Corvid_Qt;

namespace {

using Points = QVector<QPointF>;

const QColor kInk(0, 200, 255);
const double kNaN = qQNaN();
const double kInf = qInf();
const QSize kSize(400, 100);
const QRectF kPixels(0, 0, 400, 100); // the scale of a kSize image, one unit a pixel

std::unique_ptr<VRXDiscontinuousPlotCurve> makeCurve(const Points &points, double density, const QPen &pen = QPen(kInk, 1.0),
                                                     QwtPlotCurve::CurveStyle style = QwtPlotCurve::Lines)
{
    auto curve = std::make_unique<VRXDiscontinuousPlotCurve>(QStringLiteral("test"));
    curve->setStyle(style);
    curve->setPen(pen);
    curve->setDecimationDensity(density);
    curve->setSamples(points);
    return curve;
}

// `curve` drawn by `painter` onto `size` pixels that `scale` maps to, y upwards.
void drawWith(QPainter &painter, const QwtPlotCurve &curve, const QRectF &scale = kPixels, const QSize &size = kSize)
{
    QwtScaleMap xMap, yMap;
    xMap.setScaleInterval(scale.left(), scale.right());
    xMap.setPaintInterval(0, size.width());
    yMap.setScaleInterval(scale.top(), scale.bottom());
    yMap.setPaintInterval(size.height(), 0);
    curve.draw(&painter, xMap, yMap, QRectF(QPointF(0, 0), size));
}

QImage draw(const QwtPlotCurve &curve, const QRectF &scale = kPixels, const QSize &size = kSize)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    drawWith(painter, curve, scale, size);
    return image;
}

bool inked(const QImage &image, int x, int y)
{
    return image.rect().contains(x, y) && image.pixel(x, y) != QColor(Qt::black).rgb();
}

QVector<int> inkedRows(const QImage &image, int x)
{
    QVector<int> rows;
    for (int y = 0; y < image.height(); ++y)
        if (inked(image, x, y))
            rows.append(y);
    return rows;
}

// Samples evenly over x in [x0, x1) at `perColumn` per unit.
Points dense(double x0, double x1, double perColumn, const std::function<double(double)> &y)
{
    Points points;
    for (int i = 0; i < int((x1 - x0) * perColumn); ++i)
        points.append(QPointF(x0 + i / perColumn, y(x0 + i / perColumn)));
    return points;
}

// Samples at y = 5 unless given.
Points samples(const QVector<double> &xs, const QVector<double> &ys = {})
{
    Points points;
    for (int i = 0; i < xs.size(); ++i)
        points.append(QPointF(xs[i], ys.isEmpty() ? 5.0 : ys[i]));
    return points;
}
// Points a tenth of a unit apart from x0 to x1.
Points along(double x0, double x1, double y = 5.0)
{
    return dense(x0, x1 + 0.15, 10, [y](double) { return y; });
}

// An inked pixel of `a` with no inked pixel of `b` within one pixel.
QString strayPixel(const QImage &a, const QImage &b)
{
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            bool near = !inked(a, x, y);
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

class tst_PlotCurves : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void gapsAndDots_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<Points>("points");
        QTest::addColumn<Points>("inked");
        QTest::addColumn<Points>("blank");
        const int lines = QwtPlotCurve::Lines;
        // 10 pixels a unit. Steps of 10 pixels allow up to 20; one of 25 is a gap.
        QTest::newRow("gap between runs stays empty")
            << lines << samples({0, 1, 2, 3, 5.5, 6.5, 7.5}) << along(0, 3) + along(5.5, 7.5) << along(3.2, 5.3);
        // Step of 60 > 2 x 10, then of 120 > the longest allowed 100: 8 stands alone.
        QTest::newRow("isolated sample is a dot")
            << lines << samples({0, 1, 2, 8, 20, 21, 22}) << samples({0, 1, 2, 8, 21})
            << samples({2.5, 5, 7.9, 8.1, 14, 19.5});
        QTest::newRow("run of two is two dots")
            << lines << samples({0, 1, 2, 8, 9, 20, 21, 22}) << samples({8, 9, 21}) << samples({8.5, 14});
        // After a gap of 60 pixels a step of 70 is no gap.
        QTest::newRow("step after a gap may be longer")
            << lines << samples({0, 1, 2, 8, 15, 16}) << along(8, 16) << samples({5});
        QTest::newRow("time going backwards ends the run")
            << lines << samples({0, 1, 2, 3, 1, 2, 4}, {5, 5, 5, 5, 2, 2, 2}) << along(0, 3) + along(1, 4, 2)
            << along(1.1, 2.9, 4) + along(1.1, 2.9, 3.5) + along(1.1, 2.9, 3);
        QTest::newRow("non-finite samples are left out")
            << lines << samples({0, 1, 2, 3, 4, 5, 6, 7, 8}, {5, 5, 5, kNaN, 5, 5, 5, kInf, 5})
            << along(0, 2) + along(4, 6) + samples({8}) << along(2.2, 3.8) + along(6.2, 7.8);
        QTest::newRow("only NaN") << lines << samples({kNaN, kNaN, kNaN}) << Points() << along(-1, 38.9);
        QTest::newRow("empty") << lines << Points() << Points() << along(-1, 38.9);
        QTest::newRow("dots draw every sample")
            << int(QwtPlotCurve::Dots) << samples({0, 1, 2, 3, 10, 11, 12}) << samples({3, 10}) << samples({6});
    }
    void gapsAndDots()
    {
        QFETCH(int, style);
        QFETCH(Points, points);
        QFETCH(Points, inked);
        QFETCH(Points, blank);
        const auto curve = makeCurve(points, 2.0, QPen(kInk, 1.0), QwtPlotCurve::CurveStyle(style));
        const QImage image = draw(*curve, QRectF(-1, 0, 40, 10), QSize(400, 20));
        for (int expectInk = 0; expectInk < 2; ++expectInk) {
            for (const QPointF &p : expectInk ? inked : blank) {
                const QPoint at(int(std::lround((p.x() + 1.0) * 10.0)), int(std::lround(20.0 - p.y() * 2.0)));
                QVERIFY2(::inked(image, at.x(), at.y()) == bool(expectInk),
                         qPrintable(QStringLiteral("(%1, %2) at pixel (%3, %4)").arg(p.x()).arg(p.y()).arg(at.x()).arg(at.y())));
            }
        }
    }

    void continuousRunsDrawAsQwtPlotCurve_data()
    {
        QTest::addColumn<bool>("clip");
        QTest::addColumn<bool>("filter");
        QTest::addColumn<bool>("antialiased");
        // The view's curves filter points and clip or not by scale mode.
        QTest::newRow("clipped") << true << true << false;
        QTest::newRow("unclipped") << false << true << false;
        QTest::newRow("unfiltered, antialiased") << true << false << true;
    }
    void continuousRunsDrawAsQwtPlotCurve()
    {
        QFETCH(bool, clip);
        QFETCH(bool, filter);
        QFETCH(bool, antialiased);
        // A noisy curve of 2000 samples, several per pixel and reaching far past
        // the canvas, has no gaps: undecimated, it must come out exactly as
        // QwtPlotCurve draws it.
        Points points;
        for (int i = 0; i < 2000; ++i)
            points.append(QPointF(i * 0.1, 60.0 * std::sin(i * 0.05) + (i * 7919 % 13) - 6.0));
        const auto ours = makeCurve(points, kInf);
        QwtPlotCurve plain;
        plain.setSamples(points);
        QImage images[2];
        for (QwtPlotCurve *curve : {static_cast<QwtPlotCurve *>(ours.get()), &plain}) {
            curve->setPaintAttribute(QwtPlotCurve::ClipPolygons, clip);
            curve->setPaintAttribute(QwtPlotCurve::FilterPoints, filter);
            curve->setRenderHint(QwtPlotItem::RenderAntialiased, antialiased);
            curve->setPen(QPen(kInk, 1.0));
            images[curve == &plain] = draw(*curve, QRectF(10, -40, 140, 80), QSize(300, 200));
        }
        QVERIFY(images[0] == images[1]);
        int pixels = 0;
        for (int x = 0; x < 300; ++x)
            pixels += inkedRows(images[0], x).size();
        QVERIFY(pixels > 300);
    }

    void flatLineKeepsItsSpike_data()
    {
        QTest::addColumn<double>("penWidth");
        QTest::addColumn<double>("spike");
        QTest::newRow("thin, spike up") << 1.0 << 90.0;
        QTest::newRow("thin, spike down") << 1.0 << 2.0;
        QTest::newRow("cosmetic pen") << 0.0 << 90.0;
        QTest::newRow("wide pen") << 3.0 << 90.0;
    }
    // 100000 samples at y = 50 over 400 columns, one of them far off.
    void flatLineKeepsItsSpike()
    {
        QFETCH(double, penWidth);
        QFETCH(double, spike);
        Points points = dense(0, 400, 250, [](double) { return 50.0; });
        points[61237].setY(spike);
        const int spikeColumn = int(std::lround(points[61237].x()));
        const QImage image = draw(*makeCurve(points, 2.0, QPen(kInk, penWidth)));
        const int thickness = std::max(1, int(std::lround(penWidth)));
        for (int x : {5, 100, 200, 395}) {
            const QVector<int> rows = inkedRows(image, x);
            QCOMPARE(rows.size(), thickness);
            QVERIFY2(std::abs(rows.first() - 50) <= thickness, qPrintable(QString::number(rows.first())));
        }
        const int spikeRow = int(std::lround(100 - spike));
        QCOMPARE(image.pixelColor(spikeColumn, spikeRow), kInk);
        // The spike is a column, not a smear across its neighbours, and it is
        // joined to the line.
        QVERIFY(!inked(image, spikeColumn - thickness - 1, spikeRow));
        QVERIFY(!inked(image, spikeColumn + thickness + 1, spikeRow));
        for (int y = std::min(spikeRow, 50) + 1; y < std::max(spikeRow, 50); ++y)
            QVERIFY2(inked(image, spikeColumn, y) || inked(image, spikeColumn + 1, y), qPrintable(QString::number(y)));
    }

    void denseGapsSurvive_data()
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
        QTest::newRow("time going backwards") << dense(0, 300, 250, [](double) { return 20.0; })
                + dense(100, 400, 250, [](double) { return 90.0; }) << 98 << 302 << QVector<int>{10, 80};
    }
    void denseGapsSurvive()
    {
        QFETCH(Points, points);
        QFETCH(int, gapFrom);
        QFETCH(int, gapTo);
        QFETCH(QVector<int>, allowedRows);
        const QImage image = draw(*makeCurve(points, 2.0));
        QVERIFY(!inkedRows(image, gapFrom - 4).isEmpty() && !inkedRows(image, gapTo + 4).isEmpty());
        for (int x = gapFrom; x <= gapTo; ++x)
            for (int y : inkedRows(image, x))
                QVERIFY2(allowedRows.contains(y), qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
    }

    void spansAgreeWithThePolyline_data()
    {
        QTest::addColumn<double>("perColumn");
        QTest::addColumn<double>("amplitude");
        QTest::addColumn<double>("wavelength"); // over 2 pi
        QTest::newRow("at threshold") << 2.0 << 40.0 << 25.0;
        QTest::newRow("steep at threshold") << 2.0 << 48.0 << 25.0;
        QTest::newRow("just above") << 2.5 << 40.0 << 25.0;
        QTest::newRow("dense") << 20.0 << 40.0 << 25.0;
        // Columns apart by several pixels: each span reaches back to the column before.
        QTest::newRow("steeper than a pixel a column") << 2.5 << 45.0 << 3.0;
    }
    // A sine drawn both ways: the same pixels within one, both ways round.
    void spansAgreeWithThePolyline()
    {
        QFETCH(double, perColumn);
        QFETCH(double, amplitude);
        QFETCH(double, wavelength);
        const Points points = dense(0.3, 399.7, perColumn, [=](double x) { return 50 + amplitude * std::sin(x / wavelength); });
        const QImage polyline = draw(*makeCurve(points, kInf));
        const QImage spans = draw(*makeCurve(points, 0.0));
        const QString extra = strayPixel(spans, polyline);
        QVERIFY2(extra.isEmpty(), qPrintable(QStringLiteral("span pixel far from the polyline at ") + extra));
        const QString missing = strayPixel(polyline, spans);
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("polyline pixel missing from the spans at ") + missing));
        int columns = 0;
        for (int x = 0; x < kSize.width(); ++x)
            columns += !inkedRows(spans, x).isEmpty();
        QVERIFY(columns >= kSize.width() - 2);
    }

    void spansWrittenInPlaceMatchThePainters_data()
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
        QTest::newRow("translucent") << QImage::Format_RGB32 << QPen(QColor(0, 200, 255, 128), 1.0) << QPoint() << QRect();
    }
    // Spans of a dense curve drawn into an image of the given format (written
    // in place), and recorded as a picture played back there (left to the
    // painter), under the same painter state.
    void spansWrittenInPlaceMatchThePainters()
    {
        QFETCH(QImage::Format, format);
        QFETCH(QPen, pen);
        QFETCH(QPoint, offset);
        QFETCH(QRect, clip);
        Points points = dense(0, 400, 40, [](double x) { return 50 + 45 * std::sin(x / 7) + std::fmod(x * 7.3, 3.0); });
        points[5000].setY(kNaN);
        points[9000].setY(1e300);
        const auto curve = makeCurve(points, 0.0, pen);
        QImage images[2];
        for (int played = 0; played < 2; ++played) {
            QPicture picture;
            QImage image(kSize, format);
            image.fill(Qt::black);
            QPainter painter;
            painter.begin(played ? static_cast<QPaintDevice *>(&picture) : &image);
            painter.translate(offset);
            if (!clip.isNull())
                painter.setClipRect(clip);
            drawWith(painter, *curve);
            painter.end();
            if (played) {
                QPainter player(&image);
                picture.play(&player);
            }
            images[played] = image.convertToFormat(QImage::Format_RGB32);
        }
        QVERIFY(images[0] != QImage(kSize, QImage::Format_RGB32));
        QCOMPARE(images[1], images[0]);
    }

    // A model's series is drawn from its columns, several samples at a time,
    // as its samples drawn one by one; drawn again over half the time, what
    // the first drawing worked out for its map must not be reused.
    void modelColumnsDrawAsTheirPoints()
    {
        VRXSingleChannelDataModel model;
        for (int i = 0; i < 20000; ++i)
            model.AddData(0.02 * i, 50 + 40 * std::sin(i / 450.0) + i * 7919 % 10);
        Points points;
        for (int row = 1; row < model.rowCount(); ++row)
            points.append(QPointF(model.doubleData(row, 0), model.doubleData(row, 1)));
        const auto fromModel = makeCurve({}, 2.0);
        fromModel->setData(model.seriesData(1, 1, -1));
        QImage blank(kSize, QImage::Format_RGB32);
        blank.fill(Qt::black);
        for (double width : {400.0, 200.0}) {
            const QRectF view(0, 0, width, 100);
            const QImage image = draw(*fromModel, view);
            QVERIFY(image != blank);
            QVERIFY2(image == draw(*makeCurve(points, 2.0), view), qPrintable(QStringLiteral("width %1").arg(width)));
        }
    }

    void channelAxisLabels_data()
    {
        // channels < 0: the letters of ChannelNameDraw, else ChannelNumberDraw
        // labelling every n-th of that many channels.
        QTest::addColumn<int>("channels");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("label");
        QTest::newRow("letter 3.7 truncates") << -1 << 3.7 << "C";
        QTest::newRow("letter 27 wraps") << -1 << 27.0 << "A";
        QTest::newRow("letter below 1") << -1 << 0.5 << "";
        QTest::newRow("letter NaN") << -1 << kNaN << "";
        QTest::newRow("9 of 9") << 9 << 9.0 << "9";
        QTest::newRow("3 of 64 skipped") << 64 << 3.0 << "";
        QTest::newRow("2 of 64") << 64 << 2.0 << "2";
        QTest::newRow("1 of 256") << 256 << 1.0 << "1";
        QTest::newRow("4 of 256 skipped") << 256 << 4.0 << "";
        QTest::newRow("8 of 256") << 256 << 8.0 << "8";
        QTest::newRow("number below 1") << 16 << 0.5 << "";
    }
    void channelAxisLabels()
    {
        QFETCH(int, channels);
        QFETCH(double, value);
        QTEST((channels < 0 ? ChannelNameDraw().label(value) : ChannelNumberDraw(channels).label(value)).text(), "label");
    }
};

QTEST_MAIN(tst_PlotCurves)
#include "tst_plotcurves.moc"
