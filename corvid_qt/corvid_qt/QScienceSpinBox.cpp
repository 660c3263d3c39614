#include "QScienceSpinBox.h"
#include "QScienceSpinBox_p.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QValidator>
#include <QtWidgets/QLineEdit>
#include <cfloat>

namespace Corvid_Qt {

namespace {

const qint64 kCandidateSpan = 500000;
const int kMaxListedDigits = 10;
const int kMaxDigits = 20;

// Digits of |num| most significant first, only its ten least significant.
struct Pattern
{
    int digit[kMaxListedDigits];
    int size = 0;

    explicit Pattern(quint64 v)
    {
        int lsFirst[kMaxListedDigits];
        do {
            lsFirst[size++] = int(v % 10);
            v /= 10;
        } while (v != 0 && size < kMaxListedDigits);
        for (int i = 0; i < size; ++i)
            digit[i] = lsFirst[size - 1 - i];
    }

    int advance(int matched, int d) const { return matched < size && digit[matched] == d ? matched + 1 : matched; }
    bool fits(int matched, int positionsLeft) const { return size - matched <= positionsLeft; }
};

int digitsOf(quint64 v, int *out)
{
    int tmp[kMaxDigits];
    int n = 0;
    do {
        tmp[n++] = int(v % 10);
        v /= 10;
    } while (v != 0);
    for (int i = 0; i < n; ++i)
        out[i] = tmp[n - 1 - i];
    return n;
}

bool holdsPattern(quint64 v, const Pattern &p)
{
    int d[kMaxDigits];
    const int n = digitsOf(v, d);
    int matched = 0;
    for (int i = 0; i < n; ++i)
        matched = p.advance(matched, d[i]);
    return matched == p.size;
}

// The digits of v, and for each length i of its leading digits the pattern
// digits they match (state[i]) and their value (prefix[i]).
int prefixStates(quint64 v, const Pattern &p, int *digits, int *state, quint64 *prefix)
{
    const int n = digitsOf(v, digits);
    state[0] = 0;
    prefix[0] = 0;
    for (int i = 0; i < n; ++i) {
        state[i + 1] = p.advance(state[i], digits[i]);
        prefix[i + 1] = prefix[i] * 10 + quint64(digits[i]);
    }
    return n;
}

// Completes `prefix` with `positions` digits, the largest (or smallest)
// completion that still holds the rest of the pattern.
quint64 complete(quint64 prefix, int matched, int positions, const Pattern &p, bool largest)
{
    for (int s = 0; s < positions; ++s) {
        const int left = positions - s - 1;
        for (int k = 0; k < 10; ++k) {
            const int d = largest ? 9 - k : k;
            const int next = p.advance(matched, d);
            if (p.fits(next, left)) {
                prefix = prefix * 10 + quint64(d);
                matched = next;
                break;
            }
        }
    }
    return prefix;
}

// Largest x in [lo, hi] whose digits hold the pattern; false when none.
bool largestHolding(quint64 lo, quint64 hi, const Pattern &p, quint64 *x)
{
    if (holdsPattern(hi, p)) {
        *x = hi;
        return true;
    }
    int b[kMaxDigits];
    int state[kMaxDigits + 1];
    quint64 prefix[kMaxDigits + 1];
    const int n = prefixStates(hi, p, b, state, prefix);
    // A later first difference from hi gives a larger number.
    for (int i = n - 1; i >= 0; --i) {
        for (int d = b[i] - 1; d >= (i == 0 && n > 1 ? 1 : 0); --d) {
            const int next = p.advance(state[i], d);
            if (p.fits(next, n - i - 1)) {
                *x = complete(prefix[i] * 10 + quint64(d), next, n - i - 1, p, true);
                return *x >= lo;
            }
        }
    }
    for (int len = n - 1; len >= 1; --len) {
        for (int d = 9; d >= (len > 1 ? 1 : 0); --d) {
            const int next = p.advance(0, d);
            if (p.fits(next, len - 1)) {
                *x = complete(quint64(d), next, len - 1, p, true);
                return *x >= lo;
            }
        }
    }
    return false;
}

// Smallest x in [lo, hi] whose digits hold the pattern; false when none.
bool smallestHolding(quint64 lo, quint64 hi, const Pattern &p, quint64 *x)
{
    if (holdsPattern(lo, p)) {
        *x = lo;
        return lo <= hi;
    }
    int a[kMaxDigits];
    int state[kMaxDigits + 1];
    quint64 prefix[kMaxDigits + 1];
    const int n = prefixStates(lo, p, a, state, prefix);
    for (int i = n - 1; i >= 0; --i) {
        for (int d = a[i] + 1; d <= 9; ++d) {
            const int next = p.advance(state[i], d);
            if (p.fits(next, n - i - 1)) {
                *x = complete(prefix[i] * 10 + quint64(d), next, n - i - 1, p, false);
                return *x <= hi;
            }
        }
    }
    int h[kMaxDigits];
    const int maxLen = digitsOf(hi, h);
    for (int len = n + 1; len <= maxLen; ++len) {
        for (int d = 1; d <= 9; ++d) {
            const int next = p.advance(0, d);
            if (p.fits(next, len - 1)) {
                *x = complete(quint64(d), next, len - 1, p, false);
                return *x <= hi;
            }
        }
    }
    return false;
}

quint64 magnitude(qint64 v)
{
    return v < 0 ? quint64(0) - quint64(v) : quint64(v);
}

qint64 pow10(int n)
{
    qint64 r = 1;
    for (int i = 0; i < std::min(n, 18); ++i)
        r *= 10;
    return r;
}

struct SplitNumber
{
    qint64 left = 0;
    qint64 right = 0;
};

SplitNumber splitAtPoint(double v, int decimals)
{
    const QString text = QString::number(v, 'f', decimals);
    const int dot = text.indexOf(QLatin1Char('.'));
    SplitNumber s;
    s.left = (dot < 0 ? text : text.left(dot)).toLongLong();
    if (dot >= 0)
        s.right = text.mid(dot + 1).toLongLong();
    return s;
}

} // namespace

bool isIntermediateValueHelper(qint64 num, qint64 min, qint64 max, qint64 *match)
{
    if (min <= num && num <= max) {
        *match = num;
        return true;
    }
    if (min > max)
        return false;
    const Pattern pattern(magnitude(num));
    // The candidates max, max - 1, ... are searched by digits instead of one
    // by one; the search stops where counting down would have given up.
    const bool givesUp = quint64(max) - quint64(min) >= quint64(kCandidateSpan);
    const qint64 lowest = givesUp ? max - kCandidateSpan : min;

    quint64 x = 0;
    if (max >= 0 && largestHolding(magnitude(std::max<qint64>(lowest, 0)), quint64(max), pattern, &x)) {
        *match = qint64(x);
        return true;
    }
    if (lowest < 0) {
        const quint64 smallestMagnitude = max >= 0 ? 1 : magnitude(max);
        if (smallestHolding(smallestMagnitude, magnitude(lowest), pattern, &x)) {
            *match = qint64(quint64(0) - x);
            return true;
        }
    }
    if (givesUp) {
        *match = num;
        return true;
    }
    return false;
}

QScienceSpinBox::QScienceSpinBox(QWidget *parent, bool standardOperation, bool additiveStepStyle)
    : QDoubleSpinBox(parent)
    , m_displayDecimals(2)
    , m_decimalPoint()
    , m_groupSeparator()
    , m_validator(nullptr)
    , m_standardOperation(standardOperation)
    , m_additiveStepStyle(additiveStepStyle)
    , m_spinBoxValidator(lineEdit()->validator())
    , m_lastState(QValidator::Invalid)
    , m_lastValue(0.0)
    , m_lastMinimum(0.0)
    , m_lastMaximum(0.0)
{
    initLocalValues(parent);
    setDecimals(2);
    if (!m_standardOperation)
        QDoubleSpinBox::setDecimals(1000);
    setRange(-DBL_MAX, DBL_MAX);
    m_validator = new QDoubleValidator(this);
    m_validator->setDecimals(1000);
    m_validator->setNotation(QDoubleValidator::ScientificNotation);
    m_validator->setLocale(locale());
    // The base class's own validator keeps the line edit in standard
    // operation; it is put back when the box switches over.
    if (!m_standardOperation)
        lineEdit()->setValidator(m_validator);
}

QScienceSpinBox::~QScienceSpinBox() = default;

void QScienceSpinBox::initLocalValues(QWidget *parent)
{
    initLocalValues(parent ? parent->locale() : QLocale());
}

void QScienceSpinBox::initLocalValues(const QLocale &locale)
{
    const QString str = locale.toString(4567.1, 'g', 6);
    if (str.size() == 6) {
        m_decimalPoint = str.at(4);
        m_groupSeparator = QChar();
    } else if (str.size() == 7) {
        m_groupSeparator = str.at(1);
        m_decimalPoint = str.at(5);
    }
}

void QScienceSpinBox::setDecimals(int decimals)
{
    m_displayDecimals = decimals;
    if (m_standardOperation)
        QDoubleSpinBox::setDecimals(decimals);
    m_lastText.clear();
}

void QScienceSpinBox::setStandardOperation(bool on)
{
    if (m_standardOperation == on)
        return;
    m_standardOperation = on;
    // Qt 5 caps the base class's decimals at DBL_MAX_10_EXP + DBL_DIG.
    QDoubleSpinBox::setDecimals(on ? m_displayDecimals : 1000);
    lineEdit()->setValidator(on ? m_spinBoxValidator : m_validator);
    m_lastText.clear();
}

double QScienceSpinBox::round(double v) const
{
    return locale().toDouble(locale().toString(v, 'g', m_displayDecimals));
}

QString QScienceSpinBox::textFromValue(double value) const
{
    if (m_standardOperation)
        return QDoubleSpinBox::textFromValue(value);
    // A value inside the range is never shown rounded out of it, or the box
    // would refuse its own text: near a limit it shows the digits it needs.
    QString text = locale().toString(value, 'e', m_displayDecimals);
    if (value >= minimum() && value <= maximum()) {
        for (int digits = m_displayDecimals + 1; digits <= 17; ++digits) {
            bool ok = false;
            const double shown = locale().toDouble(text, &ok);
            if (ok && shown >= minimum() && shown <= maximum())
                break;
            text = locale().toString(value, 'e', digits);
        }
    }
    if (std::abs(value) >= 1000.0 && !m_groupSeparator.isNull())
        text.remove(m_groupSeparator);
    return text;
}

double QScienceSpinBox::valueFromText(const QString &text) const
{
    if (m_standardOperation)
        return QDoubleSpinBox::valueFromText(text);
    QString copy = text;
    int pos = lineEdit()->cursorPosition();
    QValidator::State state;
    return validateAndInterpret(copy, pos, state);
}

QValidator::State QScienceSpinBox::validate(QString &input, int &pos) const
{
    if (m_standardOperation)
        return QDoubleSpinBox::validate(input, pos);
    QValidator::State state;
    validateAndInterpret(input, pos, state);
    return state;
}

void QScienceSpinBox::fixup(QString &input) const
{
    if (!m_groupSeparator.isNull())
        input.remove(m_groupSeparator);
}

void QScienceSpinBox::stepBy(int steps)
{
    if (m_additiveStepStyle) {
        QDoubleSpinBox::stepBy(steps);
        return;
    }
    if (steps < 0)
        stepDown();
    else
        stepUp();
}

void QScienceSpinBox::stepUp()
{
    if (m_additiveStepStyle)
        QDoubleSpinBox::stepUp();
    else
        setValue(value() * 10.0);
}

void QScienceSpinBox::stepDown()
{
    if (m_additiveStepStyle)
        QDoubleSpinBox::stepDown();
    else
        setValue(value() / 10.0);
}

void QScienceSpinBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        emit returnKeyPressed();
    QDoubleSpinBox::keyPressEvent(event);
}

void QScienceSpinBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LocaleChange) {
        initLocalValues(locale());
        m_validator->setLocale(locale());
        m_lastText.clear();
    }
    QDoubleSpinBox::changeEvent(event);
}

double QScienceSpinBox::validateAndInterpret(QString &input, int &pos, QValidator::State &state) const
{
    const double max = maximum();
    const double min = minimum();
    if (!input.isEmpty() && input == m_lastText && min == m_lastMinimum && max == m_lastMaximum) {
        state = m_lastState;
        return m_lastValue;
    }

    QString copy = input;
    const QString pre = prefix();
    const QString suf = suffix();
    if (specialValueText().isEmpty() || input != specialValueText()) {
        int from = 0;
        int size = input.size();
        if (!pre.isEmpty() && input.startsWith(pre)) {
            from += pre.size();
            size -= pre.size();
        }
        if (!suf.isEmpty() && input.endsWith(suf))
            size -= suf.size();
        copy = input.mid(from, size);
        int lead = 0;
        while (lead < copy.size() && copy.at(lead).isSpace())
            ++lead;
        copy = copy.trimmed();
        pos = std::max(0, pos - from - lead);
    }

    const bool plus = max >= 0;
    const bool minus = min <= 0;
    const QChar dp = m_decimalPoint;
    const QChar gs = m_groupSeparator;
    const auto isSep = [gs](QChar c) { return (!gs.isNull() && c == gs) || c.isSpace(); };
    const auto done = [&](QValidator::State s, double v) {
        state = s;
        if (s != QValidator::Acceptable)
            v = max > 0 ? min : max;
        input = pre + copy + suf;
        pos = pre.size() + std::min(pos, int(copy.size()));
        m_lastText = input;
        m_lastState = s;
        m_lastValue = v;
        m_lastMinimum = min;
        m_lastMaximum = max;
        return v;
    };

    switch (copy.size()) {
    case 0:
        return done(max != min ? QValidator::Intermediate : QValidator::Invalid, min);
    case 1:
        if (copy.at(0) == dp || (plus && copy.at(0) == QLatin1Char('+'))
            || (minus && copy.at(0) == QLatin1Char('-')))
            return done(QValidator::Intermediate, min);
        break;
    case 2:
        if (copy.at(1) == dp
            && ((plus && copy.at(0) == QLatin1Char('+')) || (minus && copy.at(0) == QLatin1Char('-'))))
            return done(QValidator::Intermediate, min);
        break;
    default:
        break;
    }

    if (!gs.isNull() && copy.at(0) == gs)
        return done(QValidator::Invalid, min);
    if (copy.size() > 1) {
        const int d = copy.indexOf(dp);
        if (d >= 0) {
            if (d + 1 < copy.size() && copy.at(d + 1) == dp && pos == d + 1)
                copy.remove(d + 1, 1);
            for (int i = d + 1; i < copy.size(); ++i) {
                if (isSep(copy.at(i)))
                    return done(QValidator::Invalid, min);
            }
        } else {
            const QChar last = copy.at(copy.size() - 1);
            const QChar beforeLast = copy.at(copy.size() - 2);
            if (isSep(last) && isSep(beforeLast))
                return done(QValidator::Invalid, min);
            if (last.isSpace() && (!gs.isSpace() || beforeLast.isSpace()))
                return done(QValidator::Invalid, min);
        }
    }

    bool ok = false;
    bool separatorsRemoved = false;
    double num = locale().toDouble(copy, &ok);
    if (!ok) {
        if (gs.isNull() || !gs.isPrint())
            return done(QValidator::Invalid, min);
        if (max < 1000 && min > -1000 && copy.contains(gs))
            return done(QValidator::Invalid, min);
        if (copy.contains(QString(2, gs)))
            return done(QValidator::Invalid, min);
        const int before = copy.size();
        copy.remove(gs);
        pos = std::max(0, pos - (before - copy.size()));
        num = locale().toDouble(copy, &ok);
        if (!ok)
            return done(QValidator::Invalid, min);
        separatorsRemoved = true;
    }

    if (min <= num && num <= max)
        return done(separatorsRemoved ? QValidator::Intermediate : QValidator::Acceptable, num);
    if (max == min)
        return done(QValidator::Invalid, min);
    if ((num >= 0 && num > max) || (num < 0 && num < min))
        return done(QValidator::Invalid, min);
    return done(isIntermediateValue(copy) ? QValidator::Intermediate : QValidator::Invalid, min);
}

