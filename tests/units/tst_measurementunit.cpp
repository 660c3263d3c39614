#include <MeasurementUnit.h>

#include <QtTest/QtTest>
#include <cmath>
#include <limits>
#include <memory>

using namespace Corvid_Qt::Units;
using UnitPtr = std::unique_ptr<MeasurementUnit>;

Q_DECLARE_METATYPE(Corvid_Qt::Units::MeasurementUnitType)

class TestMeasurementUnit : public QObject
{
    Q_OBJECT

private slots:
    void everyUnitMatchesItsRow_data();
    void everyUnitMatchesItsRow();
    void codesWithoutRowGiveNull_data();
    void codesWithoutRowGiveNull();
    void typeFromStringFollowsItsLadder_data();
    void typeFromStringFollowsItsLadder();
    void fromStringBuildsTheMatchingUnit();
    void formattingIsLocaleIndependent();
    void scaleAndUnscaleRoundTrip_data();
    void scaleAndUnscaleRoundTrip();
    void extraScaleMultipliesIn();
    void precisionChangesFormatting();
    void plainConstructorDefaults();
};

static const QChar mu(0x00B5);
static const QChar deg(0x00B0);

void TestMeasurementUnit::everyUnitMatchesItsRow_data()
{
    QTest::addColumn<MeasurementUnitType>("type");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::addColumn<double>("scale");
    QTest::addColumn<char>("format");
    QTest::addColumn<int>("precision");

    auto row = [](MeasurementUnitType t, const QString &n, const QString &d, double s, char f, int p) {
        QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(int(t)).arg(n)))
            << t << n << d << s << f << p;
    };
    const QString m = QString(mu);
    const QString dg = QString(deg);
    row(Units_A, "A", "Current (A)", 1, 'e', 3);
    row(Units_mA, "mA", "Current (mA)", 1000, 'e', 3);
    row(Units_uA, m + "A", "Current (" + m + "A)", 1e6, 'f', 4);
    row(Units_nA, "nA", "Current (nA)", 1e9, 'f', 4);
    row(Units_pA, "pA", "Current (pA)", 1e12, 'f', 4);
    row(Units_C, "C", "Charge (C)", 1, 'e', 3);
    row(Units_mC, "mC", "Charge (mC)", 1000, 'e', 3);
    row(Units_uC, m + "C", "Charge (" + m + "C)", 1e6, 'f', 4);
    row(Units_nC, "nC", "Charge (nC)", 1e9, 'f', 4);
    row(Units_pC, "pC", "Charge (pC)", 1e12, 'f', 4);
    row(Units_fC, "fC", "Charge (fC)", 1e15, 'f', 4);
    row(Units_V, "V", "Voltage (V)", 1, 'f', 3);
    row(Units_mV, "mV", "Voltage (mV)", 1000, 'e', 3);
    row(Units_uV, m + "V", "Voltage (" + m + "V)", 1e6, 'f', 4);
    row(Units_kV, "kV", "Voltage (kV)", 0.001, 'e', 3);
    row(Units_Pulses, "Counts", "Counts", 1, 'e', 3);
    row(Units_Hz, "Hz", "Rate (Hz)", 1, 'e', 3);
    row(Units_KHz, "kHz", "Rate (kHz)", 0.001, 'e', 3);
    row(Units_s, "s", "Time (seconds)", 1, 'e', 3);
    row(Units_ms, "ms", "Time (ms)", 1000, 'e', 3);
    row(Units_us, m + "s", "Time (" + m + "s)", 1e6, 'e', 3);
    row(Units_ns, "ns", "Time (ns)", 1e9, 'e', 3);
    row(Units_minutes, "min", "Time (min)", 1.0 / 60.0, 'e', 3);
    row(Units_m, "m", "Position (m)", 1, 'e', 3);
    row(Units_mm, "mm", "Position (mm)", 1000, 'f', 3);
    row(Units_cm, "cm", "Position (cm)", 100, 'e', 3);
    row(Units_eV, "eV", "Energy (eV)", 1, 'e', 3);
    row(Units_KeV, "KeV", "Energy (KeV)", 0.001, 'e', 3);
    row(Units_MeV, "MeV", "Energy (MeV)", 1e-6, 'e', 3);
    row(Units_Gy, "Gy", "Dose (Gy)", 1, 'e', 3);
    row(Units_cGy, "cGy", "Dose (cGy)", 100, 'e', 3);
    row(Units_Gp, "Gp", "Gp", 1, 'e', 3);
    row(Units_MU, "MU", "Monitor Units", 1, 'e', 3);
    row(Units_Gp_per_s, "Gp/s", "Dose Rate (Gp/s)", 1, 'e', 3);
    row(Units_MU_per_s, "MU/s", "Dose Rate (MU/s)", 1, 'e', 3);
    row(Units_G, "G", "Field (G)", 1, 'e', 3);
    row(Units_kG, "kG", "Field (kG)", 0.001, 'e', 3);
    row(Units_Celcius, dg + "C", "Temperature (" + dg + "C)", 1, 'f', 3);
    row(Units_Fahrenheit, dg + "F", "Temperature (" + dg + "F)", 1, 'f', 3);
    row(Units_Strips, "strips", "Position (strips)", 1, 'e', 3);
}

