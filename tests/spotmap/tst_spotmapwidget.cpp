#include "SpotMapTestKit.h"

#include <SpotMapWidget.h>

#include <QtCore/QTranslator>
#include <QtWidgets/QLabel>
#include <QtWidgets/QStackedWidget>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QVBoxLayout>

using namespace Corvid_Qt;
using namespace corvid_test;

namespace {

QToolButton *button(const SpotMapWidget &w, const char *name)
{
    return w.findChild<QToolButton *>(name);
}

QString labelText(const SpotMapWidget &w, const char *name)
{
    return w.findChild<QLabel *>(name)->text();
}

int buttonPage(const SpotMapWidget &w)
{
    return w.findChild<QStackedWidget *>("buttonStack")->currentIndex();
}

bool buttonsEnabled(const SpotMapWidget &w)
{
    return button(w, "DataButton")->isEnabled() && button(w, "DifferenceButton")->isEnabled()
           && button(w, "DiffOverlayButton")->isEnabled();
}

class KeyRecorder : public QWidget
{
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent *event) override { keys << event->key(); }
};

class Shouting : public QTranslator
{
public:
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        return QLatin1String(context) == QLatin1String("SpotMapWidget") ? QString::fromUtf8(source).toUpper()
                                                                         : QString();
    }
    bool isEmpty() const override { return false; }
};

} // namespace

class TestSpotMapWidget : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsWithoutButtons();
    void buttonsChooseTheDisplayMode_data();
    void buttonsChooseTheDisplayMode();
    void clearedOrDeletedTargetHidesTheButtons();
    void pageKeysStepLayersOtherKeysReachTheParent_data();
    void pageKeysStepLayersOtherKeysReachTheParent();
    void textsAndRetranslation();
};

void TestSpotMapWidget::startsWithoutButtons()
{
    SpotMapWidget w;
    QCOMPARE(labelText(w, "titleLabel"), QString("Title"));
    QCOMPARE(buttonPage(w), 0);
    QVERIFY(button(w, "DataButton")->isChecked());
    QVERIFY(!button(w, "DifferenceButton")->isEnabled());
    QVERIFY(!button(w, "DiffOverlayButton")->isEnabled());
    QCOMPARE(w.spotMapView()->diffTarget(), nullptr);
    QCOMPARE(w.spotMapView()->displayMode(), DisplayData);
    QCOMPARE(w.focusPolicy(), Qt::StrongFocus);
}

void TestSpotMapWidget::buttonsChooseTheDisplayMode_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("mode");
    QTest::newRow("Diff") << "DifferenceButton" << int(DisplayDiff);
    QTest::newRow("Overlay") << "DiffOverlayButton" << int(DisplayDiffOverlay);
    QTest::newRow("Actual after Diff") << "DataButton" << int(DisplayData);
}

void TestSpotMapWidget::buttonsChooseTheDisplayMode()
{
    QFETCH(QString, name);
    QFETCH(int, mode);

    SpotMapWidget planned, delivered;
    planned.setDiffTarget(&delivered);
    QCOMPARE(buttonPage(planned), 1);
    QVERIFY(buttonsEnabled(planned));
    QCOMPARE(planned.spotMapView()->diffTarget(), delivered.spotMapView());

    button(planned, "DifferenceButton")->click();
    button(planned, name.toLatin1())->click();
    QCOMPARE(int(planned.spotMapView()->displayMode()), mode);
    int checked = 0;
    for (const char *b : {"DataButton", "DifferenceButton", "DiffOverlayButton"})
        checked += button(planned, b)->isChecked();
    QCOMPARE(checked, 1);
}

void TestSpotMapWidget::clearedOrDeletedTargetHidesTheButtons()
{
    SpotMapWidget w;
    {
        SpotMapWidget other;
        w.setDiffTarget(&other);
        button(w, "DiffOverlayButton")->click();
        QCOMPARE(w.spotMapView()->displayMode(), DisplayDiffOverlay);
    }
    QCOMPARE(buttonPage(w), 0);
    QVERIFY(!button(w, "DifferenceButton")->isEnabled());
    QVERIFY(button(w, "DataButton")->isChecked());
    QCOMPARE(w.spotMapView()->diffTarget(), nullptr);
    QCOMPARE(w.spotMapView()->displayMode(), DisplayData);

    SpotMapWidget other;
    w.setDiffTarget(&other);
    button(w, "DifferenceButton")->click();
    w.setDiffTarget(nullptr);
    QCOMPARE(buttonPage(w), 0);
    QVERIFY(button(w, "DataButton")->isChecked());
    QCOMPARE(w.spotMapView()->displayMode(), DisplayData);
}

void TestSpotMapWidget::pageKeysStepLayersOtherKeysReachTheParent_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QList<int>>("deltas");
    QTest::addColumn<bool>("reachesParent");
    QTest::newRow("Page Up") << int(Qt::Key_PageUp) << QList<int>{1} << false;
    QTest::newRow("Page Down") << int(Qt::Key_PageDown) << QList<int>{-1} << false;
    QTest::newRow("letter") << int(Qt::Key_A) << QList<int>{} << true;
    QTest::newRow("arrow") << int(Qt::Key_Up) << QList<int>{} << true;
}

void TestSpotMapWidget::pageKeysStepLayersOtherKeysReachTheParent()
{
    QFETCH(int, key);
    QFETCH(QList<int>, deltas);
    QFETCH(bool, reachesParent);

    KeyRecorder parent;
    auto *layout = new QVBoxLayout(&parent);
    auto *w = new SpotMapWidget;
    layout->addWidget(w);
    QList<int> emitted;
    connect(w, &SpotMapWidget::layerChange, [&emitted](int d) { emitted << d; });
    QTest::keyClick(w, Qt::Key(key));
    QCOMPARE(emitted, deltas);
    QCOMPARE(parent.keys, reachesParent ? QList<int>{key} : QList<int>{});
}

void TestSpotMapWidget::textsAndRetranslation()
{
    SpotMapWidget w;
    w.setTitle("Planned");
    w.setXvalue("1.5");
    w.setYvalue("-2");
    w.setDoseValue("0.3");
    QCOMPARE(labelText(w, "titleLabel"), QString("Planned"));
    QCOMPARE(labelText(w, "x_value"), QString("1.5"));
    QCOMPARE(labelText(w, "y_value"), QString("-2"));
    QCOMPARE(labelText(w, "dose_value"), QString("0.3"));
    QCOMPARE(labelText(w, "dose_label"), QString("dose(Gp):"));

    Shouting translator;
    QCoreApplication::installTranslator(&translator);
    QCoreApplication::processEvents();
    QCOMPARE(button(w, "DataButton")->text(), QString("ACTUAL"));
    QCOMPARE(button(w, "DiffOverlayButton")->text(), QString("OVERLAY"));
    QCOMPARE(labelText(w, "x_label"), QString("X:"));
    QCoreApplication::removeTranslator(&translator);
    QCoreApplication::processEvents();
    QCOMPARE(button(w, "DataButton")->text(), QString("Actual"));
}

QTEST_MAIN(TestSpotMapWidget)
#include "tst_spotmapwidget.moc"
