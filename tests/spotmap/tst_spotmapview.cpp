#include "SpotMapTestKit.h"

#include <GaussianRadialGradientBrush.h>
#include <SpotMapViewColumnMapper.h>

#include <QtCore/QStringListModel>
#include <cmath>
#include <limits>

using namespace Corvid_Qt;
using namespace corvid_test;

Q_DECLARE_METATYPE(corvid_test::Layer)

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const Layer kSquareLayer{{0, 10}, {0, 10}, 0.5, 1};

std::unique_ptr<GaussianRadialGradientBrush> brushOf(GaussianRadialGradientBrush *b)
{
    return std::unique_ptr<GaussianRadialGradientBrush>(b);
}

QGradientStops stopsOf(const QBrush &brush)
{
    return brush.gradient() ? brush.gradient()->stops() : QGradientStops();
}

class OpenView : public SpotMapView
{
public:
    using SpotMapView::isIndexHidden;
};

bool nearColour(const QImage &image, const QPoint &p, QRgb colour)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.pixel(p + QPoint(dx, dy)) == colour)
                return true;
    return false;
}

bool isWhite(QRgb c)
{
    return qRed(c) > 245 && qGreen(c) > 245 && qBlue(c) > 245;
}

// The view with a layer of spots shown at 200 x 200.
struct Fixture {
    SpotTree tree;
    OpenView view;
    explicit Fixture(const QVector<MapSpot> &spots, const Layer &layer = kSquareLayer)
    {
        tree.addLayer(layer, spots);
        view.setModel(&tree.model);
        view.resize(200, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.scrollTo(tree.model.index(0, 0));
    }
    QRgb at(const QPointF &p) { return shot(view).pixel(toPixel(view, p)); }
};

class RowShift : public SpotMapViewColumnMapper
{
public:
    int mapColumnToSource(MapColumn column) const override { return column + 10; }
};

} // namespace

class TestSpotMapView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void brushStopsFollowTheGaussian_data();
    void brushStopsFollowTheGaussian();
    void brushOfNoIntensityOrWidthIsTransparent_data();
    void brushOfNoIntensityOrWidthIsTransparent();
    void boundsAndSquares_data();
    void boundsAndSquares();
    void pixelSquareKeepsTheIntegerCentre();
    void doseSetsIntensityAndColour_data();
    void doseSetsIntensityAndColour();
    void centrePixelHasTheSpotIntensity();
    void laterSpotsCoverEarlierOnes();
    void pathJoinsSpotCentres();
    void badValuesReadAsZeroAndStayInTheSquare_data();
    void badValuesReadAsZeroAndStayInTheSquare();
    void modelWithoutTheColumnsShowsNothing();
    void currentLayerFollowsTopLevelInsertsAndRemoves();
    void removingEveryLayerLeavesTheBackground();
    void spotChangesFollowOnlyTheCurrentLayer_data();
    void spotChangesFollowOnlyTheCurrentLayer();
    void boundsChangeRebuildsEarlierBrushes();
    void scrollToAndVisibility();
    void diffShowsWhereTheMapsDiffer_data();
    void diffShowsWhereTheMapsDiffer();
    void diffFollowsTheTargetsChangesAndSize();
    void deletedTargetIsForgotten();
    void zeroSizedViewportPaintsNothing();
};

void TestSpotMapView::brushStopsFollowTheGaussian_data()
{
    QTest::addColumn<double>("intensity");
    QTest::addColumn<double>("sigma");
    QTest::addColumn<int>("coloured");
    QTest::addColumn<double>("cutAt");

    QTest::newRow("sigma 0.1 cut at 15/56") << 0.8 << 0.1 << 15 << 15 / 56.0;
    QTest::newRow("sigma 0.385 never cut") << 1.0 << 0.385 << 57 << -1.0;
    QTest::newRow("wide sigma") << 0.5 << 2.0 << 57 << -1.0;
    QTest::newRow("over-range intensity clamped") << 3.0 << 0.2 << 30 << 30 / 56.0;
}

