#include "VRXScope.h"

#include "ControlRowLayout_p.h"
#include "CorvidLogging_p.h"
#include "LinkedSelectionModel_p.h"
#include "SaveFileWriter_p.h"
#include "VRXAveragingProxyModel.h"
#include "VRXScopePlotView.h"
#include "VRXSpectrogram.h"
#include "VRXZeroingProxyModel.h"
#include "ui_VRXScope.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDebug>
#include <QtCore/QEvent>
#include <QtCore/QFileInfo>
#include <QtCore/QSaveFile>
#include <QtCore/QSignalBlocker>
#include <QtCore/QThread>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QMessageBox>

#include <cmath>
#include <iterator>

namespace Corvid_Qt {

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("VRXScope", text);
}

} // namespace

const char *const VRXScope::plotScaleStrings[15] = {
    QT_TRANSLATE_NOOP("VRXScope", "Auto"),  QT_TRANSLATE_NOOP("VRXScope", "Normalize"),
    QT_TRANSLATE_NOOP("VRXScope", "100%"),  QT_TRANSLATE_NOOP("VRXScope", "50%"),
    QT_TRANSLATE_NOOP("VRXScope", "20%"),   QT_TRANSLATE_NOOP("VRXScope", "10%"),
    QT_TRANSLATE_NOOP("VRXScope", "5%"),    QT_TRANSLATE_NOOP("VRXScope", "2%"),
    QT_TRANSLATE_NOOP("VRXScope", "1%"),    QT_TRANSLATE_NOOP("VRXScope", "0.5%"),
    QT_TRANSLATE_NOOP("VRXScope", "0.2%"),  QT_TRANSLATE_NOOP("VRXScope", "0.1%"),
    QT_TRANSLATE_NOOP("VRXScope", "0.05%"), QT_TRANSLATE_NOOP("VRXScope", "0.02%"),
    QT_TRANSLATE_NOOP("VRXScope", "0.01%"),
};

// Numbers stay untranslated: they are read back with toDouble().
const char *const VRXScope::plotManualScaleStrings[23] = {
    QT_TRANSLATE_NOOP("VRXScope", "Auto"), "100000000", "10000000", "1000000", "250000", "100000",
    "50000", "20000", "10000", "5000", "2000", "1000", "500", "100", "50", "20", "5", "1", ".1", ".05",
    ".01", ".001", ".0001",
};

const char *const VRXScope::plotAveragingStrings[4] = {
    QT_TRANSLATE_NOOP("VRXScope", "No Avg"),
    QT_TRANSLATE_NOOP("VRXScope", "10x Avg"),
    QT_TRANSLATE_NOOP("VRXScope", "100x Avg"),
    QT_TRANSLATE_NOOP("VRXScope", "1000x Avg"),
};

