#ifndef CORVID_QT_VRXAPPLICATIONSETTINGS_H
#define CORVID_QT_VRXAPPLICATIONSETTINGS_H

#include "corvid_qt_export.h"

#include <QtCore/QObject>
#include <QtCore/QSettings>
#include <QtCore/QSharedPointer>

namespace Corvid_Qt {

/**
 * Holds the QSettings object of one settings file, in INI format or in the
 * "xui" XML format: root element "Settings", each key split at "/" into
 * nested elements, the value's text in the innermost one.
 *
 * The XML reader refuses DTDs and entity declarations, any root but
 * "Settings" and documents nested deeper than 64 elements; such files, like
 * truncated or binary ones, give QSettings::FormatError and are never
 * written back by the statistics setup page. The writer refuses keys that
 * are no XML names and values XML cannot hold, so QSettings reports
 * AccessError and keeps the old file (writes go through QSaveFile).
 *
 * The QSettings object is shared with whoever asks for it.
 */
class CORVID_QT_EXPORT VRXApplicationSettings : public QObject
{
    Q_OBJECT

public:
    /// `path` is the settings file, or with `useApplicationNames` the
    /// user-scope folder of the application's organisation and name.
    VRXApplicationSettings(QObject *parent, QString const &path, bool useApplicationNames, bool xmlFormat);
    ~VRXApplicationSettings() override;

    QSharedPointer<QSettings> getSettings() const { return m_settings; }

    /// The "xui" format, registered with QSettings on first use.
    static QSettings::Format xmlFormat();
    /// Files named *.xui use the XML format, all others INI.
    static bool isXmlPath(QString const &path);

private:
    static QSettings::Format s_xmlFormat;
    QSharedPointer<QSettings> m_settings;
};

} // namespace Corvid_Qt

#endif