void TestSpotMapView::brushStopsFollowTheGaussian()
{
    QFETCH(double, intensity);
    QFETCH(double, sigma);
    QFETCH(int, coloured);
    QFETCH(double, cutAt);

    const QPointF centre(0.25, 0.75);
    const auto brush = brushOf(GaussianRadialGradientBrush::create(centre, Qt::white, intensity, sigma));
    QCOMPARE(brush->center(), centre);
    QCOMPARE(brush->gradient()->coordinateMode(), QGradient::ObjectBoundingMode);
    const double side = 5.2 * sigma;
    QCOMPARE(brush->boundingRect(), QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side));

    const QGradientStops stops = stopsOf(*brush);
    int withColour = 0;
    for (const QGradientStop &s : stops) {
        if (s.second.alpha() == 0)
            continue;
        ++withColour;
        const double r = s.first;
        QCOMPARE(r, (withColour - 1) / 56.0);
        QVERIFY(qAbs(s.second.alphaF() - std::min(intensity, 1.0) * std::exp(-0.5 * r * r / (sigma * sigma))) < 1e-4);
    }
    QCOMPARE(withColour, coloured);
    if (cutAt > 0) {
        QCOMPARE(stops.at(coloured).first, cutAt);
        QCOMPARE(stops.at(coloured).second.alpha(), 0);
        QCOMPARE(stops.last().first, 1.0);
        QCOMPARE(stops.last().second.alpha(), 0);
    } else {
        QCOMPARE(stops.size(), 57);
    }
}

void TestSpotMapView::brushOfNoIntensityOrWidthIsTransparent_data()
{
    QTest::addColumn<double>("intensity");
    QTest::addColumn<double>("sigma");
    QTest::newRow("zero intensity") << 0.0 << 0.1;
    QTest::newRow("tiny intensity") << 1e-13 << 0.1;
    QTest::newRow("NaN intensity") << kNaN << 0.1;
    QTest::newRow("zero sigma") << 1.0 << 0.0;
    QTest::newRow("negative sigma") << 1.0 << -0.1;
    QTest::newRow("NaN sigma") << 1.0 << kNaN;
    QTest::newRow("infinite sigma") << 1.0 << kInf;
}

void TestSpotMapView::brushOfNoIntensityOrWidthIsTransparent()
{
    QFETCH(double, intensity);
    QFETCH(double, sigma);
    const auto brush = brushOf(GaussianRadialGradientBrush::create(QPointF(0.5, 0.5), Qt::white, intensity, sigma));
    for (const QGradientStop &s : stopsOf(*brush))
        QCOMPARE(s.second.alpha(), 0);
    QVERIFY(brush->boundingRect().isEmpty());
    QCOMPARE(brush->center(), QPointF(0.5, 0.5));
}

void TestSpotMapView::boundsAndSquares_data()
{
    QTest::addColumn<Layer>("layer");
    QTest::addColumn<QRectF>("bounds");
    QTest::addColumn<QRectF>("square");

    QTest::newRow("wide") << Layer{{0, 10}, {0, 4}, 1, 1} << QRectF(-2.6, -2.6, 15.2, 9.2)
                          << QRectF(-2.6, -5.6, 15.2, 15.2);
    QTest::newRow("tall") << Layer{{0, 2}, {-5, 5}, 0, 1} << QRectF(0, -5, 2, 10) << QRectF(-4, -5, 10, 10);
    QTest::newRow("reversed range") << Layer{{10, 0}, {4, 0}, 1, 1} << QRectF(-2.6, -2.6, 15.2, 9.2)
                                    << QRectF(-2.6, -5.6, 15.2, 15.2);
    QTest::newRow("empty range with beam") << Layer{{3, 3}, {3, 3}, 1, 1} << QRectF(0.4, 0.4, 5.2, 5.2)
                                           << QRectF(0.4, 0.4, 5.2, 5.2);
    QTest::newRow("single point") << Layer{{3, 3}, {1, 1}, 0, 1} << QRectF(3, 1, 0, 0) << QRectF(2.5, 0.5, 1, 1);
    QTest::newRow("negative beam size") << Layer{{0, 2}, {0, 2}, -1, 1} << QRectF(0, 0, 2, 2) << QRectF(0, 0, 2, 2);
}

