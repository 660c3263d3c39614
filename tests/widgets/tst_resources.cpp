#include <Resources.h>

#include <QtTest/QtTest>

using namespace Corvid_Qt::resource;

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void styleSheetsWriteRgbOnly_data();
    void styleSheetsWriteRgbOnly();
};

void TestResources::styleSheetsWriteRgbOnly_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QString>("rgb");
    QTest::newRow("red") << QColor(Qt::red) << "rgb( 255,0,0)";
    QTest::newRow("black") << QColor(Qt::black) << "rgb( 0,0,0)";
    QTest::newRow("half transparent red") << QColor(255, 0, 0, 128) << "rgb( 255,0,0)";
    QTest::newRow("warning") << kWarningConditionColor << "rgb( 250,220,80)";
}

void TestResources::styleSheetsWriteRgbOnly()
{
    QFETCH(QColor, color);
    QFETCH(QString, rgb);
    QCOMPARE(rgbStyleSheetFromColor(color), rgb);
    QCOMPARE(colorRgbStyleSheetFromColor(color), "color: " + rgb + ";");
}

QTEST_APPLESS_MAIN(TestResources)
#include "tst_resources.moc"
