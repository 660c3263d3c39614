// 32 channels sampled in step: merged by the multichannel proxy and read
// through it, against the same 32 single-channel models read directly. The
// same listener, on the merged table or on each of the 32, follows rows
// inserted, rows removed and changed cells; it marks the data as changed and
// reads the newest row once per tick, as a view repaints once per frame
// however many signals came. Direct and merged runs alternate, so that the
// load of a shared machine weighs on both alike.
#include "BenchHarness.h"

#include <VRXMultichannelProxyModel.h>
#include <VRXSingleChannelDataModel.h>

#include <QtGui/QGuiApplication>
#include <functional>
#include <memory>
#include <vector>

using namespace Corvid_Qt;

namespace {

const int kChannels = 32;

struct Listener
{
    void listen(QAbstractItemModel *model)
    {
        QObject::connect(model, &QAbstractItemModel::rowsInserted, &context, [this]() {
            ++insertions;
            dirty = true;
        });
        QObject::connect(model, &QAbstractItemModel::rowsRemoved, &context, [this]() {
            ++removals;
            dirty = true;
        });
        QObject::connect(model, &QAbstractItemModel::dataChanged, &context, [this]() { dirty = true; });
    }

    QObject context;
    bool dirty = false;
    long insertions = 0;
    long removals = 0;
    double sum = 0.0;
};

using Models = std::vector<std::unique_ptr<VRXSingleChannelDataModel>>;

Models makeModels()
{
    Models models;
    for (int c = 0; c < kChannels; ++c)
        models.push_back(std::make_unique<VRXSingleChannelDataModel>());
    return models;
}

void fill(Models &models, int samples, double &t)
{
    for (int i = 0; i < samples; ++i, t += 1e-3) {
        for (int c = 0; c < kChannels; ++c)
            models[size_t(c)]->AddData(t, c + 1e-3 * i);
    }
}

struct Case
{
    double ticksPerSecond;
    double ratio;
    double insertionsPerTick;
    double removalsPerTick;
};

// Times `ticks` ticks on 32 direct models and on 32 merged ones, each set
// already holding `prefill` samples.
Case measure(int prefill, int ticks)
{
    double tDirect = 1.0;
    Models direct = makeModels();
    fill(direct, prefill, tDirect);
    Listener directListener;
    for (auto &model : direct)
        directListener.listen(model.get());

    double tMerged = 1.0;
    Models merged = makeModels();
    fill(merged, prefill, tMerged);
    VRXMultichannelProxyModel proxy;
    for (auto &model : merged)
        proxy.addSourceModel(model.get());
    Listener listener;
    listener.listen(&proxy);

    auto runDirect = [&] {
        for (int i = 0; i < ticks; ++i, tDirect += 1e-3) {
            for (int c = 0; c < kChannels; ++c)
                direct[size_t(c)]->AddData(tDirect, c + 1e-3 * i);
            if (!directListener.dirty)
                continue;
            directListener.dirty = false;
            for (const auto &model : direct) {
                const int newest = model->rowCount() - 1;
                directListener.sum += model->doubleData(newest, 0) + model->doubleData(newest, 1);
            }
        }
    };
    auto runMerged = [&] {
        for (int i = 0; i < ticks; ++i, tMerged += 1e-3) {
            for (int c = 0; c < kChannels; ++c)
                merged[size_t(c)]->AddData(tMerged, c + 1e-3 * i);
            if (!listener.dirty)
                continue;
            listener.dirty = false;
            const int newest = proxy.rowCount() - 1;
            listener.sum += proxy.doubleData(newest, 0);
            for (int c = 1; c <= kChannels; ++c)
                listener.sum += proxy.doubleData(newest, c);
        }
    };
    auto seconds = [](const std::function<void()> &f) {
        const auto t0 = corvid_bench::Clock::now();
        f();
        return std::chrono::duration<double>(corvid_bench::Clock::now() - t0).count();
    };

    runDirect();
    runMerged();
    const int repeats = 5;
    double directSeconds = 1e300;
    double mergedSeconds = 1e300;
    for (int r = 0; r < repeats; ++r) {
        directSeconds = std::min(directSeconds, seconds(runDirect));
        mergedSeconds = std::min(mergedSeconds, seconds(runMerged));
    }
    const long runs = repeats + 1;
    corvid_bench::keep(directListener.sum);
    corvid_bench::keep(listener.sum);

    const double allTicks = double(runs) * ticks;
    return Case{ticks / mergedSeconds, mergedSeconds / directSeconds, listener.insertions / allTicks,
                listener.removals / allTicks};
}

void report(const char *name, const Case &c, bool withRemovals)
{
    char line[200];
    if (withRemovals)
        std::snprintf(line, sizeof line, "%s ticks=%.0f ratio_to_direct=%.2f insertions_per_tick=%.3f removals_per_tick=%.3f",
                      name, c.ticksPerSecond, c.ratio, c.insertionsPerTick, c.removalsPerTick);
    else
        std::snprintf(line, sizeof line, "%s ticks=%.0f ratio_to_direct=%.2f insertions_per_tick=%.3f", name,
                      c.ticksPerSecond, c.ratio, c.insertionsPerTick);
    corvid_bench::report(line);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    // While the buffers fill (6 runs of 15000 ticks stay below 100000 samples).
    report("merge", measure(0, 15000), false);
    // Once they are full: every tick drops the oldest row and adds one.
    report("merge_wrapped", measure(VRXAbstractDeviceDataModel::maxBufferSize, 15000), true);
    return 0;
}