void TestSpotMapView::boundsAndSquares()
{
    QFETCH(Layer, layer);
    QFETCH(QRectF, bounds);
    QFETCH(QRectF, square);

    SpotTree tree;
    tree.addLayer(layer, {});
    SpotMapView view;
    view.setModel(&tree.model);
    view.resetBounds(tree.model.index(0, 0));
    auto near = [](const QRectF &a, const QRectF &b) {
        return qAbs(a.x() - b.x()) < 1e-9 && qAbs(a.y() - b.y()) < 1e-9 && qAbs(a.width() - b.width()) < 1e-9
               && qAbs(a.height() - b.height()) < 1e-9;
    };
    QVERIFY2(near(view.bounds(), bounds), qPrintable(QString("%1 %2 %3 %4").arg(view.bounds().x()).arg(view.bounds().y()).arg(view.bounds().width()).arg(view.bounds().height())));
    QVERIFY(near(view.boundsSquare(), square));
    QCOMPARE(view.maxDose(), 1.0f);
}

void TestSpotMapView::pixelSquareKeepsTheIntegerCentre()
{
    QCOMPARE(SpotMapView::makeSquare(QRect(0, 0, 10, 4)), QRect(0, -3, 10, 10));
    QCOMPARE(SpotMapView::makeSquare(QRect(5, 0, 3, 9)), QRect(2, 0, 9, 9));
    QCOMPARE(SpotMapView::makeSquare(QRectF(0, 0, 4, 2)), QRectF(0, -1, 4, 4));
}

void TestSpotMapView::doseSetsIntensityAndColour_data()
{
    QTest::addColumn<double>("maxDose");
    QTest::addColumn<double>("dose");
    QTest::addColumn<double>("intensity");
    QTest::addColumn<QColor>("colour");

    const QColor white(Qt::white), blue(Qt::blue);
    QTest::newRow("half of full") << 2.0 << 1.5 << 0.1 + 0.9 * 0.5 << white;
    QTest::newRow("layer maximum") << 2.0 << 2.0 << 0.1 + 0.9 * 2 / 3.0 << white;
    QTest::newRow("1.5 x maximum") << 2.0 << 3.0 << 1.0 << white;
    QTest::newRow("far over range") << 2.0 << 1e30 << 1.0 << white;
    QTest::newRow("zero") << 2.0 << 0.0 << 0.0 << white;
    QTest::newRow("small negative") << 2.0 << -0.001 << 0.95 << blue;
    QTest::newRow("large negative") << 2.0 << -1e6 << 0.95 << blue;
    QTest::newRow("no layer maximum") << 0.0 << 0.0 << 1.0 << white;
    QTest::newRow("negative layer maximum") << -5.0 << 0.5 << 1.0 << white;
}

void TestSpotMapView::doseSetsIntensityAndColour()
{
    QFETCH(double, maxDose);
    QFETCH(double, dose);
    QFETCH(double, intensity);
    QFETCH(QColor, colour);

    Layer layer = kSquareLayer;
    layer.maxDose = maxDose;
    SpotTree tree;
    tree.addLayer(layer, {});
    SpotMapView view;
    view.setModel(&tree.model);
    view.resetBounds(tree.model.index(0, 0));
    const auto brush = brushOf(view.createBrush(spot(5, 5, float(dose), 1)));
    const QGradientStop first = stopsOf(*brush).first();
    QCOMPARE(first.first, 0.0);
    QVERIFY(qAbs(first.second.alphaF() - intensity) < 1e-4);
    if (intensity > 0)
        QCOMPARE(first.second.rgb(), colour.rgb());
    QCOMPARE(brush->center(), QPointF(0.5, 0.5));
}

void TestSpotMapView::centrePixelHasTheSpotIntensity()
{
    Fixture f({spot(5, 5, 1, 0.5f)});
    const QRgb centre = f.at(QPointF(5, 5));
    const int expected = qRound(255 * (0.1 + 0.9 / 1.5));
    QVERIFY2(qAbs(qRed(centre) - expected) <= 8, qPrintable(QString::number(qRed(centre))));
    QCOMPARE(qRed(centre), qBlue(centre));
    QCOMPARE(f.at(QPointF(9, 1)), qRgb(0, 0, 0));

    f.view.setBackgroundColor(QColor(0, 40, 0));
    f.view.setSpotColor(Qt::red);
    const QRgb recoloured = f.at(QPointF(5, 5));
    QVERIFY(isReddish(recoloured));
    QCOMPARE(f.at(QPointF(9, 1)), qRgb(0, 40, 0));
}

