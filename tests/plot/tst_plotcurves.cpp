// The gap-breaking curve and the two channel-axis label draws.

#include <ChannelNameDraw.h>
#include <ChannelNumberDraw.h>
#include <VRXDiscontinuousPlotCurve.h>

#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtTest/QtTest>

#include <qwt_scale_map.h>
#include <qwt_series_data.h>
#include <qwt_text.h>

#include <cmath>
#include <memory>
#include <limits>

using namespace Corvid_Qt;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Draws a curve of the given samples (y = 5 unless given) onto a white image
// of 400 x 20 pixels, 10 pixels per unit of x, x = 0 at pixel 10.
QImage drawCurve(const QVector<double> &xs, QwtPlotCurve::CurveStyle style = QwtPlotCurve::Lines,
                 const QVector<double> &ys = {})
{
    QImage image(400, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    VRXDiscontinuousPlotCurve curve(QStringLiteral("test"));
    curve.setStyle(style);
    curve.setPen(QPen(Qt::red, 1.0));
    QVector<QPointF> points;
    for (int i = 0; i < xs.size(); ++i)
        points.append(QPointF(xs[i], ys.isEmpty() ? 5.0 : ys[i]));
    curve.setSamples(points);
    QwtScaleMap xMap;
    xMap.setScaleInterval(-1.0, 39.0);
    xMap.setPaintInterval(0.0, 400.0);
    QwtScaleMap yMap;
    yMap.setScaleInterval(0.0, 10.0);
    yMap.setPaintInterval(20.0, 0.0);
    QPainter painter(&image);
    curve.draw(&painter, xMap, yMap, QRectF(0, 0, 400, 20));
    return image;
}

bool inked(const QImage &image, int x, int y = 10)
{
    return image.pixelColor(x, y) != QColor(Qt::white);
}

// Pixel column of x in the map of drawCurve().
int px(double x)
{
    return int(std::lround((x + 1.0) * 10.0));
}

} // namespace

class tst_PlotCurves : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void gapBetweenRunsStaysEmpty();
    void timeGoingBackwardsEndsTheRun();
    void isolatedSampleIsADot();
    void nonFiniteSamplesAreLeftOut();
    void otherStylesDrawAsQwtDoes();
    void emptyAndReversedRangesDrawNothing();
    void continuousRunsDrawAsQwtPlotCurve_data();
    void continuousRunsDrawAsQwtPlotCurve();

    void channelNames_data();
    void channelNames();
    void channelNumbers_data();
    void channelNumbers();
    void channelNumberFont();
};

void tst_PlotCurves::gapBetweenRunsStaysEmpty()
{
    // Steps of 10 pixels make a limit of 20; the step of 70 pixels is a gap.
    const QImage image = drawCurve({0, 1, 2, 3, 10, 11, 12});
    for (int x = px(0); x <= px(3); ++x)
        QVERIFY2(inked(image, x), qPrintable(QString::number(x)));
    for (int x = px(3) + 2; x <= px(10) - 2; ++x)
        QVERIFY2(!inked(image, x), qPrintable(QString::number(x)));
    for (int x = px(10); x <= px(12); ++x)
        QVERIFY2(inked(image, x), qPrintable(QString::number(x)));
}

