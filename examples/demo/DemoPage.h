#ifndef DEMO_DEMOPAGE_H
#define DEMO_DEMOPAGE_H

#include <QtWidgets/QWidget>

/// One tab of the demo window: builds a simulated instrument, the library's
/// models and widgets, and wires them together. Nothing else: scripted use
/// of a page (the headless picture tour) lives in PictureTour.
class DemoPage : public QWidget
{
    Q_OBJECT
public:
    explicit DemoPage(const QString &title, QWidget *parent = nullptr);
    QString title() const { return m_title; }

    /// Starts or stops the page's simulated instruments; they run by default.
    virtual void setSimulationRunning(bool running);
    /// Runs the simulated instruments this many times faster than real time.
    virtual void setSimulationSpeed(double factor);

private:
    QString m_title;
};

#endif
