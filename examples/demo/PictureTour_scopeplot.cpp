#include "PictureTour.h"

#include "DemoActions.h"

#include "ScopePlotPage.h"
#include "SimulatedCurrentReader.h"

#include <QtCore/QPointF>
#include <QtWidgets/QComboBox>

void PictureTour::scopePlot()
{
    auto *page = visit<ScopePlotPage>("scope-plot");
    if (!page)
        return;
    // A fixed stretch of 4.5 s with the pause at 2.0 .. 2.35 s in the window.
    page->reader()->replay(4.5);
    page->modeSelector()->setCurrentIndex(0);
    DemoActions::settle();

    // Marker 0 on a beam pulse, marker 1 on the next one.
    DemoActions::clickPlot(page->view(), QPointF(3.0105, 2.5), Qt::LeftButton);
    DemoActions::clickPlot(page->view(), QPointF(3.2605, 2.5), Qt::RightButton);
    grab(QStringLiteral("strip"));

    page->modeSelector()->setCurrentIndex(1);
    grab(QStringLiteral("scope"));
    page->modeSelector()->setCurrentIndex(0);

    // The whole buffer, 100000 samples per channel: 110 s of simulated time
    // with a short pause every 6 s and the reader cut off for 3 s at 50 s,
    // each one a gap in every curve.
    page->setWindowPoints(100000);
    page->reader()->replay(50.0);
    page->reader()->outage(3.0, 110.0);
    DemoActions::settle();
    grab(QStringLiteral("whole-buffer"));
    page->setWindowPoints(ScopePlotPage::defaultWindowPoints);
    page->reader()->replay(4.5);
    DemoActions::settle();
}
