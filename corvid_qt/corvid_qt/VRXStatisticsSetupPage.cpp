#include "VRXStatisticsSetupPage.h"

#include "VRXApplicationSettings.h"
#include "VRXScopePlotView.h"
#include "ui_VRXStatisticsSetupPage.h"

#include <QtCore/QEvent>
#include <QtCore/QLoggingCategory>
#include <QtCore/QPointer>
#include <QtCore/QSettings>

namespace Corvid_Qt {

Q_LOGGING_CATEGORY(lcSetupPage, "corvid.qt.settings")

namespace {

const QString kLiveGroup = QStringLiteral("StatisticsSetupPage");
const QString kFactoryGroup = QStringLiteral("FactoryReset");
const int kPeakChoices[] = {1, 2, 4, 8};
const double kRegressionWeighting = 2;

// Anything but a number or "true"/"false" counts as false.
bool boolValue(const QVariant &v)
{
    if (v.type() == QVariant::Bool)
        return v.toBool();
    const QString s = v.toString().trimmed();
    if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    bool ok = false;
    const int n = s.toInt(&ok);
    return ok && n != 0;
}

int intValue(const QVariant &v)
{
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? n : 0;
}

} // namespace

class VRXStatisticsSetupPagePrivate
{
public:
    explicit VRXStatisticsSetupPagePrivate(VRXStatisticsSetupPage *page) : q_ptr(page), ui(new Ui_VRXStatisticsSetupPage) {}

    struct Entry
    {
        QString key;
        QWidget *widget;
    };

    /// The stored widgets, in loading order.
    QVector<Entry> entries() const;
    QVariant widgetValue(const QWidget *w) const;
    void setWidgetValue(QWidget *w, const QVariant &v);
    void store(const QObject *sender);
    void storeAll();
    void updatePeakControls();
    int peaks() const { return ui->peaksEdit->currentText().toInt(); }
    QVector<double> cogOptions() const;
    QVector<double> regressionOptions() const;
    /// Gives every view the items of `type`; returns the options announced.
    QVector<double> configureViews(VRXScopePlotView::HistogramItemTypes type, bool checked,
                                   const QVector<double> &options);
    void applyCoG(bool checked);
    void applyRegression(bool checked);
    void restoreFormDefaults();

    VRXStatisticsSetupPage *const q_ptr;
    const QScopedPointer<Ui_VRXStatisticsSetupPage> ui;
    // A host may close a display before the page: its view then drops out.
    QVector<QPointer<VRXScopePlotView>> m_views;
    QSharedPointer<VRXApplicationSettings> m_settings;
    QFileInfo m_iniPath;
    QVector<QVariant> m_formDefaults;

    Q_DECLARE_PUBLIC(VRXStatisticsSetupPage)
};

QVector<VRXStatisticsSetupPagePrivate::Entry> VRXStatisticsSetupPagePrivate::entries() const
{
    return {
        {QStringLiteral("display-full-stats"), ui->fullStatsCBox},
        {QStringLiteral("center-of-gravity"), ui->CoGCBox},
        {QStringLiteral("gaussian-fit-regression"), ui->regressionCBox},
        {QStringLiteral("center-of-gravity-noise-threshold"), ui->CoGThresholdRadio},
        {QStringLiteral("center-of-gravity-window"), ui->CoGWindowRadio},
        {QStringLiteral("peaks"), ui->peaksEdit},
        {QStringLiteral("center-of-threshold"), ui->CoGThresholdEdit},
        {QStringLiteral("center-of-window"), ui->CoGWindowEdit},
        {QStringLiteral("gaussian-fit-regression-threhold"), ui->RegressionThresholdEdit},
        {QStringLiteral("gaussian-fit-regression-window"), ui->RegressionWindowEdit},
        {QStringLiteral("chi2-window"), ui->Chi2WindowEdit},
    };
}

QVariant VRXStatisticsSetupPagePrivate::widgetValue(const QWidget *w) const
{
    if (auto *box = qobject_cast<const QGroupBox *>(w))
        return box->isChecked();
    if (auto *radio = qobject_cast<const QAbstractButton *>(w))
        return radio->isChecked();
    if (auto *spin = qobject_cast<const QSpinBox *>(w))
        return spin->value();
    if (auto *combo = qobject_cast<const QComboBox *>(w))
        return combo->currentIndex();
    return QVariant();
}

void VRXStatisticsSetupPagePrivate::setWidgetValue(QWidget *w, const QVariant &v)
{
    if (auto *box = qobject_cast<QGroupBox *>(w))
        box->setChecked(boolValue(v));
    else if (auto *radio = qobject_cast<QAbstractButton *>(w))
        radio->setChecked(boolValue(v));
    else if (auto *spin = qobject_cast<QSpinBox *>(w))
        spin->setValue(intValue(v));
    else if (auto *combo = qobject_cast<QComboBox *>(w)) {
        // An index outside the list would leave no peak count at all.
        const int index = intValue(v);
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : 0);
    }
}

