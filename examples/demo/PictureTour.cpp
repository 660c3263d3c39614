#include "PictureTour.h"

#include "DemoActions.h"
#include "UnitsPage.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtGui/QPixmap>

PictureTour::PictureTour(DemoWindow &window, const QString &dir)
    : m_window(window)
    , m_dir(dir)
{
}

QStringList PictureTour::run()
{
    m_files.clear();
    units();
    scopePlot();
    profileMonitor();
    scopePanelGerman();
    scopePanel();
    chamber();
    settings();
    spotMap();
    logPanel();
    for (DemoPage *page : m_window.pages())
        page->setSimulationRunning(true);
    return m_files;
}

void PictureTour::units()
{
    if (visit<UnitsPage>("units"))
        grab(QString());
}

void PictureTour::enter(DemoPage *page, const char *name)
{
    const int number = m_window.pages().indexOf(page) + 1;
    m_prefix = QStringLiteral("%1-%2").arg(number, 2, 10, QLatin1Char('0')).arg(QLatin1String(name));
    m_window.showPage(page);
    page->setSimulationRunning(false);
    DemoActions::settle();
}

QString PictureTour::path(const QString &suffix, const QString &extension) const
{
    const QString name = suffix.isEmpty() ? m_prefix : m_prefix + QLatin1Char('-') + suffix;
    return QDir(m_dir).filePath(name + extension);
}

void PictureTour::grab(const QString &suffix)
{
    DemoActions::settle();
    const QString file = path(suffix, QStringLiteral(".png"));
    if (m_window.grab().save(file))
        m_files << file;
}

void PictureTour::grabAlone(QWidget *widget, const QString &suffix)
{
    DemoActions::settle();
    const QString file = path(suffix, QStringLiteral(".png"));
    if (widget->grab().save(file))
        m_files << file;
}

void PictureTour::keep(const QString &file)
{
    if (!file.isEmpty() && QFile::exists(file))
        m_files << file;
}