void TestSpotMapView::laterSpotsCoverEarlierOnes()
{
    Fixture f({spot(5, 5, -1, 1), spot(5, 5, 10, 1)});
    QVERIFY(isWhite(f.at(QPointF(5, 5))));
    f.view.setMap({spot(5, 5, 10, 1), spot(5, 5, -1, 1)});
    QVERIFY(isBluish(f.at(QPointF(5, 5))));
}

void TestSpotMapView::pathJoinsSpotCentres()
{
    Fixture f({spot(1, 5, 0, 0), spot(9, 5, 0, 0), spot(9, 1, 0, 0)});
    f.view.setPathColor(Qt::green);
    const QImage image = shot(f.view);
    for (const QPointF &p : {QPointF(5, 5), QPointF(3, 5), QPointF(9, 3)})
        QVERIFY(nearColour(image, toPixel(f.view, p), qRgb(0, 255, 0)));
    QVERIFY(!nearColour(image, toPixel(f.view, QPointF(5, 3)), qRgb(0, 255, 0)));
    QCOMPARE(f.view.path().size(), 3);
}

void TestSpotMapView::badValuesReadAsZeroAndStayInTheSquare_data()
{
    QTest::addColumn<QVariant>("size");
    QTest::addColumn<QVariant>("dose");
    QTest::addColumn<QVariant>("x");
    QTest::addColumn<float>("readSize");
    QTest::addColumn<float>("readDose");
    QTest::addColumn<float>("readX");

    QTest::newRow("NaN size") << QVariant(kNaN) << QVariant(1.0) << QVariant(5.0) << 0.f << 1.f << 5.f;
    QTest::newRow("infinite size") << QVariant(kInf) << QVariant(1.0) << QVariant(5.0) << 0.f << 1.f << 5.f;
    QTest::newRow("negative size") << QVariant(-3.0) << QVariant(1.0) << QVariant(5.0) << -3.f << 1.f << 5.f;
    QTest::newRow("NaN dose") << QVariant(0.5) << QVariant(kNaN) << QVariant(5.0) << 0.5f << 0.f << 5.f;
    QTest::newRow("-inf dose") << QVariant(0.5) << QVariant(-kInf) << QVariant(5.0) << 0.5f << 0.f << 5.f;
    QTest::newRow("beyond float") << QVariant(0.5) << QVariant(1e300) << QVariant(5.0) << 0.5f << 0.f << 5.f;
    QTest::newRow("text") << QVariant("wide") << QVariant(1.0) << QVariant("left") << 0.f << 1.f << 0.f;
    QTest::newRow("missing") << QVariant() << QVariant() << QVariant() << 0.f << 0.f << 0.f;
    QTest::newRow("huge spot off the map") << QVariant(50.0) << QVariant(1.0) << QVariant(-30.0) << 50.f << 1.f
                                           << -30.f;
}

void TestSpotMapView::badValuesReadAsZeroAndStayInTheSquare()
{
    QFETCH(QVariant, size);
    QFETCH(QVariant, dose);
    QFETCH(QVariant, x);
    QFETCH(float, readSize);
    QFETCH(float, readDose);
    QFETCH(float, readX);

    Fixture f({});
    f.view.resize(300, 150);
    f.tree.layer(0)->appendRow(SpotTree::row(size, x, 5.0, dose));
    QCOMPARE(f.view.spots().size(), 1);
    const MapSpot s = f.view.spots().first();
    QCOMPARE(s.size, readSize);
    QCOMPARE(s.dose, readDose);
    QCOMPARE(s.x, readX);

    const QImage image = shot(f.view);
    const QRect square = f.view.drawingSquare();
    for (int y = 0; y < image.height(); y += 3)
        for (int xx = 0; xx < image.width(); xx += 3)
            if (!square.contains(xx, y))
                QCOMPARE(image.pixel(xx, y), qRgb(0, 0, 0));
}

