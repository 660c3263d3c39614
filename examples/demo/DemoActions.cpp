#include "DemoActions.h"

#include <VRXScope.h>
#include <VRXScopePlotView.h>

#include <QtCore/QEventLoop>
#include <QtCore/QFile>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QToolButton>
#include <cstdio>

#include <qwt_plot.h>
#include <qwt_scale_map.h>

namespace DemoActions {

void choose(QWidget *widget, const char *comboName, const QString &entry)
{
    auto *combo = control<QComboBox>(widget, comboName);
    int index = combo->findText(entry);
    // Under --lang the entries read in that language.
    for (const char *context : {"VRXScope", "VRXSpectrogram"}) {
        if (index < 0)
            index = combo->findText(QCoreApplication::translate(context, entry.toUtf8().constData()));
    }
    combo->setCurrentIndex(index);
}

void clickPlot(Corvid_Qt::VRXScopePlotView *view, const QPointF &at, Qt::MouseButton button)
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

QString saveThroughPanel(Corvid_Qt::VRXScope *scope, const QString &file)
{
    QString error;
    scope->setSaveFileNameProvider(
        [file](const QString &, const QString &, const QString &, QFileDialog::Options) { return file; });
    scope->setSaveErrorReporter([&error](const QString &title, const QString &text) { error = title + ": " + text; });
    QFile::remove(file);
    // The file is written beside the event loop; the pictures go on once it is there.
    QEventLoop written;
    QObject::connect(scope, &Corvid_Qt::VRXScope::dataSaved, &written, &QEventLoop::quit);
    control<QToolButton>(scope, "saveButton")->click();
    if (scope->isSaving())
        written.exec();
    scope->setSaveFileNameProvider(nullptr);
    scope->setSaveErrorReporter(nullptr);
    if (!error.isEmpty())
        std::fprintf(stderr, "corvid_demo: %s (%s)\n", qPrintable(error), qPrintable(file));
    return error.isEmpty() ? file : QString();
}

void settle(int passes)
{
    for (int i = 0; i < passes; ++i)
        QApplication::processEvents();
}

} // namespace DemoActions
