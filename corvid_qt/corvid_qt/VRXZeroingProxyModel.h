#ifndef CORVID_QT_VRXZEROINGPROXYMODEL_H
#define CORVID_QT_VRXZEROINGPROXYMODEL_H

#include "VRXPlotProxyModel.h"
#include "corvid_qt_export.h"

#include <QtCore/QScopedPointer>
#include <QtCore/QVector>

namespace Corvid_Qt {

class VRXZeroingProxyModelPrivate;

/**
 * Lets the user declare the present readings to be zero: zeroNow() records
 * the newest value of every channel of the source, and from then on every
 * value is shown minus that record until zeroClear().
 *
 * Zero values are held in base units and scaled at every read, so they stay
 * right when the source's unit changes. Both slots announce a model reset.
 * A source reset that changes the number of channels ends zeroing, and so
 * does any insertion, removal or move of the source's columns. The time
 * column and header row pass through; saving writes the source's raw data.
 *
 * In a chain it is the level just under the view: VRXAveragingProxyModel ->
 * this proxy -> VRXScopePlotView, so that zeroing applies to the smoothed
 * values. A VRXScope builds this link itself and drives it from its buttons.
 */
class CORVID_QT_EXPORT VRXZeroingProxyModel : public VRXPlotProxyModel
{
    Q_OBJECT

public:
    explicit VRXZeroingProxyModel(QObject *parent = nullptr);
    ~VRXZeroingProxyModel() override;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    double doubleData(int row, int column) const override;
    void doubleDataRange(int column, int firstRow, int count, double *values) const override;

    /// Whether values are shown minus their zero.
    bool isZeroing() const;
    /// The zero of every channel (entry c - 1 for column c), in base units.
    QVector<double> zeroes() const;

public Q_SLOTS:
    /// Takes the newest value of every channel as its zero. A channel whose
    /// newest value is not finite takes its newest finite one; without any
    /// (no data rows at all) its zero is 0.
    void zeroNow();
    /// Shows raw values again; the zero values are kept.
    void zeroClear();

protected:
    void sourceModelReset() override;

private:
    const QScopedPointer<VRXZeroingProxyModelPrivate> d_ptr;
    Q_DECLARE_PRIVATE(VRXZeroingProxyModel)
};

} // namespace Corvid_Qt

#endif
