#include <SpotMapView.h>
#include <SpotMapWidget.h>

#include <QtTest/QtTest>
#include <QtWidgets/QStackedWidget>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QVBoxLayout>

using namespace Corvid_Qt;

namespace {

QToolButton *button(const SpotMapWidget &w, const QString &name)
{
    return w.findChild<QToolButton *>(name);
}

// Page shown, Diff and Overlay enabled, the buttons checked, the view's mode.
QString state(const SpotMapWidget &w)
{
    QString checked;
    for (const char *name : {"DataButton", "DifferenceButton", "DiffOverlayButton"})
        checked += button(w, name)->isChecked() ? QString(name).chopped(6) : QString();
    return QString("page %1 enabled %2 checked %3 mode %4")
        .arg(w.findChild<QStackedWidget *>("buttonStack")->currentIndex())
        .arg(button(w, "DifferenceButton")->isEnabled() && button(w, "DiffOverlayButton")->isEnabled())
        .arg(checked)
        .arg(w.spotMapView()->displayMode());
}

class KeyRecorder : public QWidget
{
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent *event) override { keys << event->key(); }
};

} // namespace

class TestSpotMapWidget : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void buttonsOnlyWithATarget()
    {
        SpotMapWidget w;
        const QString alone("page 0 enabled 0 checked Data mode 0");
        QCOMPARE(state(w), alone);
        {
            SpotMapWidget other;
            w.setDiffTarget(&other);
            QCOMPARE(state(w), QString("page 1 enabled 1 checked Data mode 0"));
            QCOMPARE(w.spotMapView()->diffTarget(), other.spotMapView());
            const QList<QPair<QString, QString>> steps{{"DiffOverlayButton", "DiffOverlay mode 2"},
                {"DifferenceButton", "Difference mode 1"}, {"DataButton", "Data mode 0"},
                {"DiffOverlayButton", "DiffOverlay mode 2"}};
            for (const auto &step : steps) {
                button(w, step.first)->click();
                QCOMPARE(state(w), "page 1 enabled 1 checked " + step.second);
            }
        }
        // The target gone, or taken away, the view shows its own map again.
        QCOMPARE(state(w), alone);
        QCOMPARE(w.spotMapView()->diffTarget(), nullptr);
        SpotMapWidget other;
        w.setDiffTarget(&other);
        button(w, "DifferenceButton")->click();
        w.setDiffTarget(nullptr);
        QCOMPARE(state(w), alone);
    }

    void pageKeysStepLayersOtherKeysReachTheParent()
    {
        KeyRecorder parent;
        auto *w = new SpotMapWidget;
        (new QVBoxLayout(&parent))->addWidget(w);
        QList<int> emitted;
        connect(w, &SpotMapWidget::layerChange, [&emitted](int d) { emitted << d; });
        for (Qt::Key key : {Qt::Key_PageUp, Qt::Key_A, Qt::Key_PageDown, Qt::Key_Up})
            QTest::keyClick(w, key);
        QCOMPARE(emitted, (QList<int>{1, -1}));
        QCOMPARE(parent.keys, (QList<int>{Qt::Key_A, Qt::Key_Up}));
    }
};

QTEST_MAIN(TestSpotMapWidget)
#include "tst_spotmapwidget.moc"
