#include <ChannelHover.h>
#include <Ellipse.h>
#include <MeanCurve.h>
#include <SpectrogramScaleDraw.h>

#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtTest/QtTest>
#include <qwt_plot.h>
#include <qwt_scale_map.h>

#include <cmath>

using namespace Corvid_Qt;

namespace {

const int kSide = 480;

bool isColour(QRgb pixel, QRgb colour)
{
    return std::abs(qRed(pixel) - qRed(colour)) < 60 && std::abs(qGreen(pixel) - qGreen(colour)) < 60
           && std::abs(qBlue(pixel) - qBlue(colour)) < 60;
}

/// Distance from `from` along `direction` (degrees, y up) to the farthest pixel of `colour`.
double reach(const QImage &image, QPointF from, double direction, QRgb colour)
{
    double last = -1;
    const double rad = direction * M_PI / 180.0;
    for (double r = 0; r < kSide; r += 0.5) {
        const QPoint p = (from + QPointF(std::cos(rad) * r, -std::sin(rad) * r)).toPoint();
        if (!image.rect().contains(p))
            break;
        if (isColour(image.pixel(p), colour))
            last = r;
    }
    return last;
}

/// The item drawn with plot units [0, cells) over a kSide square canvas, rows downwards.
QImage drawn(const QwtPlotItem &item, int cells)
{
    QImage image(kSide, kSide, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    QwtScaleMap x, y;
    x.setScaleInterval(0, cells);
    x.setPaintInterval(0, kSide);
    y.setScaleInterval(cells, 0);
    y.setPaintInterval(kSide, 0);
    item.draw(&painter, x, y, QRectF(0, 0, kSide, kSide));
    return image;
}

} // namespace

class tst_ChamberItems : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hoverText_data()
    {
        QTest::addColumn<int>("strips");
        QTest::addColumn<bool>("channels");
        QTest::addColumn<QPointF>("pos");
        QTest::addColumn<QString>("text");

        // Cell values are row * 100 + column.
        QTest::newRow("pixel feeding channel 1") << 12 << true << QPointF(6.5, 5.5) << "Channel 1: 506";
        QTest::newRow("corner pixel") << 12 << true << QPointF(0.2, 0.2) << "Out of bounds";
        QTest::newRow("right edge is the last column") << 12 << true << QPointF(12.0, 6.0) << "Channel 124: 611";
        QTest::newRow("left of the plot clamps to 0") << 12 << true << QPointF(-3.0, 5.0) << "Channel 60: 500";
        QTest::newRow("strip index") << 32 << false << QPointF(3.7, 20.1) << "Index [3][20]: 2003";
        QTest::newRow("strip bottom-right edge") << 32 << false << QPointF(32.0, 32.0) << "Index [31][31]: 3131";
        QTest::newRow("strip above the plot") << 32 << false << QPointF(5.0, -1.0) << "Index [5][0]: 5";
    }

    void hoverText()
    {
        QFETCH(int, strips);
        QFETCH(bool, channels);
        QFETCH(QPointF, pos);

        QwtPlot plot;
        ChannelHover hover(QwtPlot::xBottom, QwtPlot::yLeft, QwtPicker::CrossRubberBand, QwtPicker::AlwaysOn,
                           plot.canvas());
        hover.m_strips = strips;
        hover.m_channel_enable = channels;
        for (int r = 0; r < strips; ++r)
            for (int c = 0; c < strips; ++c)
                hover.m_data.append(r * 100 + c);
        QTEST(hover.trackerTextF(pos).text(), "text");

        hover.m_data.clear();
        hover.trackerTextF(pos); // no frame yet: must not read past the data
    }

    void scaleLabels_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<bool>("invert");
        QTest::addColumn<int>("strips");
        QTest::addColumn<double>("mmPerStrip");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("label");

