#include "VRXApplicationSettings.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFileInfo>
#include <QtCore/QMutex>
#include <QtCore/QVarLengthArray>
#include <QtCore/QXmlStreamReader>
#include <QtCore/QXmlStreamWriter>

namespace Corvid_Qt {

QSettings::Format VRXApplicationSettings::s_xmlFormat = QSettings::InvalidFormat;

namespace {

const int kMaxDepth = 64;
const QString kRoot = QStringLiteral("Settings");
// Key parts that cannot be element names (spaces, a leading digit, longer
// than the reader's 4 KiB name limit) are written as <xml-key name="...">;
// names starting with "xml" are reserved, so no plain key part clashes.
const QString kKeyElement = QStringLiteral("xml-key");
const QString kKeyAttribute = QStringLiteral("name");
const int kMaxNameLength = 1024;

bool readXmlSettings(QIODevice &device, QSettings::SettingsMap &map)
{
    QXmlStreamReader xml(device.readAll());
    // The key of the open element, and where each level's part begins.
    QString key;
    QVarLengthArray<int, kMaxDepth> starts;
    QString text;
    bool meaningful = false;
    int depth = 0;
    const auto flushText = [&]() {
        if (meaningful && depth > 1)
            map.insert(key, text);
        text.clear();
        meaningful = false;
    };
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            return false;
        case QXmlStreamReader::StartElement:
            flushText();
            if (++depth > kMaxDepth)
                return false;
            if (depth == 1) {
                if (xml.name() != kRoot)
                    return false;
                break;
            }
            starts.append(key.size());
            if (depth > 2)
                key += QLatin1Char('/');
            if (xml.name() == kKeyElement)
                key += xml.attributes().value(kKeyAttribute);
            else
                key += xml.name();
            break;
        case QXmlStreamReader::EndElement:
            flushText();
            if (depth > 1) {
                key.truncate(starts.last());
                starts.removeLast();
            }
            --depth;
            break;
        case QXmlStreamReader::Characters:
            if (depth > 1) {
                text += xml.text();
                meaningful = meaningful || !xml.isWhitespace();
            }
            break;
        default:
            break;
        }
    }
    return !xml.hasError();
}

bool isXmlName(const QString &name)
{
    if (name.isEmpty() || name.size() > kMaxNameLength)
        return false;
    const QChar first = name.at(0);
    if (!(first.isLetter() || first == QLatin1Char('_')))
        return false;
    if (name.startsWith(QLatin1String("xml"), Qt::CaseInsensitive))
        return false;
    for (const QChar c : name) {
        if (!(c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('-') || c == QLatin1Char('.')))
            return false;
    }
    return true;
}

bool isXmlText(const QString &text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x20 && u != 0x9 && u != 0xA && u != 0xD)
            return false;
        if (u == 0xFFFE || u == 0xFFFF)
            return false;
    }
    return true;
}

bool writeXmlSettings(QIODevice &device, const QSettings::SettingsMap &map)
{
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const QStringList parts = it.key().split(QLatin1Char('/'));
        if (parts.size() >= kMaxDepth || !isXmlText(it.value().toString()) || !isXmlText(it.key()))
            return false;
    }

    QXmlStreamWriter xml(&device);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(kRoot);
    // Keys come sorted, so neighbours share the elements of their common
    // prefix; a leaf stays open in case the next key lies below it.
    QStringList open;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const QStringList parts = it.key().split(QLatin1Char('/'));
        int common = 0;
        while (common < open.size() && common < parts.size() && open.at(common) == parts.at(common))
            ++common;
        if (common == parts.size() && common > 0)
            --common;
        while (open.size() > common) {
            xml.writeEndElement();
            open.removeLast();
        }
        for (int i = common; i < parts.size(); ++i) {
            if (isXmlName(parts.at(i))) {
                xml.writeStartElement(parts.at(i));
            } else {
                xml.writeStartElement(kKeyElement);
                xml.writeAttribute(kKeyAttribute, parts.at(i));
            }
            open << parts.at(i);
        }
        xml.writeCharacters(it.value().toString());
    }
    while (!open.isEmpty()) {
        xml.writeEndElement();
        open.removeLast();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return !xml.hasError();
}

} // namespace

QSettings::Format VRXApplicationSettings::xmlFormat()
{
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    if (s_xmlFormat == QSettings::InvalidFormat)
        s_xmlFormat = QSettings::registerFormat(QStringLiteral("xui"), readXmlSettings, writeXmlSettings);
    return s_xmlFormat;
}

bool VRXApplicationSettings::isXmlPath(QString const &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("xui"), Qt::CaseInsensitive) == 0;
}

VRXApplicationSettings::VRXApplicationSettings(QObject *parent, QString const &path, bool useApplicationNames,
                                               bool xml)
    : QObject(parent)
{
    const QSettings::Format format = xml ? xmlFormat() : QSettings::IniFormat;
    if (useApplicationNames) {
        // QSettings::setPath is process-wide: it is only changed when this
        // object is going to rely on it.
        QSettings::setPath(format, QSettings::UserScope, path);
        m_settings.reset(new QSettings(format, QSettings::UserScope, QCoreApplication::organizationName(),
                                       QCoreApplication::applicationName()));
    } else {
        m_settings.reset(new QSettings(path, format));
    }
}

VRXApplicationSettings::~VRXApplicationSettings() = default;

} // namespace Corvid_Qt
