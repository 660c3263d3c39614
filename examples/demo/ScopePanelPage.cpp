#include "ScopePanelPage.h"

#include "SimulatedCurrentReader.h"
#include "SimulatedProfileMonitor.h"

#include <MeasurementUnit.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXScope.h>
#include <VRXScopePlotView.h>
#include <VRXSingleChannelDataModel.h>

#include <QtCore/QFile>
#include <QtCore/QDir>
#include <QtCore/QTimer>
#include <QtCore/QVector>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QStackedWidget>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QVBoxLayout>
#include <cstdio>

using namespace Corvid_Qt;

namespace {

// 2.5 s of the 1 kHz reader across the strip.
const int kReaderWindow = 2500;

// Only the panel's own controls are used, found by their form names, as a
// user would click them.
template <typename T>
T *control(VRXScope *scope, const char *name)
{
    return scope->findChild<T *>(QLatin1String(name));
}

void choose(VRXScope *scope, const char *comboName, const QString &entry)
{
    auto *combo = control<QComboBox>(scope, comboName);
    combo->setCurrentIndex(combo->findText(entry));
}

} // namespace

ScopePanelPage::ScopePanelPage(QWidget *parent)
    : DemoPage(tr("Scope panel"), parent)
    , m_units(Units::MeasurementUnit::fromType(Units::Units_nA))
    , m_readerModel(new VRXMultichannelProxyModel(this))
    , m_monitor(new SimulatedProfileMonitor(this))
    , m_monitorTimer(new QTimer(this))
    , m_instrument(new QComboBox(this))
    , m_stack(new QStackedWidget(this))
    , m_readerScope(new VRXScope)
    , m_monitorScope(new VRXScope)
{
    QVector<VRXSingleChannelDataModel *> channels;
    for (int c = 0; c < SimulatedCurrentReader::channels; ++c) {
        auto *model = new VRXSingleChannelDataModel(m_readerModel);
        model->setChannelName(QStringLiteral("I%1").arg(c + 1));
        model->setPlotWidthHintPoints(kReaderWindow);
        model->SetUnits(m_units.get());
        m_readerModel->addSourceModel(model);
        channels.append(model);
    }
    m_reader = new SimulatedCurrentReader(channels, this);

    // The reader's full range is +-10 nA; the percentage scales are of that.
    m_readerScope->setModel(m_readerModel);
    m_readerScope->SetRange(-10.0, 10.0);
    m_readerScope->SetPlotMode(VRXScope::StripPlotMode);

    m_monitor->addFrame(0.0);
    m_monitorScope->setModel(m_monitor);
    m_monitorScope->SetPlotMode(VRXScope::HistogramPlotMode);
    VRXScopePlotView *profile = m_monitorScope->plotView();
    profile->enableHistogramItem(VRXScopePlotView::CoGHistogramItemType, 2, {0, 0.1, 3}, true);
    profile->enableHistogramItem(VRXScopePlotView::RegressionHistogramItemType, 2, {0.1, 1024, 1e-15, 1e-14, 2, 5},
                                 true);

    m_stack->addWidget(m_readerScope);
    m_stack->addWidget(m_monitorScope);
    m_instrument->addItems({tr("8-channel current reader"), tr("32-channel profile monitor")});
    connect(m_instrument, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ScopePanelPage::showInstrument);

    auto *selector = new QHBoxLayout;
    auto *label = new QLabel(tr("&Instrument:"), this);
    label->setBuddy(m_instrument);
    selector->addWidget(label);
    selector->addWidget(m_instrument);
    selector->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(selector);
    layout->addWidget(m_stack, 1);

    connect(m_monitorTimer, &QTimer::timeout, this, &ScopePanelPage::feedMonitor);
    m_monitorClock.start();
    m_monitorTimer->start(50);
    m_reader->start();
}

ScopePanelPage::~ScopePanelPage()
{
    m_reader->stop();
    m_monitorTimer->stop();
    // The panels read the models to the end; they go first.
    delete m_stack;
}

void ScopePanelPage::showInstrument(int index)
{
    m_stack->setCurrentIndex(index);
}

void ScopePanelPage::feedMonitor()
{
    m_monitor->addFrame(m_monitorClock.elapsed() / 1000.0);
}

QString ScopePanelPage::grabSettled(const QString &dir, const QString &prefix, const QString &suffix)
{
    // A plot pass, then the layout settles (statistics strips, tab bar).
    for (int i = 0; i < 4; ++i)
        QApplication::processEvents();
    return grabTo(dir, prefix, suffix);
}

