#include <IPv4Validator.h>
#include <IntStepSpinBox.h>
#include <IntStepValidator.h>

#include <QtTest/QtTest>

#include <climits>
#include <functional>
#include <memory>

using namespace Corvid_Qt;

Q_DECLARE_METATYPE(QValidator::State)
using Make = std::function<QValidator *()>;
Q_DECLARE_METATYPE(Make)

class TestValidators : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    // The verdict on a text typed whole, which is left as typed.
    void verdicts_data()
    {
        QTest::addColumn<Make>("make");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QValidator::State>("state");
        const auto A = QValidator::Acceptable, I = QValidator::Intermediate, X = QValidator::Invalid;
        const auto step = [](const char *name, int bottom, int top, int by, const QString &text, QValidator::State state) {
            QTest::newRow(name) << Make([=] { return new IntStepValidator(bottom, top, by); }) << text << state;
        };
        const auto ipv4 = [](const char *name, const QString &text, QValidator::State state) {
            QTest::newRow(name) << Make([] { return new IPv4Validator; }) << text << state;
        };
        step("on grid", 0, 100, 5, "15", A);
        step("off grid", 0, 100, 5, "17", X);
        step("prefix of a grid value is invalid", 0, 100, 5, "1", X);
        step("empty stays intermediate", 0, 100, 5, "", I);
        step("above top, more digits", 0, 100, 5, "1005", X);
        step("negative range on grid", -100, -10, 10, "-40", A);
        step("negative range off grid", -100, -10, 10, "-45", X);
        step("negative step same grid", 0, 100, -5, "20", A);
        step("negative step off grid", 0, 100, -5, "21", X);
        step("minimum int with step -1", INT_MIN, 0, -1, QString::number(INT_MIN), A);
        // Step 0: the plain integer validator's verdicts, and no division.
        step("no step, in range", -5, 99, 0, "7", A);
        step("no step, minus", -5, 99, 0, "-", I);
        ipv4("address", "192.168.1.1", A);
        ipv4("leading zero is decimal", "010.1.1.1", A);
        ipv4("spaces around parts", " 10. 1 .1.1", A);
        ipv4("space inside a part", "1 0.1.1.1", X);
        ipv4("empty part", "192.168..1", I);
        ipv4("three parts", "192.168.1", I);
        ipv4("trailing dot", "192.168.1.", I);
        ipv4("empty", "", I);
        ipv4("five parts", "1.2.3.4.5", X);
        ipv4("top of a part", "255.255.255.255", A);
        ipv4("out of range", "256.1.1.1", X);
        ipv4("negative", "-1.1.1.1", X);
        ipv4("not a number", "a.1.1.1", X);
        ipv4("huge", "1.1.1.4294967296", X);
        ipv4("empty parts before a bad part", "..300.", X);
        ipv4("empty part after a bad part", "1.x..1", X);
    }

    void verdicts()
    {
        QFETCH(Make, make);
        QFETCH(QString, text);
        const std::unique_ptr<QValidator> v(make());
        const QString typed = text;
        int pos = text.size();
        QTEST(v->validate(text, pos), "state");
        QCOMPARE(text, typed);
    }

    // The box checks its value, without affixes, against its current range and step.
    void spinBoxFollowsRangeAndStepChanges()
    {
        IntStepSpinBox box;
        box.setRange(0, 100);
        box.setSingleStep(5);
        box.setPrefix("x ");
        box.setSuffix(" mm");
        QString text = "x 15 mm";
        int pos = text.size();
        QCOMPARE(box.validate(text, pos), QValidator::Acceptable);
        QCOMPARE(text, QStringLiteral("x 15 mm"));
        box.setSingleStep(4);
        QCOMPARE(box.validate(text, pos), QValidator::Invalid);
        text = "x 16 mm";
        QCOMPARE(box.validate(text, pos), QValidator::Acceptable);
        box.setRange(0, 12);
        QCOMPARE(box.validate(text, pos), QValidator::Invalid);

        // Digits are read the way the box writes them, in its own locale.
        box.setLocale(QLocale(QLocale::German));
        box.setGroupSeparatorShown(true);
        box.setRange(-10000, 10000);
        box.setValue(-2000);
        text = box.text();
        QCOMPARE(text, QStringLiteral("x -2.000 mm"));
        QCOMPARE(box.validate(text, pos), QValidator::Acceptable);
        text = "x 1.005 mm";
        QCOMPARE(box.validate(text, pos), QValidator::Invalid);
    }
};

QTEST_MAIN(TestValidators)
#include "tst_validators.moc"
