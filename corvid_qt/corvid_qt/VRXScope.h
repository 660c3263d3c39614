#ifndef CORVID_QT_VRXSCOPE_H
#define CORVID_QT_VRXSCOPE_H

#include "corvid_qt_export.h"

#include <QtCore/QPointer>
#include <QtCore/QString>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QWidget>
#include <functional>
#include <memory>

class QAbstractItemModel;
class QIODevice;
class QThread;
class QItemSelectionModel;
class Ui_VRXScope;

namespace Corvid_Qt {

class VRXAveragingProxyModel;
class VRXScopePlotView;
class VRXZeroingProxyModel;

/**
 * The ready-made scope panel: a VRXScopePlotView with a control bar for the
 * Y scale, averaging, zeroing, the plot mode tabs, the sample count,
 * clearing and saving.
 *
 * The panel owns the proxy chain between the host's model and the view:
 * host model -> VRXAveragingProxyModel -> VRXZeroingProxyModel -> view. Rows
 * and columns mean the same on every level. The host's model is not owned;
 * it must offer the plot-data interface (VRXAbstractPlotDataModel), any
 * other model leaves the view empty.
 *
 * Mode tabs "Strip", "Scope" and "Histogram" always exist; "2D",
 * "Position" and "Split" are added for the displays the host enables. The
 * tab indexes of those follow the tab bar, so removing one leaves the
 * others selecting their own modes. In a narrow panel the control bar wraps
 * onto further lines; every tab keeps its whole text.
 *
 * Saving asks for a file name (".csv" is added to a name without a suffix)
 * and writes the host model's data through the proxies; a failure is
 * reported in a "Save Data" warning box, the data stay in the buffer. Where
 * the model offers a data file writer (VRXAbstractPlotDataModel::
 * dataFileWriter()), its data are copied at once and written on a thread of
 * their own, so that a full buffer does not stop the displays; Save is
 * disabled until that file is done, and dataSaved() tells the outcome.
 * Deleting the panel waits for a running save to finish. Both dialogs can be replaced (setSaveFileNameProvider(),
 * setSaveErrorReporter()) by hosts that script the panel and by tests.
 *
 * Button icons come from the desktop icon theme, without fallback; without
 * a theme the buttons show their texts.
 */
class CORVID_QT_EXPORT VRXScope : public QWidget
{
    Q_OBJECT

public:
    enum PlotMode {
        StripPlotMode = 0,
        ScopePlotMode = 1,
        HistogramPlotMode = 2,
        SpectrogramPlotMode = 3,
        PositionPlotMode = 4,
        SplitPlotMode = 5
    };

    /// How the entries of the Y scale combo box are read.
    enum PlotScaleModes {
        _PlotScaleNormal = 0,           ///< percentages of the device's full range
        _PlotScaleAutoOnly = 1,         ///< the automatic scale only
        _PlotScaleAbsolute = 2,         ///< symmetric limits -v .. v
        _PlotScaleAbsolutePositive = 3  ///< limits 0 .. v
    };

    static const char *const plotScaleStrings[15];
    static const char *const plotManualScaleStrings[23];
    static const char *const plotAveragingStrings[4];

    /// Answers the save dialog: caption, start directory, filter and options
    /// in, the chosen file name out (empty for a cancel).
    using SaveFileNameProvider =
        std::function<QString(const QString &caption, const QString &dir, const QString &filter,
                              QFileDialog::Options options)>;
    /// Takes the report of a failed save: title and text of the warning.
    using SaveErrorReporter = std::function<void(const QString &title, const QString &text)>;

    explicit VRXScope(QWidget *parent = nullptr);
    ~VRXScope() override;

    /// Not owned; null or a model without the plot-data interface empties the view.
    void setModel(QAbstractItemModel *model);
    QAbstractItemModel *baseModel() const;
    /// The zeroing proxy, the model the view shows.
    QAbstractItemModel *topLevelModel() const;
    /// Handed to the plot view, again whenever the view is given a model; not owned.
    void setSelectionModel(QItemSelectionModel *selectionModel);

    VRXScopePlotView *plotView();

    /// Shows the mode in the view and selects its tab when the tab exists.
    void SetPlotMode(PlotMode mode);

    /// Adds the "2D" tab and selects it, or removes it; passed on to the view.
    void setPixelatedEnabled(bool enabled);
    void setPositionEnabled(bool enabled);
    void setSplitEnabled(bool enabled);

    /// The device's full range for the percentage scales.
    void SetRange(double low, double high);
    /// Refills the Y scale combo box for a PlotScaleModes value; only 1, 2
    /// and 3 are taken.
    void SetYScaleMode(int plotScaleMode);
    /// Checks the "+" button while it is shown; nothing while it is hidden.
    void SetPositiveOnly(bool positiveOnly);

    /// Replaces the save file dialog; null restores it.
    void setSaveFileNameProvider(SaveFileNameProvider provider);
    /// Replaces the "Save Data" warning box; null restores it.
    void setSaveErrorReporter(SaveErrorReporter reporter);

    /// True while a save writes its file in the background.
    bool isSaving() const;

Q_SIGNALS:
    /// A save has ended: the file written, or saved false after the
    /// failure was reported.
    void dataSaved(const QString &fileName, bool saved);

protected:
    /// Retranslates the form, the combo box entries and the mode tabs on a
    /// language change; choices and the data stay as they are.
    void changeEvent(QEvent *event) override;

private Q_SLOTS:
    void SetYScale(int scaleMode);
    void SaveDataToFile();
    void Clear();
    void SetAveragingMode(int averagingMode);
    void SetPlotMode(int plotMode);
    void ZeroNow();
    void ZeroClear();

private:
    bool hasChain() const;
    void wrapControlRow();
    int addExtraTab(const QString &text);
    void removeExtraTab(int *index);
    void showZeroState(bool zeroing);
    void saveInBackground(const QString &fileName, std::function<bool(QIODevice *)> writer);
    void finishSave(const QString &fileName, bool saved);

    std::unique_ptr<Ui_VRXScope> m_ui;
    std::unique_ptr<QItemSelectionModel> m_linkedSelection;
    QPointer<QItemSelectionModel> m_hostSelection;
    PlotScaleModes m_plotScaleMode;
    QPointer<QAbstractItemModel> m_model;
    VRXAveragingProxyModel *m_averagingModel;
    VRXZeroingProxyModel *m_zeroingModel;
    bool m_pixelated_enabled;
    bool m_position_enabled;
    bool m_split_enabled;
    int m_pixelated_index;
    int m_position_index;
    int m_split_index;
    QString m_filepath;
    SaveFileNameProvider m_saveFileNameProvider;
    SaveErrorReporter m_saveErrorReporter;
    QPointer<QThread> m_saveThread;
};

} // namespace Corvid_Qt

#endif