bool QScienceSpinBox::isIntermediateValue(const QString &str) const
{
    const qint64 D = pow10(decimals());
    const int baseDecimals = QDoubleSpinBox::decimals();
    const SplitNumber lo = splitAtPoint(minimum(), baseDecimals);
    const SplitNumber hi = splitAtPoint(maximum(), baseDecimals);
    const qint64 minLeft = lo.left;
    const qint64 maxLeft = hi.left;
    qint64 minRight = lo.right;
    qint64 maxRight = hi.right;
    const bool negative = maximum() < 0;
    const int dot = str.indexOf(m_decimalPoint);

    qint64 left = 0;
    qint64 right = 0;
    bool examineLeft = false;
    bool examineRight = false;
    if (dot < 0) {
        left = str.toLongLong();
        examineLeft = true;
    } else if (dot == 0 || (dot == 1 && str.at(0) == QLatin1Char('+'))) {
        if (negative)
            return false;
        right = str.mid(dot + 1).toLongLong();
        examineRight = true;
    } else if (dot == 1 && str.at(0) == QLatin1Char('-')) {
        if (!negative)
            return false;
        right = str.mid(dot + 1).toLongLong();
        examineRight = true;
    } else {
        left = str.left(dot).toLongLong();
        examineLeft = true;
        if (dot != str.size() - 1) {
            right = str.mid(dot + 1).toLongLong();
            examineRight = true;
        }
    }
    Q_UNUSED(right)

    if ((left >= 0 && maxLeft < 0 && !str.startsWith(QLatin1Char('-'))) || (left < 0 && minLeft >= 0))
        return false;

    qint64 match = minLeft;
    if (examineLeft && !isIntermediateValueHelper(left, minLeft, maxLeft, &match))
        return false;
    if (!examineRight)
        return true;

    if (examineLeft) {
        if (match != minLeft)
            minRight = negative ? D : 0;
        if (match != maxLeft)
            maxRight = negative ? 0 : D;
        return negative ? isIntermediateValueHelper(right, maxRight, minRight, &match)
                        : isIntermediateValueHelper(right, minRight, maxRight, &match);
    }

    const qint64 absLeft = std::abs(left);
    if (minLeft == maxLeft) {
        return negative ? isIntermediateValueHelper(absLeft, maxRight, minRight, &match)
                        : isIntermediateValueHelper(absLeft, minRight, maxRight, &match);
    }
    if (std::abs(maxLeft - minLeft) == 1) {
        return isIntermediateValueHelper(absLeft, minRight, negative ? 0 : D, &match)
            || isIntermediateValueHelper(absLeft, negative ? D : 0, maxRight, &match);
    }
    return isIntermediateValueHelper(absLeft, 0, D, &match);
}

} // namespace Corvid_Qt
