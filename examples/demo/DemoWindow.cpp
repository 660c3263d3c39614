#include "DemoWindow.h"

#include "DemoPage.h"
#include "ProfileMonitorPage.h"
#include "ScopePanelPage.h"
#include "ScopePlotPage.h"
#include "UnitsPage.h"

#include <QtWidgets/QApplication>
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

QStringList DemoWindow::writePictures(const QString &dir)
{
    QStringList files;
    for (int i = 0; i < m_pages.size(); ++i) {
        m_tabs->setCurrentIndex(i);
        QApplication::processEvents();
        const QString prefix = QStringLiteral("%1-%2").arg(i + 1, 2, 10, QLatin1Char('0'))
                                   .arg(m_pages[i]->title().toLower().replace(QLatin1Char(' '), QLatin1Char('-')));
        files += m_pages[i]->writePictures(dir, prefix);
    }
    return files;
}
