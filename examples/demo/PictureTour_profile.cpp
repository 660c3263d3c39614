#include "PictureTour.h"

#include "ProfileMonitorPage.h"
#include "SimulatedProfileMonitor.h"

#include <VRXMultichannelProxyModel.h>
#include <VRXScopePlotView.h>
#include <VRXSingleChannelDataModel.h>

#include <cmath>
#include <memory>
#include <vector>

void PictureTour::profileMonitor()
{
    auto *page = visit<ProfileMonitorPage>("beam-profile");
    if (!page)
        return;
    // One beam, then the second peak in the other region.
    page->monitor()->addFrame(2.0);
    grab(QStringLiteral("one-beam"));
    page->monitor()->addFrame(6.5);
    grab(QStringLiteral("second-peak"));

    // A 300-strip profile merged from single-channel readers, as a wide
    // monitor is read out: the second region's beam lies past channel 256.
    const int strips = 300;
    std::vector<std::unique_ptr<Corvid_Qt::VRXSingleChannelDataModel>> readers;
    Corvid_Qt::VRXMultichannelProxyModel merged;
    for (int c = 1; c <= strips; ++c) {
        readers.emplace_back(new Corvid_Qt::VRXSingleChannelDataModel(16));
        readers.back()->setChannelName(QString::number(c));
        merged.addSourceModel(readers.back().get());
    }
    const auto peak = [](int c, double centre, double sigma, double height) {
        return height * std::exp(-(c - centre) * (c - centre) / (2 * sigma * sigma));
    };
    for (int c = 1; c <= strips; ++c) {
        const double ripple = 0.04e-9 * std::sin(c * 2.7);
        readers[size_t(c - 1)]->AddData(1.0, 0.2e-9 + ripple + peak(c, 92.5, 9, 6e-9) + peak(c, 262.6, 5, 4.5e-9));
    }
    page->view()->setModel(&merged);
    grab(QStringLiteral("300-channels"));
    page->view()->setModel(page->monitor());
}
