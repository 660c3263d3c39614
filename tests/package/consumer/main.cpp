#include <MeasurementUnit.h>
#include <Resources.h>
#include <SpotMapView.h>
#include <VRXPositionPlot.h>
#include <VRXScope.h>
#include <VRXScopePlotView.h>
#include <VRXSingleChannelDataModel.h>
#include <VRXSplitPlot.h>
#include <VRXStatisticsSetupPage.h>
#include <corvid_qt_version.h>

#include <QtCore/QSettings>
#include <QtCore/QTemporaryDir>
#include <QtGui/QStandardItemModel>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMainWindow>
#include <cstdio>
#include <memory>

static_assert(CORVID_QT_VERSION >= CORVID_QT_VERSION_CHECK(1, 14, 0), "installed version header");

using namespace Corvid_Qt;

// The README's host cookbook, compiled from cookbook/.
QMainWindow *makeScopeWindow(const Units::MeasurementUnit *unit, QVector<VRXSingleChannelDataModel *> *channels);
void addReading(VRXSingleChannelDataModel *channel, double seconds, double amperes);
void setUpChamberDisplays(VRXPositionPlot *position, VRXSplitPlot *split);
void feedChamberDisplays(VRXPositionPlot *position, VRXSplitPlot *split, double xMm, double yMm, double xBalance,
                         double yBalance);
QStandardItemModel *makeSpotMap(QObject *parent, double doseScale);
QWidget *makeSpotMapComparison(QAbstractItemModel *planned, QAbstractItemModel *delivered);
void persistStatisticsSettings(VRXStatisticsSetupPage *page, VRXScopePlotView *profileView, const QString &file);

static int failures = 0;
static void check(bool ok, const char *what)
{
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    failures += ok ? 0 : 1;
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    std::unique_ptr<Units::MeasurementUnit> unit(Units::MeasurementUnit::fromType(Units::Units_mA));
    const QString text = unit->formatSuffix(0.5);
    const QString css = resource::colorRgbStyleSheetFromColor(Qt::red);
    check(text == QLatin1String("5.000e+02 mA") && css == QLatin1String("color: rgb( 255,0,0);"), "units and resources");

    {
        QVector<VRXSingleChannelDataModel *> channels;
        std::unique_ptr<QMainWindow> window(makeScopeWindow(unit.get(), &channels));
        for (int i = 0; i < 10; ++i)
            for (VRXSingleChannelDataModel *channel : channels)
                addReading(channel, i * 0.001, 1e-3 * i);
        window->show();
        app.processEvents();
        auto *scope = qobject_cast<VRXScope *>(window->centralWidget());
        check(channels.size() == 4 && scope && scope->plotView()->model()->rowCount() == 11,
              "scope window shows the readings");
    }
    {
        VRXPositionPlot position;
        VRXSplitPlot split;
        setUpChamberDisplays(&position, &split);
        feedChamberDisplays(&position, &split, 1.5, -2.0, 0.1, -0.2);
        position.show();
        split.show();
        app.processEvents();
        check(!position.grab().isNull() && !split.grab().isNull(), "chamber displays fed");
    }
    {
        QObject models;
        std::unique_ptr<QWidget> page(makeSpotMapComparison(makeSpotMap(&models, 1.0), makeSpotMap(&models, 0.8)));
        page->resize(800, 400);
        page->show();
        app.processEvents();
        check(page->findChildren<SpotMapView *>().size() == 2, "two spot maps with their difference");
    }
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("statistics.ini"));
        VRXScopePlotView view;
        {
            VRXStatisticsSetupPage page;
            persistStatisticsSettings(&page, &view, file);
            page.set_peaks(2);
        }
        QSettings stored(file, QSettings::IniFormat);
        check(stored.contains(QStringLiteral("StatisticsSetupPage/peaks")), "statistics settings persisted");
    }
    return failures == 0 ? 0 : 1;
}
