#ifndef DEMO_SETTINGSDIALOG_H
#define DEMO_SETTINGSDIALOG_H

#include <QtWidgets/QDialog>

namespace Corvid_Qt {
class VRXScopePlotView;
class VRXStatisticsSetupPage;
}

/// The demo's "Settings" dialog: the statistics setup page driving the
/// beam-profile views, kept in an XML settings file under the user's
/// configuration folder. The file is made with factory defaults on first
/// start and read again at every start.
class SettingsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SettingsDialog(QWidget *parent = nullptr);

    /// Registers a view; call before load().
    void addPlotView(Corvid_Qt::VRXScopePlotView *view);
    /// Reads the settings file (creating it first when missing) and applies it.
    void load();

    Corvid_Qt::VRXStatisticsSetupPage *page() const { return m_page; }
    /// The settings file of the demo.
    static QString settingsFile();

private:
    Corvid_Qt::VRXStatisticsSetupPage *m_page;
};

#endif
