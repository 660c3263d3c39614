#ifndef DEMO_DEMOWINDOW_H
#define DEMO_DEMOWINDOW_H

#include "DemoPage.h"

#include <QtWidgets/QMainWindow>

class QDockWidget;
class QTabWidget;
class SettingsDialog;

namespace Corvid_Qt {
class VRXLogBrowser;
}

/// The demo's main window: one tab per simulated instrument or widget family,
/// and a docked log of the simulated instruments' events.
class DemoWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit DemoWindow(QWidget *parent = nullptr);
    ~DemoWindow() override;

    void addPage(DemoPage *page);
    QList<DemoPage *> pages() const { return m_pages; }
    void showPage(DemoPage *page);
    /// The "Settings" dialog of the beam-profile statistics.
    SettingsDialog *settingsDialog() const { return m_settings; }

    QDockWidget *logDock() const { return m_logDock; }
    Corvid_Qt::VRXLogBrowser *log() const { return m_log; }

    /// The first page of type P, or null.
    template <typename P>
    P *page() const
    {
        for (DemoPage *p : m_pages)
            if (auto *typed = qobject_cast<P *>(p))
                return typed;
        return nullptr;
    }

private:
    QTabWidget *m_tabs;
    QList<DemoPage *> m_pages;
    Corvid_Qt::VRXLogBrowser *m_log;
    QDockWidget *m_logDock;
    SettingsDialog *m_settings;
};

#endif
