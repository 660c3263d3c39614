#ifndef DEMO_DEMOACTIONS_H
#define DEMO_DEMOACTIONS_H

#include <QtCore/QPointF>
#include <QtCore/QString>
#include <QtWidgets/QWidget>

namespace Corvid_Qt {
class VRXScope;
class VRXScopePlotView;
}

/// What a person does with the widgets, for the scripted runs (the picture
/// tour and the soak run): clicks, choices and saves through the widgets'
/// own controls, found by their form names.
namespace DemoActions {

template <typename T>
T *control(QWidget *widget, const char *name)
{
    return widget->findChild<T *>(QLatin1String(name));
}

/// Chooses the entry with this text in the named combo box.
void choose(QWidget *widget, const char *comboName, const QString &entry);

/// A mouse click on the plot canvas at the point that shows (x, y).
void clickPlot(Corvid_Qt::VRXScopePlotView *view, const QPointF &at, Qt::MouseButton button);

/// The panel's save button with its own writer; only the dialogs are
/// answered, as nobody is there to answer them. Returns the file, or an
/// empty string when the panel reported an error.
QString saveThroughPanel(Corvid_Qt::VRXScope *scope, const QString &file);

/// Lets plot passes and layouts settle.
void settle(int passes = 4);

} // namespace DemoActions

#endif
