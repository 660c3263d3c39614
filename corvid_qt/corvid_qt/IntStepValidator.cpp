#include "IntStepValidator.h"

namespace Corvid_Qt {

IntStepValidator::IntStepValidator(int bottom, int top, int step, QObject *parent)
    : QIntValidator(bottom, top, parent)
    , m_step(step)
{
}

void IntStepValidator::setSingleStep(int step)
{
    if (m_step == step)
        return;
    m_step = step;
    emit changed();
}

QValidator::State IntStepValidator::validate(QString &input, int &pos) const
{
    const State state = QIntValidator::validate(input, pos);
    if (state != Acceptable || m_step == 0)
        return state;

    bool ok = false;
    const int value = locale().toInt(input, &ok);
    if (!ok)
        return Invalid;
    // 64-bit, so INT_MIN with a step of -1 stays defined.
    return qint64(value) % qint64(m_step) == 0 ? Acceptable : Invalid;
}

} // namespace Corvid_Qt
