#include "DemoWindow.h"

#include "ProfileMonitorPage.h"
#include "ScopePanelPage.h"
#include "ScopePlotPage.h"
#include "UnitsPage.h"

#include <QtWidgets/QTabWidget>

DemoWindow::DemoWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_tabs(new QTabWidget(this))
{
    setWindowTitle(tr("corvid_qt demo"));
    setCentralWidget(m_tabs);
    resize(1200, 800);
    addPage(new UnitsPage);
    addPage(new ScopePlotPage);
    addPage(new ProfileMonitorPage);
    addPage(new ScopePanelPage);
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
