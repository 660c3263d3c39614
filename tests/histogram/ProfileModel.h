#ifndef CORVID_TESTS_PROFILEMODEL_H
#define CORVID_TESTS_PROFILEMODEL_H

// A device model of whole frames for the histogram suites and benchmark:
// each data row is one frame of channel values, optionally with the fits a
// device computed (statistics columns from 2000 on).
#include <VRXAbstractDeviceDataModel.h>

#include <QtCore/QVector>
#include <cmath>
#include <limits>

class ProfileModel : public Corvid_Qt::VRXAbstractDeviceDataModel
{
public:
    explicit ProfileModel(int channels, QObject *parent = nullptr)
        : VRXAbstractDeviceDataModel(parent)
        , m_channels(channels)
    {
    }

    void addFrame(double time, const QVector<double> &values, const QVector<double> &fits = {})
    {
        const int row = rowCount();
        beginInsertRows(QModelIndex(), row, row);
        m_times.append(time);
        m_frames.append(values);
        m_fits.append(fits);
        endInsertRows();
    }

    /// Replaces the newest frame in place (a running display without growth).
    void replaceLastFrame(double time, const QVector<double> &values, const QVector<double> &fits = {})
    {
        if (m_frames.isEmpty())
            return addFrame(time, values, fits);
        m_times.last() = time;
        m_frames.last() = values;
        m_fits.last() = fits;
        const int row = rowCount() - 1;
        emit dataChanged(index(row, 0), index(row, m_channels));
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
            return role == Qt::DisplayRole ? QVariant(QString::number(index.column())) : QVariant();
        return doubleData(index.row(), index.column());
    }
    bool isOverrange(int, int) const override { return false; }
    int NumberOfChannels() const override { return m_channels; }
    bool SaveDataToFile(const QString &) const override { return false; }
    void Clear() override
    {
        beginResetModel();
        m_times.clear();
        m_frames.clear();
        m_fits.clear();
        endResetModel();
    }
    double doubleData(int row, int column) const override
    {
        const int r = row - 1;
        if (r < 0 || r >= m_frames.size())
            return std::numeric_limits<double>::quiet_NaN();
        if (column == 0)
            return m_times[r];
        if (column >= Corvid_Qt::Fit0Column0) {
            const int j = column - Corvid_Qt::Fit0Column0;
            return j < m_fits[r].size() ? m_fits[r][j] : std::numeric_limits<double>::quiet_NaN();
        }
        if (column < 1 || column > m_frames[r].size())
            return std::numeric_limits<double>::quiet_NaN();
        return m_frames[r][column - 1];
    }

private:
    int m_channels;
    QVector<double> m_times;
    QVector<QVector<double>> m_frames;
    QVector<QVector<double>> m_fits;
};

/// Channel values of a Gaussian beam over `channels` channels.
inline QVector<double> gaussianProfile(int channels, double centre, double sigma, double height,
                                       double floor = 0.0)
{
    QVector<double> v(channels);
    for (int i = 0; i < channels; ++i)
        v[i] = floor + height * std::exp(-(i + 1 - centre) * (i + 1 - centre) / (2 * sigma * sigma));
    return v;
}

#endif
