#include "PictureTour.h"

#include "UnitsPage.h"

#include <VRXScopePlotView.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtGui/QMouseEvent>
#include <QtGui/QPixmap>
#include <QtWidgets/QApplication>

#include <qwt_plot.h>
#include <qwt_scale_map.h>

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
    scopePanel();
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
    settle();
}

QString PictureTour::path(const QString &suffix, const QString &extension) const
{
    const QString name = suffix.isEmpty() ? m_prefix : m_prefix + QLatin1Char('-') + suffix;
    return QDir(m_dir).filePath(name + extension);
}

void PictureTour::grab(const QString &suffix)
{
    settle();
    const QString file = path(suffix, QStringLiteral(".png"));
    if (m_window.grab().save(file))
        m_files << file;
}

void PictureTour::keep(const QString &file)
{
    if (!file.isEmpty() && QFile::exists(file))
        m_files << file;
}

void PictureTour::settle(int passes)
{
    // A plot pass, then the layout follows (statistics strips, tab bars).
    for (int i = 0; i < passes; ++i)
        QApplication::processEvents();
}

void PictureTour::clickPlot(Corvid_Qt::VRXScopePlotView *view, const QPointF &at, Qt::MouseButton button)
{
    auto *plot = view->findChild<QwtPlot *>();
    QWidget *canvas = plot->canvas();
    const QPointF pos(plot->canvasMap(QwtPlot::xBottom).transform(at.x()),
                      plot->canvasMap(QwtPlot::yLeft).transform(at.y()));
    QMouseEvent press(QEvent::MouseButtonPress, pos, canvas->mapToGlobal(pos.toPoint()), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(canvas, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, pos, canvas->mapToGlobal(pos.toPoint()), button,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &release);
    settle(1);
}
