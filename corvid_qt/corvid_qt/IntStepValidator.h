#ifndef CORVID_QT_INTSTEPVALIDATOR_H
#define CORVID_QT_INTSTEPVALIDATOR_H

#include "corvid_qt_export.h"

#include <QtGui/QIntValidator>

namespace Corvid_Qt {

/**
 * An integer validator that accepts only multiples of a step inside
 * [bottom, top]. A value off the grid is Invalid, not Intermediate, so the
 * user cannot type it at all.
 *
 * A step of 0 means no grid: the validator then answers exactly as the
 * plain QIntValidator does. Negative steps define the same grid as their
 * absolute value.
 */
class CORVID_QT_EXPORT IntStepValidator : public QIntValidator
{
    Q_OBJECT

public:
    IntStepValidator(int bottom, int top, int step, QObject *parent = nullptr);

    int singleStep() const { return m_step; }
    void setSingleStep(int step);

    State validate(QString &input, int &pos) const override;

private:
    int m_step;
};

} // namespace Corvid_Qt

#endif