void TestSpotMapView::modelWithoutTheColumnsShowsNothing()
{
    QStringListModel flat({"a", "b"});
    SpotMapView view;
    view.setModel(&flat);
    view.resize(100, 100);
    view.show();
    view.scrollTo(flat.index(1, 0));
    QCOMPARE(view.currentLayer(), 1);
    QVERIFY(view.spots().isEmpty());
    QCOMPARE(shot(view).pixel(50, 50), qRgb(0, 0, 0));

    Fixture f({spot(5, 5), spot(2, 2)});
    f.view.setPathColor(Qt::black);
    f.view.setColumnMapper(new RowShift);
    QCOMPARE(f.view.spots().size(), 2);
    for (const MapSpot &s : f.view.spots())
        QVERIFY(s.x == 0 && s.y == 0 && s.dose == 0 && s.size == 0);
    const QImage image = shot(f.view);
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            QCOMPARE(image.pixel(x, y), qRgb(0, 0, 0));
    f.view.setColumnMapper(nullptr);
    QCOMPARE(f.view.spots().at(1).x, 2.f);
}

void TestSpotMapView::currentLayerFollowsTopLevelInsertsAndRemoves()
{
    Fixture f({spot(1, 1)});
    f.tree.addLayer(kSquareLayer, {spot(2, 2)});
    f.tree.addLayer(kSquareLayer, {spot(3, 3)});
    f.view.scrollTo(f.tree.model.index(1, 0));
    auto shown = [&]() { return f.view.spots().isEmpty() ? -1.f : f.view.spots().first().x; };
    QCOMPARE(shown(), 2.f);

    f.tree.addLayer(kSquareLayer, {spot(7, 7)}, 0);
    f.tree.model.insertRows(0, 2);
    QCOMPARE(f.view.currentLayer(), 4);
    QCOMPARE(shown(), 2.f);
    f.tree.addLayer(kSquareLayer, {spot(8, 8)}, 5);
    QCOMPARE(f.view.currentLayer(), 4);

    f.tree.model.removeRows(0, 3);
    QCOMPARE(f.view.currentLayer(), 1);
    QCOMPARE(shown(), 2.f);
    QVERIFY(!f.view.isIndexHidden(f.tree.model.index(1, 0)));

    f.tree.model.removeRow(1);
    QCOMPARE(f.view.currentLayer(), 1);
    QCOMPARE(shown(), 8.f);

    f.tree.model.removeRows(1, 2);
    QCOMPARE(f.view.currentLayer(), 0);
    QCOMPARE(shown(), 1.f);
}

void TestSpotMapView::removingEveryLayerLeavesTheBackground()
{
    Fixture f({spot(5, 5, 10, 1)});
    QVERIFY(isWhite(f.at(QPointF(5, 5))));
    f.tree.model.removeRow(0);
    QCOMPARE(f.view.currentLayer(), -1);
    QVERIFY(f.view.spots().isEmpty() && f.view.path().isEmpty());
    const QImage image = shot(f.view);
    QCOMPARE(image.pixel(100, 100), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(10, 190), qRgb(0, 0, 0));
}

void TestSpotMapView::spotChangesFollowOnlyTheCurrentLayer_data()
{
    QTest::addColumn<int>("layer");
    QTest::addColumn<QString>("change");
    for (int layer : {0, 1})
        for (const char *change : {"insert", "insert at front", "change", "remove"})
            QTest::addRow("%s in layer %d", change, layer) << layer << QString(change);
}

void TestSpotMapView::spotChangesFollowOnlyTheCurrentLayer()
{
    QFETCH(int, layer);
    QFETCH(QString, change);

    Fixture f({spot(1, 1), spot(2, 2), spot(3, 3)});
    f.tree.addLayer(kSquareLayer, {spot(4, 4), spot(5, 5)});
    f.view.setPathColor(Qt::transparent);
    const QImage picture = shot(f.view);
    QStandardItem *parent = f.tree.layer(layer);

    if (change == "insert")
        parent->appendRow(SpotTree::spotRow(spot(9, 9)));
    else if (change == "insert at front")
        parent->insertRow(0, SpotTree::spotRow(spot(9, 9)));
    else if (change == "change")
        parent->child(1, MapXPosColumn)->setData(9.0, SpecialDataRole);
    else
        parent->removeRow(1);

    QVector<float> xs;
    for (const MapSpot &s : f.view.spots())
        xs << s.x;
    if (layer == 1) {
        QCOMPARE(xs, (QVector<float>{1, 2, 3}));
        QCOMPARE(shot(f.view), picture);
        return;
    }
    QVector<float> expected;
    for (int r = 0; r < parent->rowCount(); ++r)
        expected << parent->child(r, MapXPosColumn)->data(SpecialDataRole).toFloat();
    QCOMPARE(xs, expected);
    QCOMPARE(f.view.path().size(), expected.size());
    QVERIFY(shot(f.view) != picture);
    if (change == "remove")
        QCOMPARE(f.at(QPointF(2, 2)), qRgb(0, 0, 0));
    else
        QVERIFY(f.at(QPointF(9, change == "change" ? 2 : 9)) != qRgb(0, 0, 0));
}

