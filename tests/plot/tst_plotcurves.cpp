// The gap-breaking curve, on pixels, and the two channel-axis label draws.

#include <ChannelNameDraw.h>
#include <ChannelNumberDraw.h>
#include <VRXDiscontinuousPlotCurve.h>

#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtTest/QtTest>

#include <qwt_scale_map.h>
#include <qwt_text.h>

#include <cmath>
#include <limits>
#include <memory>

using namespace Corvid_Qt;

namespace {

using Points = QVector<QPointF>;

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// Samples at y = 5 unless given.
Points samples(const QVector<double> &xs, const QVector<double> &ys = {})
{
    Points points;
    for (int i = 0; i < xs.size(); ++i)
        points.append(QPointF(xs[i], ys.isEmpty() ? 5.0 : ys[i]));
    return points;
}

// Points every pixel from x0 to x1 at height y.
Points along(double x0, double x1, double y = 5.0)
{
    Points points;
    for (double x = x0; x <= x1 + 1e-9; x += 0.1)
        points.append(QPointF(x, y));
    return points;
}

// Pixel of a point on the 400 x 20 image of gapsAndDots(): 10 pixels per
// unit of x from x = -1, 2 per unit of y from y = 10 down.
QPoint pixel(const QPointF &p)
{
    return QPoint(int(std::lround((p.x() + 1.0) * 10.0)), int(std::lround(20.0 - p.y() * 2.0)));
}

QwtScaleMap scaleMap(double s1, double s2, double p1, double p2)
{
    QwtScaleMap map;
    map.setScaleInterval(s1, s2);
    map.setPaintInterval(p1, p2);
    return map;
}

} // namespace

class tst_PlotCurves : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void gapsAndDots_data();
    void gapsAndDots();
    void continuousRunsDrawAsQwtPlotCurve_data();
    void continuousRunsDrawAsQwtPlotCurve();
    void channelAxisLabels_data();
    void channelAxisLabels();
};

void tst_PlotCurves::gapsAndDots_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<Points>("points");
    QTest::addColumn<Points>("inked");
    QTest::addColumn<Points>("blank");
    const int lines = QwtPlotCurve::Lines;
    // Steps of 10 pixels allow up to 20; one of 25 is a gap.
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

void tst_PlotCurves::gapsAndDots()
{
    QFETCH(int, style);
    QFETCH(Points, points);
    QFETCH(Points, inked);
    QFETCH(Points, blank);
    QImage image(400, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    VRXDiscontinuousPlotCurve curve(QStringLiteral("test"));
    curve.setStyle(QwtPlotCurve::CurveStyle(style));
    curve.setPen(QPen(Qt::red, 1.0));
    curve.setSamples(points);
    QPainter painter(&image);
    curve.draw(&painter, scaleMap(-1, 39, 0, 400), scaleMap(0, 10, 20, 0), QRectF(0, 0, 400, 20));
    painter.end();

    for (int expectInk = 0; expectInk < 2; ++expectInk) {
        for (const QPointF &p : expectInk ? inked : blank) {
            const QPoint at = pixel(p);
            QVERIFY2((image.pixelColor(at) != QColor(Qt::white)) == bool(expectInk),
                     qPrintable(QStringLiteral("(%1, %2) at pixel (%3, %4)").arg(p.x()).arg(p.y()).arg(at.x())
                                    .arg(at.y())));
        }
    }
}

void tst_PlotCurves::continuousRunsDrawAsQwtPlotCurve_data()
{
    QTest::addColumn<bool>("clip");
    QTest::addColumn<bool>("filter");
    QTest::addColumn<bool>("antialiased");
    // The view's curves filter points and clip or not by scale mode.
    QTest::newRow("clipped") << true << true << false;
    QTest::newRow("unclipped") << false << true << false;
    QTest::newRow("unfiltered, antialiased") << true << false << true;
}

void tst_PlotCurves::continuousRunsDrawAsQwtPlotCurve()
{
    QFETCH(bool, clip);
    QFETCH(bool, filter);
    QFETCH(bool, antialiased);
    // A noisy curve of 2000 samples, several per pixel and reaching far past
    // the canvas, has no gaps: undecimated, it must come out exactly as
    // QwtPlotCurve draws it.
    QVector<QPointF> points;
    for (int i = 0; i < 2000; ++i)
        points.append(QPointF(i * 0.1, 60.0 * std::sin(i * 0.05) + (i * 7919 % 13) - 6.0));
    QImage images[2];
    for (int k = 0; k < 2; ++k) {
        std::unique_ptr<QwtPlotCurve> curve;
        if (k == 0) {
            auto *ours = new VRXDiscontinuousPlotCurve(QStringLiteral("a"));
            ours->setDecimationDensity(std::numeric_limits<double>::infinity());
            curve.reset(ours);
        } else {
            curve.reset(new QwtPlotCurve(QStringLiteral("b")));
        }
        curve->setPaintAttribute(QwtPlotCurve::ClipPolygons, clip);
        curve->setPaintAttribute(QwtPlotCurve::FilterPoints, filter);
        curve->setRenderHint(QwtPlotItem::RenderAntialiased, antialiased);
        curve->setPen(QPen(Qt::green, 1.0));
        curve->setSamples(points);
        images[k] = QImage(300, 200, QImage::Format_RGB32);
        images[k].fill(Qt::black);
        QPainter painter(&images[k]);
        curve->draw(&painter, scaleMap(10, 150, 0, 300), scaleMap(-40, 40, 200, 0), QRectF(0, 0, 300, 200));
    }
    QVERIFY(images[0] == images[1]);
    int inked = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 300; ++x)
            inked += images[0].pixelColor(x, y) != QColor(Qt::black);
    }
    QVERIFY(inked > 300);
}

void tst_PlotCurves::channelAxisLabels_data()
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

void tst_PlotCurves::channelAxisLabels()
{
    QFETCH(int, channels);
    QFETCH(double, value);
    QTEST((channels < 0 ? ChannelNameDraw().label(value) : ChannelNumberDraw(channels).label(value)).text(), "label");
}

QTEST_MAIN(tst_PlotCurves)
#include "tst_plotcurves.moc"
