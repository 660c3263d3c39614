#include <MeasurementUnit.h>
#include <Resources.h>
#include <corvid_qt_version.h>

#include <QtCore/QCoreApplication>
#include <cstdio>
#include <memory>

static_assert(CORVID_QT_VERSION >= CORVID_QT_VERSION_CHECK(1, 14, 0), "installed version header");

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::unique_ptr<Corvid_Qt::Units::MeasurementUnit> unit(
        Corvid_Qt::Units::MeasurementUnit::fromType(Corvid_Qt::Units::Units_mA));
    const QString text = unit->formatSuffix(0.5);
    const QString css = Corvid_Qt::resource::colorRgbStyleSheetFromColor(Qt::red);
    std::printf("%s | %s\n", qPrintable(text), qPrintable(css));
    return (text == QLatin1String("5.000e+02 mA") && css == QLatin1String("color: rgb( 255,0,0);")) ? 0 : 1;
}