void tst_PlotCurves::timeGoingBackwardsEndsTheRun()
{
    // 0..3 at y = 5, then back to 1 and on to 4 at y = 2: the backward step
    // from (3, 5) to (1, 2) is not drawn.
    const QImage image = drawCurve({0, 1, 2, 3, 1, 2, 4}, QwtPlotCurve::Lines, {5, 5, 5, 5, 2, 2, 2});
    const int yFirst = 10;  // y = 5
    const int ySecond = 16; // y = 2
    for (int x = px(0); x <= px(3); ++x)
        QVERIFY(inked(image, x, yFirst));
    for (int x = px(1); x <= px(4); ++x)
        QVERIFY(inked(image, x, ySecond));
    for (int y = yFirst + 2; y <= ySecond - 2; ++y) {
        for (int x = px(1) + 1; x < px(3); ++x)
            QVERIFY2(!inked(image, x, y), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    }
}

void tst_PlotCurves::isolatedSampleIsADot()
{
    // 0 1 2 | 8 | 20 21 22: the step of 60 pixels exceeds the limit of 20, the
    // next of 120 the longest allowed step of 100; 8 is a run of one.
    const QImage image = drawCurve({0, 1, 2, 8, 20, 21, 22});
    QVERIFY(inked(image, px(8)));
    QVERIFY(!inked(image, px(8) - 1));
    QVERIFY(!inked(image, px(8) + 1));
    QVERIFY(!inked(image, px(5)));
    QVERIFY(!inked(image, px(14)));
    QVERIFY(inked(image, px(21)));

    // A step of 70 pixels after a gap is still within the 100 pixel limit.
    const QImage joined = drawCurve({0, 1, 2, 8, 15, 16});
    QVERIFY(inked(joined, px(12)));
}

void tst_PlotCurves::nonFiniteSamplesAreLeftOut()
{
    const double inf = std::numeric_limits<double>::infinity();
    const QImage image = drawCurve({0, 1, 2, 3, 4, 5, 6, 7, 8}, QwtPlotCurve::Lines,
                                   {5, 5, 5, kNaN, 5, 5, 5, inf, 5});
    for (int x = px(0); x <= px(2); ++x)
        QVERIFY(inked(image, x));
    // Nothing joins the samples on either side of the NaN at 3.
    for (int x = px(2) + 2; x <= px(4) - 2; ++x)
        QVERIFY(!inked(image, x));
    for (int x = px(4); x <= px(6); ++x)
        QVERIFY(inked(image, x));
    QVERIFY(!inked(image, px(7)));
    // The last finite sample is a dot of its own.
    QVERIFY(inked(image, px(8)));

    // A series of nothing but NaN draws nothing at all.
    const QImage blank = drawCurve({kNaN, kNaN, kNaN});
    for (int x = 0; x < blank.width(); ++x)
        QVERIFY(!inked(blank, x));
}

void tst_PlotCurves::otherStylesDrawAsQwtDoes()
{
    // Dots are drawn for every sample, the gap included.
    const QImage image = drawCurve({0, 1, 2, 3, 10, 11, 12}, QwtPlotCurve::Dots);
    QVERIFY(inked(image, px(3)));
    QVERIFY(inked(image, px(10)));
    QVERIFY(!inked(image, px(6)));
}

void tst_PlotCurves::emptyAndReversedRangesDrawNothing()
{
    const QImage empty = drawCurve({});
    for (int x = 0; x < empty.width(); ++x)
        QVERIFY(!inked(empty, x));

    QImage image(50, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    VRXDiscontinuousPlotCurve curve(QStringLiteral("test"));
    curve.setSamples(QVector<QPointF>{{0, 5}, {1, 5}, {2, 5}});
    QwtScaleMap map;
    map.setPaintInterval(0, 50);
    map.setScaleInterval(0, 5);
    QPainter painter(&image);
    // from > to draws nothing.
    curve.drawSeries(&painter, map, map, QRectF(0, 0, 50, 20), 2, 1);
    painter.end();
    for (int x = 0; x < image.width(); ++x)
        QVERIFY(!inked(image, x, 10));
}

void tst_PlotCurves::continuousRunsDrawAsQwtPlotCurve_data()
{
    QTest::addColumn<bool>("clip");
    QTest::addColumn<bool>("filter");
    QTest::addColumn<bool>("antialiased");
    QTest::newRow("clipped, filtered") << true << true << false;
    QTest::newRow("unclipped") << false << true << false;
    QTest::newRow("unfiltered") << true << false << false;
    QTest::newRow("antialiased") << true << true << true;
}

void tst_PlotCurves::continuousRunsDrawAsQwtPlotCurve()
{
    QFETCH(bool, clip);
    QFETCH(bool, filter);
    QFETCH(bool, antialiased);
    // A noisy curve of 2000 samples, dense enough for several samples per
    // pixel and reaching far past the canvas, has no gaps: it must come out
    // exactly as QwtPlotCurve draws it.
    QVector<QPointF> points;
    for (int i = 0; i < 2000; ++i)
        points.append(QPointF(i * 0.1, 60.0 * std::sin(i * 0.05) + (i * 7919 % 13) - 6.0));
    QwtScaleMap xMap;
    xMap.setScaleInterval(10.0, 150.0);
    xMap.setPaintInterval(0.0, 300.0);
    QwtScaleMap yMap;
    yMap.setScaleInterval(-40.0, 40.0);
    yMap.setPaintInterval(200.0, 0.0);
    QImage images[2];
    for (int k = 0; k < 2; ++k) {
        std::unique_ptr<QwtPlotCurve> curve(k == 0 ? new VRXDiscontinuousPlotCurve(QStringLiteral("a"))
                                                   : new QwtPlotCurve(QStringLiteral("b")));
        curve->setPaintAttribute(QwtPlotCurve::ClipPolygons, clip);
        curve->setPaintAttribute(QwtPlotCurve::FilterPoints, filter);
        curve->setRenderHint(QwtPlotItem::RenderAntialiased, antialiased);
        curve->setPen(QPen(Qt::green, 1.0));
        curve->setSamples(points);
        images[k] = QImage(300, 200, QImage::Format_RGB32);
        images[k].fill(Qt::black);
        QPainter painter(&images[k]);
        curve->draw(&painter, xMap, yMap, QRectF(0, 0, 300, 200));
    }
    QVERIFY(images[0] == images[1]);
    int inked = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 300; ++x)
            inked += images[0].pixelColor(x, y) != QColor(Qt::black);
    }
    QVERIFY(inked > 300);
}

