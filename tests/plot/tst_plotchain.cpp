// The plot view on the chain a scope display builds: single-channel models
// merged, averaged and zeroed.

#include "PlotTestKit.h"

#include <VRXAveragingProxyModel.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXSingleChannelDataModel.h>
#include <VRXZeroingProxyModel.h>

#include <QtWidgets/QLabel>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

using namespace Corvid_Qt;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

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
        view.showWith(&zeroed);
    }

    void addChannel(int capacity)
    {
        models.emplace_back(new VRXSingleChannelDataModel(capacity));
        merged.addSourceModel(models.back().get());
    }

    /// Every channel gets `steps` samples 1 ms apart reading c + 1, or value.
    void add(int steps, double value = kNaN)
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
    void resetsAndChannelsFromTheChain();
};

void tst_PlotChain::stripFollowsAFullBuffer()
{
    Chain chain(3, 500);
    chain.add(300);
    chain.view.click(QPointF(0.2505, 0.0), QPointF(0.2605, 0.0));
    chain.add(500);
    // The label counts the samples of the model at the bottom of the chain.
    QCOMPARE(chain.samples.text(), QStringLiteral("500 Samples"));
    QCOMPARE(chain.view.xHigh(), 0.8);
    QCOMPARE(chain.view.xLow(), chain.zeroed.doubleData(500 - 256 + 1, 0));
    QCOMPARE(chain.view.curveCount(), 3);
    // The markers kept their times, which have left the buffer: they sit on
    // its first sample, outside the drawn rows, and measure no channel.
    QVERIFY(chain.view.markerShown(0));
    QCOMPARE(chain.view.plotMarker(0)->xValue(), chain.zeroed.doubleData(1, 0));
    QCOMPARE(chain.view.markerText(0), QStringLiteral("Time (seconds): 3.010e-01\nChannel Time (s)\n0"));

    // Placed again inside the window they measure there, and stay.
    chain.view.click(QPointF(0.7005, 2.0), QPointF(0.7105, 0.0));
    QCOMPARE(chain.view.plotMarker(0)->xValue(), 0.701);
    QVERIFY(chain.view.markerText(0).endsWith(QStringLiteral("\n2")));
    QVERIFY(chain.view.markerText(1).contains(QStringLiteral("Frequency: 1.000e+02 Hz")));
    QVERIFY(chain.view.markerText(1).contains(QStringLiteral("      Sum:           22\n")));
    chain.add(20);
    QVERIFY(chain.view.markerShown(0) && chain.view.markerShown(1));

    // Scope sweeps of 256 samples, the newest complete one on screen.
    chain.view.SetPlotMode(VRXScopePlotView::ScopePlotMode);
    chain.add(700);
    QVERIFY(std::abs(chain.view.xHigh() - chain.view.xLow() - 0.255) < 1e-9);
    QVERIFY(chain.view.xHigh() <= 1.52 && chain.view.xHigh() > 1.52 - 0.256);
}

void tst_PlotChain::resetsAndChannelsFromTheChain()
{
    Chain chain(2, 1000);
    chain.add(400);
    QwtPlotCurve *curve = chain.view.curve(1);
    QCOMPARE(curve->sample(curve->dataSize() - 1).y(), 1.0);
    chain.zeroed.zeroNow();
    chain.add(10, 3.0);
    QCOMPARE(chain.view.curve(1), curve);
    QCOMPARE(curve->sample(curve->dataSize() - 1).y(), 2.0);
    chain.averaged.setAveraging(10);
    PlotViewProbe::settle();
    QCOMPARE(chain.view.curveCount(), 2);

    // A timestamp of 0 clears a device model; the view then shows nothing.
    for (auto &model : chain.models)
        model->AddData(0.0, 1.0);
    PlotViewProbe::settle();
    QCOMPARE(chain.samples.text(), QStringLiteral("1 Samples"));
    QCOMPARE(chain.view.curveCount(), 0);
    chain.next = 0;
    chain.add(50);
    QCOMPARE(chain.view.curveCount(), 2);
    QCOMPARE(chain.view.xHigh(), 0.05);

    // Channels come and go; readings go bad.
    chain.addChannel(1000);
    chain.add(100);
    QCOMPARE(chain.view.curveCount(), 3);
    chain.merged.removeSourceModel(chain.models.front().get());
    chain.add(5, std::numeric_limits<double>::infinity());
    chain.models[1]->AddData(0.2, kNaN);
    chain.next = 300;
    chain.add(100);
    chain.view.SetYScaleMode(VRXScopePlotView::PlotScaleNormalize);
    PlotViewProbe::settle();
    QCOMPARE(chain.view.curveCount(), 2);
    QVERIFY(!chain.view.grab().isNull());

    // Without a model there is nothing to count; a deleted label is let go.
    chain.view.setModel(nullptr);
    chain.view.Plot();
    QCOMPARE(chain.samples.text(), QStringLiteral("0 Samples"));
    {
        QLabel gone;
        chain.view.SetBufferSizeLabel(&gone);
    }
    chain.view.Plot();
}

QTEST_MAIN(tst_PlotChain)
#include "tst_plotchain.moc"