QString ScopePanelPage::saveThroughPanel(VRXScope *scope, const QString &file)
{
    // The panel's save button with its own writer; only the dialogs are
    // answered here, as nobody is there to answer them.
    QString error;
    scope->setSaveFileNameProvider(
        [file](const QString &, const QString &, const QString &, QFileDialog::Options) { return file; });
    scope->setSaveErrorReporter([&error](const QString &title, const QString &text) { error = title + ": " + text; });
    QFile::remove(file);
    control<QToolButton>(scope, "saveButton")->click();
    scope->setSaveFileNameProvider(nullptr);
    scope->setSaveErrorReporter(nullptr);
    if (!error.isEmpty())
        std::fprintf(stderr, "corvid_demo: %s (%s)\n", qPrintable(error), qPrintable(file));
    return error.isEmpty() && QFile::exists(file) ? file : QString();
}

QStringList ScopePanelPage::writePictures(const QString &dir, const QString &prefix)
{
    QStringList files;
    m_reader->stop();
    m_monitorTimer->stop();

    // The current reader: a fixed 4.5 s with a pause inside the strip.
    m_instrument->setCurrentIndex(0);
    m_reader->replay(4.5);
    const struct {
        VRXScope::PlotMode mode;
        const char *suffix;
    } modes[] = {{VRXScope::StripPlotMode, "reader-strip"},
                 {VRXScope::ScopePlotMode, "reader-scope"},
                 {VRXScope::HistogramPlotMode, "reader-histogram"}};
    for (const auto &m : modes) {
        m_readerScope->SetPlotMode(m.mode);
        files << grabSettled(dir, prefix, QLatin1String(m.suffix));
    }

    // The Y scale families, in strip mode. The absolute lists cannot be
    // left again, so the percentages come first.
    m_readerScope->SetPlotMode(VRXScope::StripPlotMode);
    choose(m_readerScope, "scaleYCombo", QStringLiteral("50%"));
    m_readerScope->SetPositiveOnly(true);
    files << grabSettled(dir, prefix, QStringLiteral("reader-y-percent"));

    choose(m_readerScope, "averagingCombo", QStringLiteral("10x Avg"));
    control<QToolButton>(m_readerScope, "zeroButton")->click();
    files << grabSettled(dir, prefix, QStringLiteral("reader-averaged-zeroed"));
    control<QToolButton>(m_readerScope, "clearZeroButton")->click();
    choose(m_readerScope, "averagingCombo", QStringLiteral("No Avg"));

    m_readerScope->SetYScaleMode(VRXScope::_PlotScaleAbsolute);
    choose(m_readerScope, "scaleYCombo", QStringLiteral("5"));
    files << grabSettled(dir, prefix, QStringLiteral("reader-y-absolute"));
    m_readerScope->SetYScaleMode(VRXScope::_PlotScaleAbsolutePositive);
    choose(m_readerScope, "scaleYCombo", QStringLiteral("5"));
    files << grabSettled(dir, prefix, QStringLiteral("reader-y-absolute-positive"));
    m_readerScope->SetYScaleMode(VRXScope::_PlotScaleAutoOnly);
    files << grabSettled(dir, prefix, QStringLiteral("reader-y-auto-only"));

    files << saveThroughPanel(m_readerScope, QDir(dir).filePath(prefix + QStringLiteral("-reader.csv")));

    // The profile monitor: 6.5 s of frames, ending with the second peak.
    m_instrument->setCurrentIndex(1);
    m_monitor->Clear();
    for (int i = 0; i <= 130; ++i)
        m_monitor->addFrame(0.05 * i);
    m_monitorScope->SetPlotMode(VRXScope::HistogramPlotMode);
    files << grabSettled(dir, prefix, QStringLiteral("monitor-histogram"));
    m_monitorScope->SetPlotMode(VRXScope::StripPlotMode);
    files << grabSettled(dir, prefix, QStringLiteral("monitor-strip"));
    m_monitorScope->SetPlotMode(VRXScope::HistogramPlotMode);

    files << saveThroughPanel(m_monitorScope, QDir(dir).filePath(prefix + QStringLiteral("-monitor.csv")));

    m_instrument->setCurrentIndex(0);
    m_monitorClock.start();
    m_monitorTimer->start(50);
    m_reader->start();
    files.removeAll(QString());
    return files;
}
