// The plot view on the chain a scope display builds: single-channel models
// merged, averaged and zeroed.

#include "PlotViewProbe.h"

#include <VRXAveragingProxyModel.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXSingleChannelDataModel.h>
#include <VRXZeroingProxyModel.h>

#include <QtTest/QtTest>
#include <QtWidgets/QLabel>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

using namespace Corvid_Qt;

namespace {

struct Chain {
    std::vector<std::unique_ptr<VRXSingleChannelDataModel>> models;
    VRXMultichannelProxyModel merged;
    VRXAveragingProxyModel averaged;
    VRXZeroingProxyModel zeroed;
    QLabel samples;
    PlotViewProbe view;
    int next = 0;

    Chain(int channels, int capacity)
    {
        for (int c = 0; c < channels; ++c)
            addChannel(capacity);
        averaged.setSourceModel(&merged);
        zeroed.setSourceModel(&averaged);
        view.SetBufferSizeLabel(&samples);
        view.setModel(&zeroed);
        view.show();
        static_cast<void>(QTest::qWaitForWindowExposed(&view));
    }

    void addChannel(int capacity)
    {
        models.emplace_back(new VRXSingleChannelDataModel(capacity));
        merged.addSourceModel(models.back().get());
    }

    /// Every channel gets `steps` samples 1 ms apart; channel c reads c + 1.
    void add(int steps, double value = std::numeric_limits<double>::quiet_NaN())
    {
        for (int i = 0; i < steps; ++i, ++next) {
            for (size_t c = 0; c < models.size(); ++c)
                models[c]->AddData((next + 1) * 1e-3, std::isnan(value) ? c + 1.0 : value);
            if (i % 50 == 0)
                QCoreApplication::processEvents();
        }
        PlotViewProbe::settle();
    }
};

} // namespace

class tst_PlotChain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stripFollowsAFullBuffer();
    void scopeSweepsAFullBuffer();
    void resetsFromTheChain();
    void channelsAddedToTheMergedModel();
    void nonFiniteReadings();
};

void tst_PlotChain::stripFollowsAFullBuffer()
{
    Chain chain(3, 500);
    chain.add(300);
    chain.view.SelectPoint1(QPointF(0.2505, 0.0));
    chain.view.SelectPoint2(QPointF(0.2605, 0.0));
    chain.add(500);

    // The merged model is the bottom of the chain: it counts the samples.
    QCOMPARE(chain.samples.text(), QStringLiteral("500 Samples"));
    QCOMPARE(chain.zeroed.rowCount(), 501);
    QCOMPARE(chain.view.xHigh(), 0.8);
    QCOMPARE(chain.view.xLow(), chain.zeroed.doubleData(500 - 256 + 1, 0));
    QCOMPARE(chain.view.attachedCurves().size(), 3);
    // The markers kept their times; those have left the buffer's front
    // (0.251 is older than the oldest sample, 0.301), so they sit on its
    // first sample, outside the drawn rows, where no channel is measured.
    QVERIFY(chain.view.markerShown(0));
    QCOMPARE(chain.view.plotMarker(0)->xValue(), chain.zeroed.doubleData(1, 0));
    QCOMPARE(chain.view.markerText(0), QStringLiteral("Time (seconds): 3.010e-01\nChannel Time (s)\n0"));

    // Placed again inside the window they measure there.
    chain.view.SelectPoint1(QPointF(0.7005, 2.0));
    chain.view.SelectPoint2(QPointF(0.7105, 0.0));
    PlotViewProbe::settle();
    QCOMPARE(chain.view.plotMarker(0)->xValue(), 0.701);
    QVERIFY(chain.view.markerText(0).endsWith(QStringLiteral("\n2")));
    QVERIFY(chain.view.markerText(1).contains(QStringLiteral("Frequency: 1.000e+02 Hz")));
    QVERIFY(chain.view.markerText(1).contains(QStringLiteral("      Sum:           22\n")));
    chain.add(20);
    QVERIFY(chain.view.markerShown(0));
    QVERIFY(chain.view.markerShown(1));
}

void tst_PlotChain::scopeSweepsAFullBuffer()
{
    Chain chain(2, 600);
    chain.view.SetPlotMode(VRXScopePlotView::ScopePlotMode);
    chain.add(1500);
    // Sweeps of 256 samples, the newest complete one on screen.
    const double width = chain.view.xHigh() - chain.view.xLow();
    QVERIFY(std::abs(width - 0.255) < 1e-9);
    QVERIFY(chain.view.xHigh() <= 1.5);
    QVERIFY(chain.view.xHigh() > 1.5 - 0.256);
}

void tst_PlotChain::resetsFromTheChain()
{
    Chain chain(2, 1000);
    chain.add(400);
    QwtPlotCurve *curve = chain.view.curve(QStringLiteral("Channel 0"));
    QVERIFY(curve);
    QCOMPARE(curve->sample(curve->dataSize() - 1).y(), 1.0);

    chain.zeroed.zeroNow();
    chain.add(10, 3.0);
    QCOMPARE(chain.view.curve(QStringLiteral("Channel 0")), curve);
    QCOMPARE(curve->sample(curve->dataSize() - 1).y(), 2.0);

    chain.averaged.setAveraging(10);
    PlotViewProbe::settle();
    QCOMPARE(chain.view.attachedCurves().size(), 2);

    // A timestamp of 0 clears a device model; the view then shows nothing.
    for (auto &model : chain.models)
        model->AddData(0.0, 1.0);
    PlotViewProbe::settle();
    QCOMPARE(chain.samples.text(), QStringLiteral("1 Samples"));
    QVERIFY(chain.view.attachedCurves().isEmpty());
    chain.next = 0;
    chain.add(50);
    QCOMPARE(chain.view.attachedCurves().size(), 2);
    QCOMPARE(chain.view.xHigh(), 0.05);
}

void tst_PlotChain::channelsAddedToTheMergedModel()
{
    Chain chain(2, 1000);
    chain.add(100);
    chain.addChannel(1000);
    PlotViewProbe::settle();
    chain.add(100);
    QCOMPARE(chain.view.attachedCurves().size(), 3);
    chain.merged.removeSourceModel(chain.models.front().get());
    chain.add(10);
    QCOMPARE(chain.view.attachedCurves().size(), 2);
}

void tst_PlotChain::nonFiniteReadings()
{
    Chain chain(2, 1000);
    chain.add(100);
    chain.add(5, std::numeric_limits<double>::infinity());
    chain.models[0]->AddData(0.2, std::numeric_limits<double>::quiet_NaN());
    chain.next = 200;
    chain.add(100);
    chain.view.SetYScaleMode(VRXScopePlotView::PlotScaleNormalize);
    PlotViewProbe::settle();
    QCOMPARE(chain.view.attachedCurves().size(), 2);
    QVERIFY(!chain.view.grab().isNull());
}

QTEST_MAIN(tst_PlotChain)
#include "tst_plotchain.moc"