VRXScope::VRXScope(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui_VRXScope)
    , m_plotScaleMode(_PlotScaleNormal)
    , m_averagingModel(nullptr)
    , m_zeroingModel(nullptr)
    , m_pixelated_enabled(false)
    , m_position_enabled(false)
    , m_split_enabled(false)
    , m_pixelated_index(-1)
    , m_position_index(-1)
    , m_split_index(-1)
{
    m_ui->setupUi(this);

    for (const char *text : plotScaleStrings)
        m_ui->scaleYCombo->addItem(translated(text));
    connect(m_ui->scaleYCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &VRXScope::SetYScale);
    SetYScale(0);

    m_averagingModel = new VRXAveragingProxyModel(this);
    for (const char *text : plotAveragingStrings)
        m_ui->averagingCombo->addItem(translated(text));
    connect(m_ui->averagingCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &VRXScope::SetAveragingMode);
    SetAveragingMode(0);

    m_zeroingModel = new VRXZeroingProxyModel(this);
    m_zeroingModel->setSourceModel(m_averagingModel);
    // The proxy ends zeroing by itself when the channels change, with a
    // reset or without one; the button and the colour must not go on
    // claiming it.
    const auto followZeroing = [this]() {
        if (!m_zeroingModel->isZeroing() && m_ui->clearZeroButton->isEnabled())
            showZeroState(false);
    };
    connect(m_zeroingModel, &QAbstractItemModel::modelReset, this, followZeroing);
    connect(m_zeroingModel, &QAbstractItemModel::columnsInserted, this, followZeroing);
    connect(m_zeroingModel, &QAbstractItemModel::columnsRemoved, this, followZeroing);
    connect(m_zeroingModel, &QAbstractItemModel::columnsMoved, this, followZeroing);
    connect(m_ui->zeroButton, &QToolButton::clicked, this, &VRXScope::ZeroNow);
    connect(m_ui->clearZeroButton, &QToolButton::clicked, this, &VRXScope::ZeroClear);
    ZeroClear();

    m_ui->modeSelect->addTab(translated(QT_TRANSLATE_NOOP("VRXScope", "Strip")));
    m_ui->modeSelect->addTab(translated(QT_TRANSLATE_NOOP("VRXScope", "Scope")));
    m_ui->modeSelect->addTab(translated(QT_TRANSLATE_NOOP("VRXScope", "Histogram")));
    m_ui->modeSelect->setShape(QTabBar::TriangularSouth);
    // Every mode stays readable: a narrow panel wraps its control row
    // rather than hide tabs behind scroll arrows.
    m_ui->modeSelect->setUsesScrollButtons(false);
    m_ui->modeSelect->setElideMode(Qt::ElideNone);
    m_ui->modeSelect->setExpanding(false);
    wrapControlRow();
    connect(m_ui->modeSelect, &QTabBar::currentChanged, this,
            static_cast<void (VRXScope::*)(int)>(&VRXScope::SetPlotMode));

    connect(m_ui->positiveOnlyButton, &QToolButton::toggled, m_ui->plotView,
            &VRXScopePlotView::SetPositiveOnly);
    connect(m_ui->clearButton, &QToolButton::clicked, this, &VRXScope::Clear);
    connect(m_ui->saveButton, &QToolButton::clicked, this, &VRXScope::SaveDataToFile);

    m_ui->plotView->SetBufferSizeLabel(m_ui->bufferSizeLabel);
    m_ui->confWidget->hide();

    // The form takes every icon from the theme. The undo button is the one
    // without a text of its own; it must stay recognisable without a theme.
    if (m_ui->clearZeroButton->icon().isNull())
        m_ui->clearZeroButton->setText(translated(QT_TRANSLATE_NOOP("VRXScope", "Undo Zero")));
}

void VRXScope::wrapControlRow()
{
    QHBoxLayout *form = m_ui->horizontalLayout;
    auto row = std::make_unique<ControlRowLayout>();
    row->setContentsMargins(form->contentsMargins());
    row->setSpacing(form->spacing());
    for (QWidget *w : {static_cast<QWidget *>(m_ui->confButton), m_ui->scaleYWidget, m_ui->avgWidget,
                       m_ui->zeroWidget, static_cast<QWidget *>(m_ui->modeSelect)})
        row->addWidget(w);
    row->startTrailing();
    for (QWidget *w : {static_cast<QWidget *>(m_ui->bufferSizeLabel), static_cast<QWidget *>(m_ui->clearButton),
                       static_cast<QWidget *>(m_ui->saveButton)})
        row->addWidget(w);
    while (QLayoutItem *item = form->takeAt(0))
        delete item;
    const int at = m_ui->verticalLayout->indexOf(form);
    m_ui->verticalLayout->removeItem(form);
    delete form;
    m_ui->horizontalLayout = nullptr;
    m_ui->verticalLayout->insertLayout(at, row.release());
}

VRXScope::~VRXScope()
{
    // The proxies outlive this destructor as children and reset once more
    // as their sources go; the panel must not hear it.
    disconnect(m_zeroingModel, nullptr, this, nullptr);
    // A file being written is finished, not cut off.
    if (m_saveThread)
        m_saveThread->wait();
}

