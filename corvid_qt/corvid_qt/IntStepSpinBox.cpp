#include "IntStepSpinBox.h"

#include "IntStepValidator.h"

namespace Corvid_Qt {

IntStepSpinBox::IntStepSpinBox(QWidget *parent)
    : QSpinBox(parent)
    , m_validator(new IntStepValidator(minimum(), maximum(), singleStep(), this))
{
}

QValidator::State IntStepSpinBox::validate(QString &input, int &pos) const
{
    m_validator->setRange(minimum(), maximum());
    m_validator->setSingleStep(singleStep());
    // The box writes its text in its own locale, which a host may set apart
    // from the default one; read with another, "2.000" is no integer.
    m_validator->setLocale(locale());

    const QValidator::State state = QSpinBox::validate(input, pos);
    if (state != QValidator::Acceptable)
        return state;

    QString copy = input;
    if (!prefix().isEmpty() && copy.startsWith(prefix()))
        copy.remove(0, prefix().size());
    if (!suffix().isEmpty() && copy.endsWith(suffix()))
        copy.chop(suffix().size());
    int leading = 0;
    while (leading < copy.size() && copy.at(leading).isSpace())
        ++leading;
    copy = copy.trimmed();
    int copyPos = qBound(0, pos - leading, copy.size());
    return m_validator->validate(copy, copyPos);
}

} // namespace Corvid_Qt
