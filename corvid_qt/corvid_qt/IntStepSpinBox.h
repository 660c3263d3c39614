#ifndef CORVID_QT_INTSTEPSPINBOX_H
#define CORVID_QT_INTSTEPSPINBOX_H

#include "corvid_qt_export.h"

#include <QtWidgets/QSpinBox>

namespace Corvid_Qt {

class IntStepValidator;

/**
 * A spin box whose typed values must be multiples of its single step.
 *
 * It owns an IntStepValidator (Qt parent: the spin box) that follows the
 * current range, step and locale at every validation, so changing any takes
 * effect at the next keystroke. The line edit keeps the spin box's own
 * validator, which handles prefix, suffix and special-value text and then
 * asks validate() here for the grid check.
 */
class CORVID_QT_EXPORT IntStepSpinBox : public QSpinBox
{
    Q_OBJECT

public:
    explicit IntStepSpinBox(QWidget *parent = nullptr);

    IntStepValidator *stepValidator() const { return m_validator; }

    QValidator::State validate(QString &input, int &pos) const override;

private:
    IntStepValidator *m_validator;
};

} // namespace Corvid_Qt

#endif
