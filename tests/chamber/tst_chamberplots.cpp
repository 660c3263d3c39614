#include <SpectrogramPlot.h>
#include <VRXPositionPlot.h>
#include <VRXSplitPlot.h>

#include <QtTest/QtTest>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_scale_div.h>
#include <qwt_scale_map.h>

#include <limits>
#include <memory>

using namespace Corvid_Qt;

namespace {

const QRgb kCyan = qRgb(0, 255, 255);

/// Column and row of the canvas holding the most cyan pixels: the centre of
/// a marker cross.
QPoint crossCentre(QwtPlot *plot)
{
    const QImage image = plot->canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVector<int> columns(image.width()), rows(image.height());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == kCyan) {
                ++columns[x];
                ++rows[y];
            }
    const auto column = std::max_element(columns.begin(), columns.end());
    const auto row = std::max_element(rows.begin(), rows.end());
    if (*column == 0)
        return QPoint(-1000, -1000);
    return QPoint(int(column - columns.begin()), int(row - rows.begin()));
}

QPoint mapped(QwtPlot *plot, double x, double y)
{
    return QPoint(qRound(plot->canvasMap(QwtPlot::xBottom).transform(x)),
                  qRound(plot->canvasMap(QwtPlot::yLeft).transform(y)));
}

bool near(const QPoint &a, const QPoint &b)
{
    return (a - b).manhattanLength() <= 3;
}

/// Lower bound, upper bound and step of the axis, to 1e-12.
bool axisIs(QwtPlot *plot, int axis, double low, double high, double step)
{
    plot->updateAxes();
    const QwtScaleDiv &div = plot->axisScaleDiv(axis);
    const double actual[] = {div.lowerBound(), div.upperBound(), plot->axisStepSize(axis)}, expected[] = {low, high, step};
    for (int i = 0; i < 3; ++i)
        if (qAbs(actual[i] - expected[i]) > 1e-12)
            return false;
    return true;
}

} // namespace

