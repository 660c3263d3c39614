#ifndef DEMO_PICTURETOUR_H
#define DEMO_PICTURETOUR_H

#include "DemoWindow.h"

#include <QtCore/QString>
#include <QtCore/QStringList>


/// The headless picture tour (`corvid_demo --pictures DIR`): uses each page
/// as a person would (clicks, choices, saves) and writes PNG pictures of what
/// it shows. Pages know nothing of it. One facet file per page.
class PictureTour
{
public:
    PictureTour(DemoWindow &window, const QString &dir);

    /// Visits every page; returns the files written.
    QStringList run();

private:
    void units();
    void scopePlot();
    void profileMonitor();
    void scopePanel();
    void scopePanelGerman();
    void logPanel();
    void chamber();
    void settings();
    void spotMap();

    /// Makes the page current and stops its simulation for scripted data.
    template <typename P>
    P *visit(const char *name)
    {
        P *page = m_window.page<P>();
        if (page)
            enter(page, name);
        return page;
    }
    void enter(DemoPage *page, const char *name);
    /// Lets plot passes and layouts settle, then grabs the window.
    void grab(const QString &suffix);
    /// Lets plot passes and layouts settle, then grabs `widget` alone.
    void grabAlone(QWidget *widget, const QString &suffix);
    /// Adds a file written by other means (saves), when it exists.
    void keep(const QString &file);
    QString path(const QString &suffix, const QString &extension) const;


    DemoWindow &m_window;
    QString m_dir;
    QString m_prefix;
    QStringList m_files;
};

#endif