void VRXScope::setModel(QAbstractItemModel *model)
{
    if (model != m_model && m_zeroingModel->isZeroing())
        ZeroClear();
    m_model = model;
    if (model)
        m_averagingModel->setSourceModel(model);
    QAbstractItemModel *const viewed = m_ui->plotView->model();
    m_ui->plotView->setModel(hasChain() ? m_zeroingModel : nullptr);
    // A view given a model starts on a selection of its own.
    if (m_hostSelection && m_ui->plotView->model() && m_ui->plotView->model() != viewed)
        setSelectionModel(m_hostSelection);
    m_ui->derivativeButton->hide();
    m_ui->confButton->hide();
    // A mode chosen while the view had no model was not taken by it.
    SetPlotMode(m_ui->modeSelect->currentIndex());
}

QAbstractItemModel *VRXScope::baseModel() const
{
    return m_model;
}

QAbstractItemModel *VRXScope::topLevelModel() const
{
    return m_zeroingModel;
}

void VRXScope::setSelectionModel(QItemSelectionModel *selectionModel)
{
    m_hostSelection = selectionModel;
    // Without a model the view would refuse it; setModel shares it then.
    // One whose model is gone is refused too, and the view keeps its own.
    if (selectionModel && (!m_ui->plotView->model() || !selectionModel->model()))
        return;
    m_linkedSelection.reset();
    // A host's table of any model of the chain may share the selection:
    // rows and columns mean the same on every level, so one of another
    // model than the view's is linked cell for cell instead of refused.
    if (selectionModel && selectionModel->model() && selectionModel->model() != topLevelModel()) {
        m_linkedSelection = std::make_unique<LinkedSelectionModel>(topLevelModel(), selectionModel, nullptr);
        selectionModel = m_linkedSelection.get();
    }
    m_ui->plotView->setSelectionModel(selectionModel);
}

VRXScopePlotView *VRXScope::plotView()
{
    return m_ui->plotView;
}

bool VRXScope::hasChain() const
{
    // The averaging proxy refuses models without the plot-data interface and
    // keeps its previous source then.
    return m_model && m_averagingModel->sourceModel() == m_model;
}

void VRXScope::SetPlotMode(PlotMode mode)
{
    m_ui->plotView->SetPlotMode(mode);
    int tab = -1;
    switch (mode) {
    case StripPlotMode:
    case ScopePlotMode:
    case HistogramPlotMode:
        tab = mode;
        break;
    case SpectrogramPlotMode:
        tab = m_pixelated_index;
        break;
    case PositionPlotMode:
        tab = m_position_index;
        break;
    case SplitPlotMode:
        tab = m_split_index;
        break;
    }
    if (tab >= 0)
        m_ui->modeSelect->setCurrentIndex(tab);
}

void VRXScope::SetPlotMode(int plotMode)
{
    if (plotMode < 0)
        return;
    int mode = plotMode;
    if (plotMode == m_pixelated_index)
        mode = SpectrogramPlotMode;
    else if (plotMode == m_position_index)
        mode = PositionPlotMode;
    else if (plotMode == m_split_index)
        mode = SplitPlotMode;
    m_ui->plotView->SetPlotMode(mode);
}

int VRXScope::addExtraTab(const QString &text)
{
    return m_ui->modeSelect->addTab(text);
}

void VRXScope::removeExtraTab(int *index)
{
    const int removed = *index;
    const bool wasCurrent = m_ui->modeSelect->currentIndex() == removed;
    {
        // The tab bar announces its new current tab from inside removeTab(),
        // before the stored indexes could follow it.
        const QSignalBlocker blocker(m_ui->modeSelect);
        m_ui->modeSelect->removeTab(removed);
    }
    *index = -1;
    for (int *other : {&m_pixelated_index, &m_position_index, &m_split_index}) {
        if (*other > removed)
            --*other;
    }
    if (wasCurrent)
        SetPlotMode(m_ui->modeSelect->currentIndex());
}

