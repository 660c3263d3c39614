#ifndef CORVID_TESTS_PLOT_PLOTTESTKIT_H
#define CORVID_TESTS_PLOT_PLOTTESTKIT_H

// A small device model, a probe that opens the protected parts of the plot
// view and counts its canvas paints, and a shown view on such a model.

#include <MeasurementUnit.h>
#include <VRXAbstractDeviceDataModel.h>
#include <VRXScopePlotView.h>

#include <QtCore/QVector>
#include <QtTest/QtTest>
#include <QtWidgets/QScrollBar>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_div.h>
#include <qwt_text.h>

/// Column 0 holds the times; channel c reads c * 10 + row index unless set.
/// It counts the curve series the view asks for, one per shown channel and pass.
class TestPlotModel : public Corvid_Qt::VRXAbstractDeviceDataModel
{
public:
    explicit TestPlotModel(int channels, int rows = 0) : m_columns(channels + 1) { fill(rows); }

    double hintWidth = 0.0;
    mutable int seriesRequests = 0;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override
    {
        return hasIndex(row, column, parent) ? createIndex(row, column) : QModelIndex();
    }
    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_columns[0].size() + 1;
    }
    int NumberOfChannels() const override { return m_columns.size() - 1; }
    bool isOverrange(int, int) const override { return false; }
    bool SaveDataToFile(const QString &) const override { return false; }
    double PlotWidthHint() const override { return hintWidth; }
    void Clear() override
    {
        beginResetModel();
        for (QVector<double> &column : m_columns)
            column.clear();
        endResetModel();
    }
    double doubleData(int row, int column) const override
    {
        if (row < 1 || row >= rowCount())
            return column;
        const double v = m_columns[column][row - 1];
        return column == 0 || !units() ? v : units()->scale(v);
    }
    QwtSeriesData<QPointF> *seriesData(int column, int startRow, int endRow) const override
    {
        ++seriesRequests;
        return VRXAbstractDeviceDataModel::seriesData(column, startRow, endRow);
    }
    QVariant deviceSpecificData(const QModelIndex &index, int role) const override
    {
        if (role == Corvid_Qt::DataRole)
            return doubleData(index.row(), index.column());
        if (role != Qt::DisplayRole && role != Qt::EditRole)
            return QVariant();
        return index.row() == 0 ? QString::number(index.column())
                                : QString::number(doubleData(index.row(), index.column()));
    }

    /// columns[0] holds the times, columns[c] channel c.
    void append(const QVector<QVector<double>> &columns)
    {
        const int first = rowCount();
        beginInsertRows(QModelIndex(), first, first + columns[0].size() - 1);
        for (int c = 0; c < m_columns.size(); ++c)
            m_columns[c] += columns.value(c, QVector<double>(columns[0].size(), 0.0));
        endInsertRows();
    }
    /// n more rows, continuing the times t0 + i * dt.
    void fill(int n, double t0 = 0.01, double dt = 0.01)
    {
        QVector<QVector<double>> columns(m_columns.size());
        for (int i = m_columns[0].size(); i < m_columns[0].size() + n; ++i) {
            for (int c = 0; c < m_columns.size(); ++c)
                columns[c].append(c == 0 ? t0 + i * dt : c * 10.0 + i);
        }
        if (n > 0)
            append(columns);
    }
    /// Appends one row and drops the oldest in the signal order of a full
    /// device buffer: about to insert, about to remove, removed, inserted.
    void rollRow(double time, double value)
    {
        beginInsertRows(QModelIndex(), rowCount() - 1, rowCount() - 1);
        beginRemoveRows(QModelIndex(), 1, 1);
        for (QVector<double> &column : m_columns)
            column.removeFirst();
        endRemoveRows();
        m_columns[0].append(time);
        for (int c = 1; c < m_columns.size(); ++c)
            m_columns[c].append(value);
        endInsertRows();
    }
    void setValue(int row, int column, double v)
    {
        m_columns[column][row - 1] = v;
        emit dataChanged(index(row, column), index(row, column));
    }
    void setXUnits(const Corvid_Qt::Units::MeasurementUnit *xUnits) { _xUnits = xUnits; }

private:
    QVector<QVector<double>> m_columns;
};

class PlotViewProbe : public Corvid_Qt::VRXScopePlotView
{
public:
    PlotViewProbe()
    {
        qwtPlot()->canvas()->installEventFilter(&m_counter);
        resize(800, 400);
    }

    using VRXScopePlotView::horizontalOffset;
    using VRXScopePlotView::Plot;
    using VRXScopePlotView::plotMarker;
    using VRXScopePlotView::qwtPlot;
    using VRXScopePlotView::RequestReplotRefresh;
    using VRXScopePlotView::setSelection;

    void showWith(QAbstractItemModel *model)
    {
        setModel(model);
        show();
        static_cast<void>(QTest::qWaitForWindowExposed(this));
        settle();
    }
    /// Places both markers and lets the pass run.
    void click(QPointF marker0, QPointF marker1)
    {
        SelectPoint1(marker0);
        SelectPoint2(marker1);
        settle();
    }
    void selectColumn(int column)
    {
        selectionModel()->select(model()->index(0, column),
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Columns);
    }

    int canvasPaints() const { return m_counter.paints; }
    int curveCount() const { return qwtPlot()->itemList(QwtPlotItem::Rtti_PlotCurve).size(); }
    /// The curve of the 1-based channel, if attached.
    QwtPlotCurve *curve(int channel) const
    {
        for (QwtPlotItem *item : qwtPlot()->itemList(QwtPlotItem::Rtti_PlotCurve)) {
            if (item->title().text() == QStringLiteral("Channel %1").arg(channel - 1))
                return static_cast<QwtPlotCurve *>(item);
        }
        return nullptr;
    }
    QwtScaleDiv axis(int axisId) const
    {
        qwtPlot()->updateAxes();
        return qwtPlot()->axisScaleDiv(axisId);
    }
    double xLow() const { return qwtPlot()->axisScaleDiv(QwtPlot::xBottom).lowerBound(); }
    double xHigh() const { return qwtPlot()->axisScaleDiv(QwtPlot::xBottom).upperBound(); }
    bool markerShown(int i) const { return plotMarker(i)->plot() != nullptr; }
    QString markerText(int i) const { return plotMarker(i)->label().text(); }

    /// Lets every pending paint happen.
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

private:
    struct Counter : QObject {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } m_counter;
};

struct ShownView {
    TestPlotModel model;
    PlotViewProbe view;

    explicit ShownView(int channels, int rows = 50) : model(channels, rows) { view.showWith(&model); }
    double time(int row) const { return model.doubleData(row, 0); }
    /// One paint of the canvas, and so one pass, now.
    void paint() { view.qwtPlot()->canvas()->repaint(); }
};

#endif
