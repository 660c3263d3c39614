#ifndef CORVID_QT_QSCIENCESPINBOX_H
#define CORVID_QT_QSCIENCESPINBOX_H

#include "corvid_qt_export.h"

#include <QtGui/QValidator>
#include <QtWidgets/QDoubleSpinBox>

class QDoubleValidator;
class QLineEdit;

namespace Corvid_Qt {

/**
 * A double spin box that shows and accepts numbers in exponent notation
 * over the whole double range ("1.23e+04") and steps by decades: up
 * multiplies the value by ten, down divides it by ten.
 *
 * standardOperation makes it behave as a plain QDoubleSpinBox (text,
 * validation, decimals); additiveStepStyle makes the arrows add and
 * subtract singleStep() again. returnKeyPressed() is emitted for Return and
 * Enter before the key reaches the base class.
 *
 * Decimal point and group separator come from the widget's locale and are
 * read again when the locale changes. The last validation verdict (text,
 * state, value) is remembered per box together with the range it was found
 * for, so two boxes with different ranges never share a verdict.
 */
class CORVID_QT_EXPORT QScienceSpinBox : public QDoubleSpinBox
{
    Q_OBJECT
    Q_PROPERTY(bool standardOperation READ standardOperation WRITE setStandardOperation)
    Q_PROPERTY(bool additiveStepStyle READ additiveStepStyle WRITE setAdditiveStepStyle)

public:
    explicit QScienceSpinBox(QWidget *parent = nullptr, bool standardOperation = false,
                             bool additiveStepStyle = false);
    ~QScienceSpinBox() override;

    /// Digits after the point of the shown mantissa.
    int decimals() const { return m_displayDecimals; }
    void setDecimals(int decimals);

    bool standardOperation() const { return m_standardOperation; }
    void setStandardOperation(bool on);
    bool additiveStepStyle() const { return m_additiveStepStyle; }
    void setAdditiveStepStyle(bool on) { m_additiveStepStyle = on; }

    QLineEdit *theLineEdit() { return lineEdit(); }
    QChar decimalPoint() const { return m_decimalPoint; }
    /// Null when the locale writes no group separator.
    QChar groupSeparator() const { return m_groupSeparator; }

    /// v rounded to decimals() significant digits as the locale writes them.
    double round(double v) const;

    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
    void stepBy(int steps) override;
    double valueFromText(const QString &text) const override;
    QString textFromValue(double value) const override;

public Q_SLOTS:
    void stepDown();
    void stepUp();

Q_SIGNALS:
    void returnKeyPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void initLocalValues(QWidget *parent);
    void initLocalValues(const QLocale &locale);
    double validateAndInterpret(QString &input, int &pos, QValidator::State &state) const;
    bool isIntermediateValue(const QString &str) const;

    int m_displayDecimals;
    QChar m_decimalPoint;
    QChar m_groupSeparator;
    QDoubleValidator *m_validator;
    bool m_standardOperation;
    bool m_additiveStepStyle;

    const QValidator *m_spinBoxValidator;
    mutable QString m_lastText;
    mutable QValidator::State m_lastState;
    mutable double m_lastValue;
    mutable double m_lastMinimum;
    mutable double m_lastMaximum;
};

} // namespace Corvid_Qt

#endif
