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
    void codesWithoutRowGiveNull();
    void typeFromStringFollowsItsLadder_data();
    void typeFromStringFollowsItsLadder();
    void formattingIsLocaleIndependent();
    void scaleAndUnscaleRoundTrip();
    void extraScaleMultipliesIn();
    void precisionAndPlainUnits();
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

void TestMeasurementUnit::codesWithoutRowGiveNull()
{
    for (int code : {0, 1, 2, 21, 51, 52, 65, 135, 193, -1, 100000})
        QVERIFY2(!MeasurementUnit::fromType(MeasurementUnitType(code)), qPrintable(QString::number(code)));
}

void TestMeasurementUnit::typeFromStringFollowsItsLadder_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<MeasurementUnitType>("type");

    // Case rules, the ladder's order and the temperature suffixes last.
    const QList<QPair<QString, MeasurementUnitType>> rows{
        {"mA", Units_mA}, {"MA", Units_None}, {QString(mu) + "A", Units_None}, {"c", Units_C}, {"C", Units_C},
        {"MC", Units_Celcius},
        {"fC", Units_fC}, {"v", Units_None}, {"KV", Units_kV}, {"Counts", Units_Pulses}, {"counts", Units_None},
        {"HZ", Units_None}, {"KHZ", Units_KHz}, {"S", Units_None}, {"minutes", Units_minutes}, {"MM", Units_None},
        {"KEV", Units_KeV}, {"mev", Units_MeV}, {"cGy", Units_cGy}, {"GP", Units_Gp}, {"gp/S", Units_Gp_per_s},
        {"mu/s", Units_None}, {"kG", Units_kG}, {"degC", Units_Celcius}, {QString(deg) + "F", Units_Fahrenheit},
        {"degc", Units_None}, {"pF", Units_Fahrenheit}, {"strips", Units_None}, {"", Units_None}, {" mA", Units_None}};
    for (const auto &row : rows)
        QTest::newRow(qPrintable(row.first.isEmpty() ? QStringLiteral("empty") : row.first)) << row.first << row.second;
}

void TestMeasurementUnit::typeFromStringFollowsItsLadder()
{
    QFETCH(QString, text);
    QFETCH(MeasurementUnitType, type);
    QCOMPARE(MeasurementUnit::typeFromString(text), type);
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

void TestMeasurementUnit::scaleAndUnscaleRoundTrip()
{
    const QPair<MeasurementUnitType, double> cases[] = {
        {Units_minutes, 90.0}, {Units_kV, 12.5}, {Units_pA, 3.3e-12}, {Units_fC, -7e-15}, {Units_MeV, 2.2e8}};
    for (const auto &c : cases) {
        UnitPtr u(MeasurementUnit::fromType(c.first));
        const double back = u->unscale(u->scale(c.second));
        QVERIFY2(std::abs(back - c.second) <= 4 * std::numeric_limits<double>::epsilon() * std::abs(c.second),
                 qPrintable(QString::number(back, 'g', 17)));
    }
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

void TestMeasurementUnit::precisionAndPlainUnits()
{
    UnitPtr v(MeasurementUnit::fromType(Units_V));
    v->setPrecision(1);
    QCOMPARE(v->format(1.23456), QStringLiteral("1.2"));
    QCOMPARE(v->format(qQNaN()), QStringLiteral("nan"));
    MeasurementUnit plain(1.0, QStringLiteral("A"), 1.0);
    QCOMPARE(plain.type(), Units_None);
    QCOMPARE(plain.description(), QStringLiteral("A"));
    QCOMPARE(plain.formatSuffix(0.25), QStringLiteral("2.500e-01 A"));
    UnitPtr counts(MeasurementUnit::fromString("Counts"));
    QVERIFY(counts && counts->type() == Units_Pulses && !MeasurementUnit::fromString("strips"));
}

QTEST_APPLESS_MAIN(TestMeasurementUnit)
#include "tst_measurementunit.moc"
