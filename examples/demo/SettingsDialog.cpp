#include "SettingsDialog.h"

#include <VRXApplicationSettings.h>
#include <VRXStatisticsSetupPage.h>

#include <QtCore/QDir>
#include <QtCore/QStandardPaths>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QVBoxLayout>

using Corvid_Qt::VRXApplicationSettings;
using Corvid_Qt::VRXStatisticsSetupPage;

namespace {

// Centre of gravity above 10 % of the peak, Gaussian fit over the channels
// above 10 % within +/- 64, chi-square over 5 channels, two peaks.
const QList<QPair<QString, QVariant>> kFactoryValues = {
    {QStringLiteral("display-full-stats"), true},
    {QStringLiteral("center-of-gravity"), true},
    {QStringLiteral("gaussian-fit-regression"), true},
    {QStringLiteral("center-of-gravity-noise-threshold"), true},
    {QStringLiteral("center-of-gravity-window"), false},
    {QStringLiteral("peaks"), 1},
    {QStringLiteral("center-of-threshold"), 10},
    {QStringLiteral("center-of-window"), 3},
    {QStringLiteral("gaussian-fit-regression-threhold"), 10},
    {QStringLiteral("gaussian-fit-regression-window"), 64},
    {QStringLiteral("chi2-window"), 5},
};

void writeFactoryFile(const QString &file)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    VRXApplicationSettings settings(nullptr, file, false, true);
    QSettings &s = *settings.getSettings();
    for (const auto &entry : kFactoryValues) {
        s.setValue(QStringLiteral("FactoryReset/") + entry.first, entry.second);
        s.setValue(QStringLiteral("StatisticsSetupPage/") + entry.first, entry.second);
    }
}

} // namespace

SettingsDialog::SettingsDialog(QWidget *parent)
    : QDialog(parent)
    , m_page(new VRXStatisticsSetupPage(this))
{
    setWindowTitle(tr("Settings"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_page);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void SettingsDialog::addPlotView(Corvid_Qt::VRXScopePlotView *view)
{
    m_page->addPlotView(view);
}

QString SettingsDialog::settingsFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("statistics.xui"));
}

void SettingsDialog::load()
{
    const QString file = settingsFile();
    if (!QFileInfo::exists(file))
        writeFactoryFile(file);
    m_page->setApplicationSettings(QFileInfo(file), false, true);
}