void VRXScope::setPixelatedEnabled(bool enabled)
{
    qCDebug(lcCorvidQtScope, "setPixelatedEnabled");
    m_ui->plotView->setPixelated(enabled);
    if (enabled && m_pixelated_index < 0) {
        m_pixelated_index = addExtraTab(translated(QT_TRANSLATE_NOOP("VRXScope", "2D")));
        m_ui->modeSelect->setCurrentIndex(m_pixelated_index);
    } else if (!enabled && m_pixelated_index >= 0) {
        removeExtraTab(&m_pixelated_index);
    }
    m_pixelated_enabled = enabled;
}

void VRXScope::setPositionEnabled(bool enabled)
{
    qCDebug(lcCorvidQtScope, "setPositionEnabled");
    if (enabled && m_position_index < 0)
        m_position_index = addExtraTab(translated(QT_TRANSLATE_NOOP("VRXScope", "Position")));
    else if (!enabled && m_position_index >= 0)
        removeExtraTab(&m_position_index);
    m_position_enabled = enabled;
}

void VRXScope::setSplitEnabled(bool enabled)
{
    qCDebug(lcCorvidQtScope, "setSplitEnabled");
    if (enabled && m_split_index < 0)
        m_split_index = addExtraTab(translated(QT_TRANSLATE_NOOP("VRXScope", "Split")));
    else if (!enabled && m_split_index >= 0)
        removeExtraTab(&m_split_index);
    m_split_enabled = enabled;
}

void VRXScope::SetYScale(int scaleMode)
{
    VRXScopePlotView *view = m_ui->plotView;
    QToolButton *positiveOnly = m_ui->positiveOnlyButton;
    switch (m_plotScaleMode) {
    case _PlotScaleAbsolute: {
        bool isNumber = false;
        const double v = m_ui->scaleYCombo->currentText().toDouble(&isNumber);
        positiveOnly->setEnabled(isNumber);
        if (isNumber) {
            view->SetRange(-v, v);
            view->SetYScaleMode(VRXScopePlotView::PlotScale100);
        } else {
            view->SetYScaleMode(VRXScopePlotView::PlotScaleAuto);
        }
        break;
    }
    case _PlotScaleAbsolutePositive: {
        bool isNumber = false;
        const double v = m_ui->scaleYCombo->currentText().toDouble(&isNumber);
        positiveOnly->setEnabled(false);
        if (isNumber) {
            view->SetPositiveOnly(true);
            view->SetRange(0.0, v);
            view->SetYScaleMode(VRXScopePlotView::PlotScale100);
        } else {
            view->SetYScaleMode(VRXScopePlotView::PlotScaleAuto);
        }
        break;
    }
    case _PlotScaleNormal:
    case _PlotScaleAutoOnly:
        // Normalised curves reach -1: a "+" left on would cut off half of them.
        if (scaleMode == VRXScopePlotView::PlotScaleNormalize)
            positiveOnly->setChecked(false);
        positiveOnly->setEnabled(m_plotScaleMode != _PlotScaleAutoOnly && scaleMode > 1);
        view->SetYScaleMode(scaleMode);
        break;
    }
}

