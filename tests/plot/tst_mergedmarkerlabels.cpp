// Through the multichannel proxy the markers name the channel they sit on.

#include "ViewProbe.h"

#include <VRXMultichannelProxyModel.h>
#include <VRXSingleChannelDataModel.h>

using namespace Corvid_Qt;

class tst_MergedMarkerLabels : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void markerNamesTheChannel_data();
    void markerNamesTheChannel();
};

void tst_MergedMarkerLabels::markerNamesTheChannel_data()
{
    QTest::addColumn<double>("y");
    QTest::addColumn<QString>("channel");
    QTest::newRow("named source") << 10.5 << "Channel I7\n";
    QTest::newRow("unnamed source") << 19.5 << "Channel 2\n";
    QTest::newRow("another name") << 30.5 << "Channel Q2\n";
}

void tst_MergedMarkerLabels::markerNamesTheChannel()
{
    QFETCH(double, y);
    QFETCH(QString, channel);
    // Channel k reads 10 k, flat, so the marker takes the curve nearest to y.
    VRXSingleChannelDataModel named, unnamed, other;
    named.setChannelName(QStringLiteral("I7"));
    other.setChannelName(QStringLiteral("Q2"));
    const QVector<VRXSingleChannelDataModel *> sources = {&named, &unnamed, &other};
    for (int i = 1; i <= 100; ++i) {
        for (int k = 0; k < sources.size(); ++k)
            sources[k]->AddData(0.01 * i, 10.0 * (k + 1));
    }
    VRXMultichannelProxyModel merged;
    for (VRXSingleChannelDataModel *source : sources)
        merged.addSourceModel(source);
    ViewProbe view;
    view.showWith(&merged);
    view.click(QPointF(0.5, y), QPointF(0.7, y));
    for (int i = 0; i < 2; ++i)
        QVERIFY2(view.markerText(i).contains(channel), qPrintable(view.markerText(i)));
}

QTEST_MAIN(tst_MergedMarkerLabels)
#include "tst_mergedmarkerlabels.moc"
