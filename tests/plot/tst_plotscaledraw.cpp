// The plot view's axes and grid fill their 1-pixel lines, and its axes copy
// labels they drew before: what is seen must be what Qwt draws, on every
// side and pen, and must follow a change of font or colour.

#include <PlotGrid_p.h>
#include <PlotScaleDraw_p.h>

#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtTest/QtTest>

#include <qwt_scale_engine.h>
#include <qwt_scale_map.h>
#include <qwt_scale_widget.h>

#include <memory>

using namespace Corvid_Qt;

namespace {

std::unique_ptr<QwtScaleWidget> makeAxis(QwtScaleDraw::Alignment alignment, QwtScaleDraw *draw, int penWidth)
{
    auto widget = std::make_unique<QwtScaleWidget>(alignment);
    widget->setScaleDraw(draw);
    widget->scaleDraw()->setPenWidth(penWidth);
    widget->setBorderDist(7, 11);
    QwtLinearScaleEngine engine;
    // An odd range puts ticks and labels between pixels.
    widget->setScaleDiv(engine.divideScale(-0.37, 7.3, 8, 5));
    widget->resize(alignment <= QwtScaleDraw::TopScale ? QSize(333, 60) : QSize(70, 251));
    return widget;
}

QImage render(QwtScaleWidget &widget, double zoom)
{
    QImage image(widget.size() * zoom, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(zoom, zoom);
    // A clip of more than one rectangle, as an axis overlapped by its
    // neighbour has; this one cuts through the backbone, ticks and labels.
    const QRect r = widget.rect();
    const QRect cut = widget.scaleDraw()->orientation() == Qt::Horizontal
                          ? QRect(r.width() / 3, 0, r.width() / 6, r.height())
                          : QRect(0, r.height() / 3, r.width(), r.height() / 6);
    widget.render(&painter, QPoint(), QRegion(r) - QRegion(cut));
    return image;
}

// Text copied from an image may round an edge pixel a few levels apart from
// text drawn in place; a misplaced line or glyph is far more.
int largestDifference(const QImage &a, const QImage &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

} // namespace

class tst_PlotScaleDraw : public QObject
{
    Q_OBJECT

private slots:
    void axisLooksAsQwtDrawsIt_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("penWidth");
        QTest::addColumn<double>("zoom");
        const char *names[] = {"bottom", "top", "left", "right"};
        for (int alignment = QwtScaleDraw::BottomScale; alignment <= QwtScaleDraw::RightScale; ++alignment) {
            for (int penWidth : {0, 1, 2})
                QTest::addRow("%s pen %d", names[alignment], penWidth) << alignment << penWidth << 1.0;
            // Scaled painters and exports keep Qwt's strokes and text.
            QTest::addRow("%s zoomed", names[alignment]) << alignment << 0 << 1.5;
        }
    }

    void axisLooksAsQwtDrawsIt()
    {
        QFETCH(int, alignment);
        QFETCH(int, penWidth);
        QFETCH(double, zoom);
        const auto side = QwtScaleDraw::Alignment(alignment);
        auto qwt = makeAxis(side, new QwtScaleDraw, penWidth);
        auto ours = makeAxis(side, new PlotScaleDraw, penWidth);
        const auto compare = [&](const char *when) {
            const QImage expected = render(*qwt, zoom);
            // The first sight of a label draws it, the next ones copy it.
            for (int pass = 0; pass < 3; ++pass) {
                const QImage actual = render(*ours, zoom);
                QVERIFY(actual.size() == expected.size());
                const int difference = largestDifference(actual, expected);
                QVERIFY2(difference <= 8, qPrintable(QStringLiteral("%1, pass %2: %3 levels apart")
                                                         .arg(QLatin1String(when)).arg(pass).arg(difference)));
            }
        };
        compare("as made");
        QPalette palette = qwt->palette();
        palette.setColor(QPalette::Text, Qt::red);
        QFont font = qwt->font();
        font.setPointSize(font.pointSize() + 3);
        for (QwtScaleWidget *widget : {qwt.get(), ours.get()})
            widget->setPalette(palette);
        compare("recoloured");
        for (QwtScaleWidget *widget : {qwt.get(), ours.get()})
            widget->setFont(font);
        compare("with a larger font");
    }

    void gridLooksAsQwtDrawsIt_data()
    {
        QTest::addColumn<QPen>("major");
        QTest::addColumn<QPen>("minor");
        QTest::addColumn<QRectF>("canvas");
        const QPen grey(QColor(88, 88, 88), 0), dark(QColor(48, 48, 48), 0);
        const QRectF canvas(13, 9, 301, 187);
        QTest::newRow("cosmetic pens") << grey << dark << canvas;
        QTest::newRow("1-pixel pens") << QPen(Qt::blue, 1) << QPen(Qt::red, 1) << canvas;
        // Everything below is drawn by Qwt.
        QTest::newRow("dotted minor lines") << grey << QPen(QColor(48, 48, 48), 0, Qt::DotLine) << canvas;
        QTest::newRow("wide major lines") << QPen(Qt::blue, 2) << dark << canvas;
        QTest::newRow("canvas between pixels") << grey << dark << QRectF(13.5, 9.25, 301, 187);
    }

    void gridLooksAsQwtDrawsIt()
    {
        QFETCH(QPen, major);
        QFETCH(QPen, minor);
        QFETCH(QRectF, canvas);
        QwtLinearScaleEngine engine;
        QwtScaleMap xMap, yMap;
        xMap.setScaleInterval(-0.37, 7.3);
        xMap.setPaintInterval(canvas.left(), canvas.right());
        yMap.setScaleInterval(-11.0, 23.5);
        yMap.setPaintInterval(canvas.bottom(), canvas.top());
        const auto render = [&](QwtPlotGrid &grid) {
            grid.setMajorPen(major);
            grid.setMinorPen(minor);
            grid.enableXMin(true);
            grid.setXDiv(engine.divideScale(-0.37, 7.3, 8, 5));
            grid.setYDiv(engine.divideScale(-11.0, 23.5, 8, 5));
            QImage image(330, 210, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::black);
            QPainter painter(&image);
            painter.setClipRegion(QRegion(image.rect()) - QRegion(0, 0, 20, 20));
            grid.draw(&painter, xMap, yMap, canvas);
            return image;
        };
        QwtPlotGrid qwt;
        PlotGrid ours;
        const QImage expected = render(qwt);
        QImage blank(expected.size(), expected.format());
        blank.fill(Qt::black);
        QVERIFY(expected != blank);
        QVERIFY2(render(ours) == expected, "the grid differs from Qwt's");
    }
};

QTEST_MAIN(tst_PlotScaleDraw)
#include "tst_plotscaledraw.moc"
