#include <GaussianRadialGradientBrush.h>
#include <MapSpot.h>
#include <SpotMapView.h>
#include <SpotMapViewColumnMapper.h>
#include <VRXAbstractPlotDataModel.h>

#include <QtGui/QStandardItemModel>
#include <QtTest/QAbstractItemModelTester>
#include <QtTest/QtTest>
#include <cmath>
#include <memory>

using namespace Corvid_Qt;

namespace {

const QRgb kBlack = qRgb(0, 0, 0);

using Brush = std::unique_ptr<GaussianRadialGradientBrush>;

struct Layer {
    QPointF x, y;
    double beamSize = 1;
    double maxDose = 1;
};
const Layer kSquare{{0, 10}, {0, 10}, 0.5, 1};

QList<QStandardItem *> row(const QVariant &beam, const QVariant &x, const QVariant &y, const QVariant &dose)
{
    QList<QStandardItem *> items;
    for (const QVariant &v : {QVariant(0), beam, x, y, dose}) {
        items << new QStandardItem;
        items.last()->setData(v, SpecialDataRole);
    }
    return items;
}

MapSpot spot(float x, float y, float dose = 1, float size = 0.5f)
{
    return MapSpot{x, y, dose, size};
}

QList<QStandardItem *> spotRow(const MapSpot &s)
{
    return row(s.size, s.x, s.y, s.dose);
}

class OpenView : public SpotMapView
{
public:
    using SpotMapView::isIndexHidden;
};

/// A view on screen at 200 x 200 showing the first layer of its tree.
struct Shown {
    QStandardItemModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::QtTest};
    OpenView view;

    explicit Shown(const QVector<MapSpot> &spots, const Layer &layer = kSquare)
    {
        addLayer(layer, spots);
        view.setModel(&model);
        view.resize(200, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.scrollTo(model.index(0, 0));
    }
    void addLayer(const Layer &l, const QVector<MapSpot> &spots, int at = -1)
    {
        const QList<QStandardItem *> items = row(l.beamSize, l.x, l.y, l.maxDose);
        model.insertRow(at < 0 ? model.rowCount() : at, items);
        for (const MapSpot &s : spots)
            items[0]->appendRow(spotRow(s));
    }
    QStandardItem *layer(int row) { return model.item(row); }
    QImage shot() { return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    /// Viewport pixel of a point in model units.
    QPoint pixel(const QPointF &p) const
    {
        const QRect sq = view.drawingSquare();
        const QRectF b = view.boundsSquare();
        return QPoint(int(sq.x() + (p.x() - b.x()) / b.width() * sq.width()),
                      int(sq.y() + (1 - (p.y() - b.y()) / b.height()) * sq.height()));
    }
    QRgb at(const QPointF &p) { return shot().pixel(pixel(p)); }
    QVector<float> xs() const
    {
        QVector<float> xs;
        for (const MapSpot &s : view.spots())
            xs << s.x;
        return xs;
    }
};

bool isReddish(QRgb c) { return qRed(c) > qGreen(c) + 40 && qRed(c) > qBlue(c) + 40; }
bool isBluish(QRgb c) { return qBlue(c) > qGreen(c) + 40 && qBlue(c) > qRed(c) + 40; }
bool isWhite(QRgb c) { return qRed(c) > 245 && qGreen(c) > 245 && qBlue(c) > 245; }

QString colourName(QRgb c)
{
    return isReddish(c) ? "red" : isBluish(c) ? "blue" : qRed(c) + qGreen(c) + qBlue(c) < 30 ? "black" : "grey";
}

// Any pixel of the 3 x 3 around p has the colour (lines fall on either side).
bool nearColour(const QImage &image, const QPoint &p, QRgb colour)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.pixel(p + QPoint(dx, dy)) == colour)
                return true;
    return false;
}

class RowShift : public SpotMapViewColumnMapper
{
public:
    int mapColumnToSource(MapColumn column) const override { return column + 10; }
};

} // namespace

Q_DECLARE_METATYPE(Layer)

