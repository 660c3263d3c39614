#include <IPv4Validator.h>
#include <IntStepSpinBox.h>
#include <IntStepValidator.h>

#include <QtTest/QtTest>

#include <climits>

using namespace Corvid_Qt;

Q_DECLARE_METATYPE(QValidator::State)

class TestValidators : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void stepValidatorVerdicts_data()
    {
        QTest::addColumn<int>("bottom");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QValidator::State>("state");
        const auto A = QValidator::Acceptable, I = QValidator::Intermediate, X = QValidator::Invalid;
        QTest::newRow("on grid") << 0 << 100 << 5 << "15" << A;
        QTest::newRow("off grid") << 0 << 100 << 5 << "17" << X;
        QTest::newRow("prefix of a grid value is invalid") << 0 << 100 << 5 << "1" << X;
        QTest::newRow("empty stays intermediate") << 0 << 100 << 5 << "" << I;
        QTest::newRow("above top, more digits") << 0 << 100 << 5 << "1005" << X;
        QTest::newRow("letters") << 0 << 100 << 5 << "1a" << X;
        QTest::newRow("huge number") << 0 << 100 << 5 << "99999999999999999999" << X;
        QTest::newRow("negative range on grid") << -100 << -10 << 10 << "-40" << A;
        QTest::newRow("negative range off grid") << -100 << -10 << 10 << "-45" << X;
        QTest::newRow("negative step same grid") << 0 << 100 << -5 << "20" << A;
        QTest::newRow("negative step off grid") << 0 << 100 << -5 << "21" << X;
        QTest::newRow("minimum int with step -1") << INT_MIN << 0 << -1 << QString::number(INT_MIN) << A;
        // Step 0: the plain integer validator's verdicts.
        QTest::newRow("no step, in range") << -5 << 99 << 0 << "7" << A;
        QTest::newRow("no step, negative") << -5 << 99 << 0 << "-3" << A;
        QTest::newRow("no step, too many digits") << -5 << 99 << 0 << "1000" << X;
        QTest::newRow("no step, minus") << -5 << 99 << 0 << "-" << I;
    }

    void stepValidatorVerdicts()
    {
        QFETCH(int, bottom);
        QFETCH(int, top);
        QFETCH(int, step);
        QFETCH(QString, text);
        IntStepValidator v(bottom, top, step);
        int pos = text.size();
        QTEST(v.validate(text, pos), "state");
    }

    void ipv4Verdicts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QValidator::State>("state");
        const auto A = QValidator::Acceptable, I = QValidator::Intermediate, X = QValidator::Invalid;
        QTest::newRow("address") << "192.168.1.1" << A;
        QTest::newRow("leading zero is decimal") << "010.1.1.1" << A;
        QTest::newRow("spaces around parts") << " 10. 1 .1.1" << A;
        QTest::newRow("space inside a part") << "1 0.1.1.1" << X;
        QTest::newRow("empty part") << "192.168..1" << I;
        QTest::newRow("three parts") << "192.168.1" << I;
        QTest::newRow("trailing dot") << "192.168.1." << I;
        QTest::newRow("empty") << "" << I;
        QTest::newRow("five parts") << "1.2.3.4.5" << X;
        QTest::newRow("out of range") << "256.1.1.1" << X;
        QTest::newRow("negative") << "-1.1.1.1" << X;
        QTest::newRow("not a number") << "a.1.1.1" << X;
        QTest::newRow("huge") << "1.1.1.4294967296" << X;
        QTest::newRow("empty parts before a bad part") << "..300." << X;
        QTest::newRow("empty part after a bad part") << "1.x..1" << X;
    }

    void ipv4Verdicts()
    {
        QFETCH(QString, text);
        IPv4Validator v;
        const QString before = text;
        int pos = text.size();
        QTEST(v.validate(text, pos), "state");
        QCOMPARE(text, before);
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
    }
};

QTEST_MAIN(TestValidators)
#include "tst_validators.moc"
