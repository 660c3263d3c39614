#include <MeasurementUnit.h>

#include <QtTest/QtTest>
#include <cmath>
#include <limits>
#include <memory>

using namespace Corvid_Qt::Units;
using UnitPtr = std::unique_ptr<MeasurementUnit>;

Q_DECLARE_METATYPE(Corvid_Qt::Units::MeasurementUnitType)

namespace {

struct Row
{
    MeasurementUnitType type;
    const char *name; // UTF-8
    double scale;     // from the base unit
    const char *description = nullptr; // else "<quantity> (<name>)"
};

} // namespace

class TestMeasurementUnit : public QObject
{
    Q_OBJECT

private slots:
    void everyUnitHasItsSymbolAndExactFactor()
    {
        const QVector<QPair<const char *, QVector<Row>>> quantities = {
            {"Current", {{Units_A, "A", 1}, {Units_mA, "mA", 1e3}, {Units_uA, "µA", 1e6}, {Units_nA, "nA", 1e9},
                         {Units_pA, "pA", 1e12}}},
            {"Charge", {{Units_C, "C", 1}, {Units_mC, "mC", 1e3}, {Units_uC, "µC", 1e6}, {Units_nC, "nC", 1e9},
                        {Units_pC, "pC", 1e12}, {Units_fC, "fC", 1e15}}},
            {"Voltage", {{Units_V, "V", 1}, {Units_mV, "mV", 1e3}, {Units_uV, "µV", 1e6}, {Units_kV, "kV", 1e-3}}},
            {"Rate", {{Units_Hz, "Hz", 1}, {Units_KHz, "kHz", 1e-3}, {Units_Pulses, "Counts", 1, "Counts"}}},
            {"Time", {{Units_s, "s", 1, "Time (seconds)"}, {Units_ms, "ms", 1e3}, {Units_us, "µs", 1e6},
                      {Units_ns, "ns", 1e9}, {Units_minutes, "min", 1.0 / 60.0}}},
            {"Position", {{Units_m, "m", 1}, {Units_mm, "mm", 1e3}, {Units_cm, "cm", 1e2}, {Units_Strips, "strips", 1}}},
            {"Energy", {{Units_eV, "eV", 1}, {Units_KeV, "KeV", 1e-3}, {Units_MeV, "MeV", 1e-6}}},
            {"Dose", {{Units_Gy, "Gy", 1}, {Units_cGy, "cGy", 1e2}, {Units_Gp, "Gp", 1, "Gp"},
                      {Units_MU, "MU", 1, "Monitor Units"}}},
            {"Dose Rate", {{Units_Gp_per_s, "Gp/s", 1}, {Units_MU_per_s, "MU/s", 1}}},
            {"Field", {{Units_G, "G", 1}, {Units_kG, "kG", 1e-3}}},
            {"Temperature", {{Units_Celcius, "°C", 1}, {Units_Fahrenheit, "°F", 1}}},
        };
        for (const auto &quantity : quantities) {
            for (const Row &row : quantity.second) {
                const QString name = QString::fromUtf8(row.name);
                UnitPtr u(MeasurementUnit::fromType(row.type));
                QVERIFY2(u && u->type() == row.type, row.name);
                QCOMPARE(u->name(), name);
                QCOMPARE(u->description(), row.description ? QString::fromUtf8(row.description)
                                                           : QStringLiteral("%1 (%2)").arg(quantity.first, name));
                // Exact: the factor must be the double nearest to the decimal value.
                QCOMPARE(u->scale(1.0), row.scale);
                QCOMPARE(u->formatSuffix(1.0), u->formatUnscaled(row.scale) + ' ' + name);
                const double value = -3.3 / row.scale; // unscale undoes scale
                QVERIFY(std::abs(u->unscale(u->scale(value)) - value) <= 4 * std::numeric_limits<double>::epsilon() * std::abs(value));
            }
        }
        for (int code : {0, 1, 2, 21, 51, 52, 65, 135, 193, -1, 100000})
            QVERIFY2(!MeasurementUnit::fromType(MeasurementUnitType(code)), qPrintable(QString::number(code)));
    }

    void typeFromStringFollowsItsLadder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<MeasurementUnitType>("type");
        // Case rules, the ladder's order and the temperature suffixes last.
        const QList<QPair<QString, MeasurementUnitType>> rows{
            {"mA", Units_mA}, {"MA", Units_None}, {QString::fromUtf8("µA"), Units_None}, {"c", Units_C},
            {"C", Units_C}, {"MC", Units_Celcius}, {"fC", Units_fC}, {"v", Units_None}, {"KV", Units_kV},
            {"Counts", Units_Pulses}, {"counts", Units_None}, {"HZ", Units_None}, {"KHZ", Units_KHz},
            {"S", Units_None}, {"minutes", Units_minutes}, {"MM", Units_None}, {"KEV", Units_KeV},
            {"mev", Units_MeV}, {"cGy", Units_cGy}, {"GP", Units_Gp}, {"gp/S", Units_Gp_per_s}, {"mu/s", Units_None},
            {"kG", Units_kG}, {"degC", Units_Celcius}, {QString::fromUtf8("°F"), Units_Fahrenheit},
            {"degc", Units_None}, {"pF", Units_Fahrenheit}, {"strips", Units_None}, {"", Units_None},
            {" mA", Units_None}};
        for (const auto &row : rows)
            QTest::newRow(qPrintable(row.first.isEmpty() ? QStringLiteral("empty") : row.first)) << row.first << row.second;
    }

    void typeFromStringFollowsItsLadder()
    {
        QFETCH(QString, text);
        QFETCH(MeasurementUnitType, type);
        QCOMPARE(MeasurementUnit::typeFromString(text), type);
        UnitPtr u(MeasurementUnit::fromString(text));
        QCOMPARE(u ? u->type() : Units_None, type);
    }

    // Formats are the same in every locale; precision, extra scale and a
    // plain unit's own text are kept.
    void formattingIsLocaleIndependent()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        UnitPtr ma(MeasurementUnit::fromType(Units_mA));
        UnitPtr ua(MeasurementUnit::fromType(Units_uA));
        UnitPtr v(MeasurementUnit::fromType(Units_V));
        MeasurementUnit plain(1.0, QStringLiteral("A"), 1.0);
        QCOMPARE(ma->format(0.5), QStringLiteral("5.000e+02"));
        QCOMPARE(ma->formatSuffixUnscaled(0.5), QStringLiteral("5.000e-01 mA"));
        QCOMPARE(ua->formatSuffix(2.5e-6), QString::fromUtf8("2.5000 µA"));
        QCOMPARE(ma->formatSuffix(12345.0), QStringLiteral("1.235e+07 mA"));
        v->setPrecision(1);
        QCOMPARE(v->format(1.23456), QStringLiteral("1.2"));
        QCOMPARE(v->format(qQNaN()), QStringLiteral("nan"));
        QCOMPARE(plain.type(), Units_None);
        QCOMPARE(plain.description(), QStringLiteral("A"));
        QCOMPARE(plain.formatSuffix(0.25), QStringLiteral("2.500e-01 A"));
        ma->setExtraScale(2.0);
        QCOMPARE(ma->scale(1.0), 2000.0);
        QCOMPARE(ma->unscale(2000.0), 1.0);
        QCOMPARE(ma->formatSuffix(1.0), QStringLiteral("2.000e+03 mA"));
        QLocale::setDefault(saved);
    }
};

QTEST_APPLESS_MAIN(TestMeasurementUnit)
#include "tst_measurementunit.moc"
