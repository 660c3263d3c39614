#include <QScienceSpinBox.h>
#include <QScienceSpinBox_p.h>

#include <QtTest/QtTest>
#include <QtWidgets/QLineEdit>
#include <cfloat>
#include <random>

using namespace Corvid_Qt;

Q_DECLARE_METATYPE(QValidator::State)

namespace {

// A box whose parent carries the locale, as a host dialog would.
struct LocalBox
{
    explicit LocalBox(const QString &localeName, double min = -DBL_MAX, double max = DBL_MAX)
    {
        parent.setLocale(QLocale(localeName));
        box = new QScienceSpinBox(&parent, false, false);
        box->setRange(min, max);
    }
    QWidget parent;
    QScienceSpinBox *box;
};

// Counting down from max one candidate at a time, as the helper promises:
// the first whose digits hold the ten last digits of num in order.
bool referenceHelper(qint64 num, qint64 min, qint64 max, qint64 *match)
{
    *match = num;
    if (min <= num && num <= max)
        return true;
    const QString wanted = QString::number(num).remove('-').right(10);
    for (qint64 c = max; c >= min && max - c <= 500000; --c) {
        const QString digits = QString::number(c).remove('-');
        int k = 0;
        for (int i = 0; i < digits.size() && k < wanted.size(); ++i)
            k += digits[i] == wanted[k];
        if (k == wanted.size())
            return *match = c, true;
    }
    return max - min >= 500000;
}

} // namespace

