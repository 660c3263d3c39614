#ifndef CORVID_QT_VRXSINGLECHANNELDATAMODEL_H
#define CORVID_QT_VRXSINGLECHANNELDATAMODEL_H

#include "VRXAbstractDeviceDataModel.h"
#include "corvid_qt_export.h"

#include <QtCore/QString>
#include <boost/circular_buffer.hpp>

QT_BEGIN_NAMESPACE
class QIODevice;
class QSaveFile;
QT_END_NAMESPACE

namespace Corvid_Qt {

/**
 * The time series of one device channel: a bounded history of
 * (timestamp, value) pairs appended with AddData(). Two columns, time and
 * the channel; row 0 is the header row, whose channel cell shows
 * channelName() when set, else the column number.
 *
 * Values are stored in base units and shown in units(). The ring buffers
 * are allocated once at construction (MaxBufferSize() samples, 100000 by
 * default); a full model drops its oldest sample for every new one.
 *
 * With autoUpdate() on, every sample is announced at once; a full model
 * first removes row 1 completely, then inserts the new last row (never one
 * inside the other, which Qt's views do not support). With it off, new rows are published in one batch by
 * UpdateView(); the loss of the oldest sample is still announced, but only
 * while it is a row that views have seen.
 *
 * In a chain it is the device level: one model per channel, merged by a
 * VRXMultichannelProxyModel (or given to a VRXScope directly for a single
 * channel); the host calls AddData() on the GUI thread for each reading.
 */
class CORVID_QT_EXPORT VRXSingleChannelDataModel : public VRXAbstractDeviceDataModel
{
    Q_OBJECT
    Q_PROPERTY(QString channel READ channelName WRITE setChannelName)

public:
    static const int numChannels = 1;

    explicit VRXSingleChannelDataModel(QObject *parent = nullptr);
    /// A model that keeps at most `capacity` samples (at least 1).
    explicit VRXSingleChannelDataModel(int capacity, QObject *parent = nullptr);
    ~VRXSingleChannelDataModel() override;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;

    QVariant deviceSpecificData(const QModelIndex &index, int role) const override;
    bool isOverrange(int channel, int sample) const override;

    int NumberOfChannels() const override;
    /// Timestamps in seconds unscaled, values in units(); NaN outside the table.
    double doubleData(int row, int column) const override;
    void doubleDataRange(int column, int firstRow, int count, double *values) const override;
    /// The value of data row `row` as stored, in base units; NaN outside.
    double baseValue(int row) const;
    /// Writes the published rows as comma-separated text, replacing an
    /// existing file only by a complete new one. False when the name is
    /// empty or the file cannot be opened, written or committed.
    bool SaveDataToFile(const QString &fileName) const override;
    DataFileWriter dataFileWriter() const override;
    /// The same through a save file the caller made (not yet open).
    bool SaveDataToFile(QSaveFile &file) const;
    /// Writes the comma-separated text to an open device; false when a write fails.
    bool SaveDataToDevice(QIODevice *device) const;
    void Clear() override;
    int PlotWidthHintPoints() const override;
    int MaxBufferSize() const override;

    void setPlotWidthHintPoints(int points);
    QString channelName() const;

public Q_SLOTS:
    /// Appends a reading; one whose timestamp is not finite is dropped (no row, no signal).
    void AddData(double timestamp, double data);
    /// Publishes the rows held back while auto-update was off, in one insertion.
    void UpdateView();
    void setChannelName(const QString &channelName);

private:
    void append(double timestamp, double data)
    {
        m_timestamps.push_back(timestamp);
        m_data.push_back(data);
    }

    boost::circular_buffer<double> m_timestamps;
    boost::circular_buffer<double> m_data;
    size_t m_dataSize;
    int m_plotWidthHint;
    QString m_channelName;
    /// The last reading was dropped for its time: one debug line per run of them.
    bool m_refusingTimestamps = false;
};

} // namespace Corvid_Qt

#endif