void VRXScope::SetYScaleMode(int plotScaleMode)
{
    if (plotScaleMode < _PlotScaleAutoOnly || plotScaleMode > _PlotScaleAbsolutePositive)
        return;
    QComboBox *combo = m_ui->scaleYCombo;
    QToolButton *positiveOnly = m_ui->positiveOnlyButton;
    {
        // One SetYScale() below, read in the new mode, instead of one per
        // entry read in the old one.
        const QSignalBlocker blocker(combo);
        combo->clear();
        combo->addItem(translated(plotManualScaleStrings[0]));
        if (plotScaleMode != _PlotScaleAutoOnly) {
            for (int i = 1; i < int(std::size(plotManualScaleStrings)); ++i)
                combo->addItem(QString::fromLatin1(plotManualScaleStrings[i]));
        }
    }
    switch (plotScaleMode) {
    case _PlotScaleAbsolute:
        positiveOnly->setEnabled(true);
        positiveOnly->setVisible(true);
        // The view may still be held positive by the mode before.
        m_ui->plotView->SetPositiveOnly(positiveOnly->isChecked());
        break;
    case _PlotScaleAbsolutePositive:
        positiveOnly->setVisible(false);
        m_ui->plotView->SetPositiveOnly(true);
        break;
    default:
        positiveOnly->setVisible(false);
        break;
    }
    m_plotScaleMode = PlotScaleModes(plotScaleMode);
    SetYScale(0);
}

void VRXScope::SetRange(double low, double high)
{
    if (m_ui->plotView->SetRange(low, high))
        SetYScale(m_ui->scaleYCombo->currentIndex());
}

void VRXScope::SetPositiveOnly(bool positiveOnly)
{
    // Hidden means the scale mode decides; visible to the panel, not to the
    // screen, so that a host can set it before showing the panel.
    if (m_ui->positiveOnlyButton->isVisibleTo(this))
        m_ui->positiveOnlyButton->setChecked(positiveOnly);
}

void VRXScope::SetAveragingMode(int averagingMode)
{
    m_averagingModel->setAveraging(qRound(std::pow(10.0, averagingMode)));
}

void VRXScope::ZeroNow()
{
    if (!hasChain() || m_model->rowCount() <= 1)
        return;
    m_zeroingModel->zeroNow();
    showZeroState(true);
}

void VRXScope::ZeroClear()
{
    m_zeroingModel->zeroClear();
    showZeroState(false);
}

void VRXScope::showZeroState(bool zeroing)
{
    m_ui->clearZeroButton->setEnabled(zeroing);
    // The light green needs dark text whatever the application's palette.
    m_ui->zeroWidget->setStyleSheet(zeroing ? QStringLiteral("background-color:#88ff8a; color:black;") : QString());
}

void VRXScope::Clear()
{
    // Without a model of its own the proxy still holds the previous one.
    if (hasChain())
        m_averagingModel->Clear();
}

void VRXScope::setSaveFileNameProvider(SaveFileNameProvider provider)
{
    m_saveFileNameProvider = std::move(provider);
}

void VRXScope::setSaveErrorReporter(SaveErrorReporter reporter)
{
    m_saveErrorReporter = std::move(reporter);
}

bool VRXScope::isSaving() const
{
    return !m_saveThread.isNull();
}

