// Readings arrive at kHz per channel on the GUI thread and go through the
// chain device -> averaging -> zeroing before a view reads them. Measures
// samples per second of AddData through that chain, against what a Qt
// programmer would otherwise write: a QStandardItemModel of two columns under
// two QIdentityProxyModels, one row appended per sample (and row 1 removed
// once 100000 rows are held). A listener reads the newest value on every
// rowsInserted, as a plot would. A last case times one emission of a model
// signal through a connection by signature against one through a functor.
// The memory lines give the resident growth of full chains over their floor,
// the bytes of the ring buffers they need: the device's time and value
// buffers, plus the averaged one when N > 1 (none at N = 1).
#include "BenchHarness.h"

#include <VRXAveragingProxyModel.h>
#include <VRXSingleChannelDataModel.h>
#include <VRXZeroingProxyModel.h>

#include <QtCore/QAbstractTableModel>
#include <QtCore/QCoreApplication>
#include <QtCore/QIdentityProxyModel>
#include <QtGui/QStandardItemModel>

#include <boost/circular_buffer.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

using namespace Corvid_Qt;
using corvid_bench::keep;

namespace {

const int kBuffer = VRXAbstractDeviceDataModel::maxBufferSize;

/// Best wall-clock seconds of run() over `repeats`, each after an untimed setup().
template <typename Setup, typename Run>
double bestOf(Setup setup, Run run, int repeats = 5)
{
    double best = 1e300;
    for (int i = 0; i <= repeats; ++i) { // the first round warms up
        setup();
        const auto t0 = corvid_bench::Clock::now();
        run();
        const double s = std::chrono::duration<double>(corvid_bench::Clock::now() - t0).count();
        if (i > 0)
            best = std::min(best, s);
    }
    return best;
}

struct Chain
{
    VRXSingleChannelDataModel device;
    VRXAveragingProxyModel averaging;
    VRXZeroingProxyModel zeroing;
    double t = 0.0; // timestamps never repeat, so no sample is dropped

    explicit Chain(int capacity = kBuffer, int n = 100)
        : device(capacity)
    {
        averaging.setSourceModel(&device);
        averaging.setAveraging(n);
        zeroing.setSourceModel(&averaging);
    }
    void listen()
    {
        QObject::connect(&zeroing, &QAbstractItemModel::rowsInserted, &zeroing,
                         [this](const QModelIndex &, int, int last) { keep(zeroing.doubleData(last, 1)); });
    }
    void add(int n)
    {
        for (int i = 0; i < n; ++i) {
            t += 1e-3;
            device.AddData(t, 1e-9 * (i & 1023));
        }
    }
    void addBatched(int n, int batch)
    {
        for (int i = 0; i < n; ++i) {
            t += 1e-3;
            device.AddData(t, 1e-9 * (i & 1023));
            if ((i + 1) % batch == 0)
                device.UpdateView();
        }
        device.UpdateView();
    }
};

struct Baseline
{
    QStandardItemModel model{0, 2};
    QIdentityProxyModel lower;
    QIdentityProxyModel upper;
    double t = 0.0;

    Baseline()
    {
        lower.setSourceModel(&model);
        upper.setSourceModel(&lower);
        QObject::connect(&upper, &QAbstractItemModel::rowsInserted, &upper, [this](const QModelIndex &, int, int last) {
            keep(upper.index(last, 1).data().toDouble());
        });
    }
    void add(int n)
    {
        for (int i = 0; i < n; ++i) {
            t += 1e-3;
            if (model.rowCount() >= kBuffer)
                model.removeRow(1);
            auto *time = new QStandardItem;
            time->setData(t, Qt::DisplayRole);
            auto *value = new QStandardItem;
            value->setData(1e-9 * (i & 1023), Qt::DisplayRole);
            model.appendRow({time, value});
        }
    }
};

/// The least a ring-buffered model can do, under the same two identity
/// proxies as the baseline: shows how much of a sample's cost is the
/// toolkit's signal dispatch, which no model can avoid.
class MinimalRingModel : public QAbstractTableModel
{
public:
    MinimalRingModel()
        : m_t(kBuffer)
        , m_v(kBuffer)
    {
    }
    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_t.size());
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override { return parent.isValid() ? 0 : 2; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return QVariant();
        return index.column() == 0 ? m_t[size_t(index.row())] : m_v[size_t(index.row())];
    }
    void append(double t, double v)
    {
        if (m_t.full()) {
            beginRemoveRows(QModelIndex(), 0, 0);
            m_t.pop_front();
            m_v.pop_front();
            endRemoveRows();
        }
        beginInsertRows(QModelIndex(), int(m_t.size()), int(m_t.size()));
        m_t.push_back(t);
        m_v.push_back(v);
        endInsertRows();
    }
    void clear()
    {
        beginResetModel();
        m_t.clear();
        m_v.clear();
        endResetModel();
    }

private:
    boost::circular_buffer<double> m_t;
    boost::circular_buffer<double> m_v;
};

