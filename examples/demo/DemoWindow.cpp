#include "DemoWindow.h"

#include "ChamberPage.h"
#include "ProfileMonitorPage.h"
#include "ScopePanelPage.h"
#include "ScopePlotPage.h"
#include "SettingsDialog.h"
#include "SpotMapPage.h"
#include "UnitsPage.h"

#include <VRXScope.h>

#include <QtWidgets/QMenuBar>
#include <QtWidgets/QTabWidget>

DemoWindow::DemoWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_tabs(new QTabWidget(this))
    , m_settings(nullptr)
{
    setWindowTitle(tr("corvid_qt demo"));
    setCentralWidget(m_tabs);
    resize(1200, 800);
    addPage(new UnitsPage);
    addPage(new ScopePlotPage);
    addPage(new ProfileMonitorPage);
    addPage(new ScopePanelPage);
    addPage(new ChamberPage);
    addPage(new SpotMapPage);

    m_settings = new SettingsDialog(this);
    if (auto *profile = page<ProfileMonitorPage>())
        m_settings->addPlotView(profile->view());
    if (auto *panel = page<ScopePanelPage>())
        m_settings->addPlotView(panel->monitorScope()->plotView());
    m_settings->load();
    QMenu *tools = menuBar()->addMenu(tr("&Tools"));
    tools->addAction(tr("&Settings..."), m_settings, &QDialog::show);
}

void DemoWindow::addPage(DemoPage *page)
{
    m_pages.append(page);
    m_tabs->addTab(page, page->title());
}

void DemoWindow::showPage(DemoPage *page)
{
    m_tabs->setCurrentWidget(page);
}
