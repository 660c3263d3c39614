#include <IPv4Validator.h>
#include <IntStepSpinBox.h>
#include <IntStepValidator.h>

#include <QtTest/QtTest>
#include <QtWidgets/QLineEdit>

#include <climits>

using namespace Corvid_Qt;

Q_DECLARE_METATYPE(QValidator::State)

class TestValidators : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void stepValidatorVerdicts_data();
    void stepValidatorVerdicts();
    void zeroStepAnswersLikeIntValidator_data();
    void zeroStepAnswersLikeIntValidator();

    void ipv4Verdicts_data();
    void ipv4Verdicts();

    void spinBoxFollowsRangeAndStepChanges();
    void spinBoxChecksValueWithoutAffixes();
    void typingOffTheGridIsRefused();
};

void TestValidators::stepValidatorVerdicts_data()
{
    QTest::addColumn<int>("bottom");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QValidator::State>("state");

    QTest::newRow("on grid") << 0 << 100 << 5 << "15" << QValidator::Acceptable;
    QTest::newRow("off grid") << 0 << 100 << 5 << "17" << QValidator::Invalid;
    QTest::newRow("prefix of a grid value is invalid") << 0 << 100 << 5 << "1" << QValidator::Invalid;
    QTest::newRow("empty stays intermediate") << 0 << 100 << 5 << "" << QValidator::Intermediate;
    QTest::newRow("above top, more digits") << 0 << 100 << 5 << "1005" << QValidator::Invalid;
    QTest::newRow("letters") << 0 << 100 << 5 << "1a" << QValidator::Invalid;
    QTest::newRow("huge number") << 0 << 100 << 5 << "99999999999999999999" << QValidator::Invalid;
    QTest::newRow("negative range on grid") << -100 << -10 << 10 << "-40" << QValidator::Acceptable;
    QTest::newRow("negative range off grid") << -100 << -10 << 10 << "-45" << QValidator::Invalid;
    QTest::newRow("negative step same grid") << 0 << 100 << -5 << "20" << QValidator::Acceptable;
    QTest::newRow("negative step off grid") << 0 << 100 << -5 << "21" << QValidator::Invalid;
    QTest::newRow("minimum int with step -1") << INT_MIN << 0 << -1 << QString::number(INT_MIN)
                                              << QValidator::Acceptable;
}

void TestValidators::stepValidatorVerdicts()
{
    QFETCH(int, bottom);
    QFETCH(int, top);
    QFETCH(int, step);
    QFETCH(QString, text);
    QFETCH(QValidator::State, state);

    IntStepValidator v(bottom, top, step);
    int pos = text.size();
    QCOMPARE(v.validate(text, pos), state);
}

void TestValidators::zeroStepAnswersLikeIntValidator_data()
{
    QTest::addColumn<QString>("text");
    for (const char *t : {"7", "-3", "1000", "", "-"})
        QTest::newRow(t) << QString::fromLatin1(t);
}

void TestValidators::zeroStepAnswersLikeIntValidator()
{
    QFETCH(QString, text);
    IntStepValidator stepped(-5, 99, 0);
    QIntValidator plain(-5, 99);
    QString a = text, b = text;
    int pa = a.size(), pb = b.size();
    QCOMPARE(stepped.validate(a, pa), plain.validate(b, pb));
}

void TestValidators::ipv4Verdicts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QValidator::State>("state");

    QTest::newRow("address") << "192.168.1.1" << QValidator::Acceptable;
    QTest::newRow("leading zero is decimal") << "010.1.1.1" << QValidator::Acceptable;
    QTest::newRow("spaces around parts") << " 10. 1 .1.1" << QValidator::Acceptable;
    QTest::newRow("space inside a part") << "1 0.1.1.1" << QValidator::Invalid;
    QTest::newRow("empty part") << "192.168..1" << QValidator::Intermediate;
    QTest::newRow("three parts") << "192.168.1" << QValidator::Intermediate;
    QTest::newRow("trailing dot") << "192.168.1." << QValidator::Intermediate;
    QTest::newRow("empty") << "" << QValidator::Intermediate;
    QTest::newRow("five parts") << "1.2.3.4.5" << QValidator::Invalid;
    QTest::newRow("out of range") << "256.1.1.1" << QValidator::Invalid;
    QTest::newRow("negative") << "-1.1.1.1" << QValidator::Invalid;
    QTest::newRow("not a number") << "a.1.1.1" << QValidator::Invalid;
    QTest::newRow("huge") << "1.1.1.4294967296" << QValidator::Invalid;
    QTest::newRow("empty parts before a bad part") << "..300." << QValidator::Invalid;
    QTest::newRow("empty part after a bad part") << "1.x..1" << QValidator::Invalid;
}

void TestValidators::ipv4Verdicts()
{
    QFETCH(QString, text);
    QFETCH(QValidator::State, state);
    IPv4Validator v;
    const QString before = text;
    int pos = text.size();
    QCOMPARE(v.validate(text, pos), state);
    QCOMPARE(text, before);
}

void TestValidators::spinBoxFollowsRangeAndStepChanges()
{
    IntStepSpinBox box;
    box.setRange(0, 100);
    box.setSingleStep(5);
    QString text = "15";
    int pos = 2;
    QCOMPARE(box.validate(text, pos), QValidator::Acceptable);

    box.setSingleStep(4);
    QCOMPARE(box.validate(text, pos), QValidator::Invalid);
    text = "16";
    QCOMPARE(box.validate(text, pos), QValidator::Acceptable);

    box.setRange(0, 12);
    QCOMPARE(box.validate(text, pos), QValidator::Invalid);
    QCOMPARE(box.stepValidator()->top(), 12);
    QCOMPARE(box.stepValidator()->singleStep(), 4);
}

void TestValidators::spinBoxChecksValueWithoutAffixes()
{
    IntStepSpinBox box;
    box.setRange(0, 1000);
    box.setSingleStep(10);
    box.setPrefix("x ");
    box.setSuffix(" mm");

    QString text = "x 120 mm";
    int pos = text.size();
    QCOMPARE(box.validate(text, pos), QValidator::Acceptable);
    QCOMPARE(text, QStringLiteral("x 120 mm"));
    text = "x 125 mm";
    QCOMPARE(box.validate(text, pos), QValidator::Invalid);
}

void TestValidators::typingOffTheGridIsRefused()
{
    IntStepSpinBox box;
    box.setRange(0, 100);
    box.setSingleStep(5);
    QLineEdit *edit = box.findChild<QLineEdit *>();
    QVERIFY(edit);
    edit->selectAll();
    QTest::keyClicks(edit, "3");
    QCOMPARE(edit->text(), QStringLiteral("0"));
    edit->selectAll();
    QTest::keyClicks(edit, "5");
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClicks(edit, "3");
    QCOMPARE(edit->text(), QStringLiteral("35"));
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClicks(edit, "1");
    QCOMPARE(edit->text(), QStringLiteral("35"));
    box.interpretText();
    QCOMPARE(box.value(), 35);
}

QTEST_MAIN(TestValidators)
#include "tst_validators.moc"