void VRXStatisticsSetupPagePrivate::store(const QObject *sender)
{
    if (!m_settings || !sender)
        return;
    for (const Entry &e : entries()) {
        if (e.widget == sender) {
            m_settings->getSettings()->setValue(kLiveGroup + QLatin1Char('/') + e.key, widgetValue(e.widget));
            return;
        }
    }
}

void VRXStatisticsSetupPagePrivate::storeAll()
{
    for (const Entry &e : entries())
        store(e.widget);
}

void VRXStatisticsSetupPagePrivate::updatePeakControls()
{
    const bool any = ui->CoGCBox->isChecked() || ui->regressionCBox->isChecked();
    ui->peaksEdit->setEnabled(any);
    ui->fullStatsCBox->setEnabled(any);
}

QVector<double> VRXStatisticsSetupPagePrivate::cogOptions() const
{
    QVector<double> options;
    if (ui->CoGThresholdRadio->isChecked())
        options << 0;
    else if (ui->CoGWindowRadio->isChecked())
        options << 1;
    options << ui->CoGThresholdEdit->value() / 100.0 << ui->CoGWindowEdit->value();
    return options;
}

QVector<double> VRXStatisticsSetupPagePrivate::regressionOptions() const
{
    return {ui->RegressionThresholdEdit->value() / 100.0,
            double(ui->RegressionWindowEdit->value()),
            ui->peakthreshold->value(),
            ui->sumthreshold->value(),
            kRegressionWeighting,
            double(ui->Chi2WindowEdit->value())};
}

QVector<double> VRXStatisticsSetupPagePrivate::configureViews(VRXScopePlotView::HistogramItemTypes type,
                                                              bool checked, const QVector<double> &options)
{
    updatePeakControls();
    m_views.removeAll(nullptr);
    for (VRXScopePlotView *view : qAsConst(m_views)) {
        if (checked)
            view->enableHistogramItem(type, peaks(), options, ui->fullStatsCBox->isChecked());
        else
            view->enableHistogramItem(type, 0, QVector<double>(), true);
    }
    return checked ? options : QVector<double>();
}

void VRXStatisticsSetupPagePrivate::applyCoG(bool checked)
{
    Q_Q(VRXStatisticsSetupPage);
    emit q->CoGOptions(checked, configureViews(VRXScopePlotView::CoGHistogramItemType, checked, cogOptions()),
                       peaks());
}

void VRXStatisticsSetupPagePrivate::applyRegression(bool checked)
{
    Q_Q(VRXStatisticsSetupPage);
    emit q->RegressionOptions(
        checked, configureViews(VRXScopePlotView::RegressionHistogramItemType, checked, regressionOptions()),
        peaks());
}

void VRXStatisticsSetupPagePrivate::restoreFormDefaults()
{
    const QVector<Entry> all = entries();
    for (int i = 0; i < all.size(); ++i)
        setWidgetValue(all[i].widget, m_formDefaults.value(i));
}

VRXStatisticsSetupPage::VRXStatisticsSetupPage(QWidget *parent)
    : QWidget(parent)
    , d_ptr(new VRXStatisticsSetupPagePrivate(this))
{
    Q_D(VRXStatisticsSetupPage);
    d->ui->setupUi(this);
    for (const VRXStatisticsSetupPagePrivate::Entry &e : d->entries())
        d->m_formDefaults << d->widgetValue(e.widget);
    d->updatePeakControls();
    connect(d->ui->CoGGroup, &QButtonGroup::idClicked, this,
            &VRXStatisticsSetupPage::on_CoGThresholdEdit_valueChanged);
    for (QScienceSpinBox *box : {d->ui->peakthreshold, d->ui->sumthreshold}) {
        box->setMaximum(1e-5);
        box->setValue(1e-15);
    }
    d->ui->factoryResetPushButton->hide();
}

VRXStatisticsSetupPage::~VRXStatisticsSetupPage() = default;

void VRXStatisticsSetupPage::addPlotView(VRXScopePlotView *view)
{
    Q_D(VRXStatisticsSetupPage);
    if (view && !d->m_views.contains(view))
        d->m_views.append(view);
}

void VRXStatisticsSetupPage::setApplicationSettings(QFileInfo const &iniPath, bool doFactoryReset, bool create)
{
    Q_D(VRXStatisticsSetupPage);
    const QFileInfo file(iniPath.filePath());
    if (!file.exists() && !create)
        return;
    d->m_iniPath = file;
    const QString path = file.filePath();
    QSharedPointer<VRXApplicationSettings> settings(
        new VRXApplicationSettings(nullptr, path, false, VRXApplicationSettings::isXmlPath(path)));
    QSettings &s = *settings->getSettings();

    if (s.status() != QSettings::NoError) {
        // The file is user data: it is left as it is and nothing is stored.
        qCWarning(lcSetupPage) << "settings file could not be read, the page shows its defaults:" << path;
        d->m_settings.reset();
        d->ui->factoryResetPushButton->hide();
        d->restoreFormDefaults();
        return;
    }

    d->m_settings = settings;
    const QString group = doFactoryReset ? kFactoryGroup : kLiveGroup;
    for (const VRXStatisticsSetupPagePrivate::Entry &e : d->entries())
        d->setWidgetValue(e.widget, s.value(group + QLatin1Char('/') + e.key));
    // Unchanged widgets fire no handler; the live group still gets them all.
    d->storeAll();
    // A mode button only stores itself, and the widgets read after it may
    // all be unchanged: the views would go on with the old mode.
    if (d->ui->CoGCBox->isChecked())
        d->applyCoG(true);
    d->ui->factoryResetPushButton->setVisible(s.childGroups().contains(kFactoryGroup));
}

