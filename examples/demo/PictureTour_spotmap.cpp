#include "PictureTour.h"

#include "DemoActions.h"
#include "SpotMapPage.h"

#include <SpotMapWidget.h>

#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QToolButton>

using Corvid_Qt::SpotMapWidget;

namespace {

void clickBoth(SpotMapPage *page, const char *button)
{
    for (SpotMapWidget *w : {page->planned(), page->delivered()})
        DemoActions::control<QToolButton>(w, button)->click();
}

} // namespace

void PictureTour::spotMap()
{
    auto *page = visit<SpotMapPage>("spot-map");
    if (!page)
        return;
    grab(QStringLiteral("actual"));
    clickBoth(page, "DifferenceButton");
    grab(QStringLiteral("diff"));
    clickBoth(page, "DiffOverlayButton");
    grab(QStringLiteral("overlay"));

    QKeyEvent pageUp(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier);
    QApplication::sendEvent(page->delivered(), &pageUp);
    clickBoth(page, "DataButton");
    grab(QStringLiteral("actual-layer-2"));
}
