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

/// Channel c (1-based) is column c and reads c * 10 + row index; the model
/// counts the curve series the view asks for (one per shown channel and pass).
class TestPlotModel : public Corvid_Qt::VRXAbstractDeviceDataModel
{
public:
    explicit TestPlotModel(int channels, int rows = 0) : m_values(channels) { fill(rows); }

    double hintWidth = 0.0;
    mutable int seriesRequests = 0;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override
    {
        return hasIndex(row, column, parent) ? createIndex(row, column) : QModelIndex();
    }
    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_times.size() + 1;
    }
    int NumberOfChannels() const override { return m_values.size(); }
    bool isOverrange(int, int) const override { return false; }
    bool SaveDataToFile(const QString &) const override { return false; }
    double PlotWidthHint() const override { return hintWidth; }
    void Clear() override
    {
        beginResetModel();
        m_times.clear();
        for (QVector<double> &channel : m_values)
            channel.clear();
        endResetModel();
    }

    double doubleData(int row, int column) const override
    {
        if (row < 1 || row > m_times.size())
            return column;
        const double v = column == 0 ? m_times[row - 1] : m_values[column - 1][row - 1];
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

    /// values[c][i] is channel c + 1 at times[i].
    void append(const QVector<double> &times, const QVector<QVector<double>> &values)
    {
        if (times.isEmpty())
            return;
        const int first = m_times.size() + 1;
        beginInsertRows(QModelIndex(), first, first + times.size() - 1);
        m_times += times;
        for (int c = 0; c < m_values.size(); ++c)
            m_values[c] += values.value(c, QVector<double>(times.size(), 0.0));
        endInsertRows();
    }

    /// n more rows, continuing the times t0 + i * dt.
    void fill(int n, double t0 = 0.01, double dt = 0.01)
    {
        QVector<double> times;
        QVector<QVector<double>> values(m_values.size());
        for (int i = m_times.size(); i < m_times.size() + n; ++i) {
            times.append(t0 + i * dt);
            for (int c = 0; c < m_values.size(); ++c)
                values[c].append((c + 1) * 10.0 + i);
        }
        append(times, values);
    }

    /// Appends one row and drops the oldest in the signal order of a full
    /// device buffer: about to insert, about to remove, removed, inserted.
    void rollRow(double time, double value)
    {
        const int last = m_times.size();
        beginInsertRows(QModelIndex(), last, last);
        beginRemoveRows(QModelIndex(), 1, 1);
        m_times.removeFirst();
        for (QVector<double> &channel : m_values)
            channel.removeFirst();
        endRemoveRows();
        m_times.append(time);
        for (QVector<double> &channel : m_values)
            channel.append(value);
        endInsertRows();
    }

    void setValue(int row, int column, double v)
    {
        m_values[column - 1][row - 1] = v;
        emit dataChanged(index(row, column), index(row, column));
    }
    void setXUnits(const Corvid_Qt::Units::MeasurementUnit *xUnits) { _xUnits = xUnits; }

private:
    QVector<double> m_times;
    QVector<QVector<double>> m_values;
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
    using VRXScopePlotView::SelectPoint1;
    using VRXScopePlotView::SelectPoint2;
    using VRXScopePlotView::setSelection;

    /// Places both markers and lets the pass run.
    void click(QPointF marker0, QPointF marker1)
    {
        SelectPoint1(marker0);
        SelectPoint2(marker1);
        settle();
    }

    void showWith(QAbstractItemModel *model)
    {
        setModel(model);
        show();
        static_cast<void>(QTest::qWaitForWindowExposed(this));
        settle();
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

    void selectColumn(int column)
    {
        selectionModel()->select(model()->index(0, column),
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Columns);
    }

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