struct Reference
{
    MinimalRingModel model;
    QIdentityProxyModel lower;
    QIdentityProxyModel upper;
    double t = 0.0;

    Reference()
    {
        lower.setSourceModel(&model);
        upper.setSourceModel(&lower);
        QObject::connect(&upper, &QAbstractItemModel::rowsInserted, &upper, [this](const QModelIndex &, int, int last) {
            keep(upper.index(last, 1).data().toDouble());
        });
    }
    void add(int n)
    {
        for (int i = 0; i < n; ++i) {
            t += 1e-3;
            model.append(t, 1e-9 * (i & 1023));
        }
    }
};

/// A receiver for the connection case: a slot reachable by signature.
class Receiver : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void headerChanged(Qt::Orientation, int, int last) { keep(last); }
};

/// Nanoseconds per emission of headerDataChanged, best of several rounds
/// taken in turns: first through a connection by signature, second through
/// a lambda, each to the same slot of its own receiver.
std::pair<double, double> connectionCost()
{
    const int emissions = 20000;
    QStandardItemModel bySignature, byFunctor;
    Receiver first, second;
    QObject::connect(&bySignature, SIGNAL(headerDataChanged(Qt::Orientation, int, int)), &first,
                     SLOT(headerChanged(Qt::Orientation, int, int)));
    QObject::connect(&byFunctor, &QAbstractItemModel::headerDataChanged, &second,
                     [&second](Qt::Orientation o, int from, int to) { second.headerChanged(o, from, to); });
    const auto emitAll = [emissions](QStandardItemModel &model) {
        const auto t0 = corvid_bench::Clock::now();
        for (int i = 0; i < emissions; ++i)
            emit model.headerDataChanged(Qt::Horizontal, i, i);
        return std::chrono::duration<double>(corvid_bench::Clock::now() - t0).count() * 1e9 / emissions;
    };
    // Many short rounds in alternating order: on a loaded machine the
    // quickest round of each is the nearest to its own cost.
    double signature = 1e300, functor = 1e300;
    for (int round = 0; round <= 100; ++round) {
        const bool signatureFirst = round % 2 == 0;
        const double a = emitAll(signatureFirst ? bySignature : byFunctor);
        const double b = emitAll(signatureFirst ? byFunctor : bySignature);
        if (round > 0) {
            signature = std::min(signature, signatureFirst ? a : b);
            functor = std::min(functor, signatureFirst ? b : a);
        }
    }
    return {signature, functor};
}

void report(const char *format, double a, double b = 0.0)
{
    char line[200];
    std::snprintf(line, sizeof line, format, a, b);
    corvid_bench::report(line);
}