void VRXScope::SaveDataToFile()
{
    if (!hasChain() || isSaving())
        return;

    const QString caption = translated(QT_TRANSLATE_NOOP("VRXScope", "Save Data File"));
    const QString filter = translated(QT_TRANSLATE_NOOP("VRXScope", "CSV File (*.csv)"));
    const QFileDialog::Options options = QFileDialog::DontResolveSymlinks;
    QString fileName;
    if (m_saveFileNameProvider) {
        fileName = m_saveFileNameProvider(caption, m_filepath, filter, options);
    } else {
        // The dialog adds the suffix itself, so that it asks before
        // replacing "run.csv" when "run" is typed.
        QFileDialog dialog(this, caption, m_filepath, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOptions(options);
        dialog.setDefaultSuffix(QStringLiteral("csv"));
        if (dialog.exec() == QDialog::Accepted)
            fileName = dialog.selectedFiles().value(0);
    }
    // A cancelled dialog keeps the folder of the last file.
    if (fileName.trimmed().isEmpty())
        return;
    m_filepath = QFileInfo(fileName).path();
    // A file saved as "run" would not be found again under "*.csv".
    QString target = fileName;
    if (QFileInfo(target).suffix().isEmpty())
        target += target.endsWith(QLatin1Char('.')) ? QStringLiteral("csv") : QStringLiteral(".csv");

    bool saved = false;
    if (m_pixelated_enabled) {
        const VRXSpectrogram *spectrogram = m_ui->plotView->spectrogram();
        saved = m_averagingModel->SavePixelatedDataToFile(target, spectrogram->getDiscriminator(),
                                                          spectrogram->getXinverted(),
                                                          spectrogram->getYinverted());
    } else if (VRXAbstractPlotDataModel::DataFileWriter writer = m_averagingModel->dataFileWriter()) {
        saveInBackground(target, std::move(writer));
        return;
    } else {
        saved = m_averagingModel->SaveDataToFile(target);
    }
    finishSave(target, saved);
}

void VRXScope::saveInBackground(const QString &fileName, std::function<bool(QIODevice *)> writer)
{
    // Formatting a full buffer takes long enough to stall the displays; the
    // writer holds its own copy of the data.
    auto saved = std::make_shared<bool>(false);
    QThread *thread = QThread::create([fileName, writer = std::move(writer), saved] {
        QSaveFile file(fileName);
        *saved = writeThroughSaveFile(file, writer);
    });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [this, fileName, saved] {
        m_saveThread = nullptr;
        m_ui->saveButton->setEnabled(true);
        finishSave(fileName, *saved);
    });
    m_saveThread = thread;
    m_ui->saveButton->setEnabled(false);
    thread->start();
}

void VRXScope::finishSave(const QString &fileName, bool saved)
{
    if (saved) {
        emit dataSaved(fileName, true);
        return;
    }
    const QString title = translated(QT_TRANSLATE_NOOP("VRXScope", "Save Data"));
    const QString text = translated(QT_TRANSLATE_NOOP("VRXScope", "Error saving data file."));
    if (m_saveErrorReporter)
        m_saveErrorReporter(title, text);
    else
        QMessageBox::warning(this, title, text, QMessageBox::Ok);
    emit dataSaved(fileName, false);
}

void VRXScope::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::LanguageChange)
        return;
    m_ui->retranslateUi(this);

    // Entries are renamed in place: the current index, and with it the
    // scale, the averaging and the mode, does not change.
    QComboBox *scale = m_ui->scaleYCombo;
    if (m_plotScaleMode == _PlotScaleNormal) {
        for (int i = 0; i < scale->count() && i < int(std::size(plotScaleStrings)); ++i)
            scale->setItemText(i, translated(plotScaleStrings[i]));
    } else if (scale->count() > 0) {
        scale->setItemText(0, translated(plotManualScaleStrings[0]));
    }
    for (int i = 0; i < m_ui->averagingCombo->count() && i < int(std::size(plotAveragingStrings)); ++i)
        m_ui->averagingCombo->setItemText(i, translated(plotAveragingStrings[i]));

    QTabBar *tabs = m_ui->modeSelect;
    tabs->setTabText(StripPlotMode, translated(QT_TRANSLATE_NOOP("VRXScope", "Strip")));
    tabs->setTabText(ScopePlotMode, translated(QT_TRANSLATE_NOOP("VRXScope", "Scope")));
    tabs->setTabText(HistogramPlotMode, translated(QT_TRANSLATE_NOOP("VRXScope", "Histogram")));
    if (m_pixelated_index >= 0)
        tabs->setTabText(m_pixelated_index, translated(QT_TRANSLATE_NOOP("VRXScope", "2D")));
    if (m_position_index >= 0)
        tabs->setTabText(m_position_index, translated(QT_TRANSLATE_NOOP("VRXScope", "Position")));
    if (m_split_index >= 0)
        tabs->setTabText(m_split_index, translated(QT_TRANSLATE_NOOP("VRXScope", "Split")));

    if (m_ui->clearZeroButton->icon().isNull())
        m_ui->clearZeroButton->setText(translated(QT_TRANSLATE_NOOP("VRXScope", "Undo Zero")));
}

} // namespace Corvid_Qt
