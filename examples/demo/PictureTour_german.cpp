#include "PictureTour.h"

#include "DemoActions.h"

#include "ScopePanelPage.h"
#include "SimulatedCurrentReader.h"
#include "SimulatedProfileMonitor.h"

#include <Translations.h>
#include <VRXScope.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QTranslator>
#include <QtWidgets/QComboBox>

#include <memory>

using Corvid_Qt::VRXScope;

// The scope panel in German, switched at run time as a host's language menu
// would, and back to English for the pages after it.
void PictureTour::scopePanelGerman()
{
    auto *page = visit<ScopePanelPage>("scope-panel");
    if (!page)
        return;

    // Under --lang de the demo is German already; otherwise the tour owns
    // the translator and drops it when done.
    std::unique_ptr<QTranslator> german;
    if (QCoreApplication::translate("VRXScope", "Strip") == QLatin1String("Strip")) {
        german.reset(Corvid_Qt::installTranslator(QLocale(QLocale::German, QLocale::Germany)));
        if (!german)
            return;
    }
    DemoActions::settle();

    VRXScope *reader = page->readerScope();
    page->instrumentSelector()->setCurrentIndex(0);
    page->reader()->replay(4.5);
    reader->SetPlotMode(VRXScope::StripPlotMode);
    grab(QStringLiteral("de-reader-strip"));

    VRXScope *monitor = page->monitorScope();
    page->instrumentSelector()->setCurrentIndex(1);
    page->replayMonitor(6.5);
    monitor->SetPlotMode(VRXScope::HistogramPlotMode);
    grab(QStringLiteral("de-monitor-histogram"));

    page->instrumentSelector()->setCurrentIndex(0);
    german.reset();
    DemoActions::settle();
}
