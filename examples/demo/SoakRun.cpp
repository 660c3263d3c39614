#include "SoakRun.h"

#include "DemoActions.h"
#include "ScopePanelPage.h"
#include "ScopePlotPage.h"
#include "SimulatedCurrentReader.h"

#include <VRXMultichannelProxyModel.h>
#include <VRXScope.h>
#include <VRXScopePlotView.h>
#include <VRXSingleChannelDataModel.h>

#include <QtCore/QDir>
#include <QtCore/QEventLoop>
#include <QtCore/QFile>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QToolButton>
#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <unistd.h>

#include <qwt_plot.h>
#include <qwt_scale_div.h>

using namespace Corvid_Qt;

namespace {

const double kSpeed = 10.0;

int countTree(const QObject *object)
{
    int n = 1;
    for (const QObject *child : object->children())
        n += countTree(child);
    return n;
}

} // namespace

SoakRun::SoakRun(DemoWindow &window, double minutes, const QString &scratchDir)
    : m_window(window)
    , m_durationMs(qint64(minutes * 60000))
    // Long enough for every buffer to fill and wrap once at the soak's rate.
    , m_warmUpMs(std::min<qint64>(m_durationMs / 2, 120000))
    , m_scratch(scratchDir)
{
    m_actions.setInterval(250);
    m_sampler.setInterval(1000);
    m_stallProbe.setInterval(10);
    connect(&m_actions, &QTimer::timeout, this, &SoakRun::act);
    connect(&m_sampler, &QTimer::timeout, this, &SoakRun::sample);
    connect(&m_stallProbe, &QTimer::timeout, this, [this] {
        const qint64 now = m_clock.elapsed();
        // Start-up (first paints of every page, buffers filling) is not a stall.
        if (now >= m_warmUpMs) {
            const qint64 stall = now - m_lastProbeMs - m_stallProbe.interval();
            m_maxStallMs = std::max(m_maxStallMs, stall);
            // A save copies the whole buffer on the GUI thread; its share
            // is reported apart from everything else.
            if (!m_savedSinceProbe)
                m_maxStallOutsideSavesMs = std::max(m_maxStallOutsideSavesMs, stall);
        }
        m_savedSinceProbe = false;
        m_lastProbeMs = now;
    });
}

bool SoakRun::run()
{
    QDir().mkpath(m_scratch);
    for (DemoPage *page : m_window.pages()) {
        page->setSimulationSpeed(kSpeed);
        page->setSimulationRunning(true);
    }
    // The current readers and the chamber start with full buffers, so that
    // what grows after the warm-up is not the buffers filling.
    const QList<SimulatedCurrentReader *> readers{m_window.page<ScopePlotPage>()->reader(),
                                                  m_window.page<ScopePanelPage>()->reader()};
    for (SimulatedCurrentReader *reader : readers) {
        reader->replay(102.0);
        reader->resume();
    }
    m_window.page<ScopePanelPage>()->fillChamberHistory();
    // The panel's save dialogs answered for the scripted user.
    VRXScope *saving = m_window.page<ScopePanelPage>()->readerScope();
    const QString file = QDir(m_scratch).filePath(QStringLiteral("soak-reader.csv"));
    saving->setSaveFileNameProvider(
        [file](const QString &, const QString &, const QString &, QFileDialog::Options) { return file; });
    saving->setSaveErrorReporter([file](const QString &title, const QString &text) {
        std::fprintf(stderr, "corvid_demo: %s: %s (%s)\n", qPrintable(title), qPrintable(text), qPrintable(file));
    });

    m_clock.start();
    m_actions.start();
    m_sampler.start();
    m_stallProbe.start();
    QEventLoop loop;
    QTimer::singleShot(m_durationMs, &loop, &QEventLoop::quit);
    loop.exec();
    m_actions.stop();
    m_sampler.stop();
    m_stallProbe.stop();
    while (saving->isSaving())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    saving->setSaveFileNameProvider(nullptr);
    saving->setSaveErrorReporter(nullptr);
    QFile::remove(file);
    sample();
    const int objectGrowth = settledObjects() - m_objectsAfterWarmUp;
    const qint64 rssGrowth = growth(m_rssSamples);
    const auto spread = std::minmax_element(m_rssSamples.cbegin(), m_rssSamples.cend());
    std::printf("bench: soak minutes=%g rss_growth_kb=%lld qobjects_growth=%d max_ms_event_loop_stall=%lld "
                "max_ms_stall_outside_saves=%lld max_ms_save=%lld heap_growth_kb=%lld rss_spread_kb=%lld\n",
                m_durationMs / 60000.0, static_cast<long long>(rssGrowth), objectGrowth,
                static_cast<long long>(m_maxStallMs), static_cast<long long>(m_maxStallOutsideSavesMs),
                static_cast<long long>(m_maxSaveMs), static_cast<long long>(growth(m_heapSamples)),
                static_cast<long long>(m_rssSamples.isEmpty() ? 0 : *spread.second - *spread.first));
    std::fflush(stdout);
    return rssGrowth <= 2048 && objectGrowth <= 0;
}

