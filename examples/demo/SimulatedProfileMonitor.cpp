#include "SimulatedProfileMonitor.h"

#include <QtCore/QSaveFile>
#include <cmath>
#include <limits>

SimulatedProfileMonitor::SimulatedProfileMonitor(QObject *parent)
    : VRXAbstractDeviceDataModel(parent)
    , m_rng(7)
{
}

QVector<double> SimulatedProfileMonitor::simulate(double t)
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

void SimulatedProfileMonitor::addFrame(double t)
{
    if (m_frames.size() >= kKeep) {
        beginRemoveRows(QModelIndex(), 1, 1);
        m_frames.removeFirst();
        m_times.removeFirst();
        endRemoveRows();
    }
    const bool highRange = std::fmod(t, 8.0) >= 5.0;
    if (highRange != m_highRange) {
        m_highRange = highRange;
        emit message(highRange ? tr("range changed to 200 nA at %1 s").arg(t, 0, 'f', 2)
                               : tr("range changed to 20 nA at %1 s").arg(t, 0, 'f', 2));
    }
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    m_times.append(t);
    m_frames.append(simulate(t));
    endInsertRows();
}

QModelIndex SimulatedProfileMonitor::index(int row, int column, const QModelIndex &parent) const
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return QModelIndex();
    return createIndex(row, column);
}

int SimulatedProfileMonitor::rowCount(const QModelIndex &parent) const
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    return parent.isValid() ? 0 : m_frames.size() + 1;
}

QVariant SimulatedProfileMonitor::deviceSpecificData(const QModelIndex &index, int role) const
{
    Q_ASSERT(!index.isValid() || index.model() == this);
    if (index.row() == 0)
        return role == Qt::DisplayRole ? QVariant(QStringLiteral("%1").arg(index.column())) : QVariant();
    return doubleData(index.row(), index.column());
}

bool SimulatedProfileMonitor::SaveDataToFile(const QString &fileName) const
{
    if (fileName.isEmpty())
        return false;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QByteArray text("timestamp(s),");
    for (int c = 1; c <= kChannels; ++c)
        text += "channel_" + QByteArray::number(c) + ',';
    text += '\n';
    for (int r = 0; r < m_frames.size(); ++r) {
        text += QByteArray::number(m_times[r], 'f', 9) + ',';
        for (double v : m_frames[r])
            text += QByteArray::number(v, 'g', 6) + ',';
        text += '\n';
    }
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void SimulatedProfileMonitor::Clear()
{
    beginResetModel();
    m_frames.clear();
    m_times.clear();
    endResetModel();
}

double SimulatedProfileMonitor::doubleData(int row, int column) const
{
    const int r = row - 1;
    if (r < 0 || r >= m_frames.size() || column < 0 || column > kChannels)
        return std::numeric_limits<double>::quiet_NaN();
    return column == 0 ? m_times[r] : m_frames[r][column - 1];
}