void tst_PlotCurves::channelNames_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("label");
    QTest::newRow("1") << 1.0 << "A";
    QTest::newRow("3") << 3.0 << "C";
    QTest::newRow("3.7 truncates") << 3.7 << "C";
    QTest::newRow("26") << 26.0 << "Z";
    QTest::newRow("27 wraps") << 27.0 << "A";
    QTest::newRow("52") << 52.0 << "Z";
    QTest::newRow("below 1") << 0.5 << "";
    QTest::newRow("negative") << -3.0 << "";
    QTest::newRow("NaN") << kNaN << "";
}

void tst_PlotCurves::channelNames()
{
    QFETCH(double, value);
    QFETCH(QString, label);
    ChannelNameDraw draw;
    QCOMPARE(draw.label(value).text(), label);
}

void tst_PlotCurves::channelNumbers_data()
{
    QTest::addColumn<int>("channels");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("label");
    QTest::newRow("64: 1") << 64 << 1.0 << "1";
    QTest::newRow("64: 2") << 64 << 2.0 << "2";
    QTest::newRow("64: 3") << 64 << 3.0 << "";
    QTest::newRow("64: 4") << 64 << 4.0 << "4";
    QTest::newRow("64: 6") << 64 << 6.0 << "6";
    QTest::newRow("16: 3") << 16 << 3.0 << "3";
    QTest::newRow("16: 7") << 16 << 7.0 << "7";
    QTest::newRow("256: 7") << 256 << 7.0 << "";
    QTest::newRow("256: 8") << 256 << 8.0 << "8";
    QTest::newRow("256: 1") << 256 << 1.0 << "1";
    QTest::newRow("0 channels: 5") << 0 << 5.0 << "5";
    QTest::newRow("below 1") << 16 << 0.5 << "";
}

void tst_PlotCurves::channelNumbers()
{
    QFETCH(int, channels);
    QFETCH(double, value);
    QFETCH(QString, label);
    ChannelNumberDraw draw(channels);
    QCOMPARE(draw.label(value).text(), label);
}

void tst_PlotCurves::channelNumberFont()
{
    ChannelNumberDraw draw(64);
    QCOMPARE(draw.frequency(), 2);
    for (double value : {1.0, 3.0}) {
        const QwtText text = draw.label(value);
        QCOMPARE(text.font().family(), QStringLiteral("Arial"));
        QCOMPARE(text.font().pointSize(), 8);
        QVERIFY(!text.font().bold());
    }
    QCOMPARE(ChannelNumberDraw(9).frequency(), 1);
    QCOMPARE(ChannelNumberDraw(95).frequency(), 2);
}

QTEST_MAIN(tst_PlotCurves)
#include "tst_plotcurves.moc"
