#ifndef CORVID_QT_VRXSCOPEPLOTVIEW_P_H
#define CORVID_QT_VRXSCOPEPLOTVIEW_P_H

// Private part of VRXScopePlotView; not part of the library's interface.

#include "VRXScopePlotView.h"

#include <QtCore/QMetaObject>
#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtCore/QScopedPointer>
#include <QtCore/QSharedPointer>
#include <QtCore/QVector>

class QwtPlotMarker;

namespace Corvid_Qt {

class VRXAbstractPlotDataModel;

class VRXScopePlotViewPrivate
{
    Q_DECLARE_PUBLIC(VRXScopePlotView)

public:
    explicit VRXScopePlotViewPrivate(VRXScopePlotView *q);
    ~VRXScopePlotViewPrivate();

    void init();
    void selectPoint(const QModelIndex &index);

    // The strip and scope passes look rows up by time. Buffers normally
    // hold non-decreasing times, which a binary search finds exactly as a
    // scan from row 1 does; the rows are checked as they arrive, and a buffer
    // with a step back in time (or a NaN) is scanned row by row instead.
    void invalidateTimeOrder();
    /// Rows from `row` on changed their times or were replaced.
    void invalidateTimeOrderFrom(int row);
    bool timesSorted(int lastRow);
    double time(int row) const;
    int firstRowAtOrAfter(double t, int lastRow);
    int firstRowAfter(double t, int lastRow);

    VRXScopePlotView *q_ptr;
    QVector<QSharedPointer<QwtPlotMarker>> m_plotMarkers;
    QVector<int> m_markerChannelHints;
    bool m_plotMarkerEnabled;
    static const int NUM_CURSORS = 2;
    QPointer<QAbstractItemModel> rootModel;
    VRXAbstractPlotDataModel *vrxModel;
    QScopedPointer<QObject> plotFilter;

    /// Markers were placed by a click or a selection and not taken away
    /// since; only then does the selection follow marker 0.
    bool m_markersPlaced;
    /// A canvas repaint has been asked for and not yet delivered.
    bool m_updatePending;
    /// Rows 1..m_timeCheckedRows have been checked for their time order.
    int m_timeCheckedRows;
    /// The last checked row whose time is not at or after its predecessor's; 0 for none.
    int m_lastTimeStepBack;
    /// Scroll bar units per second of the last strip pass.
    double m_scrollFactor;
    QVector<QMetaObject::Connection> m_modelConnections;
};

class VRXScopePlotViewEventFilter : public QObject
{
    Q_OBJECT

public:
    explicit VRXScopePlotViewEventFilter(VRXScopePlotViewPrivate *d);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    VRXScopePlotViewPrivate *d;
};

} // namespace Corvid_Qt

#endif