/// Resident growth of full chains over what their ring buffers need: the
/// device's two and, when averaging, the averaged one. Measured first,
/// before other cases free memory that the heap would reuse.
double memoryOverheadPercent(int channels, int averaging)
{
    const long long before = corvid_bench::residentBytes();
    std::vector<std::unique_ptr<Chain>> chains;
    for (int c = 0; c < channels; ++c) {
        chains.emplace_back(new Chain(kBuffer, averaging));
        chains.back()->device.setAutoUpdate(false);
        chains.back()->addBatched(kBuffer, kBuffer);
    }
    const long long after = corvid_bench::residentBytes();
    const double buffers = double(channels) * (averaging > 1 ? 3.0 : 2.0) * 8.0 * kBuffer;
    return (double(after - before) - buffers) / buffers * 100.0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const double overhead = memoryOverheadPercent(64, 100);
    const double noAveragingOverhead = memoryOverheadPercent(128, 1);

    Chain chain;
    chain.listen();
    Chain small(1000); // a full buffer must cost the same at any length
    small.listen();
    small.add(1000);
    Baseline baseline;
    Reference reference;
    const int baseFullSamples = 3000;

    // All cases are timed in turns, best of several rounds, so that a load
    // that comes and goes on the machine weighs on each of them alike. A
    // chain round empties it, fills it, then pushes as many samples again
    // through the full buffer.
    double chainFill = 1e300, chainFullS = 1e300, smallFullS = 1e300, baseFill = 1e300, baseFullS = 1e300,
           refFill = 1e300;
    auto keepBest = [](double &best, corvid_bench::Clock::time_point a, corvid_bench::Clock::time_point b) {
        best = std::min(best, std::chrono::duration<double>(b - a).count());
    };
    for (int round = 0; round <= 6; ++round) {
        const bool warmUp = round == 0;
        chain.device.Clear();
        auto t0 = corvid_bench::Clock::now();
        chain.add(kBuffer);
        auto t1 = corvid_bench::Clock::now();
        chain.add(kBuffer);
        auto t2 = corvid_bench::Clock::now();
        small.add(kBuffer);
        auto t2b = corvid_bench::Clock::now();

        baseline.model.setRowCount(0);
        auto t3 = corvid_bench::Clock::now();
        baseline.add(kBuffer);
        auto t4 = corvid_bench::Clock::now();
        baseline.add(baseFullSamples);
        auto t5 = corvid_bench::Clock::now();

        reference.model.clear();
        auto t6 = corvid_bench::Clock::now();
        reference.add(kBuffer);
        auto t7 = corvid_bench::Clock::now();
        if (warmUp)
            continue;
        keepBest(chainFill, t0, t1);
        keepBest(chainFullS, t1, t2);
        keepBest(smallFullS, t2, t2b);
        keepBest(baseFill, t3, t4);
        keepBest(baseFullS, t4, t5);
        keepBest(refFill, t6, t7);
    }
    const double chainFilling = kBuffer / chainFill;
    const double chainFull = kBuffer / chainFullS;
    const double smallFull = kBuffer / smallFullS;
    const double baseFilling = kBuffer / baseFill;
    const double baseFull = baseFullSamples / baseFullS;
    const double refFilling = kBuffer / refFill;

    const double chainBatched = kBuffer / bestOf([&] {
        chain.device.Clear();
        chain.device.setAutoUpdate(false);
    }, [&] { chain.addBatched(kBuffer, 1000); });
    chain.device.setAutoUpdate(true);

    report("chain case=filling rate=%.0f ratio=%.1f", chainFilling, chainFilling / baseFilling);
    report("chain case=full rate=%.0f ratio=%.1f", chainFull, chainFull / baseFull);
    report("chain case=batched rate=%.0f ratio=%.1f", chainBatched, chainBatched / baseFilling);
    report("baseline case=filling rate=%.0f full_rate=%.0f", baseFilling, baseFull);
    report("chain full_over_filling=%.2f", chainFull / chainFilling);
    report("chain case=full capacity=1000 rate=%.0f ratio_to_full=%.2f", smallFull, smallFull / chainFull);
    report("reference case=filling rate=%.0f ratio=%.1f", refFilling, refFilling / baseFilling);
    report("memory channels=64 overhead_pct=%.2f", overhead);
    report("memory case=no_avg channels=128 overhead_pct=%.2f", noAveragingOverhead);
    const std::pair<double, double> connection = connectionCost();
    report("connection ns_string=%.1f ns_functor=%.1f", connection.first, connection.second);
    report("connection functor_over_string=%.2f", connection.second / connection.first);
    return 0;
}

#include "bench_models.moc"