class TestSpotMapView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void brushStopsFollowTheGaussian_data()
    {
        QTest::addColumn<double>("intensity");
        QTest::addColumn<double>("sigma");
        QTest::addColumn<int>("coloured");
        QTest::newRow("sigma 0.1 cut at 15/56") << 0.8 << 0.1 << 15;
        QTest::newRow("sigma 0.385 never cut") << 1.0 << 0.385 << 57;
        QTest::newRow("over-range intensity clamped") << 3.0 << 0.2 << 30;
        QTest::newRow("zero intensity") << 0.0 << 0.1 << 0;
        QTest::newRow("tiny intensity") << 1e-13 << 0.1 << 0;
        QTest::newRow("NaN intensity") << qQNaN() << 0.1 << 0;
        QTest::newRow("zero sigma") << 1.0 << 0.0 << 0;
        QTest::newRow("negative sigma") << 1.0 << -0.1 << 0;
        QTest::newRow("infinite sigma") << 1.0 << qInf() << 0;
    }
    void brushStopsFollowTheGaussian()
    {
        QFETCH(double, intensity);
        QFETCH(double, sigma);
        QFETCH(int, coloured);
        const QPointF centre(0.25, 0.75);
        const Brush brush(GaussianRadialGradientBrush::create(centre, Qt::white, intensity, sigma));
        const double side = 5.2 * sigma;
        QCOMPARE(brush->boundingRect(), coloured ? QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side) : QRectF());
        const QGradientStops stops = brush->gradient()->stops();
        for (int i = 0; i < coloured; ++i) {
            const double r = stops[i].first;
            QCOMPARE(r, i / 56.0);
            QVERIFY(qAbs(stops[i].second.alphaF() - std::min(intensity, 1.0) * std::exp(-0.5 * r * r / (sigma * sigma))) < 1e-4);
        }
        // Then a transparent stop at the cut-off and at 1.0, unless colour reaches 1.0.
        QCOMPARE(stops.size(), coloured == 57 ? 57 : coloured + 2);
        for (int i = coloured; i < stops.size(); ++i)
            QCOMPARE(stops[i].second.alpha(), 0);
        QCOMPARE(stops.last().first, 1.0);
    }

    void boundsAndSquares_data()
    {
        QTest::addColumn<Layer>("layer");
        QTest::addColumn<QRectF>("bounds");
        QTest::addColumn<QRectF>("square");
        const QRectF wide(-2.6, -2.6, 15.2, 9.2), wideSquare(-2.6, -5.6, 15.2, 15.2);
        QTest::newRow("wide") << Layer{{0, 10}, {0, 4}, 1, 1} << wide << wideSquare;
        QTest::newRow("reversed") << Layer{{10, 0}, {4, 0}, 1, 1} << wide << wideSquare;
        QTest::newRow("tall") << Layer{{0, 2}, {-5, 5}, 0, 1} << QRectF(0, -5, 2, 10) << QRectF(-4, -5, 10, 10);
        QTest::newRow("empty range") << Layer{{3, 3}, {3, 3}, 1, 1} << QRectF(0.4, 0.4, 5.2, 5.2)
                                     << QRectF(0.4, 0.4, 5.2, 5.2);
        QTest::newRow("single point") << Layer{{3, 3}, {1, 1}, 0, 1} << QRectF(3, 1, 0, 0) << QRectF(2.5, 0.5, 1, 1);
        QTest::newRow("negative beam") << Layer{{0, 2}, {0, 2}, -1, 1} << QRectF(0, 0, 2, 2) << QRectF(0, 0, 2, 2);
    }
    void boundsAndSquares()
    {
        QFETCH(Layer, layer);
        Shown f({}, layer);
        QTEST(f.view.bounds(), "bounds");
        QTEST(f.view.boundsSquare(), "square");
        QCOMPARE(SpotMapView::makeSquare(QRect(0, 0, 10, 4)), QRect(0, -3, 10, 10));
        QCOMPARE(SpotMapView::makeSquare(QRect(5, 0, 3, 9)), QRect(2, 0, 9, 9));
    }

    void doseSetsIntensityAndColour_data()
    {
        QTest::addColumn<double>("maxDose");
        QTest::addColumn<double>("dose");
        QTest::addColumn<double>("intensity");
        QTest::addColumn<QRgb>("colour"); // none (black) where nothing is drawn
        const QRgb white = qRgb(255, 255, 255);
        QTest::newRow("half of full") << 2.0 << 1.5 << 0.1 + 0.9 * 0.5 << white;
        QTest::newRow("1.5 x maximum") << 2.0 << 3.0 << 1.0 << white;
        QTest::newRow("far over range") << 2.0 << 1e30 << 1.0 << white;
        QTest::newRow("zero") << 2.0 << 0.0 << 0.0 << kBlack;
        QTest::newRow("negative") << 2.0 << -1e6 << 0.95 << qRgb(0, 0, 255);
        QTest::newRow("no layer maximum") << 0.0 << 0.0 << 1.0 << white;
        QTest::newRow("negative layer maximum") << -5.0 << 0.5 << 1.0 << white;
    }
    void doseSetsIntensityAndColour()
    {
        QFETCH(double, maxDose);
        QFETCH(double, dose);
        QFETCH(double, intensity);
        Shown f({}, Layer{{0, 10}, {0, 10}, 0.5, maxDose});
        const Brush brush(f.view.createBrush(spot(5, 5, float(dose), 1)));
        const QGradientStop first = brush->gradient()->stops().first();
        QVERIFY(qAbs(first.second.alphaF() - intensity) < 1e-4);
        QTEST(first.second.rgb(), "colour");
        QCOMPARE(brush->center(), QPointF(0.5, 0.5));
    }

    void spotsOverEarlierSpotsAndThePathOverAll()
    {
        Shown f({spot(5, 5, 1, 0.5f)});
        QCOMPARE(f.at(QPointF(9, 1)), kBlack);

        f.view.setBackgroundColor(QColor(0, 40, 0));
        QCOMPARE(f.at(QPointF(9, 1)), qRgb(0, 40, 0));
        f.view.setSpotColor(Qt::red);
        QVERIFY(isReddish(f.at(QPointF(5, 5))));
        f.view.setSpotColor(Qt::white);

        f.view.setMap({spot(5, 5, -1, 1), spot(5, 5, 10, 1)});
        QVERIFY(isWhite(f.at(QPointF(5, 5))));
        f.view.setMap({spot(5, 5, 10, 1), spot(5, 5, -1, 1)});
        QVERIFY(isBluish(f.at(QPointF(5, 5))));

        f.view.setMap({spot(1, 5, 0, 0), spot(9, 5, 0, 0), spot(9, 1, 0, 0)});
        QVERIFY(!nearColour(f.shot(), f.pixel(QPointF(3, 5)), qRgb(0, 255, 0)));
        f.view.setPathColor(Qt::green);
        const QImage image = f.shot();
        for (const QPointF &p : {QPointF(5, 5), QPointF(3, 5), QPointF(9, 3)})
            QVERIFY(nearColour(image, f.pixel(p), qRgb(0, 255, 0)));
        QVERIFY(!nearColour(image, f.pixel(QPointF(5, 3)), qRgb(0, 255, 0)));
    }

    void badValuesReadAsZeroAndStayInTheSquare_data()
    {
        QTest::addColumn<QVariant>("size");
        QTest::addColumn<QVariant>("dose");
        QTest::addColumn<QVariant>("x");
        QTest::addColumn<QVector<float>>("read"); // size, dose, x
        QTest::newRow("NaN size") << QVariant(qQNaN()) << QVariant(1.0) << QVariant(5.0) << QVector<float>{0, 1, 5};
        QTest::newRow("negative size") << QVariant(-3.0) << QVariant(1.0) << QVariant(5.0) << QVector<float>{-3, 1, 5};
        QTest::newRow("infinite dose") << QVariant(0.5) << QVariant(-qInf()) << QVariant(5.0) << QVector<float>{0.5, 0, 5};
        QTest::newRow("beyond float") << QVariant(0.5) << QVariant(1e300) << QVariant(5.0) << QVector<float>{0.5, 0, 5};
        QTest::newRow("text") << QVariant("wide") << QVariant(1.0) << QVariant("left") << QVector<float>{0, 1, 0};
        QTest::newRow("missing") << QVariant() << QVariant() << QVariant() << QVector<float>{0, 0, 0};
        QTest::newRow("huge spot off the map") << QVariant(50.0) << QVariant(1.0) << QVariant(-30.0)
                                               << QVector<float>{50, 1, -30};
    }
    void badValuesReadAsZeroAndStayInTheSquare()
    {
        QFETCH(QVariant, size);
        QFETCH(QVariant, dose);
        QFETCH(QVariant, x);
        Shown f({});
        f.view.resize(300, 150);
        f.layer(0)->appendRow(row(size, x, 5.0, dose));
        const MapSpot s = f.view.spots().value(0);
        QTEST((QVector<float>{s.size, s.dose, s.x}), "read");
        const QImage image = f.shot();
        for (int y = 0; y < image.height(); y += 3)
            for (int xx = 0; xx < image.width(); xx += 3)
                if (!f.view.drawingSquare().contains(xx, y))
                    QCOMPARE(image.pixel(xx, y), kBlack);
    }

    void modelWithoutTheColumnsShowsNothing()
    {
        Shown f({spot(5, 5), spot(2, 2)});
        f.view.setPathColor(Qt::black);
        f.view.setColumnMapper(new RowShift);
        for (const MapSpot &s : f.view.spots())
            QVERIFY(s.x == 0 && s.y == 0 && s.dose == 0 && s.size == 0);
        QImage black(f.view.viewport()->size(), QImage::Format_RGB32);
        black.fill(kBlack);
        QCOMPARE(f.shot(), black);
        f.view.setColumnMapper(nullptr);
        QCOMPARE(f.view.spots().value(1).x, 2.f);
    }

    void currentLayerFollowsScrollToInsertsAndRemoves()
    {
        Shown f({spot(1, 1)});
        f.addLayer(kSquare, {spot(2, 2)});
        f.addLayer(kSquare, {spot(3, 3)});
        const auto layerShown = [&](int layer, float x) {
            return f.view.currentLayer() == layer && f.view.spots().size() == 1 && f.view.spots()[0].x == x;
        };
        // A spot's index leaves the layer as it is; other layers are hidden.
        const QModelIndex first = f.model.index(0, 0), second = f.model.index(1, 0);
        f.view.scrollTo(f.model.index(0, 0, second));
        QVERIFY(layerShown(0, 1));
        QVERIFY(!f.view.isIndexHidden(first) && !f.view.isIndexHidden(f.model.index(0, 2, first)));
        QVERIFY(f.view.isIndexHidden(second) && f.view.isIndexHidden(f.model.index(0, 0, second)));
        QCOMPARE(f.view.visualRect(f.model.index(0, 0, second)), f.view.viewport()->rect());
        QVERIFY(!f.view.visualRect(second).isValid());
        f.view.reset();
        QCOMPARE(f.view.currentLayer(), -1);
        f.view.scrollTo(second);
        QVERIFY(layerShown(1, 2));
        f.view.setModel(&f.model); // the model it has: nothing to change
        QVERIFY(layerShown(1, 2));
        f.addLayer(kSquare, {spot(7, 7)}, 1); // where the current one was: it moves down
        f.model.insertRows(0, 2);
        QVERIFY(layerShown(4, 2));
        f.addLayer(kSquare, {spot(8, 8)}, 5);
        QVERIFY(layerShown(4, 2));
        f.model.removeRows(0, 3);
        QVERIFY(layerShown(1, 2));
        f.model.removeRow(1); // the current one: its successor takes its place
        QVERIFY(layerShown(1, 8));
        f.model.removeRows(1, 2); // and the last one when none follows
        QVERIFY(layerShown(0, 7));
        // Sorting the layers moves the shown one; the view goes with it.
        f.addLayer(kSquare, {spot(9, 9)}, 0);
        f.layer(0)->setText(QStringLiteral("b"));
        f.layer(1)->setText(QStringLiteral("a"));
        f.model.sort(0, Qt::DescendingOrder);
        QVERIFY(layerShown(1, 7));
        f.model.sort(0);
        QVERIFY(layerShown(0, 7));
        f.model.removeRows(0, 2);
        QCOMPARE(f.view.currentLayer(), -1);
        QVERIFY(f.view.spots().isEmpty() && f.view.path().isEmpty());
        QCOMPARE(f.shot().pixel(100, 100), kBlack);
    }

    void spotChangesFollowOnlyTheCurrentLayer_data()
    {
        QTest::addColumn<int>("layer");
        QTest::addColumn<QString>("change");
        for (int layer : {0, 1})
            for (const char *change : {"append", "prepend", "change", "remove"})
                QTest::addRow("%s in layer %d", change, layer) << layer << QString(change);
    }
    void spotChangesFollowOnlyTheCurrentLayer()
    {
        QFETCH(int, layer);
        QFETCH(QString, change);
        Shown f({spot(1, 1), spot(2, 2), spot(3, 3)});
        f.addLayer(kSquare, {spot(4, 4), spot(5, 5)});
        f.view.setPathColor(Qt::transparent);
        const QImage before = f.shot();
        QStandardItem *parent = f.layer(layer);
        if (change == "append")
            parent->appendRow(spotRow(spot(9, 9)));
        else if (change == "prepend")
            parent->insertRow(0, spotRow(spot(9, 9)));
        else if (change == "change")
            parent->child(1, MapXPosColumn)->setData(9.0, SpecialDataRole);
        else
            parent->removeRow(1);
        if (layer == 1) {
            QCOMPARE(f.xs(), (QVector<float>{1, 2, 3}));
            QCOMPARE(f.shot(), before);
            return;
        }
        QVector<float> expected;
        for (int r = 0; r < parent->rowCount(); ++r)
            expected << parent->child(r, MapXPosColumn)->data(SpecialDataRole).toFloat();
        QCOMPARE(f.xs(), expected);
        QCOMPARE(f.view.path().size(), expected.size());
        if (change == "remove")
            QCOMPARE(f.at(QPointF(2, 2)), kBlack);
        else
            QVERIFY(f.at(QPointF(9, change == "change" ? 2 : 9)) != kBlack);
    }

    void boundsChangeRebuildsEarlierBrushes()
    {
        Shown f({spot(5, 5), spot(10, 10)});
        // The layer grows without announcing it; the next spot brings the news.
        f.model.blockSignals(true);
        f.model.item(0, MapXPosColumn)->setData(QPointF(0, 20), SpecialDataRole);
        f.model.item(0, MapYPosColumn)->setData(QPointF(0, 20), SpecialDataRole);
        f.model.blockSignals(false);
        f.layer(0)->appendRow(spotRow(spot(20, 20)));
        // Painted before anything else asks for the bounds.
        const QImage picture = f.shot();
        Shown fresh({spot(5, 5), spot(10, 10), spot(20, 20)}, Layer{{0, 20}, {0, 20}, 0.5, 1});
        QCOMPARE(picture, fresh.shot());
        QCOMPARE(f.view.path(), fresh.view.path());
    }

    void diffShowsWhereTheMapsDiffer_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QVector<MapSpot>>("mine");
        QTest::addColumn<QVector<MapSpot>>("theirs");
        QTest::addColumn<QStringList>("colours"); // at (3, 5) and (7, 5)
        const MapSpot a = spot(3, 5, 1, 0.7f), b = spot(7, 5, 1, 0.7f);
        using V = QVector<MapSpot>;
        using C = QStringList;
        QTest::newRow("identical") << int(DisplayDiff) << V{a, b} << V{a, b} << C{"black", "black"};
        QTest::newRow("only mine") << int(DisplayDiff) << V{a, b} << V{b} << C{"red", "black"};
        QTest::newRow("only theirs") << int(DisplayDiff) << V{b} << V{a, b} << C{"blue", "black"};
        QTest::newRow("overlay") << int(DisplayDiffOverlay) << V{a} << V{b} << C{"red", "blue"};
        QTest::newRow("overlay identical") << int(DisplayDiffOverlay) << V{a} << V{a} << C{"grey", "black"};
        QTest::newRow("data") << int(DisplayData) << V{a} << V{b} << C{"grey", "black"};
    }
    void diffShowsWhereTheMapsDiffer()
    {
        QFETCH(int, mode);
        QFETCH(QVector<MapSpot>, mine);
        QFETCH(QVector<MapSpot>, theirs);
        QFETCH(QStringList, colours);
        Shown me(mine), other(theirs);
        me.view.setPathColor(Qt::transparent);
        me.view.setDiffTarget(&other.view);
        me.view.setDisplayMode(DisplayMode(mode));
        const QImage image = me.shot();
        QCOMPARE(colourName(image.pixel(me.pixel(QPointF(3, 5)))), colours[0]);
        QCOMPARE(colourName(image.pixel(me.pixel(QPointF(7, 5)))), colours[1]);
        if (!colours.contains("red") && !colours.contains("blue"))
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    QVERIFY(!isReddish(image.pixel(x, y)) && !isBluish(image.pixel(x, y)));
    }

    void diffFollowsTheTargetUntilItGoes()
    {
        Shown me({spot(3, 5, 10, 0.7f)});
        auto other = std::make_unique<Shown>(QVector<MapSpot>{spot(3, 5, 10, 0.7f)});
        me.view.setPathColor(Qt::transparent);
        me.view.setDiffTarget(&other->view);
        me.view.setDisplayMode(DisplayDiff);
        other->layer(0)->child(0, MapXPosColumn)->setData(7.0, SpecialDataRole);
        QVERIFY(isReddish(me.at(QPointF(3, 5))));
        QVERIFY(isBluish(me.at(QPointF(7, 5))));
        other->view.resize(100, 100);
        QCOMPARE(me.view.drawingSquare().size(), QSize(100, 100));
        QVERIFY(isReddish(me.at(QPointF(3, 5))));
        other->view.viewport()->resize(0, 0);
        QCOMPARE(me.shot().pixel(100, 100), kBlack);

        other.reset();
        QCOMPARE(me.view.diffTarget(), nullptr);
        QCOMPARE(me.view.displayMode(), DisplayData);
        QVERIFY(isWhite(me.at(QPointF(3, 5))));

        SpotMapView target;
        me.view.setDiffTarget(&target);
        me.view.setDisplayMode(DisplayDiffOverlay);
        me.view.setDiffTarget(nullptr);
        QCOMPARE(me.view.displayMode(), DisplayData);
    }
};

QTEST_MAIN(TestSpotMapView)
#include "tst_spotmapview.moc"