class TestChamberPlots : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void positionPlotKeepsTheLastTwentyAndMarksTheNewest()
    {
        VRXPositionPlot widget;
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        auto *plot = widget.findChild<QwtPlot *>();
        widget.setScale(2);
        widget.setXScale(-50.0, 50.0);
        widget.setYScale(-50.0, 50.0);
        for (int i = 0; i < 25; ++i)
            widget.setData(i, -i);

        const auto *series = static_cast<QwtPlotCurve *>(plot->itemList(QwtPlotItem::Rtti_PlotCurve).value(0))->data();
        QCOMPARE(int(series->size()), VRXPositionPlot::kHistory);
        for (int k = 0; k < VRXPositionPlot::kHistory; ++k)
            QCOMPARE(series->sample(size_t(k)), QPointF(k + 5, -(k + 5)));

        plot->replot();
        QVERIFY(near(crossCentre(plot), mapped(plot, 24, -24)));
        // The cross-hair through the origin, on the background.
        const QImage canvas = plot->canvas()->grab().toImage();
        const QPoint origin = mapped(plot, 0, 0);
        QVERIFY(canvas.pixelColor(origin.x(), 3) == Qt::white && canvas.pixelColor(3, 3) == Qt::black);

        // A position between ticks is drawn on the next tick without further data.
        widget.setData(0.5, 0.5);
        QTRY_VERIFY(near(crossCentre(plot), mapped(plot, 0.5, 0.5)));
    }

    // A position the host could not compute (no beam: 0 / 0) is kept in the
    // history but must not drag the automatic axes away from the others.
    void positionPlotAutoscaleFollowsTheFinitePositions()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
        for (const QPointF &bad : {QPointF(nan, 1.0), QPointF(1.0, nan), QPointF(inf, -inf)}) {
            VRXPositionPlot widget;
            auto *plot = widget.findChild<QwtPlot *>();
            widget.setData(-2.0, 2.0);
            widget.setData(bad.x(), bad.y());
            widget.setData(2.0, -2.0);
            plot->updateAxes();
            for (int axis : {QwtPlot::xBottom, QwtPlot::yLeft}) {
                const QwtScaleDiv &div = plot->axisScaleDiv(axis);
                QVERIFY2(div.lowerBound() <= -2.0 && div.lowerBound() > -10.0 && div.upperBound() >= 2.0
                             && div.upperBound() < 10.0,
                         qPrintable(QStringLiteral("%1, %2").arg(div.lowerBound()).arg(div.upperBound())));
            }
        }
    }

    // The position plot stays square, the spectrogram's canvas beside its colour bar.
    void plotsStaySquare_data()
    {
        QTest::addColumn<bool>("spectrogram");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("position wide") << false << QSize(500, 300) << QSize(300, 300);
        QTest::newRow("position tall") << false << QSize(300, 500) << QSize(300, 300);
        QTest::newRow("position wider within a pixel") << false << QSize(301, 300) << QSize(301, 300);
        QTest::newRow("spectrogram too wide") << true << QSize(900, 500) << QSize(630, 500);
        QTest::newRow("spectrogram too tall") << true << QSize(500, 900) << QSize(500, 370);
        QTest::newRow("spectrogram wider within a pixel") << true << QSize(631, 500) << QSize(631, 500);
        QTest::newRow("spectrogram narrower within a pixel") << true << QSize(629, 500) << QSize(629, 500);
    }

    void plotsStaySquare()
    {
        QFETCH(bool, spectrogram);
        QFETCH(QSize, size);
        QFETCH(QSize, expected);
        std::unique_ptr<QWidget> widget(spectrogram ? static_cast<QWidget *>(new SpectrogramPlot) : new VRXPositionPlot);
        auto *plot = spectrogram ? static_cast<QwtPlot *>(widget.get()) : widget->findChild<QwtPlot *>();
        widget->show();
        QVERIFY(QTest::qWaitForWindowExposed(widget.get()));
        plot->resize(size);
        QTRY_COMPARE(plot->size(), expected);
    }

    void splitPlotBarsTakeOnePairPerTick()
    {
        VRXSplitPlot widget;
        widget.setData(0.5, 0);
        widget.setAxisLabel(QStringLiteral("none"), 0);
        QCOMPARE(widget.findChildren<QwtPlot *>().size(), 0);
        widget.setNumberPlots(2);
        widget.setNumberPlots(2);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        const auto plots = widget.findChildren<QwtPlot *>();
        QCOMPARE(plots.size(), 2);
        QVERIFY(plots[0]->geometry().bottom() < plots[1]->geometry().top());
        for (QwtPlot *plot : plots) {
            QVERIFY(!plot->axisEnabled(QwtPlot::yLeft));
            QVERIFY(axisIs(plot, QwtPlot::xBottom, -1.0, 1.0, 0.1));
        }
        // Bars that do not exist are ignored.
        widget.setData(0.5, 2);
        widget.setData(0.5, -1);
        widget.setAxisLabel(QStringLiteral("none"), 2);
        widget.setAxisLabel(QStringLiteral("Y balance"), 1);
        QCOMPARE(plots[1]->axisTitle(QwtPlot::xBottom).text(), QStringLiteral("Y balance"));

        // The first pair comes before any tick and is dropped.
        widget.setData(-0.5, 0.5);
        QVERIFY(near(crossCentre(plots[0]), mapped(plots[0], 0.0, 0.0)));
        QTRY_VERIFY((widget.setData(-0.5, 0.5), near(crossCentre(plots[0]), mapped(plots[0], -0.5, 0.0))));
        QVERIFY(near(crossCentre(plots[1]), mapped(plots[1], 0.5, 0.0)));
        // Right after a drawn pair the next one waits for the next tick.
        widget.setData(0.25, 0.25);
        QVERIFY(near(crossCentre(plots[0]), mapped(plots[0], -0.5, 0.0)));
        const QImage canvas = plots[0]->canvas()->grab().toImage();
        QVERIFY(canvas.pixelColor(mapped(plots[0], 0, 0).x(), 2) == Qt::gray && canvas.pixelColor(2, 2) == Qt::black);
    }

    void scalesFollowTheIndex_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<QVector<double>>("expected");
        QTest::newRow("20%") << 4 << -1.0 << 1.0 << QVector<double>{-0.2, 0.2, 0.04};
        QTest::newRow("normalize takes the full limits") << 1 << -1.0 << 1.0 << QVector<double>{-1.0, 1.0, 0.2};
        QTest::newRow("100%") << 2 << -1.0 << 1.0 << QVector<double>{-1.0, 1.0, 0.2};
        QTest::newRow("50% of uneven limits") << 3 << -2.0 << 6.0 << QVector<double>{-1.0, 3.0, 0.4};
        QTest::newRow(".01%") << 14 << -1.0 << 1.0 << QVector<double>{-1e-4, 1e-4, 2e-5};
        QTest::newRow("unknown index") << 15 << -5.0 << 5.0 << QVector<double>{-5.0, 5.0, 1.0};
    }

    void scalesFollowTheIndex()
    {
        QFETCH(int, index);
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(QVector<double>, expected);
        VRXPositionPlot position;
        auto *scatter = position.findChild<QwtPlot *>();
        VRXSplitPlot split;
        split.setNumberPlots(1);
        // Limits alone change nothing while the scale is automatic.
        position.setXScale(min, max);
        position.setYScale(2 * min, 2 * max);
        split.setXScale(min, max);
        QVERIFY(scatter->axisAutoScale(QwtPlot::xBottom) && scatter->axisAutoScale(QwtPlot::yLeft));
        QVERIFY(axisIs(split.findChild<QwtPlot *>(), QwtPlot::xBottom, -1.0, 1.0, 0.1));

        position.setScale(index);
        split.setScale(index);
        QVERIFY(axisIs(scatter, QwtPlot::xBottom, expected[0], expected[1], expected[2]));
        QVERIFY(axisIs(scatter, QwtPlot::yLeft, 2 * expected[0], 2 * expected[1], 2 * expected[2]));
        split.setNumberPlots(2);
        for (QwtPlot *bar : split.findChildren<QwtPlot *>())
            QVERIFY(axisIs(bar, QwtPlot::xBottom, expected[0], expected[1], expected[2]));

        position.setScale(0);
        split.setScale(0);
        QVERIFY(scatter->axisAutoScale(QwtPlot::xBottom) && scatter->axisAutoScale(QwtPlot::yLeft));
        for (QwtPlot *bar : split.findChildren<QwtPlot *>())
            QVERIFY(axisIs(bar, QwtPlot::xBottom, -1.0, 1.0, 0.1));
    }
};

QTEST_MAIN(TestChamberPlots)
#include "tst_chamberplots.moc"