QFileInfo VRXStatisticsSetupPage::settingsPath() const
{
    Q_D(const VRXStatisticsSetupPage);
    return d->m_iniPath;
}

bool VRXStatisticsSetupPage::storesSettings() const
{
    Q_D(const VRXStatisticsSetupPage);
    return !d->m_settings.isNull();
}

void VRXStatisticsSetupPage::set_peaks(int n)
{
    Q_D(VRXStatisticsSetupPage);
    int index = 0;
    for (int i = 1; i < 4; ++i) {
        if (kPeakChoices[i] == n)
            index = i;
    }
    const QSignalBlocker blocker(d->ui->peaksEdit);
    d->ui->peaksEdit->setCurrentIndex(index);
    d->store(d->ui->peaksEdit);
    on_peaksEdit_currentIndexChanged(index);
}

void VRXStatisticsSetupPage::enable_regression()
{
    Q_D(VRXStatisticsSetupPage);
    const QSignalBlocker blocker(d->ui->regressionCBox);
    d->ui->regressionCBox->setChecked(true);
    d->store(d->ui->regressionCBox);
    d->applyRegression(true);
}

QFormLayout *VRXStatisticsSetupPage::gaussianLayout() const
{
    Q_D(const VRXStatisticsSetupPage);
    return d->ui->gaussianLayout;
}

void VRXStatisticsSetupPage::changeEvent(QEvent *event)
{
    Q_D(VRXStatisticsSetupPage);
    if (event->type() == QEvent::LanguageChange)
        d->ui->retranslateUi(this);
    QWidget::changeEvent(event);
}

void VRXStatisticsSetupPage::on_CoGCBox_toggled(bool checked)
{
    Q_D(VRXStatisticsSetupPage);
    d->applyCoG(checked);
    d->store(sender());
}

void VRXStatisticsSetupPage::on_CoGThresholdRadio_toggled(bool)
{
    Q_D(VRXStatisticsSetupPage);
    d->store(sender());
}

void VRXStatisticsSetupPage::on_CoGWindowRadio_toggled(bool)
{
    Q_D(VRXStatisticsSetupPage);
    d->store(sender());
}

void VRXStatisticsSetupPage::on_CoGThresholdEdit_valueChanged(int)
{
    Q_D(VRXStatisticsSetupPage);
    d->applyCoG(d->ui->CoGCBox->isChecked());
    d->store(sender());
}

void VRXStatisticsSetupPage::on_CoGWindowEdit_valueChanged(int value)
{
    on_CoGThresholdEdit_valueChanged(value);
}

void VRXStatisticsSetupPage::on_regressionCBox_toggled(bool checked)
{
    Q_D(VRXStatisticsSetupPage);
    d->applyRegression(checked);
    d->store(sender());
}

void VRXStatisticsSetupPage::on_RegressionThresholdEdit_valueChanged(int)
{
    Q_D(VRXStatisticsSetupPage);
    d->applyRegression(d->ui->regressionCBox->isChecked());
    d->store(sender());
}

void VRXStatisticsSetupPage::on_RegressionWindowEdit_valueChanged(int value)
{
    on_RegressionThresholdEdit_valueChanged(value);
}

void VRXStatisticsSetupPage::on_fullStatsCBox_toggled(bool)
{
    Q_D(VRXStatisticsSetupPage);
    d->applyCoG(d->ui->CoGCBox->isChecked());
    d->applyRegression(d->ui->regressionCBox->isChecked());
    d->store(sender());
}

void VRXStatisticsSetupPage::on_Chi2WindowEdit_valueChanged(int)
{
    Q_D(VRXStatisticsSetupPage);
    on_fullStatsCBox_toggled(d->ui->fullStatsCBox->isChecked());
}

void VRXStatisticsSetupPage::on_peaksEdit_currentIndexChanged(int)
{
    Q_D(VRXStatisticsSetupPage);
    d->applyCoG(d->ui->CoGCBox->isChecked());
    d->applyRegression(d->ui->regressionCBox->isChecked());
    d->store(sender());
}

void VRXStatisticsSetupPage::on_factoryResetPushButton_clicked()
{
    Q_D(VRXStatisticsSetupPage);
    if (!d->m_iniPath.filePath().isEmpty())
        setApplicationSettings(d->m_iniPath, true, false);
}

} // namespace Corvid_Qt