        const int bottom = QwtScaleDraw::BottomScale, left = QwtScaleDraw::LeftScale;
        QTest::newRow("bottom 0") << bottom << false << 12 << 3.0 << 0.0 << "-18mm";
        QTest::newRow("bottom 12") << bottom << false << 12 << 3.0 << 12.0 << "18mm";
        QTest::newRow("bottom 0 inverted") << bottom << true << 12 << 3.0 << 0.0 << "18mm";
        QTest::newRow("left 0 is the top") << left << false << 12 << 3.0 << 0.0 << "18mm";
        QTest::newRow("left 0 inverted") << left << true << 12 << 3.0 << 0.0 << "-18mm";
        QTest::newRow("strips centre") << bottom << false << 32 << 2.0 << 16.0 << "0mm";
        QTest::newRow("strips left 30") << left << false << 32 << 2.0 << 30.0 << "-28mm";
        QTest::newRow("fractional") << bottom << false << 12 << 3.8 << 7.0 << "3.8mm";
    }

    void scaleLabels()
    {
        QFETCH(int, alignment);
        QFETCH(bool, invert);
        QFETCH(int, strips);
        QFETCH(double, mmPerStrip);
        QFETCH(double, value);

        SpectrogramScaleDraw draw;
        draw.setAlignment(QwtScaleDraw::Alignment(alignment));
        draw.m_invert_x = draw.m_invert_y = invert;
        draw.m_strips = strips;
        draw.m_mmPerStrip = mmPerStrip;
        QTEST(draw.label(value).text(), "label");
    }

    void meanCurveBreaksAtGapsAndRestarts()
    {
        MeanCurve curve(QStringLiteral("Mean X"));
        curve.setPen(QPen(Qt::green, 3));
        // A run of three, a pause, a run of two, then time going back.
        curve.setSamples(QVector<double>{0.0, 0.3, 0.6, 1.5, 1.6, 0.9}, QVector<double>{1, 1, 1, 1, 1, 1.5});

        const QImage image = drawn(curve, 2);
        const int row = kSide / 2;
        auto lit = [&](double t, int r) { return qGreen(image.pixel(int(t * kSide / 2), r)) > 100; };
        QVERIFY(lit(0.15, row));
        QVERIFY(lit(0.45, row));
        QVERIFY2(!lit(1.0, row), "the pause was bridged");
        QVERIFY2(!lit(1.55, row), "a run of two was drawn as a line");
        QVERIFY2(!lit(1.25, kSide / 2 + kSide / 8), "the restart was joined"); // rows run downwards
    }

    void arrowLengthFollowsItsScale()
    {
        Ellipse ellipse;
        ellipse.m_arrow = true;
        ellipse.m_arrow_scale = 3;
        // 480 px over 12 cells: 40 px per cell; the centre 0.25 cells (10 px) right of the origin.
        ellipse.m_x = 6.25f;
        ellipse.m_y = 6.0f;
        const QImage image = drawn(ellipse, 12);
        const double length = reach(image, QPointF(kSide / 2, kSide / 2), 0.0, qRgb(0, 255, 0));
        QVERIFY2(length >= 28 && length <= 35, qPrintable(QString::number(length)));
    }

    void ellipseFollowsRotationAndShowsWaiting_data()
    {
        QTest::addColumn<float>("rotation");
        QTest::newRow("along X") << 0.0f;
        QTest::newRow("rising diagonal") << 45.0f;
        QTest::newRow("falling diagonal") << -45.0f;
        QTest::newRow("along Y") << 90.0f;
    }

    void ellipseFollowsRotationAndShowsWaiting()
    {
        QFETCH(float, rotation);
        Ellipse ellipse;
        ellipse.m_ellipse = true;
        ellipse.m_x = ellipse.m_y = 6.0f;
        ellipse.m_major = 4.0f; // 160 px
        ellipse.m_minor = 1.5f; // 60 px
        ellipse.m_rotation = rotation;
        // Origin cross just outside the canvas, so only the ellipse is blue.
        ellipse.m_xorigin = ellipse.m_yorigin = 7 * ellipse.m_mmPerStrip;
        const QImage image = drawn(ellipse, 12);
        const QPointF centre(kSide / 2, kSide / 2);
        const QRgb blue = qRgb(0, 0, 255);
        const double along = reach(image, centre, rotation, blue);
        const double across = reach(image, centre, rotation + 90.0, blue);
        QVERIFY2(std::abs(along - 160) < 5, qPrintable(QString::number(along)));
        QVERIFY2(std::abs(across - 60) < 5, qPrintable(QString::number(across)));

        auto yellowInCorner = [](const QImage &image) {
            for (int x = kSide * 11 / 12; x < kSide; ++x)
                for (int y = 0; y < kSide / 12; ++y)
                    if (isColour(image.pixel(x, y), qRgb(255, 255, 0)))
                        return true;
            return false;
        };
        QVERIFY(!yellowInCorner(image));
        ellipse.m_waiting = true;
        QVERIFY(yellowInCorner(drawn(ellipse, 12)));
    }
};

QTEST_MAIN(tst_ChamberItems)
#include "tst_chamberitems.moc"