void TestSpotMapView::boundsChangeRebuildsEarlierBrushes()
{
    Fixture f({spot(5, 5), spot(10, 10)});
    // The layer grows without announcing it; the next spot brings the news.
    f.tree.model.blockSignals(true);
    f.tree.model.item(0, MapXPosColumn)->setData(QPointF(0, 20), SpecialDataRole);
    f.tree.model.item(0, MapYPosColumn)->setData(QPointF(0, 20), SpecialDataRole);
    f.tree.model.blockSignals(false);
    f.tree.layer(0)->appendRow(SpotTree::spotRow(spot(20, 20)));

    const QRectF square = f.view.boundsSquare();
    QCOMPARE(square.width(), 22.6);
    const QPolygonF path = f.view.path();
    const QVector<MapSpot> spots = f.view.spots();
    for (int i = 0; i < spots.size(); ++i) {
        const QPointF expected((spots[i].x - square.x()) / square.width(), 1 - (spots[i].y - square.y()) / square.height());
        QVERIFY(qAbs(path[i].x() - expected.x()) < 1e-6 && qAbs(path[i].y() - expected.y()) < 1e-6);
    }
    QVERIFY(f.at(QPointF(10, 10)) != qRgb(0, 0, 0));
}

void TestSpotMapView::scrollToAndVisibility()
{
    Fixture f({spot(1, 1)});
    f.tree.addLayer(kSquareLayer, {spot(2, 2)});
    const QModelIndex first = f.tree.model.index(0, 0), second = f.tree.model.index(1, 0);
    f.view.scrollTo(f.tree.model.index(0, 0, second));
    QCOMPARE(f.view.currentLayer(), 0);
    f.view.scrollTo(QModelIndex());
    QCOMPARE(f.view.currentLayer(), 0);

    QVERIFY(!f.view.isIndexHidden(first));
    QVERIFY(!f.view.isIndexHidden(f.tree.model.index(0, 2, first)));
    QVERIFY(f.view.isIndexHidden(second));
    QVERIFY(f.view.isIndexHidden(f.tree.model.index(0, 0, second)));
    QCOMPARE(f.view.visualRect(first), f.view.viewport()->rect());
    QCOMPARE(f.view.visualRect(f.tree.model.index(0, 0, second)), f.view.viewport()->rect());
    QVERIFY(!f.view.visualRect(second).isValid());

    f.view.reset();
    QCOMPARE(f.view.currentLayer(), -1);
    QVERIFY(f.view.spots().isEmpty());
    f.view.scrollTo(second);
    QCOMPARE(f.view.spots().first().x, 2.f);
}

void TestSpotMapView::diffShowsWhereTheMapsDiffer_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QVector<MapSpot>>("mine");
    QTest::addColumn<QVector<MapSpot>>("theirs");
    QTest::addColumn<QString>("atMine");   // colour at (3, 5): red, blue, grey or black
    QTest::addColumn<QString>("atTheirs"); // colour at (7, 5)

    const MapSpot a = spot(3, 5, 1, 0.7f), b = spot(7, 5, 1, 0.7f);
    QTest::newRow("identical") << int(DisplayDiff) << QVector<MapSpot>{a, b} << QVector<MapSpot>{a, b} << "black"
                               << "black";
    QTest::newRow("only mine") << int(DisplayDiff) << QVector<MapSpot>{a, b} << QVector<MapSpot>{b} << "red"
                               << "black";
    QTest::newRow("only theirs") << int(DisplayDiff) << QVector<MapSpot>{b} << QVector<MapSpot>{a, b} << "blue"
                                 << "black";
    QTest::newRow("overlay") << int(DisplayDiffOverlay) << QVector<MapSpot>{a} << QVector<MapSpot>{b} << "red"
                             << "blue";
    QTest::newRow("overlay identical") << int(DisplayDiffOverlay) << QVector<MapSpot>{a} << QVector<MapSpot>{a}
                                       << "grey" << "black";
    QTest::newRow("data ignores target") << int(DisplayData) << QVector<MapSpot>{a} << QVector<MapSpot>{b}
                                         << "grey" << "black";
}

