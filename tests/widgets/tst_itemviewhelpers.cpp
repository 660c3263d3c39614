#include <ComboBoxDelegate.h>
#include <TreeComboBox.h>
#include <VRXPopOutTabWidget.h>
#include <VRXTableView.h>

#include <QtGui/QStandardItemModel>
#include <QtTest/QtTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTreeView>

using namespace Corvid_Qt;

Q_DECLARE_METATYPE(QAbstractItemDelegate::EndEditHint)

namespace {

// Top-level rows "group 0".. with `children` rows each, the first child
// with two grandchildren.
QStandardItemModel *treeModel(int children, QObject *parent)
{
    auto *model = new QStandardItemModel(parent);
    for (int g = 0; g < 2; ++g) {
        auto *group = new QStandardItem(QString("group %1").arg(g));
        for (int c = 0; c < children; ++c)
            group->appendRow(new QStandardItem(QString("item %1").arg(c)));
        group->child(0)->appendRow(new QStandardItem("leaf a"));
        group->child(0)->appendRow(new QStandardItem("leaf b"));
        model->appendRow(group);
    }
    return model;
}

} // namespace

class TestItemViewHelpers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<QAbstractItemDelegate::EndEditHint>(); }

    // A click beside the items keeps the popup open; a chosen item is
    // reported and shown; the popup makes room for its scroll bar.
    void treeComboReportsChosenItem()
    {
        TreeComboBox combo(1);
        QStandardItemModel *model = treeModel(3, &combo);
        combo.setModel(model);
        combo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&combo));
        QSignalSpy activated(&combo, &QComboBox::textActivated);

        combo.showPopup();
        QCOMPARE(combo.rootModelIndex(), model->index(1, 0));
        auto *tree = static_cast<QTreeView *>(combo.view());
        QVERIFY(!tree->rootIsDecorated());
        QTRY_VERIFY(tree->viewport()->isVisible());
        const QPoint empty(2, tree->viewport()->height() - 2); // below the last row
        QVERIFY(!tree->indexAt(empty).isValid());
        QTest::mousePress(tree->viewport(), Qt::LeftButton, Qt::NoModifier, empty);
        combo.hidePopup();
        QVERIFY(tree->isVisible());
        tree->expandAll();
        const QModelIndex leaf = model->index(1, 0, model->index(0, 0, model->index(1, 0)));
        tree->setCurrentIndex(leaf);
        QTest::keyClick(tree, Qt::Key_Return);

        QTRY_VERIFY(!combo.view()->isVisible());
        QCOMPARE(activated.count(), 1);
        QCOMPARE(activated.at(0).at(0).toString(), QStringLiteral("leaf b"));
        QCOMPARE(combo.currentText(), QStringLiteral("leaf b"));
        QVERIFY(!combo.rootModelIndex().isValid());

        // A popup with a scroll bar is that much wider.
        auto popupWidth = [](int rows) {
            TreeComboBox other(0);
            other.setModel(treeModel(rows, &other));
            other.show();
            other.showPopup();
            return other.view()->width();
        };
        QCOMPARE(popupWidth(9) - popupWidth(8), 20);
    }

    // The table's corner button carries a caption instead of selecting. The
    // combo editor opens on the cell's choice (the first for anything but a
    // number), fits the cell's height, and commits and closes on a choice.
    void cornerCarriesCaptionAndDelegateEditsThroughItsChoices()
    {
        QStandardItemModel model(2, 1);
        model.setData(model.index(0, 0), "1");
        model.setData(model.index(1, 0), "high");
        VRXTableView view;
        view.setModel(&model);
        ComboBoxDelegate delegate({"low", "mid", "high"});
        view.setItemDelegate(&delegate);
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto *corner = view.findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(corner);
        QTest::mouseClick(corner, Qt::LeftButton);
        QVERIFY(!view.selectionModel()->hasSelection());
        const QString caption = "a rather long channel caption";
        view.setCornerButtonText(caption);
        QVERIFY(view.verticalHeader()->minimumWidth() >= view.fontMetrics().horizontalAdvance(caption));

        QSignalSpy committed(&delegate, &QAbstractItemDelegate::commitData);
        QSignalSpy closed(&delegate, &QAbstractItemDelegate::closeEditor);
        view.edit(model.index(0, 0));
        QPointer<QComboBox> combo = view.viewport()->findChild<QComboBox *>();
        QVERIFY(combo);
        QCOMPARE(combo->currentIndex(), 1);
        delegate.setEditorData(combo, model.index(1, 0));
        QCOMPARE(combo->currentIndex(), 0);
        QStyleOptionViewItem option;
        option.rect = QRect(10, 20, 300, 17);
        delegate.updateEditorGeometry(combo, option, model.index(0, 0));
        QCOMPARE(combo->geometry(), QRect(QPoint(10, 20), QSize(combo->sizeHint().width(), 17)));
        combo->setCurrentIndex(2);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("1"));
        emit combo->activated(2);
        QCOMPARE(committed.count(), 1);
        QCOMPARE(closed.count(), 1);
        QCOMPARE(model.data(model.index(0, 0), Qt::EditRole), QVariant(2));
        QTRY_VERIFY(!combo);
    }

    // A torn-off page closes back into its old place, or at the end once the
    // tabs before it are gone; it dies with the tab widget.
    void popOutRoundTrip()
    {
        auto *tabs = new VRXPopOutTabWidget;
        for (const char *name : {"A", "B", "C", "D"})
            tabs->addTab(new QLabel(name), QString::fromLatin1(name));
        tabs->show();
        QVERIFY(QTest::qWaitForWindowExposed(tabs));
        QPointer<QWidget> page = tabs->widget(1);
        QTest::mouseClick(qobject_cast<QAbstractButton *>(tabs->tabBar()->tabButton(1, QTabBar::RightSide)), Qt::LeftButton);
        QCOMPARE(tabs->count(), 3);
        QVERIFY(page->isWindow() && page->isVisible());
        QCOMPARE(page->windowTitle(), QStringLiteral("B"));
        QVERIFY(!page->close());
        QCOMPARE(tabs->indexOf(page), 1);
        QCOMPARE(tabs->tabText(1), QStringLiteral("B"));
        QVERIFY(!page->isWindow() && tabs->tabBar()->tabButton(1, QTabBar::RightSide));
        tabs->reattachTab(page); // a tab is not inserted twice, nor a page never torn off
        QLabel stranger("stranger");
        tabs->reattachTab(&stranger);
        QCOMPARE(tabs->count(), 4);

        QWidget *last = tabs->widget(3);
        tabs->detachTab(3);
        delete tabs->widget(0);
        delete tabs->widget(1);
        QVERIFY(!last->close());
        QCOMPARE(tabs->indexOf(last), 1);
        QCOMPARE(tabs->tabText(1), QStringLiteral("D"));
        tabs->detachTab(0);
        QVERIFY(page->isVisible());
        delete tabs;
        QVERIFY(page.isNull());
    }
};

QTEST_MAIN(TestItemViewHelpers)
#include "tst_itemviewhelpers.moc"
