#ifndef DEMO_DEMOWINDOW_H
#define DEMO_DEMOWINDOW_H

#include <QtWidgets/QMainWindow>

class DemoPage;
class QTabWidget;

/// The demo's main window: one tab per simulated instrument or widget family.
class DemoWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit DemoWindow(QWidget *parent = nullptr);

    void addPage(DemoPage *page);
    /// Shows every page in turn and writes its pictures into dir.
    QStringList writePictures(const QString &dir);

private:
    QTabWidget *m_tabs;
    QList<DemoPage *> m_pages;
};

#endif