void TestMeasurementUnit::everyUnitMatchesItsRow()
{
    QFETCH(MeasurementUnitType, type);
    QFETCH(QString, name);
    QFETCH(QString, description);
    QFETCH(double, scale);
    QFETCH(char, format);
    QFETCH(int, precision);

    UnitPtr u(MeasurementUnit::fromType(type));
    QVERIFY(u);
    QCOMPARE(u->type(), type);
    QCOMPARE(u->name(), name);
    QCOMPARE(u->description(), description);
    // Exact: the factor must be the double nearest to the decimal value.
    QCOMPARE(u->scale(1.0), scale);
    QCOMPARE(u->formatUnscaled(1234.5), QString::number(1234.5, format, precision));
    QCOMPARE(u->formatSuffix(1.0), QString::number(scale, format, precision) + ' ' + name);
}

void TestMeasurementUnit::codesWithoutRowGiveNull_data()
{
    QTest::addColumn<int>("code");
    for (int code : {0, 1, 2, 21, 51, 52, 65, 135, 193, -1, 100000})
        QTest::newRow(qPrintable(QString::number(code))) << code;
}

void TestMeasurementUnit::codesWithoutRowGiveNull()
{
    QFETCH(int, code);
    QVERIFY(!MeasurementUnit::fromType(MeasurementUnitType(code)));
}

void TestMeasurementUnit::typeFromStringFollowsItsLadder_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<MeasurementUnitType>("type");

    QTest::newRow("A") << "A" << Units_A;
    QTest::newRow("mA") << "mA" << Units_mA;
    QTest::newRow("MA is nothing") << "MA" << Units_None;
    QTest::newRow("uA") << "uA" << Units_uA;
    QTest::newRow("micro sign is not recognised") << QString(mu) + "A" << Units_None;
    QTest::newRow("C") << "C" << Units_C;
    QTest::newRow("c") << "c" << Units_C;
    QTest::newRow("mC") << "mC" << Units_mC;
    QTest::newRow("MC ends with C") << "MC" << Units_Celcius;
    QTest::newRow("fC") << "fC" << Units_fC;
    QTest::newRow("V") << "V" << Units_V;
    QTest::newRow("v") << "v" << Units_None;
    QTest::newRow("KV") << "KV" << Units_kV;
    QTest::newRow("Pulses") << "Pulses" << Units_Pulses;
    QTest::newRow("Counts") << "Counts" << Units_Pulses;
    QTest::newRow("counts") << "counts" << Units_None;
    QTest::newRow("Hz") << "Hz" << Units_Hz;
    QTest::newRow("HZ") << "HZ" << Units_None;
    QTest::newRow("KHZ") << "KHZ" << Units_KHz;
    QTest::newRow("s") << "s" << Units_s;
    QTest::newRow("S") << "S" << Units_None;
    QTest::newRow("us") << "us" << Units_us;
    QTest::newRow("min") << "min" << Units_minutes;
    QTest::newRow("minutes") << "minutes" << Units_minutes;
    QTest::newRow("mm") << "mm" << Units_mm;
    QTest::newRow("MM") << "MM" << Units_None;
    QTest::newRow("KEV") << "KEV" << Units_KeV;
    QTest::newRow("ev") << "ev" << Units_eV;
    QTest::newRow("mev") << "mev" << Units_MeV;
    QTest::newRow("Gy") << "Gy" << Units_Gy;
    QTest::newRow("cGy") << "cGy" << Units_cGy;
    QTest::newRow("GP") << "GP" << Units_Gp;
    QTest::newRow("MU") << "MU" << Units_MU;
    QTest::newRow("gp/S") << "gp/S" << Units_Gp_per_s;
    QTest::newRow("MU/s") << "MU/s" << Units_MU_per_s;
    QTest::newRow("mu/s") << "mu/s" << Units_None;
    QTest::newRow("G") << "G" << Units_G;
    QTest::newRow("kG") << "kG" << Units_kG;
    QTest::newRow("degC") << "degC" << Units_Celcius;
    QTest::newRow("deg sign C") << QString(deg) + "C" << Units_Celcius;
    QTest::newRow("deg sign F") << QString(deg) + "F" << Units_Fahrenheit;
    QTest::newRow("degc lower") << "degc" << Units_None;
    QTest::newRow("pF ends with F") << "pF" << Units_Fahrenheit;
    QTest::newRow("strips") << "strips" << Units_None;
    QTest::newRow("empty") << "" << Units_None;
    QTest::newRow("padded") << " mA" << Units_None;
}

