#ifndef CORVID_QT_VRXABSTRACTPLOTDATAMODEL_H
#define CORVID_QT_VRXABSTRACTPLOTDATAMODEL_H

#include "corvid_qt_export.h"

#include <QtCore/QPointF>
#include <QtCore/QString>

#include <functional>

class QIODevice;

template <typename T>
class QwtSeriesData;

namespace Corvid_Qt {

namespace Units {
class MeasurementUnit;
}

/// Column numbers with a fixed meaning in every device table.
enum PlotDataStatisticsColumn {
    TimestampColumn = 0,
    /// First of the columns with fits computed by a device: 2000 + 5p + j for
    /// peak region p, j = mean, sigma, amplitude, offset, confidence.
    Fit0Column0 = 2000
};

/// Item roles beyond the toolkit's.
enum PlotItemDataRole {
    SpecialDataRole = 32,
    /// The cell as a double in display units.
    DataRole = 33
};

/**
 * The plot-data interface: what a plot asks of a model without going
 * through item roles. Implemented beside QAbstractItemModel by every device
 * model and proxy; a view reaches it by a cross cast of its item model.
 *
 * Table layout: row 0 is the header row (one entry per channel), rows 1..N
 * the samples, oldest first; column 0 is time in seconds, columns 1..n the
 * channels. doubleData() returns channel values scaled into display units by
 * units(), timestamps unscaled.
 */
class CORVID_QT_EXPORT VRXAbstractPlotDataModel
{
public:
    virtual ~VRXAbstractPlotDataModel();

    /// Writes the buffered data as text; false when the file cannot be written.
    virtual bool SaveDataToFile(const QString &fileName) const = 0;
    /// Writes a copy of the data file's contents to a device; false on a
    /// failed write. It holds its own copy of the data, so it may run on
    /// another thread while the model takes new samples.
    using DataFileWriter = std::function<bool(QIODevice *)>;
    /// The buffered data, copied now, with the writer of SaveDataToFile()'s
    /// text; empty when the model cannot copy its data that way (then
    /// SaveDataToFile() is the way to save it).
    virtual DataFileWriter dataFileWriter() const;
    virtual bool SavePixelatedDataToFile(const QString &fileName, float discriminator,
                                         bool invertx, bool inverty) const;
    /// Empties the buffers and resets the model.
    virtual void Clear() = 0;
    virtual int NumberOfChannels() const;
    /// How many samples a view should show across its width.
    virtual int PlotWidthHintPoints() const = 0;
    /// The same as a time span in seconds; 0 means none.
    virtual double PlotWidthHint() const = 0;
    /// Unit of the channel values; not owned by the caller.
    virtual const Units::MeasurementUnit *units() const = 0;
    /// Unit of the time column; not owned by the caller.
    virtual const Units::MeasurementUnit *xUnits() const = 0;
    virtual double doubleData(int row, int column) const = 0;
    /// A new curve over rows startRow..endRow of one channel column (endRow
    /// below startRow: up to the last row). The caller owns it.
    virtual QwtSeriesData<QPointF> *seriesData(int column, int startRow, int endRow) const = 0;
    /// How many samples the model keeps at most.
    virtual int MaxBufferSize() const = 0;
    /// values[k] = doubleData(firstRow + k, column) for k below count, in one
    /// call: a curve over a whole buffer reads through a chain of proxies
    /// once per column instead of once per sample.
    virtual void doubleDataRange(int column, int firstRow, int count, double *values) const;
};

} // namespace Corvid_Qt

#endif