class TestScienceSpinBox : public QObject
{
    Q_OBJECT

private slots:
    void textAndValueRoundTripInEachLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        for (const char *name : {"C", "en_US", "de_DE", "fr_FR"}) {
            const bool comma = QByteArray(name) == "de_DE" || QByteArray(name) == "fr_FR";
            const auto t = [comma](QString s) { return comma ? s.replace('.', ',') : s; };
            QTest::addRow("%s 12345.678", name) << name << 12345.678 << t("1.23e+04");
            QTest::addRow("%s -0.00042", name) << name << -0.00042 << t("-4.20e-04");
            QTest::addRow("%s 1e-300", name) << name << 1e-300 << t("1.00e-300");
            QTest::addRow("%s -1.5e308", name) << name << -1.5e308 << t("-1.50e+308");
        }
    }

    void textAndValueRoundTripInEachLocale()
    {
        QFETCH(QString, locale);
        QFETCH(double, value);
        QFETCH(QString, text);
        LocalBox local(locale);
        QCOMPARE(local.box->textFromValue(value), text);
        QCOMPARE(local.box->valueFromText(text), QString::number(value, 'e', 2).toDouble());
        // round() keeps decimals() significant digits, not decimals() after the point.
        QCOMPARE(local.box->round(value), QString::number(value, 'g', 2).toDouble());
        local.box->setValue(value);
        QCOMPARE(local.box->text(), text);

        // A locale set later on the box itself takes over.
        QScienceSpinBox late(nullptr, false, false);
        late.setLocale(QLocale(locale));
        QCOMPARE(late.textFromValue(value), text);
        QCOMPARE(late.groupSeparator(), local.box->groupSeparator());
    }

    void enterCommitsTheTextAndStepsGoByDecades()
    {
        QScienceSpinBox box(nullptr, false, false);
        box.setKeyboardTracking(false);
        box.setValue(1.0);
        QSignalSpy returns(&box, &QScienceSpinBox::returnKeyPressed);
        QSignalSpy values(&box, QOverload<double>::of(&QDoubleSpinBox::valueChanged));
        box.theLineEdit()->selectAll();
        QTest::keyClicks(&box, "2e3");
        QCOMPARE(values.count(), 0);
        QTest::keyClick(&box, Qt::Key_Return);
        QCOMPARE(returns.count(), 1);
        QCOMPARE(box.value(), 2000.0);
        QCOMPARE(values.count(), 1);
        QTest::keyClick(&box, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(returns.count(), 2);
        QTest::keyClick(&box, Qt::Key_Up);
        QCOMPARE(box.value(), 20000.0);

        // However many steps are asked for, one decade; an additive box steps by its single step.
        box.setValue(3e-6);
        box.stepBy(-7);
        QVERIFY(qFuzzyCompare(box.value(), 3e-7));
        box.stepBy(0);
        QVERIFY(qFuzzyCompare(box.value(), 3e-6));
        box.setRange(0, 1e-4);
        box.stepBy(3);
        QCOMPARE(box.value(), 3e-5);
        box.stepBy(3);
        QCOMPARE(box.value(), 1e-4);

        QScienceSpinBox additive(nullptr, false, true);
        additive.setSingleStep(0.5);
        additive.setValue(2.0);
        additive.stepBy(3);
        QCOMPARE(additive.value(), 3.5);
        additive.setAdditiveStepStyle(false);
        additive.stepDown();
        QCOMPARE(additive.value(), 0.35);
    }

    void partialInputVerdicts_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QValidator::State>("state");
        QTest::addColumn<QString>("result");
        const auto A = QValidator::Acceptable, I = QValidator::Intermediate, X = QValidator::Invalid;
        const double big = DBL_MAX;
        QTest::newRow("empty") << "C" << -big << big << "" << I << "";
        QTest::newRow("empty, single value") << "C" << 2.0 << 2.0 << "" << X << "";
        QTest::newRow("minus, negatives allowed") << "C" << -1.0 << 1.0 << "-" << I << "-";
        QTest::newRow("minus, positive range") << "C" << 1.0 << 5.0 << "-" << X << "-";
        QTest::newRow("plus point") << "C" << 0.0 << 1.0 << "+." << I << "+.";
        QTest::newRow("plus point, negative range") << "C" << -5.0 << -1.0 << "+." << X << "+.";
        QTest::newRow("minus comma, de_DE") << "de_DE" << -5.0 << -1.0 << "-," << I << "-,";
        QTest::newRow("1e") << "C" << -big << big << "1e" << X << "1e";
        QTest::newRow("1e-") << "en_US" << -big << big << "1e-" << X << "1e-";
        QTest::newRow("padded") << "C" << -big << big << "  2.5e3 " << A << "2.5e3";
        QTest::newRow("grouped thousands") << "en_US" << -big << big << "1,234.5" << A << "1,234.5";
        QTest::newRow("misplaced group") << "en_US" << -big << big << "12,34" << I << "1234";
        QTest::newRow("two groups together") << "en_US" << -big << big << "1,,234" << X << "1,,234";
        QTest::newRow("leading group") << "en_US" << -big << big << ",5" << X << ",5";
        QTest::newRow("group after point") << "en_US" << -big << big << "1.5,0" << X << "1.5,0";
        QTest::newRow("group in small range") << "en_US" << 0.0 << 100.0 << "1,0" << X << "1,0";
        QTest::newRow("above max") << "C" << 0.0 << 10.0 << "11" << X << "11";
        QTest::newRow("below negative min") << "C" << -10.0 << 10.0 << "-11" << X << "-11";
        QTest::newRow("prefix of a value in range") << "C" << 5.0 << 100.0 << "1" << I << "1";
        QTest::newRow("no value in range starts so") << "C" << 5.0 << 9.0 << "1" << X << "1";
        QTest::newRow("negative prefix") << "C" << -100.0 << -5.0 << "-1" << I << "-1";
        QTest::newRow("positive in negative range") << "C" << -100.0 << -5.0 << "7" << X << "7";
        QTest::newRow("beyond double") << "C" << -big << big << "1e309" << X << "1e309";
    }

    void partialInputVerdicts()
    {
        QFETCH(QString, locale);
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(QString, input);
        QFETCH(QValidator::State, state);
        LocalBox local(locale, min, max);
        QString text = input;
        int pos = text.size();
        QCOMPARE(local.box->validate(text, pos), state);
        QTEST(text, "result");
        QVERIFY(pos >= 0 && pos <= text.size());
        if (state != QValidator::Acceptable)
            QCOMPARE(local.box->valueFromText(input), max > 0 ? min : max);
    }

    // The last verdict is kept per box and for its range only.
    void verdictsArePerBoxAndPerRange()
    {
        QScienceSpinBox narrow(nullptr, false, false);
        QScienceSpinBox wide(nullptr, false, false);
        narrow.setRange(0, 10);
        QString text = "50";
        int pos = 2;
        QCOMPARE(narrow.validate(text, pos), QValidator::Invalid);
        QCOMPARE(wide.validate(text, pos), QValidator::Acceptable);
        QCOMPARE(narrow.valueFromText(text), 0.0);
        narrow.setMaximum(100);
        QCOMPARE(narrow.valueFromText(text), 50.0);
    }

    void standardOperationIsThePlainBase()
    {
        QScienceSpinBox box(nullptr, true, false);
        box.setRange(0, 100);
        box.setDecimals(3);
        box.setValue(12.5);
        QCOMPARE(box.text(), QString("12.500"));
        box.setSuffix(" %");
        box.theLineEdit()->selectAll();
        QTest::keyClicks(&box, "42 %");
        QCOMPARE(box.value(), 42.0);

        box.setStandardOperation(false);
        box.setSuffix(QString());
        // Qt 5 caps the base class's decimals at DBL_MAX_10_EXP + DBL_DIG.
        QCOMPARE(box.QDoubleSpinBox::decimals(), DBL_MAX_10_EXP + DBL_DIG);
        QCOMPARE(box.text(), QString("4.200e+01"));
        box.setValue(1.5e-15);
        QCOMPARE(box.value(), 1.5e-15);
    }

    void digitSearchMatchesCountingDown_data()
    {
        QTest::addColumn<qint64>("num");
        QTest::addColumn<qint64>("min");
        QTest::addColumn<qint64>("max");
        const auto row = [](const char *name, qint64 num, qint64 min, qint64 max) { QTest::newRow(name) << num << min << max; };
        row("digits in order only", 21, 100, 199);
        row("zero digits", 0, 101, 999);
        row("span at the limit", 987654, 1000000, 1500000);
        row("span past the limit", 987654, 1000000, 1500001);
        row("negative span at the limit", -987654, -1500000, -1000000);
        row("eleven digits listed as ten", 98765432101LL, 1, 90000);
        // Small random ranges around zero.
        std::mt19937_64 rng(12);
        std::uniform_int_distribution<qint64> start(-20000, 20000), width(0, 3000), typed(-999, 999);
        for (int i = 0; i < 3000; ++i) {
            const qint64 min = start(rng), max = min + width(rng);
            QTest::addRow("random %d", i) << typed(rng) << min << max;
        }
    }

    void digitSearchMatchesCountingDown()
    {
        QFETCH(qint64, num);
        QFETCH(qint64, min);
        QFETCH(qint64, max);
        qint64 expectedMatch = -42, match = -42;
        const bool expected = referenceHelper(num, min, max, &expectedMatch);
        QCOMPARE(isIntermediateValueHelper(num, min, max, &match), expected);
        if (expected)
            QCOMPARE(match, expectedMatch);
    }
};

QTEST_MAIN(TestScienceSpinBox)
#include "tst_sciencespinbox.moc"