void TestMeasurementUnit::typeFromStringFollowsItsLadder()
{
    QFETCH(QString, text);
    QFETCH(MeasurementUnitType, type);
    QCOMPARE(MeasurementUnit::typeFromString(text), type);
}

void TestMeasurementUnit::fromStringBuildsTheMatchingUnit()
{
    UnitPtr counts(MeasurementUnit::fromString("Counts"));
    QVERIFY(counts);
    QCOMPARE(counts->type(), Units_Pulses);
    QCOMPARE(counts->name(), QStringLiteral("Counts"));
    QVERIFY(!MeasurementUnit::fromString(QString()));
    QVERIFY(!MeasurementUnit::fromString("strips"));
}

void TestMeasurementUnit::formattingIsLocaleIndependent()
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    UnitPtr ma(MeasurementUnit::fromType(Units_mA));
    UnitPtr ua(MeasurementUnit::fromType(Units_uA));
    QCOMPARE(ma->scale(0.5), 500.0);
    QCOMPARE(ma->format(0.5), QStringLiteral("5.000e+02"));
    QCOMPARE(ma->formatSuffix(0.5), QStringLiteral("5.000e+02 mA"));
    QCOMPARE(ma->formatSuffixUnscaled(0.5), QStringLiteral("5.000e-01 mA"));
    QCOMPARE(ua->formatSuffix(2.5e-6), QStringLiteral("2.5000 ") + mu + 'A');
    QCOMPARE(ma->formatSuffix(12345.0), QStringLiteral("1.235e+07 mA"));
    QLocale::setDefault(saved);
}

void TestMeasurementUnit::scaleAndUnscaleRoundTrip_data()
{
    QTest::addColumn<MeasurementUnitType>("type");
    QTest::addColumn<double>("value");
    QTest::newRow("minutes") << Units_minutes << 90.0;
    QTest::newRow("kV") << Units_kV << 12.5;
    QTest::newRow("pA") << Units_pA << 3.3e-12;
    QTest::newRow("fC") << Units_fC << -7e-15;
    QTest::newRow("MeV") << Units_MeV << 2.2e8;
}

void TestMeasurementUnit::scaleAndUnscaleRoundTrip()
{
    QFETCH(MeasurementUnitType, type);
    QFETCH(double, value);
    UnitPtr u(MeasurementUnit::fromType(type));
    const double back = u->unscale(u->scale(value));
    QVERIFY2(std::abs(back - value) <= 4 * std::numeric_limits<double>::epsilon() * std::abs(value),
             qPrintable(QString::number(back, 'g', 17)));
}

void TestMeasurementUnit::extraScaleMultipliesIn()
{
    UnitPtr ma(MeasurementUnit::fromType(Units_mA));
    ma->setExtraScale(2.0);
    QCOMPARE(ma->scale(1.0), 2000.0);
    QCOMPARE(ma->unscale(2000.0), 1.0);
    QCOMPARE(ma->formatSuffix(1.0), QStringLiteral("2.000e+03 mA"));

    UnitPtr minutes(MeasurementUnit::fromType(Units_minutes));
    QCOMPARE(minutes->scale(90.0), 1.5);
    QVERIFY(qFuzzyCompare(minutes->unscale(1.5), 90.0));
}

void TestMeasurementUnit::precisionChangesFormatting()
{
    UnitPtr v(MeasurementUnit::fromType(Units_V));
    QCOMPARE(v->format(1.23456), QStringLiteral("1.235"));
    v->setPrecision(1);
    QCOMPARE(v->format(1.23456), QStringLiteral("1.2"));
    QCOMPARE(v->format(qQNaN()), QStringLiteral("nan"));
}

void TestMeasurementUnit::plainConstructorDefaults()
{
    MeasurementUnit u(1.0, QStringLiteral("A"), 1.0);
    QCOMPARE(u.type(), Units_None);
    QCOMPARE(u.description(), QStringLiteral("A"));
    QCOMPARE(u.formatSuffix(0.25), QStringLiteral("2.500e-01 A"));
}

QTEST_APPLESS_MAIN(TestMeasurementUnit)
#include "tst_measurementunit.moc"
