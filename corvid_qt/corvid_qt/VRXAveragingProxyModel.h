#ifndef CORVID_QT_VRXAVERAGINGPROXYMODEL_H
#define CORVID_QT_VRXAVERAGINGPROXYMODEL_H

#include "VRXPlotProxyModel.h"
#include "corvid_qt_export.h"

#include <QtCore/QScopedPointer>

namespace Corvid_Qt {

class VRXAveragingProxyModelPrivate;

/**
 * Shows every channel of its source smoothed by an exponential moving
 * average of length N: y(1) = x(1), y(r) = (1 - 1/N) y(r - 1) + x(r) / N,
 * with x the source's doubleData() (display units). N is 1 (no smoothing)
 * at construction; setAveraging() changes it and emits a model reset. With
 * N > 1 a reading that is not finite leaves the average as it was, and the
 * average starts at the first finite reading.
 *
 * The time column, the header row and every role other than display, edit,
 * tool tip and DataRole come from the source unchanged. At N = 1 every value
 * is read from the source and nothing is stored. For N > 1 smoothed values
 * are kept in ring buffers as long as the source's MaxBufferSize(), allocated
 * when N > 1 is chosen and freed when N goes back to 1, so a new sample costs
 * one multiply-add per channel.
 * A source that moves rows or changes its columns without a reset costs a
 * recomputation of the whole history. Saving writes the source's unsmoothed
 * data in the source's format.
 *
 * In a chain: device model (or VRXMultichannelProxyModel) -> this proxy ->
 * VRXZeroingProxyModel -> VRXScopePlotView. A VRXScope builds this link
 * itself and sets N from its averaging control.
 */
class CORVID_QT_EXPORT VRXAveragingProxyModel : public VRXPlotProxyModel
{
    Q_OBJECT

public:
    explicit VRXAveragingProxyModel(QObject *parent = nullptr);
    ~VRXAveragingProxyModel() override;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    double doubleData(int row, int column) const override;
    void doubleDataRange(int column, int firstRow, int count, double *values) const override;
    void Clear() override;
    bool SaveDataToFile(const QString &fileName) const override;
    DataFileWriter dataFileWriter() const override;
    bool SavePixelatedDataToFile(const QString &fileName, float discriminator, bool invertx,
                                 bool inverty) const override;

    /// The averaging length N.
    int averaging() const;

public Q_SLOTS:
    /// Sets N and recomputes the whole history; values below 1 are ignored.
    void setAveraging(int averaging);

protected:
    void sourceRowsInserted(const QModelIndex &parent, int startRow, int endRow) override;
    void sourceRowsRemoved(const QModelIndex &parent, int startRow, int endRow) override;
    void sourceModelReset() override;
    void sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight) override;

private:
    Q_DECLARE_PRIVATE(VRXAveragingProxyModel)
    const QScopedPointer<VRXAveragingProxyModelPrivate> d_ptr;
};

} // namespace Corvid_Qt

#endif
