#ifndef CORVID_QT_VRXMULTICHANNELPROXYMODEL_H
#define CORVID_QT_VRXMULTICHANNELPROXYMODEL_H

#include "VRXAbstractPlotDataModel.h"
#include "corvid_qt_export.h"

#include <QtCore/QAbstractProxyModel>
#include <QtCore/QScopedPointer>
#include <QtCore/QStringList>

QT_BEGIN_NAMESPACE
class QIODevice;
class QSaveFile;
QT_END_NAMESPACE

namespace Corvid_Qt {

class AbstractChannelModelFactory;
class VRXMultichannelProxyModelPrivate;

/**
 * Merges several device models side by side: column 0 is time, column c
 * shows one column of the c-th source. Rows are aligned by number; a source
 * shorter than the table repeats its last row below its end. The row count
 * is that of the longest source.
 *
 * Sources are not owned, except the models made by addChannel() (children
 * of the proxy). A source may be listed more than once. Adding or removing a
 * source resets the proxy. Samples arriving at several sources in step reach
 * the proxy's listeners as one row insertion per sample time (with the
 * removal of row 1 once the sources are full); the other sources' new cells
 * follow as dataChanged(). unitsChanged() relays the sources' signal.
 *
 * Channel names dropped as "application/vnd.text.list" or plain text are
 * added through the channel model factory, which the proxy owns.
 *
 * In a chain it sits on the device models (VRXSingleChannelDataModel, one
 * per channel) and below VRXAveragingProxyModel; a VRXScope takes it as its
 * model, and a VRXLatestPlotDataProxyModel over it lists the newest values.
 */
class CORVID_QT_EXPORT VRXMultichannelProxyModel : public QAbstractProxyModel, public VRXAbstractPlotDataModel
{
    Q_OBJECT

public:
    /// The units answered without sources; live for the whole process.
    static const Units::MeasurementUnit &defaultUnits;
    static const Units::MeasurementUnit &defaultXUnits;

    explicit VRXMultichannelProxyModel(QObject *parent = nullptr);
    ~VRXMultichannelProxyModel() override;

    /// Shows column `sourceColumn` of `sourceModel` as channel column
    /// `column` + 1; ignored for a model without the plot-data interface.
    void insertSourceModel(int column, QAbstractItemModel *sourceModel, int sourceColumn = 1);
    void addSourceModel(QAbstractItemModel *sourceModel, int sourceColumn = 1);
    /// Removes every column of the model; the model is not deleted.
    void removeSourceModel(QAbstractItemModel *sourceModel);
    /// Does nothing: sources are added with addSourceModel().
    void setSourceModel(QAbstractItemModel *sourceModel) override;

    /// Adds a channel whose model the factory makes, with the proxy as parent.
    void addChannel(const QString &channelName);
    void setChannelNames(const QStringList &channelNames);
    /// The non-empty "channel" properties of the sources, in column order.
    QStringList channelNames() const;
    /// Takes ownership; the previous factory is deleted.
    void setChannelModelFactory(AbstractChannelModelFactory *factory);

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QMap<int, QVariant> itemData(const QModelIndex &index) const override;
    /// Passed on to the source cell (a channel's check box, for example).
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QModelIndex buddy(const QModelIndex &index) const override;
    QModelIndexList match(const QModelIndex &start, int role, const QVariant &value, int hits = 1,
                          Qt::MatchFlags flags = Qt::MatchFlags(Qt::MatchStartsWith | Qt::MatchWrap)) const override;

    bool insertRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool insertColumns(int column, int count, const QModelIndex &parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool removeColumns(int column, int count, const QModelIndex &parent = QModelIndex()) override;

    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDropActions() const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    /// Adds a channel for every name read whole from the data (at most up to
    /// MODEL_MAX_CHANNELS columns); false when no name could be read.
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

    int PlotWidthHintPoints() const override;
    double PlotWidthHint() const override;
    /// Two fields (timestamp, value) per channel column, as the sources show
    /// them; replaces an existing file only by a complete new one. False
    /// without sources, for an empty name, or when the file cannot be written.
    bool SaveDataToFile(const QString &fileName) const override;
    DataFileWriter dataFileWriter() const override;
    /// For exactly 128 channel columns read as one pixelated chamber frame
    /// per row: the time, the 12 x 12 image row by row as it is shown (values
    /// below discriminator count as 0, the mirrored axes applied), then the
    /// beam's mean X, mean Y, sigma X, sigma Y (mm), rotation (degrees),
    /// elongation and validity. Values and discriminator are in base units.
    /// Same file handling as SaveDataToFile(); false and no file for any
    /// other number of channels.
    bool SavePixelatedDataToFile(const QString &fileName, float discriminator, bool invertx,
                                 bool inverty) const override;
    void Clear() override;
    const Units::MeasurementUnit *units() const override;
    const Units::MeasurementUnit *xUnits() const override;
    /// Made by the column's source over its own rows; null beyond the channel columns.
    QwtSeriesData<QPointF> *seriesData(int column, int startRow, int endRow) const override;
    int MaxBufferSize() const override;
    /// NaN beyond the channel columns and outside the table.
    double doubleData(int row, int column) const override;
    void doubleDataRange(int column, int firstRow, int count, double *values) const override;

    /// The same file through a save file the caller made (not yet open).
    bool SaveDataToFile(QSaveFile &file) const;
    /// Writes the comma-separated text to an open device; false when a write fails.
    bool SaveDataToDevice(QIODevice *device) const;

Q_SIGNALS:
    void unitsChanged(const Corvid_Qt::Units::MeasurementUnit *units);

protected:
    /// Called after rows first..last were added to the proxy, before rowsInserted().
    virtual void sourceRowsInserted(const QModelIndex &parent, int startRow, int endRow);
    /// Called after rows start..last left the proxy, before rowsRemoved().
    virtual void sourceRowsRemoved(const QModelIndex &parent, int startRow, int endRow);
    /// Called at the end of every reset, before modelReset().
    virtual void sourceModelReset();
    /// Called with proxy cells before dataChanged() is emitted for them.
    virtual void sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);

private:
    const QScopedPointer<VRXMultichannelProxyModelPrivate> d_ptr;
    Q_DECLARE_PRIVATE(VRXMultichannelProxyModel)
    Q_DISABLE_COPY(VRXMultichannelProxyModel)
};

} // namespace Corvid_Qt

#endif
