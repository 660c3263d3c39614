#ifndef CORVID_QT_VRXSTATISTICSSETUPPAGE_H
#define CORVID_QT_VRXSTATISTICSSETUPPAGE_H

#include "corvid_qt_export.h"

#include <QtCore/QFileInfo>
#include <QtCore/QScopedPointer>
#include <QtCore/QVector>
#include <QtWidgets/QWidget>

class QFormLayout;

namespace Corvid_Qt {

class VRXScopePlotView;
class VRXStatisticsSetupPagePrivate;

/**
 * The settings page of the beam-profile statistics: centre of gravity
 * (threshold or window mode), Gaussian regression (threshold, window, peak
 * and sum thresholds), the number of peaks and the full statistics with its
 * chi-square window.
 *
 * Every change reconfigures the statistics items of each registered view
 * (not owned; a view must outlive the page) and is announced by CoGOptions
 * or RegressionOptions with the options vector and the number of peaks:
 * centre of gravity [mode, threshold fraction, window half-width in
 * channels], regression [threshold fraction, window, peak threshold, sum
 * threshold, weighting 2, chi-square window].
 *
 * With a settings file (setApplicationSettings) each value is stored at once
 * in the group "StatisticsSetupPage"; the group "FactoryReset" holds the
 * factory values. Files named *.xui use the XML format, others INI. A file
 * that cannot be read is never written: the page then shows the form's
 * defaults and stores nothing.
 *
 * It sits beside the chain, not in it: register every VRXScopePlotView that
 * shows beam profiles with addPlotView() (not owned; a view deleted first
 * drops out); the page then drives their statistics items
 * (enableHistogramItem()).
 */
class CORVID_QT_EXPORT VRXStatisticsSetupPage : public QWidget
{
    Q_OBJECT

public:
    explicit VRXStatisticsSetupPage(QWidget *parent = nullptr);
    ~VRXStatisticsSetupPage() override;

    void addPlotView(VRXScopePlotView *view);
    /// Loads the page from `iniPath` (the factory group with
    /// `doFactoryReset`) and stores into it from then on. Without `create`
    /// a missing file changes nothing.
    void setApplicationSettings(QFileInfo const &iniPath, bool doFactoryReset, bool create);
    /// The file given to setApplicationSettings(); empty before.
    QFileInfo settingsPath() const;
    /// False when the file could not be read, so nothing is stored into it.
    bool storesSettings() const;

    /// 1, 2, 4 or 8 peaks; any other number selects 1.
    void set_peaks(int n);
    void enable_regression();
    /// The form layout of the regression group, for host additions.
    QFormLayout *gaussianLayout() const;

Q_SIGNALS:
    void CoGOptions(bool enabled, QVector<double> options, int peaks);
    void RegressionOptions(bool enabled, QVector<double> options, int peaks);

protected:
    void changeEvent(QEvent *event) override;

private Q_SLOTS:
    void on_CoGCBox_toggled(bool checked);
    void on_CoGThresholdRadio_toggled(bool checked);
    void on_CoGWindowRadio_toggled(bool checked);
    void on_CoGThresholdEdit_valueChanged(int value);
    void on_CoGWindowEdit_valueChanged(int value);
    void on_regressionCBox_toggled(bool checked);
    void on_RegressionThresholdEdit_valueChanged(int value);
    void on_RegressionWindowEdit_valueChanged(int value);
    void on_fullStatsCBox_toggled(bool checked);
    void on_Chi2WindowEdit_valueChanged(int value);
    void on_peaksEdit_currentIndexChanged(int index);
    void on_factoryResetPushButton_clicked();

private:
    Q_DECLARE_PRIVATE(VRXStatisticsSetupPage)
    const QScopedPointer<VRXStatisticsSetupPagePrivate> d_ptr;
};

} // namespace Corvid_Qt

#endif
