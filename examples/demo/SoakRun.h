#ifndef DEMO_SOAKRUN_H
#define DEMO_SOAKRUN_H

#include "DemoWindow.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QObject>
#include <QtCore/QRandomGenerator>
#include <QtCore/QTimer>
#include <QtCore/QVector>

class QAbstractItemModel;

/// The soak run (`corvid_demo --soak MINUTES`): every page's instruments at
/// ten times their rate for the whole time, the pages shown in turn so that
/// their views paint, while a scripted user moves markers, toggles averaging
/// and zeroing, takes channels away and back and saves into a scratch
/// folder. Resident memory is sampled every second, live QObjects at the
/// end of the warm-up and at the end; the closing line reports their growth
/// after the warm-up (memory as the medians of the first and the last
/// stretch of samples, rss_spread_kb how far single samples range) and the
/// longest stall of the event loop.
class SoakRun : public QObject
{
    Q_OBJECT
public:
    SoakRun(DemoWindow &window, double minutes, const QString &scratchDir);

    /// Runs to the end; true when memory and objects stayed flat.
    bool run();

private:
    void act();
    void sample();
    void scopePlotActions();
    void scopePanelActions();

    static qint64 residentKb();
    static qint64 heapInUseKb();
    static int liveObjects();
    static qint64 growth(const QVector<qint64> &samples);
    int settledObjects();

    DemoWindow &m_window;
    const qint64 m_durationMs;
    const qint64 m_warmUpMs;
    const QString m_scratch;
    QElapsedTimer m_clock;
    QTimer m_actions;
    QTimer m_sampler;
    QTimer m_stallProbe;
    qint64 m_lastProbeMs = 0;
    qint64 m_maxStallMs = 0;
    qint64 m_maxStallOutsideSavesMs = 0;
    qint64 m_maxSaveMs = 0;
    bool m_savedSinceProbe = false;
    QVector<qint64> m_rssSamples;
    QVector<qint64> m_heapSamples;
    int m_objectsAfterWarmUp = -1;
    int m_step = 0;
    QAbstractItemModel *m_removed = nullptr;
    QRandomGenerator m_random{20261206};
};

#endif
