#include "ModelTestHelpers.h"

#include <VRXApplicationSettings.h>

#include <QtTest/QtTest>

using namespace Corvid_Qt;

class TestApplicationSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void xmlRoundTripOfNestedKeys()
    {
        const QString file = m_dir.filePath("round.xui");
        QStringList deep; // with the root, as deep as a file may go
        for (int i = 0; i < 63; ++i)
            deep << QStringLiteral("d%1").arg(i);
        const QVariantMap values{{"top", "1"},
                                 {"g/a", true},
                                 {"g/b/c", 42},
                                 {"g/b/d", "x < y & \"z\""},
                                 {"g/b", "leaf and parent"},
                                 {"g/e", "  padded  "},
                                 {"h.i/j_k", 2.5},
                                 {"odd names/1st/x y", "kept"},
                                 {deep.join('/'), "deep"},
                                 {"long/" + QString(1 << 20, QLatin1Char('n')), QString(1 << 20, QLatin1Char('v'))}};
        {
            VRXApplicationSettings writer(nullptr, file, false, true);
            for (auto it = values.cbegin(); it != values.cend(); ++it)
                writer.getSettings()->setValue(it.key(), it.value());
            writer.getSettings()->sync();
            QCOMPARE(writer.getSettings()->status(), QSettings::NoError);
        }
        // QSettings caches what it wrote; a copy under a new name is parsed.
        const QString copy = m_dir.filePath("round-copy.xui");
        QVERIFY(QFile::copy(file, copy));
        VRXApplicationSettings readBack(nullptr, copy, false, true);
        QSettings &reader = *readBack.getSettings();
        QCOMPARE(reader.status(), QSettings::NoError);
        QCOMPARE(reader.allKeys().size(), values.size());
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            QCOMPARE(reader.value(it.key()).toString(), it.value().toString());
        QCOMPARE(reader.childGroups(), QStringList({"d0", "g", "h.i", "long", "odd names"}));
        // Sorted keys share the elements of their common prefix.
        QCOMPARE(corvid_test::readFile(file).count("<g>"), 1);
    }

    void unwritableKeysKeepTheOldFile_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("control character in a key") << QString("g/a\x02") << "1";
        QTest::newRow("control character in the value") << "g/v" << QString("a\x01" "b");
        QTest::newRow("64 levels below the root") << QString("a/").repeated(63) + "b" << "1";
    }

    void unwritableKeysKeepTheOldFile()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QString file = m_dir.filePath(QString("keep-%1.xui").arg(qHash(QString(QTest::currentDataTag()))));
        const QByteArray old = "<Settings><g><kept>yes</kept></g></Settings>";
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(old) == old.size());
        out.close();
        {
            VRXApplicationSettings writer(nullptr, file, false, true);
            writer.getSettings()->setValue(key, value);
            writer.getSettings()->sync();
            QCOMPARE(writer.getSettings()->status(), QSettings::AccessError);
        }
        QCOMPARE(corvid_test::readFile(file), old);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestApplicationSettings)
#include "tst_applicationsettings.moc"
