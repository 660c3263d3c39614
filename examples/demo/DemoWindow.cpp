#include "DemoWindow.h"

#include "ChamberPage.h"
#include "ProfileMonitorPage.h"
#include "ScopePanelPage.h"
#include "ScopePlotPage.h"
#include "SettingsDialog.h"
#include "SimulatedCurrentReader.h"
#include "SimulatedProfileMonitor.h"
#include "SpotMapPage.h"
#include "UnitsPage.h"

#include <VRXLogBrowser.h>
#include <VRXScope.h>

#include <QtCore/QTime>
#include <QtWidgets/QDockWidget>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QTextBrowser>

DemoWindow::DemoWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_tabs(new QTabWidget(this))
    , m_log(new Corvid_Qt::VRXLogBrowser)
    , m_logDock(new QDockWidget(tr("Instrument log"), this))
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

    m_log->titleLabel()->setText(tr("Events of the simulated instruments"));
    m_log->setMaximumBlockCount(500);
    m_log->addErrorKeywords({"error", "timeout", "failed", "disconnected"});
    m_log->addWarningKeywords({"warning", "overrange", "dropped"});
    if (m_log->textBrowser()->palette().color(QPalette::Base).lightness() > 128)
        m_log->setErrorWarningColorsForWhiteBackground();
    m_log->setSyntaxHighlighting(true);
    m_logDock->setObjectName(QStringLiteral("logDock"));
    m_logDock->setWidget(m_log);
    addDockWidget(Qt::BottomDockWidgetArea, m_logDock);
    resizeDocks({m_logDock}, {180}, Qt::Vertical);

    auto logFrom = [this](const QString &source) {
        return [this, source](const QString &text) {
            m_log->appendLine(QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz")) + QLatin1String("  ")
                              + source + QLatin1String(": ") + text);
        };
    };
    if (auto *p = page<ScopePlotPage>())
        connect(p->reader(), &SimulatedCurrentReader::message, this, logFrom(tr("strip chart reader")));
    if (auto *p = page<ProfileMonitorPage>())
        connect(p->monitor(), &SimulatedProfileMonitor::message, this, logFrom(tr("profile monitor")));
    if (auto *p = page<ScopePanelPage>()) {
        connect(p->reader(), &SimulatedCurrentReader::message, this, logFrom(tr("panel current reader")));
        connect(p->monitor(), &SimulatedProfileMonitor::message, this, logFrom(tr("panel profile monitor")));
    }
    m_settings = new SettingsDialog(this);
    if (auto *profile = page<ProfileMonitorPage>())
        m_settings->addPlotView(profile->view());
    if (auto *panel = page<ScopePanelPage>())
        m_settings->addPlotView(panel->monitorScope()->plotView());
    m_settings->load();
    QMenu *tools = menuBar()->addMenu(tr("&Tools"));
    tools->addAction(tr("&Settings..."), m_settings, &QDialog::show);
}

DemoWindow::~DemoWindow()
{
    // Pages log their instruments' disconnection on the way out: they go
    // while this window and its log are still whole.
    delete m_tabs;
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