void TestSpotMapView::diffShowsWhereTheMapsDiffer()
{
    QFETCH(int, mode);
    QFETCH(QVector<MapSpot>, mine);
    QFETCH(QVector<MapSpot>, theirs);
    QFETCH(QString, atMine);
    QFETCH(QString, atTheirs);

    Fixture me(mine), other(theirs);
    me.view.setPathColor(Qt::transparent);
    me.view.setDiffTarget(&other.view);
    me.view.setDisplayMode(DisplayMode(mode));

    const QImage image = shot(me.view);
    auto name = [](QRgb c) {
        if (isReddish(c))
            return QString("red");
        if (isBluish(c))
            return QString("blue");
        return QString(qRed(c) + qGreen(c) + qBlue(c) < 30 ? "black" : "grey");
    };
    QCOMPARE(name(image.pixel(toPixel(me.view, QPointF(3, 5)))), atMine);
    QCOMPARE(name(image.pixel(toPixel(me.view, QPointF(7, 5)))), atTheirs);
    if (atMine != "red" && atTheirs != "red" && atMine != "blue" && atTheirs != "blue") {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QVERIFY(!isReddish(image.pixel(x, y)) && !isBluish(image.pixel(x, y)));
    }
}

void TestSpotMapView::diffFollowsTheTargetsChangesAndSize()
{
    Fixture me({spot(3, 5, 10, 0.7f)}), other({spot(3, 5, 10, 0.7f)});
    me.view.setPathColor(Qt::transparent);
    me.view.setDiffTarget(&other.view);
    me.view.setDisplayMode(DisplayDiff);
    QCOMPARE(me.at(QPointF(3, 5)), qRgb(0, 0, 0));

    other.tree.layer(0)->child(0, MapXPosColumn)->setData(7.0, SpecialDataRole);
    QVERIFY(isReddish(me.at(QPointF(3, 5))));
    QVERIFY(isBluish(me.at(QPointF(7, 5))));

    other.view.resize(100, 100);
    QCOMPARE(me.view.drawingSquare().size(), QSize(100, 100));
    QVERIFY(isReddish(me.at(QPointF(3, 5))));
}

void TestSpotMapView::deletedTargetIsForgotten()
{
    Fixture me({spot(3, 5, 10, 0.7f)});
    auto other = std::make_unique<SpotMapView>();
    me.view.setDiffTarget(other.get());
    me.view.setDisplayMode(DisplayDiff);
    other.reset();
    QCOMPARE(me.view.diffTarget(), nullptr);
    QCOMPARE(me.view.displayMode(), DisplayData);
    QVERIFY(qGray(me.at(QPointF(3, 5))) > 200);

    SpotMapView target;
    me.view.setDiffTarget(&target);
    me.view.setDisplayMode(DisplayDiffOverlay);
    me.view.setDiffTarget(nullptr);
    QCOMPARE(me.view.displayMode(), DisplayData);
}

void TestSpotMapView::zeroSizedViewportPaintsNothing()
{
    Fixture f({spot(5, 5)});
    SpotMapView empty;
    empty.viewport()->resize(0, 0);
    f.view.setDiffTarget(&empty);
    f.view.setDisplayMode(DisplayDiff);
    QVERIFY(f.view.drawingSquare().isEmpty());
    const QImage image = shot(f.view);
    QCOMPARE(image.pixel(100, 100), qRgb(0, 0, 0));
}

QTEST_MAIN(TestSpotMapView)
#include "tst_spotmapview.moc"
