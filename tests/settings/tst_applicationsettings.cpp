// The settings file formats: XML round trips of nested keys, large keys and
// values, the depth limit, and writes that must keep the old file.
#include <VRXApplicationSettings.h>

#include <QtTest/QtTest>

using namespace Corvid_Qt;

class TestApplicationSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void formatIsRegisteredOnce();
    void xmlRoundTripOfNestedKeys();
    void xmlSharesCommonPrefixes();
    void xmlReadsMegabyteKeysAndValues();
    void xmlDepthLimit_data();
    void xmlDepthLimit();
    void unwritableKeysKeepTheOldFile_data();
    void unwritableKeysKeepTheOldFile();
    void applicationNamesUseTheGivenFolder();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestApplicationSettings::formatIsRegisteredOnce()
{
    const QSettings::Format first = VRXApplicationSettings::xmlFormat();
    QVERIFY(first != QSettings::InvalidFormat);
    QCOMPARE(VRXApplicationSettings::xmlFormat(), first);
    VRXApplicationSettings a(nullptr, path("one.xui"), false, true);
    VRXApplicationSettings b(nullptr, path("two.xui"), false, true);
    QCOMPARE(a.getSettings()->format(), first);
    QCOMPARE(b.getSettings()->format(), first);
    QVERIFY(VRXApplicationSettings::isXmlPath("a/b/c.XUI"));
    QVERIFY(!VRXApplicationSettings::isXmlPath("c.ini"));
}

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
}

void TestApplicationSettings::xmlSharesCommonPrefixes()
{
    const QString file = path("prefix.xui");
    {
        VRXApplicationSettings writer(nullptr, file, false, true);
        writer.getSettings()->setValue("StatisticsSetupPage/peaks", 2);
        writer.getSettings()->setValue("StatisticsSetupPage/chi2-window", 5);
        writer.getSettings()->setValue("FactoryReset/peaks", 0);
    }
    QFile raw(file);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(raw.readAll());
    QCOMPARE(text.count("<StatisticsSetupPage>"), 1);
    QCOMPARE(text.count("<FactoryReset>"), 1);
    QVERIFY(text.indexOf("<FactoryReset>") < text.indexOf("<StatisticsSetupPage>"));
    QVERIFY(text.contains("<chi2-window>5</chi2-window>"));
}

void TestApplicationSettings::xmlReadsMegabyteKeysAndValues()
{
    const QString file = path("big.xui");
    const QString longName = "k" + QString(1 << 20, QLatin1Char('x'));
    const QString longValue(1 << 20, QLatin1Char('v'));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("<Settings><g><" + longName.toUtf8() + ">1</" + longName.toUtf8() + "><v>" + longValue.toUtf8()
              + "</v></g></Settings>");
    out.close();
    // An element name past Qt's 4 KiB limit is a format error, not a hang.
    VRXApplicationSettings refused(nullptr, file, false, true);
    QCOMPARE(refused.getSettings()->status(), QSettings::FormatError);

    const QString written = path("big-written.xui");
    {
        VRXApplicationSettings writer(nullptr, written, false, true);
        writer.getSettings()->setValue("g/" + longName, 1);
        writer.getSettings()->setValue("g/v", longValue);
    }
    const QString copy = path("big-copy.xui");
    QVERIFY(QFile::copy(written, copy));
    VRXApplicationSettings reader(nullptr, copy, false, true);
    QCOMPARE(reader.getSettings()->status(), QSettings::NoError);
    QCOMPARE(reader.getSettings()->value("g/" + longName).toString(), QString("1"));
    QCOMPARE(reader.getSettings()->value("g/v").toString(), longValue);
}

void TestApplicationSettings::xmlDepthLimit_data()
{
    QTest::addColumn<int>("levels");
    QTest::addColumn<bool>("readable");
    // The key of 64 levels is one element short of the limit (the root counts).
    QTest::newRow("64 levels") << 64 << true;
    QTest::newRow("65 levels") << 65 << false;
    QTest::newRow("10000 levels") << 10000 << false;
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

void TestApplicationSettings::applicationNamesUseTheGivenFolder()
{
    QCoreApplication::setOrganizationName("corvid-test");
    QCoreApplication::setApplicationName("settings");
    const QString folder = path("user");
    for (bool xml : {false, true}) {
        VRXApplicationSettings s(nullptr, folder, true, xml);
        s.getSettings()->setValue("g/k", 1);
        s.getSettings()->sync();
        QVERIFY2(s.getSettings()->fileName().startsWith(folder), qPrintable(s.getSettings()->fileName()));
        QVERIFY(QFile::exists(s.getSettings()->fileName()));
    }
}

QTEST_MAIN(TestApplicationSettings)
#include "tst_applicationsettings.moc"
