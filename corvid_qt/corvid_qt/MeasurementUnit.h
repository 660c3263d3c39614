#ifndef CORVID_QT_MEASUREMENTUNIT_H
#define CORVID_QT_MEASUREMENTUNIT_H

#include "corvid_qt_export.h"

#include <QtCore/QString>

namespace Corvid_Qt {
namespace Units {

/// Type codes of the measurement units, in blocks of sixteen per quantity
/// with the base unit first in its block.
enum MeasurementUnitType : qint32 {
    Units_None = 0,
    Units_Dimensionless = 1,

    Units_A = 16,
    Units_mA = 17,
    Units_uA = 18,
    Units_nA = 19,
    Units_pA = 20,

    Units_C = 32,
    Units_mC = 33,
    Units_uC = 34,
    Units_nC = 35,
    Units_pC = 36,
    Units_fC = 37,

    Units_V = 48,
    Units_mV = 49,
    Units_uV = 50,
    Units_kV = 53,

    Units_Pulses = 64,

    Units_Hz = 80,
    Units_KHz = 81,

    Units_s = 96,
    Units_ms = 97,
    Units_us = 98,
    Units_ns = 99,
    Units_minutes = 100,

    Units_m = 112,
    Units_mm = 113,
    Units_cm = 114,

    Units_eV = 128,
    Units_KeV = 133,
    Units_MeV = 134,

    Units_Gy = 144,
    Units_cGy = 145,
    Units_Gp = 146,
    Units_MU = 147,
    Units_Gp_per_s = 148,
    Units_MU_per_s = 149,

    Units_G = 160,
    Units_kG = 161,

    Units_Celcius = 176,
    Units_Fahrenheit = 177,

    Units_Strips = 192
};

/**
 * A physical unit: converts values held in the base unit of a quantity
 * (ampere, coulomb, second, ...) into the unit shown, and prints them.
 *
 * scale() multiplies by the unit's factor and its extra scale; unscale()
 * inverts it. Number formatting is locale independent (QString::number).
 * Objects returned by fromType() and fromString() belong to the caller.
 */
class CORVID_QT_EXPORT MeasurementUnit
{
public:
    MeasurementUnit(double scale, const QString &name, MeasurementUnitType type,
                    double extraScale, char format, int precision);
    MeasurementUnit(double scale, const QString &name, double extraScale);
    virtual ~MeasurementUnit();

    virtual QString name() const;
    virtual QString description() const;
    virtual double scale(double v) const;
    virtual double unscale(double v) const;
    virtual QString format(double v) const;
    virtual QString formatUnscaled(double v) const;
    virtual QString formatSuffix(double v) const;
    virtual QString formatSuffixUnscaled(double v) const;

    MeasurementUnitType type() const { return m_type; }
    void setExtraScale(double extraScale);
    void setPrecision(int precision);

    /// A new unit of the given type, or null for a type without a unit.
    static MeasurementUnit *fromType(MeasurementUnitType type);
    /// fromType(typeFromString(name)).
    static MeasurementUnit *fromString(const QString &name);
    static MeasurementUnitType typeFromString(const QString &name);

private:
    Q_DISABLE_COPY(MeasurementUnit)

    const double m_scale;
    const QString m_name;
    double m_extraScale;
    int m_precision;
    const MeasurementUnitType m_type;
    const char m_format;
};

#define CORVID_QT_DECLARE_UNIT(Class)                                            \
    class CORVID_QT_EXPORT Class : public MeasurementUnit                        \
    {                                                                            \
    public:                                                                      \
        Class();                                                                 \
        QString description() const override;                                    \
    };

CORVID_QT_DECLARE_UNIT(A)
CORVID_QT_DECLARE_UNIT(mA)
CORVID_QT_DECLARE_UNIT(uA)
CORVID_QT_DECLARE_UNIT(nA)
CORVID_QT_DECLARE_UNIT(pA)
CORVID_QT_DECLARE_UNIT(C)
CORVID_QT_DECLARE_UNIT(mC)
CORVID_QT_DECLARE_UNIT(uC)
CORVID_QT_DECLARE_UNIT(nC)
CORVID_QT_DECLARE_UNIT(pC)
CORVID_QT_DECLARE_UNIT(fC)
CORVID_QT_DECLARE_UNIT(V)
CORVID_QT_DECLARE_UNIT(mV)
CORVID_QT_DECLARE_UNIT(uV)
CORVID_QT_DECLARE_UNIT(kV)
CORVID_QT_DECLARE_UNIT(Hz)
CORVID_QT_DECLARE_UNIT(KHz)
CORVID_QT_DECLARE_UNIT(S)
CORVID_QT_DECLARE_UNIT(ms)
CORVID_QT_DECLARE_UNIT(us)
CORVID_QT_DECLARE_UNIT(ns)
CORVID_QT_DECLARE_UNIT(minutes)
CORVID_QT_DECLARE_UNIT(m)
CORVID_QT_DECLARE_UNIT(mm)
CORVID_QT_DECLARE_UNIT(cm)
CORVID_QT_DECLARE_UNIT(eV)
CORVID_QT_DECLARE_UNIT(KeV)
CORVID_QT_DECLARE_UNIT(MeV)
CORVID_QT_DECLARE_UNIT(Gy)
CORVID_QT_DECLARE_UNIT(cGy)
CORVID_QT_DECLARE_UNIT(MU)
CORVID_QT_DECLARE_UNIT(Gp_per_s)
CORVID_QT_DECLARE_UNIT(MU_per_s)
CORVID_QT_DECLARE_UNIT(G)
CORVID_QT_DECLARE_UNIT(kG)
CORVID_QT_DECLARE_UNIT(Celcius)
CORVID_QT_DECLARE_UNIT(Fahrenheit)
CORVID_QT_DECLARE_UNIT(Strips)

#undef CORVID_QT_DECLARE_UNIT

/// Counts; its description is its name.
class CORVID_QT_EXPORT Pulses : public MeasurementUnit
{
public:
    Pulses();
};

/// Its description is its name.
class CORVID_QT_EXPORT Gp : public MeasurementUnit
{
public:
    Gp();
};

} // namespace Units
} // namespace Corvid_Qt

#endif
