// The plot view's axes fill their 1-pixel lines instead of stroking them:
// the pixels must be those QwtScaleDraw lights, on every side and pen.

#include <PlotScaleDraw_p.h>

#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtTest/QtTest>

#include <qwt_scale_engine.h>
#include <qwt_scale_widget.h>

using namespace Corvid_Qt;

class tst_PlotScaleDraw : public QObject
{
    Q_OBJECT

private slots:
    void axisLooksAsQwtDrawsIt_data();
    void axisLooksAsQwtDrawsIt();
};

void tst_PlotScaleDraw::axisLooksAsQwtDrawsIt_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("penWidth");
    QTest::addColumn<double>("zoom");

    const char *names[] = {"bottom", "top", "left", "right"};
    for (int alignment = QwtScaleDraw::BottomScale; alignment <= QwtScaleDraw::RightScale; ++alignment) {
        for (int penWidth : {0, 1, 2}) {
            QTest::addRow("%s pen %d", names[alignment], penWidth) << alignment << penWidth << 1.0;
        }
        // Scaled painters and exports keep Qwt's strokes.
        QTest::addRow("%s zoomed", names[alignment]) << alignment << 0 << 1.5;
    }
}

void tst_PlotScaleDraw::axisLooksAsQwtDrawsIt()
{
    QFETCH(int, alignment);
    QFETCH(int, penWidth);
    QFETCH(double, zoom);

    const auto render = [&](QwtScaleDraw *draw) {
        QwtScaleWidget widget{QwtScaleDraw::Alignment(alignment)};
        widget.setScaleDraw(draw);
        widget.scaleDraw()->setPenWidth(penWidth);
        widget.setBorderDist(7, 11);
        QwtLinearScaleEngine engine;
        // An odd range puts ticks between pixels, so rounding is exercised.
        widget.setScaleDiv(engine.divideScale(-0.37, 7.3, 8, 5));
        widget.resize(draw->alignment() <= QwtScaleDraw::TopScale ? QSize(333, 60) : QSize(70, 251));
        QImage image(widget.size() * zoom, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(zoom, zoom);
        widget.render(&painter, QPoint(), QRegion(widget.rect()) - QRegion(0, 0, 5, 5));
        return image;
    };

    const QImage expected = render(new QwtScaleDraw);
    const QImage actual = render(new PlotScaleDraw);
    QVERIFY(expected.size() == actual.size());
    QVERIFY2(actual == expected, "the axis differs from Qwt's");
}

QTEST_MAIN(tst_PlotScaleDraw)
#include "tst_plotscaledraw.moc"
