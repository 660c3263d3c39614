#include "PictureTour.h"

#include "DemoActions.h"

#include "ProfileMonitorPage.h"
#include "SettingsDialog.h"
#include "SimulatedProfileMonitor.h"

#include <VRXStatisticsSetupPage.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtGui/QPixmap>

void PictureTour::settings()
{
    SettingsDialog *dialog = m_window.settingsDialog();
    if (!dialog)
        return;
    m_prefix = QStringLiteral("%1-settings").arg(m_window.pages().size() + 1, 2, 10, QLatin1Char('0'));
    dialog->show();
    DemoActions::settle();
    const QString picture = path(QString(), QStringLiteral(".png"));
    if (dialog->grab().save(picture))
        m_files << picture;
    dialog->hide();

    // The beam profile as the stored settings configure it.
    if (auto *page = visit<ProfileMonitorPage>("beam-profile")) {
        m_prefix = QStringLiteral("%1-settings").arg(m_window.pages().size() + 1, 2, 10, QLatin1Char('0'));
        page->monitor()->addFrame(2.0);
        grab(QStringLiteral("beam-profile"));
    }

    // A copy of the settings file as the page left it.
    const QString copy = path(QString(), QStringLiteral(".xui"));
    QFile::remove(copy);
    if (QFile::copy(SettingsDialog::settingsFile(), copy))
        m_files << copy;
}
