// The "xui" XML settings reader: any bytes either give a format error or a
// map that survives a write and a second read unchanged. Hostile documents
// (entities, deep nesting, huge names) are refused without delay; the
// fuzzer's time-out catches a slow one.
#include "FuzzSupport.h"

#include <VRXApplicationSettings.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QSettings>
#include <QtCore/QTemporaryDir>

using Corvid_Qt::VRXApplicationSettings;

namespace {

QMap<QString, QString> readAll(QSettings &settings)
{
    QMap<QString, QString> map;
    for (const QString &key : settings.allKeys())
        map.insert(key, settings.value(key).toString());
    return map;
}

} // namespace

CORVID_FUZZ_WITH_APPLICATION()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.xui"));
    const QString second = dir.filePath(QStringLiteral("second.xui"));
    QFile::remove(second);
    {
        QFile file(first);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }

    QMap<QString, QString> before;
    {
        QSettings settings(first, VRXApplicationSettings::xmlFormat());
        if (settings.status() != QSettings::NoError)
            return 0;
        before = readAll(settings);
    }
    {
        QSettings out(second, VRXApplicationSettings::xmlFormat());
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            out.setValue(it.key(), it.value());
        out.sync();
        // Keys or values XML cannot hold are refused whole; nothing to compare.
        if (out.status() != QSettings::NoError)
            return 0;
    }
    QSettings again(second, VRXApplicationSettings::xmlFormat());
    FUZZ_CHECK(again.status() == QSettings::NoError);
    FUZZ_CHECK(readAll(again) == before);
    return 0;
}
