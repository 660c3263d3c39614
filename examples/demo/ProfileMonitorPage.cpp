#include "ProfileMonitorPage.h"

#include <VRXAbstractDeviceDataModel.h>
#include <VRXScopePlotView.h>

#include <QtCore/QTimer>
#include <QtCore/QVector>
#include <QtWidgets/QApplication>
#include <QtWidgets/QVBoxLayout>
#include <cmath>
#include <limits>
#include <random>

using Corvid_Qt::VRXScopePlotView;

/// The device: one row of 32 channel currents per frame, the newest last;
/// keeps the last few hundred frames.
class SimulatedProfileMonitor : public Corvid_Qt::VRXAbstractDeviceDataModel
{
public:
    static const int kChannels = 32;
    static const int kKeep = 300;

    explicit SimulatedProfileMonitor(QObject *parent = nullptr)
        : VRXAbstractDeviceDataModel(parent)
        , m_rng(7)
    {
    }

    /// The frame at time t (seconds): the beam drifts and breathes; every
    /// eight seconds a second peak shows for three.
    QVector<double> simulate(double t)
    {
        std::normal_distribution<double> noise(0.0, 0.015e-9);
        const double centre = 8.5 + 2.5 * std::sin(0.45 * t);
        const double sigma = 2.2 + 0.6 * std::sin(1.1 * t + 0.5);
        const double height = 1.0e-9 * (1.0 + 0.1 * std::sin(0.3 * t));
        const double second = std::fmod(t, 8.0) >= 5.0 ? 0.6e-9 : 0.0;
        QVector<double> v(kChannels);
        for (int i = 0; i < kChannels; ++i) {
            const double x = i + 1;
            v[i] = 0.04e-9 + height * std::exp(-(x - centre) * (x - centre) / (2 * sigma * sigma))
                   + second * std::exp(-(x - 24.0) * (x - 24.0) / (2 * 1.6 * 1.6)) + noise(m_rng);
        }
        return v;
    }

    void addFrame(double t)
    {
        if (m_frames.size() >= kKeep) {
            beginRemoveRows(QModelIndex(), 1, 1);
            m_frames.removeFirst();
            m_times.removeFirst();
            endRemoveRows();
        }
        const int row = rowCount();
        beginInsertRows(QModelIndex(), row, row);
        m_times.append(t);
        m_frames.append(simulate(t));
        endInsertRows();
    }

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override
    {
        Q_ASSERT(!parent.isValid() || parent.model() == this);
        if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
            return QModelIndex();
        return createIndex(row, column);
    }
    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        Q_ASSERT(!parent.isValid() || parent.model() == this);
        return parent.isValid() ? 0 : m_frames.size() + 1;
    }
    QVariant deviceSpecificData(const QModelIndex &index, int role) const override
    {
        Q_ASSERT(!index.isValid() || index.model() == this);
        if (index.row() == 0)
            return role == Qt::DisplayRole ? QVariant(QStringLiteral("%1").arg(index.column())) : QVariant();
        return doubleData(index.row(), index.column());
    }
    bool isOverrange(int, int) const override { return false; }
    int NumberOfChannels() const override { return kChannels; }
    bool SaveDataToFile(const QString &) const override { return false; }
    void Clear() override
    {
        beginResetModel();
        m_frames.clear();
        m_times.clear();
        endResetModel();
    }
    double doubleData(int row, int column) const override
    {
        const int r = row - 1;
        if (r < 0 || r >= m_frames.size() || column < 0 || column > kChannels)
            return std::numeric_limits<double>::quiet_NaN();
        return column == 0 ? m_times[r] : m_frames[r][column - 1];
    }

private:
    std::mt19937 m_rng;
    QVector<double> m_times;
    QVector<QVector<double>> m_frames;
};

ProfileMonitorPage::ProfileMonitorPage(QWidget *parent)
    : DemoPage(tr("Beam profile"), parent)
    , m_monitor(new SimulatedProfileMonitor(this))
    , m_view(new VRXScopePlotView(this))
    , m_timer(new QTimer(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view);

    m_monitor->addFrame(0.0);
    m_view->setModel(m_monitor);
    m_view->SetPlotMode(VRXScopePlotView::HistogramPlotMode);
    // Centre of gravity above 10 % of the peak; Gaussian fit over the
    // channels above 10 % with weights squared, chi-square over 5 channels.
    m_view->enableHistogramItem(VRXScopePlotView::CoGHistogramItemType, 2, {0, 0.1, 3}, true);
    m_view->enableHistogramItem(VRXScopePlotView::RegressionHistogramItemType, 2, {0.1, 1024, 1e-15, 1e-14, 2, 5},
                                true);

    connect(m_timer, &QTimer::timeout, this, &ProfileMonitorPage::tick);
    m_clock.start();
    m_timer->start(50);
}

ProfileMonitorPage::~ProfileMonitorPage() = default;

void ProfileMonitorPage::tick()
{
    m_monitor->addFrame(m_clock.elapsed() / 1000.0);
}

QStringList ProfileMonitorPage::writePictures(const QString &dir, const QString &prefix)
{
    m_timer->stop();
    QStringList files;
    // One beam, then the second peak in the other region.
    const struct {
        double t;
        const char *suffix;
    } states[] = {{2.0, "one-beam"}, {6.5, "second-peak"}};
    for (const auto &state : states) {
        m_monitor->addFrame(state.t);
        // A pass, then the strips grow to their panels' height.
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        const QString file = grabTo(dir, prefix, QLatin1String(state.suffix));
        if (!file.isEmpty())
            files << file;
    }
    m_timer->start(50);
    return files;
}