qint64 SoakRun::growth(const QVector<qint64> &samples)
{
    // Resident memory moves by megabytes from one second to the next (a
    // save's copy, a page's first paint), more than the growth looked for:
    // compare the medians of the first and the last stretch after the
    // warm-up, a minute each at most, rather than two single samples.
    const int window = std::clamp(int(samples.size()) / 3, 1, 60);
    if (samples.size() < 2)
        return 0;
    const auto median = [](QVector<qint64> part) {
        std::nth_element(part.begin(), part.begin() + part.size() / 2, part.end());
        return part.at(part.size() / 2);
    };
    return median(samples.mid(samples.size() - window)) - median(samples.mid(0, window));
}

void SoakRun::sample()
{
    // The scripted user's actions are done between samples, so the object
    // count sees no half-made channel.
    if (m_clock.elapsed() < m_warmUpMs)
        return;
    if (m_objectsAfterWarmUp < 0)
        m_objectsAfterWarmUp = settledObjects();
    m_rssSamples.append(residentKb());
    m_heapSamples.append(heapInUseKb());
}

int SoakRun::settledObjects()
{
    // Counted with the scripted user's state put back the same way each time
    // (every channel in, first mode, first instrument, no averaging) and the
    // pending deletions done, so that a count differs only by what leaked.
    m_window.showPage(m_window.pages().first());
    if (auto *page = m_window.page<ScopePlotPage>()) {
        if (m_removed) {
            page->mergedModel()->addSourceModel(m_removed);
            m_removed = nullptr;
        }
        page->modeSelector()->setCurrentIndex(0);
    }
    if (auto *page = m_window.page<ScopePanelPage>()) {
        DemoActions::choose(page->readerScope(), "averagingCombo", QStringLiteral("No Avg"));
        page->instrumentSelector()->setCurrentIndex(0);
    }
    for (int pass = 0; pass < 3; ++pass) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    return liveObjects();
}

void SoakRun::act()
{
    ++m_step;
    // Each page in turn is shown for a second, so every view paints.
    if (m_step % 4 == 0) {
        const QList<DemoPage *> pages = m_window.pages();
        m_window.showPage(pages.at((m_step / 4) % pages.size()));
    }
    scopePlotActions();
    scopePanelActions();
}

void SoakRun::scopePlotActions()
{
    auto *page = m_window.page<ScopePlotPage>();
    if (!page)
        return;
    VRXScopePlotView *view = page->view();
    auto *plot = view->findChild<QwtPlot *>();
    const QwtScaleDiv &x = plot->axisScaleDiv(QwtPlot::xBottom);
    const QwtScaleDiv &y = plot->axisScaleDiv(QwtPlot::yLeft);
    const QPointF at(x.lowerBound() + m_random.generateDouble() * x.range(),
                     y.lowerBound() + m_random.generateDouble() * y.range());
    if (page->isVisible())
        DemoActions::clickPlot(view, at, m_step % 2 ? Qt::LeftButton : Qt::RightButton);
    if (m_step % 20 == 0)
        page->modeSelector()->setCurrentIndex(1 - page->modeSelector()->currentIndex());

    // A channel leaves the merged model and comes back a few steps later.
    VRXMultichannelProxyModel *merged = page->mergedModel();
    if (m_step % 12 == 3 && !m_removed) {
        const auto channels = merged->findChildren<VRXSingleChannelDataModel *>();
        if (!channels.isEmpty()) {
            m_removed = channels.last();
            merged->removeSourceModel(m_removed);
        }
    } else if (m_step % 12 == 9 && m_removed) {
        merged->addSourceModel(m_removed);
        m_removed = nullptr;
    }
}

void SoakRun::scopePanelActions()
{
    auto *page = m_window.page<ScopePanelPage>();
    if (!page)
        return;
    VRXScope *scope = page->readerScope();
    switch (m_step % 16) {
    case 2:
        DemoActions::choose(scope, "averagingCombo", QStringLiteral("10x Avg"));
        break;
    case 6:
        DemoActions::control<QToolButton>(scope, "zeroButton")->click();
        break;
    case 10:
        DemoActions::control<QToolButton>(scope, "clearZeroButton")->click();
        DemoActions::choose(scope, "averagingCombo", QStringLiteral("No Avg"));
        break;
    case 14: {
        if (scope->isSaving())
            break;
        // The file itself is written beside the event loop; what the GUI
        // thread spends is the click: the dialog's answer and the copy.
        QElapsedTimer save;
        save.start();
        DemoActions::control<QToolButton>(scope, "saveButton")->click();
        if (m_clock.elapsed() >= m_warmUpMs)
            m_maxSaveMs = std::max(m_maxSaveMs, save.elapsed());
        m_savedSinceProbe = true;
        break;
    }
    default:
        break;
    }
    if (m_step % 40 == 20)
        page->instrumentSelector()->setCurrentIndex(1 - page->instrumentSelector()->currentIndex());
}

qint64 SoakRun::residentKb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

qint64 SoakRun::heapInUseKb()
{
    // What the program holds, as against what the allocator keeps from the
    // system: the two tell a leak from a fragmented heap.
    const struct mallinfo2 info = mallinfo2();
    return qint64((info.uordblks + info.hblkhd) / 1024);
}

int SoakRun::liveObjects()
{
    // Every object of the demo hangs below the application or a window.
    int n = countTree(QCoreApplication::instance());
    for (const QWidget *top : QApplication::topLevelWidgets())
        n += countTree(top);
    return n;
}
