#include "MeasurementUnit.h"

#include <QtCore/QChar>
#include <QtCore/QCoreApplication>

namespace Corvid_Qt {
namespace Units {

namespace {

const QChar kMicro(0x00B5);
const QChar kDegree(0x00B0);

QString micro(const char *pattern)
{
    return QString::fromLatin1(pattern).arg(kMicro);
}

QString micro(const QString &pattern)
{
    return pattern.arg(kMicro);
}

QString degree(const QString &pattern)
{
    return pattern.arg(kDegree);
}

QString degree(const char *pattern)
{
    return degree(QString::fromLatin1(pattern));
}

} // namespace

MeasurementUnit::MeasurementUnit(double scale, const QString &name, MeasurementUnitType type,
                                 double extraScale, char format, int precision)
    : m_scale(scale)
    , m_name(name)
    , m_extraScale(extraScale)
    , m_precision(precision)
    , m_type(type)
    , m_format(format)
{
}

MeasurementUnit::MeasurementUnit(double scale, const QString &name, double extraScale)
    : MeasurementUnit(scale, name, Units_None, extraScale, 'e', 3)
{
}

MeasurementUnit::~MeasurementUnit() = default;

QString MeasurementUnit::name() const
{
    return m_name;
}

QString MeasurementUnit::description() const
{
    return m_name;
}

double MeasurementUnit::scale(double v) const
{
    return (m_extraScale * m_scale) * v;
}

double MeasurementUnit::unscale(double v) const
{
    return (v / m_extraScale) / m_scale;
}

QString MeasurementUnit::format(double v) const
{
    return formatUnscaled(scale(v));
}

QString MeasurementUnit::formatUnscaled(double v) const
{
    return QString::number(v, m_format, m_precision);
}

static const QString &suffixPattern()
{
    static const QString pattern = QStringLiteral("%1 %2");
    return pattern;
}

QString MeasurementUnit::formatSuffix(double v) const
{
    return suffixPattern().arg(format(v), m_name);
}

QString MeasurementUnit::formatSuffixUnscaled(double v) const
{
    return suffixPattern().arg(formatUnscaled(v), m_name);
}

void MeasurementUnit::setExtraScale(double extraScale)
{
    m_extraScale = extraScale;
}

void MeasurementUnit::setPrecision(int precision)
{
    m_precision = precision;
}

// Descriptions are axis titles and follow the application's language; the
// names are symbols and stay as they are.
#define UNIT_TEXT(text) QCoreApplication::translate("MeasurementUnit", text)
#define CORVID_QT_DEFINE_UNIT(Class, Type, Name, Description, Scale, Format, Precision) \
    Class::Class()                                                                       \
        : MeasurementUnit(Scale, Name, Type, 1.0, Format, Precision)                     \
    {                                                                                    \
    }                                                                                    \
    QString Class::description() const { return Description; }

CORVID_QT_DEFINE_UNIT(A, Units_A, QStringLiteral("A"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Current (A)")), 1.0, 'e', 3)
CORVID_QT_DEFINE_UNIT(mA, Units_mA, QStringLiteral("mA"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Current (mA)")), 1000.0, 'e', 3)
CORVID_QT_DEFINE_UNIT(uA, Units_uA, micro("%1A"), micro(UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Current (%1A)"))), 1e6, 'f', 4)
CORVID_QT_DEFINE_UNIT(nA, Units_nA, QStringLiteral("nA"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Current (nA)")), 1e9, 'f', 4)
CORVID_QT_DEFINE_UNIT(pA, Units_pA, QStringLiteral("pA"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Current (pA)")), 1e12, 'f', 4)
CORVID_QT_DEFINE_UNIT(C, Units_C, QStringLiteral("C"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Charge (C)")), 1.0, 'e', 3)
CORVID_QT_DEFINE_UNIT(mC, Units_mC, QStringLiteral("mC"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Charge (mC)")), 1000.0, 'e', 3)
CORVID_QT_DEFINE_UNIT(uC, Units_uC, micro("%1C"), micro(UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Charge (%1C)"))), 1e6, 'f', 4)
CORVID_QT_DEFINE_UNIT(nC, Units_nC, QStringLiteral("nC"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Charge (nC)")), 1e9, 'f', 4)
CORVID_QT_DEFINE_UNIT(pC, Units_pC, QStringLiteral("pC"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Charge (pC)")), 1e12, 'f', 4)
CORVID_QT_DEFINE_UNIT(fC, Units_fC, QStringLiteral("fC"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Charge (fC)")), 1e15, 'f', 4)
CORVID_QT_DEFINE_UNIT(V, Units_V, QStringLiteral("V"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Voltage (V)")), 1.0, 'f', 3)
CORVID_QT_DEFINE_UNIT(mV, Units_mV, QStringLiteral("mV"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Voltage (mV)")), 1000.0, 'e', 3)
CORVID_QT_DEFINE_UNIT(uV, Units_uV, micro("%1V"), micro(UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Voltage (%1V)"))), 1e6, 'f', 4)
CORVID_QT_DEFINE_UNIT(kV, Units_kV, QStringLiteral("kV"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Voltage (kV)")), 0.001, 'e', 3)
CORVID_QT_DEFINE_UNIT(Hz, Units_Hz, QStringLiteral("Hz"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Rate (Hz)")), 1.0, 'e', 3)
CORVID_QT_DEFINE_UNIT(KHz, Units_KHz, QStringLiteral("kHz"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Rate (kHz)")), 0.001, 'e', 3)
CORVID_QT_DEFINE_UNIT(S, Units_s, QStringLiteral("s"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Time (seconds)")), 1.0, 'e', 3)
CORVID_QT_DEFINE_UNIT(ms, Units_ms, QStringLiteral("ms"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Time (ms)")), 1000.0, 'e', 3)
CORVID_QT_DEFINE_UNIT(us, Units_us, micro("%1s"), micro(UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Time (%1s)"))), 1e6, 'e', 3)
CORVID_QT_DEFINE_UNIT(ns, Units_ns, QStringLiteral("ns"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Time (ns)")), 1e9, 'e', 3)
CORVID_QT_DEFINE_UNIT(minutes, Units_minutes, QStringLiteral("min"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Time (min)")), 1.0 / 60.0, 'e', 3)
CORVID_QT_DEFINE_UNIT(m, Units_m, QStringLiteral("m"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Position (m)")), 1.0, 'e', 3)
CORVID_QT_DEFINE_UNIT(mm, Units_mm, QStringLiteral("mm"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Position (mm)")), 1000.0, 'f', 3)
CORVID_QT_DEFINE_UNIT(cm, Units_cm, QStringLiteral("cm"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Position (cm)")), 100.0, 'e', 3)
CORVID_QT_DEFINE_UNIT(eV, Units_eV, QStringLiteral("eV"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Energy (eV)")), 1.0, 'e', 3)
CORVID_QT_DEFINE_UNIT(KeV, Units_KeV, QStringLiteral("KeV"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Energy (KeV)")), 0.001, 'e', 3)
CORVID_QT_DEFINE_UNIT(MeV, Units_MeV, QStringLiteral("MeV"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Energy (MeV)")), 1e-6, 'e', 3)
CORVID_QT_DEFINE_UNIT(Gy, Units_Gy, QStringLiteral("Gy"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Dose (Gy)")), 1.0, 'e', 3)
CORVID_QT_DEFINE_UNIT(cGy, Units_cGy, QStringLiteral("cGy"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Dose (cGy)")), 100.0, 'e', 3)
CORVID_QT_DEFINE_UNIT(MU, Units_MU, QStringLiteral("MU"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Monitor Units")), 1.0, 'e', 3)
CORVID_QT_DEFINE_UNIT(Gp_per_s, Units_Gp_per_s, QStringLiteral("Gp/s"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Dose Rate (Gp/s)")), 1.0, 'e', 3)
CORVID_QT_DEFINE_UNIT(MU_per_s, Units_MU_per_s, QStringLiteral("MU/s"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Dose Rate (MU/s)")), 1.0, 'e', 3)
CORVID_QT_DEFINE_UNIT(G, Units_G, QStringLiteral("G"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Field (G)")), 1.0, 'e', 3)
CORVID_QT_DEFINE_UNIT(kG, Units_kG, QStringLiteral("kG"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Field (kG)")), 0.001, 'e', 3)
CORVID_QT_DEFINE_UNIT(Celcius, Units_Celcius, degree("%1C"), degree(UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Temperature (%1C)"))), 1.0, 'f', 3)
CORVID_QT_DEFINE_UNIT(Fahrenheit, Units_Fahrenheit, degree("%1F"), degree(UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Temperature (%1F)"))), 1.0, 'f', 3)
CORVID_QT_DEFINE_UNIT(Strips, Units_Strips, QStringLiteral("strips"), UNIT_TEXT(QT_TRANSLATE_NOOP("MeasurementUnit", "Position (strips)")), 1.0, 'e', 3)

#undef CORVID_QT_DEFINE_UNIT
#undef UNIT_TEXT

Pulses::Pulses()
    : MeasurementUnit(1.0, QStringLiteral("Counts"), Units_Pulses, 1.0, 'e', 3)
{
}

Gp::Gp()
    : MeasurementUnit(1.0, QStringLiteral("Gp"), Units_Gp, 1.0, 'e', 3)
{
}

MeasurementUnit *MeasurementUnit::fromType(MeasurementUnitType type)
{
    switch (type) {
    case Units_A: return new A;
    case Units_mA: return new mA;
    case Units_uA: return new uA;
    case Units_nA: return new nA;
    case Units_pA: return new pA;
    case Units_C: return new C;
    case Units_mC: return new mC;
    case Units_uC: return new uC;
    case Units_nC: return new nC;
    case Units_pC: return new pC;
    case Units_fC: return new fC;
    case Units_V: return new V;
    case Units_mV: return new mV;
    case Units_uV: return new uV;
    case Units_kV: return new kV;
    case Units_Pulses: return new Pulses;
    case Units_Hz: return new Hz;
    case Units_KHz: return new KHz;
    case Units_s: return new S;
    case Units_ms: return new ms;
    case Units_us: return new us;
    case Units_ns: return new ns;
    case Units_minutes: return new minutes;
    case Units_m: return new m;
    case Units_mm: return new mm;
    case Units_cm: return new cm;
    case Units_eV: return new eV;
    case Units_KeV: return new KeV;
    case Units_MeV: return new MeV;
    case Units_Gy: return new Gy;
    case Units_cGy: return new cGy;
    case Units_Gp: return new Gp;
    case Units_MU: return new MU;
    case Units_Gp_per_s: return new Gp_per_s;
    case Units_MU_per_s: return new MU_per_s;
    case Units_G: return new G;
    case Units_kG: return new kG;
    case Units_Celcius: return new Celcius;
    case Units_Fahrenheit: return new Fahrenheit;
    case Units_Strips: return new Strips;
    case Units_None:
    case Units_Dimensionless:
        break;
    }
    return nullptr;
}

MeasurementUnit *MeasurementUnit::fromString(const QString &name)
{
    return fromType(typeFromString(name));
}

MeasurementUnitType MeasurementUnit::typeFromString(const QString &name)
{
    struct Rule {
        const char *text;
        Qt::CaseSensitivity cs;
        MeasurementUnitType type;
    };
    // The order decides: "c" in any case is charge before any temperature test,
    // and the suffix tests for temperatures come last.
    static const Rule rules[] = {
        {"A", Qt::CaseSensitive, Units_A},
        {"mA", Qt::CaseSensitive, Units_mA},
        {"uA", Qt::CaseSensitive, Units_uA},
        {"nA", Qt::CaseSensitive, Units_nA},
        {"pA", Qt::CaseSensitive, Units_pA},
        {"c", Qt::CaseInsensitive, Units_C},
        {"mC", Qt::CaseSensitive, Units_mC},
        {"uC", Qt::CaseSensitive, Units_uC},
        {"nC", Qt::CaseSensitive, Units_nC},
        {"pC", Qt::CaseSensitive, Units_pC},
        {"fC", Qt::CaseSensitive, Units_fC},
        {"V", Qt::CaseSensitive, Units_V},
        {"mV", Qt::CaseSensitive, Units_mV},
        {"uV", Qt::CaseSensitive, Units_uV},
        {"kV", Qt::CaseInsensitive, Units_kV},
        {"Pulses", Qt::CaseSensitive, Units_Pulses},
        {"Counts", Qt::CaseSensitive, Units_Pulses},
        {"Hz", Qt::CaseSensitive, Units_Hz},
        {"kHz", Qt::CaseInsensitive, Units_KHz},
        {"s", Qt::CaseSensitive, Units_s},
        {"ms", Qt::CaseSensitive, Units_ms},
        {"us", Qt::CaseSensitive, Units_us},
        {"ns", Qt::CaseSensitive, Units_ns},
        {"min", Qt::CaseSensitive, Units_minutes},
        {"minutes", Qt::CaseSensitive, Units_minutes},
        {"m", Qt::CaseSensitive, Units_m},
        {"mm", Qt::CaseSensitive, Units_mm},
        {"cm", Qt::CaseSensitive, Units_cm},
        {"eV", Qt::CaseInsensitive, Units_eV},
        {"KeV", Qt::CaseInsensitive, Units_KeV},
        {"MeV", Qt::CaseInsensitive, Units_MeV},
        {"Gy", Qt::CaseSensitive, Units_Gy},
        {"cGy", Qt::CaseSensitive, Units_cGy},
        {"Gp", Qt::CaseInsensitive, Units_Gp},
        {"MU", Qt::CaseSensitive, Units_MU},
        {"Gp/s", Qt::CaseInsensitive, Units_Gp_per_s},
        {"MU/s", Qt::CaseSensitive, Units_MU_per_s},
        {"G", Qt::CaseSensitive, Units_G},
        {"kG", Qt::CaseSensitive, Units_kG},
    };
    for (const Rule &rule : rules) {
        if (name.compare(QLatin1String(rule.text), rule.cs) == 0)
            return rule.type;
    }
    if (name.endsWith(QLatin1Char('C'), Qt::CaseSensitive))
        return Units_Celcius;
    if (name.endsWith(QLatin1Char('F'), Qt::CaseSensitive))
        return Units_Fahrenheit;
    return Units_None;
}

} // namespace Units
} // namespace Corvid_Qt
