#ifndef CORVID_QT_VRXABSTRACTDEVICEDATAMODEL_H
#define CORVID_QT_VRXABSTRACTDEVICEDATAMODEL_H

#include "VRXAbstractPlotDataModel.h"
#include "corvid_qt_export.h"

#include <QtCore/QAbstractItemModel>
#include <QtGui/QFont>
#include <QtGui/QIcon>
#include <vector>

namespace Corvid_Qt {

namespace Units {
class MeasurementUnit;
}

/**
 * Base of the item models that hold device readings, in the table layout of
 * VRXAbstractPlotDataModel: row 0 the channel headers (caption, colour,
 * enabled check state), rows 1..N the samples, column 0 time, columns 1..n
 * channels. The model is flat.
 *
 * Unit objects given to SetUnits() are not owned and must outlive the model
 * or be replaced first. SetUnits() emits unitsChanged(), then dataChanged()
 * over all data cells when there are any. A null unit (a name that
 * MeasurementUnit::fromString() did not know) is kept: units() returns it,
 * and values show as held, in the notation of defaultUnits.
 */
class CORVID_QT_EXPORT VRXAbstractDeviceDataModel : public QAbstractItemModel, public VRXAbstractPlotDataModel
{
    Q_OBJECT

public:
    static const int maxBufferSize = 100000;
    static const int MODEL_MAX_CHANNELS = 256;

    /// A plain unit named "A" of scale 1; lives for the whole process.
    static const Units::MeasurementUnit &defaultUnits;
    /// Seconds; lives for the whole process.
    static const Units::MeasurementUnit &defaultXUnits;

    explicit VRXAbstractDeviceDataModel(QObject *parent = nullptr);
    ~VRXAbstractDeviceDataModel() override;

    QModelIndex parent(const QModelIndex &child) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /// Answers DisplayRole, EditRole, ToolTipRole, SpecialDataRole and DataRole.
    virtual QVariant deviceSpecificData(const QModelIndex &index, int role) const = 0;
    /// Font of the data rows.
    virtual QFont dataFont() const;
    /// Whether sample `sample` (0-based) of channel `channel` (0-based) was over range.
    virtual bool isOverrange(int channel, int sample) const = 0;

    int NumberOfChannels() const override = 0;
    bool SaveDataToFile(const QString &fileName) const override = 0;
    void Clear() override = 0;
    int PlotWidthHintPoints() const override;
    double PlotWidthHint() const override;
    const Units::MeasurementUnit *units() const override;
    const Units::MeasurementUnit *xUnits() const override;
    QwtSeriesData<QPointF> *seriesData(int column, int startRow, int endRow) const override;
    int MaxBufferSize() const override;

    bool autoUpdate() const { return _autoUpdate; }
    void setAutoUpdate(bool autoUpdate) { _autoUpdate = autoUpdate; }

    /// Whether channel column c (1-based) is enabled (shown).
    bool isChannelEnabled(int column) const;

public Q_SLOTS:
    virtual void SetUnits(const Corvid_Qt::Units::MeasurementUnit *units);

Q_SIGNALS:
    void unitsChanged(const Corvid_Qt::Units::MeasurementUnit *units);

protected:
    const Units::MeasurementUnit *_units;
    const Units::MeasurementUnit *_xUnits;
    // Channels switched off, by column - 1; any number of channels, all on
    // until switched.
    std::vector<bool> m_disabledChannels;
    bool _autoUpdate;
    const QIcon m_editableIcon;
};

} // namespace Corvid_Qt

#endif
