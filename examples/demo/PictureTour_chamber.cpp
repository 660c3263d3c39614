#include "PictureTour.h"

#include "ChamberPage.h"

#include <VRXPositionPlot.h>
#include <VRXSplitPlot.h>

#include <QtCore/QEventLoop>
#include <QtCore/QTimer>
#include <QtGui/QPixmap>

namespace {

/// Both chamber plots redraw on their own 100 ms timers.
void waitForRedraw()
{
    QEventLoop loop;
    QTimer::singleShot(250, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

void PictureTour::chamber()
{
    auto *page = visit<ChamberPage>("chamber");
    if (!page)
        return;
    // Thirty frames half a second apart: the scatter keeps the last twenty.
    for (int i = 0; i < 30; ++i)
        page->feed(40.0 + 0.5 * i);
    waitForRedraw();
    page->feed(55.0);
    grab(QString());
    for (const auto &shot : {qMakePair(QStringLiteral("position-scatter"), static_cast<QWidget *>(page->positionPlot())),
                             qMakePair(QStringLiteral("split-bars"), static_cast<QWidget *>(page->splitPlot()))}) {
        const QString file = path(shot.first, QStringLiteral(".png"));
        if (shot.second->grab().save(file))
            m_files << file;
    }
}
