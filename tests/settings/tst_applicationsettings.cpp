// The XML settings format: round trips of nested, odd and megabyte keys,
// the depth limit, and writes that must keep the old file.
#include <VRXApplicationSettings.h>

#include <QtTest/QtTest>

using namespace Corvid_Qt;

class TestApplicationSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void xmlRoundTripOfNestedKeys();
    void xmlDepthLimit_data();
    void xmlDepthLimit();
    void unwritableKeysKeepTheOldFile_data();
    void unwritableKeysKeepTheOldFile();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestApplicationSettings::xmlRoundTripOfNestedKeys()
{
    const QString file = path("round.xui");
    const QVariantMap values{{"top", "1"},
                             {"g/a", true},
                             {"g/b/c", 42},
                             {"g/b/d", "x < y & \"z\""},
                             {"g/b", "leaf and parent"},
                             {"g/e", "  padded  "},
                             {"h.i/j_k", 2.5},
                             {"odd names/1st/x y", "kept"},
                             {"long/" + QString(1 << 20, QLatin1Char('n')), QString(1 << 20, QLatin1Char('v'))}};
    {
        VRXApplicationSettings writer(nullptr, file, false, true);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            writer.getSettings()->setValue(it.key(), it.value());
        writer.getSettings()->sync();
        QCOMPARE(writer.getSettings()->status(), QSettings::NoError);
    }
    // QSettings caches what it wrote; a copy under a new name is parsed.
    const QString copy = path("round-copy.xui");
    QVERIFY(QFile::copy(file, copy));
    VRXApplicationSettings readBack(nullptr, copy, false, true);
    QSettings &reader = *readBack.getSettings();
    QCOMPARE(reader.status(), QSettings::NoError);
    QCOMPARE(reader.allKeys().size(), values.size());
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        QCOMPARE(reader.value(it.key()).toString(), it.value().toString());
    QCOMPARE(reader.childGroups(), QStringList({"g", "h.i", "long", "odd names"}));
    // Sorted keys share the elements of their common prefix.
    QFile raw(file);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QCOMPARE(raw.readAll().count("<g>"), 1);
}

void TestApplicationSettings::xmlDepthLimit_data()
{
    QTest::addColumn<int>("levels");
    QTest::addColumn<bool>("readable");
    // The key of 64 levels is one element short of the limit (the root counts).
    QTest::newRow("64 levels") << 64 << true;
    QTest::newRow("65 levels") << 65 << false;
}

void TestApplicationSettings::xmlDepthLimit()
{
    QFETCH(int, levels);
    QFETCH(bool, readable);
    const QString file = path(QString("depth%1.xui").arg(levels));
    QByteArray doc = "<Settings>";
    for (int i = 1; i < levels; ++i)
        doc += "<a>";
    doc += "v";
    for (int i = 1; i < levels; ++i)
        doc += "</a>";
    doc += "</Settings>";
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(doc);
    out.close();
    VRXApplicationSettings reader(nullptr, file, false, true);
    QCOMPARE(reader.getSettings()->status() == QSettings::NoError, readable);
    if (readable)
        QCOMPARE(reader.getSettings()->allKeys().size(), 1);
}

void TestApplicationSettings::unwritableKeysKeepTheOldFile_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("control character in a key") << QString("g/a\x02") << "1";
    QTest::newRow("control character in the value") << "g/v" << QString("a\x01" "b");
}

void TestApplicationSettings::unwritableKeysKeepTheOldFile()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QString file = path(QString("keep-%1.xui").arg(qHash(QString(QTest::currentDataTag()))));
    const QByteArray old = "<Settings><g><kept>yes</kept></g></Settings>";
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(old);
    out.close();
    {
        VRXApplicationSettings writer(nullptr, file, false, true);
        writer.getSettings()->setValue(key, value);
        writer.getSettings()->sync();
        QCOMPARE(writer.getSettings()->status(), QSettings::AccessError);
    }
    QFile in(file);
    QVERIFY(in.open(QIODevice::ReadOnly));
    QCOMPARE(in.readAll(), old);
}

QTEST_MAIN(TestApplicationSettings)
#include "tst_applicationsettings.moc"
