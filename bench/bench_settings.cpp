// Settings files and the scientific-notation spin box.
// (a) Reading 1000 nested keys from an XML settings file, against the same
//     keys read from an INI file in the same run (the floor); every read
//     opens a fresh copy, so QSettings' file cache cannot answer it.
// (b) validate() of the spin box on typical typed texts, and the slowest
//     text found among long digit runs and narrow or distant ranges; the
//     floor is QDoubleSpinBox::validate on the typical texts.
#include "BenchHarness.h"

#include <QScienceSpinBox.h>
#include <VRXApplicationSettings.h>

#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>
#include <algorithm>
#include <cfloat>

using namespace Corvid_Qt;

namespace {

const int kKeys = 1000;
const int kCopies = 15;

QStringList writeCopies(const QString &dir, const QString &suffix, bool xml)
{
    const QString first = dir + "/seed." + suffix;
    {
        VRXApplicationSettings seed(nullptr, first, false, xml);
        QSettings &s = *seed.getSettings();
        for (int i = 0; i < kKeys; ++i)
            s.setValue(QString("group%1/section%2/key%3").arg(i % 10).arg(i % 37).arg(i), i * 0.5);
    }
    QStringList copies;
    for (int c = 0; c < kCopies; ++c) {
        const QString name = QString("%1/copy%2.%3").arg(dir).arg(c).arg(suffix);
        QFile::copy(first, name);
        copies << name;
    }
    return copies;
}

// Median seconds of one read of a fresh copy.
double readSeconds(const QStringList &copies, bool xml)
{
    QVector<double> times;
    for (const QString &file : copies) {
        const auto t0 = corvid_bench::Clock::now();
        VRXApplicationSettings settings(nullptr, file, false, xml);
        const int n = settings.getSettings()->allKeys().size();
        const auto t1 = corvid_bench::Clock::now();
        if (n != kKeys)
            qFatal("read %d keys of %d", n, kKeys);
        times << std::chrono::duration<double>(t1 - t0).count();
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Microseconds per validate() over `texts` in turn, so no call repeats the
// previous text and the remembered verdict never answers.
template <typename Box>
double validateMicros(Box &box, const QStringList &texts)
{
    const int rounds = 200;
    const double s = corvid_bench::bestSeconds([&] {
        for (int r = 0; r < rounds; ++r) {
            for (const QString &t : texts) {
                QString copy = t;
                int pos = copy.size();
                corvid_bench::keep(box.validate(copy, pos));
            }
        }
    });
    return s * 1e6 / (rounds * texts.size());
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;

    const QStringList ini = writeCopies(dir.path(), "ini", false);
    const QStringList xml = writeCopies(dir.path(), "xui", true);
    const double iniSeconds = readSeconds(ini, false);
    const double xmlSeconds = readSeconds(xml, true);
    corvid_bench::report(QString("settings_xml keys=%1 ratio_to_ini=%2 xml_ms=%3 ini_ms=%4")
                             .arg(kKeys)
                             .arg(xmlSeconds / iniSeconds, 0, 'f', 2)
                             .arg(xmlSeconds * 1e3, 0, 'f', 2)
                             .arg(iniSeconds * 1e3, 0, 'f', 2)
                             .toStdString());

    const QStringList typical = {"1.5e-3", "12345", "-0.25", "1e", "2.5e+", "-", "7", "0.000125", "3.14159", "1e-15"};
    QScienceSpinBox science(nullptr, false, false);
    science.setLocale(QLocale::c());
    QDoubleSpinBox plain;
    plain.setLocale(QLocale::c());
    plain.setRange(-DBL_MAX, DBL_MAX);
    plain.setDecimals(6);
    const double typicalUs = validateMicros(science, typical);
    const double floorUs = validateMicros(plain, typical);

    struct Case { double min, max; QString text; };
    const QString longRun = QString(300, QLatin1Char('7'));
    const QVector<Case> cases = {
        {1e-15, 1e-5, "1" + longRun},
        {1e-15, 1e-5, "0.000" + longRun},
        {100000000, 200000000, "1234"},
        {100000000, 900000000000000000.0, "9876543210"},
        {-900000000000000000.0, -100000000, "-9876543210"},
        {-DBL_MAX, DBL_MAX, longRun + "." + longRun},
        {5, 9, "1" + longRun.left(15)},
        {123456789012345678.0, 923456789012345678.0, "98765"},
        {0.5, 0.75, "0.1" + longRun},
    };
    double worstUs = 0;
    QString worstText;
    for (const Case &c : cases) {
        QScienceSpinBox box(nullptr, false, false);
        box.setLocale(QLocale::c());
        box.setRange(c.min, c.max);
        const double us = validateMicros(box, {c.text, c.text + "0"});
        if (us > worstUs) {
            worstUs = us;
            worstText = QString("%1 in [%2, %3]").arg(c.text.left(12)).arg(c.min).arg(c.max);
        }
    }
    corvid_bench::report(QString("spinbox_validate us_typical=%1 us_worst=%2 floor_us=%3 ratio_to_floor=%4")
                             .arg(typicalUs, 0, 'f', 2)
                             .arg(worstUs, 0, 'f', 2)
                             .arg(floorUs, 0, 'f', 2)
                             .arg(typicalUs / floorUs, 0, 'f', 2)
                             .toStdString());
    std::printf("slowest text: %s\n", qPrintable(worstText));
    return 0;
}
