#ifndef CORVID_QT_SAVEFILEWRITER_P_H
#define CORVID_QT_SAVEFILEWRITER_P_H

#include <QtCore/QIODevice>
#include <QtCore/QFileInfo>
#include <QtCore/QByteArray>
#include <QtCore/QSaveFile>
#include <charconv>

namespace Corvid_Qt {

/// Writes through file so that an existing file is replaced only by a complete
/// new one. write(device) returns false on any failed write.
template <typename Write>
bool writeThroughSaveFile(QSaveFile &file, Write &&write)
{
    if (file.fileName().isEmpty())
        return false;
    // A device or pipe cannot be replaced by a finished copy: QSaveFile would
    // put a plain file in its place.
    const QFileInfo target(file.fileName());
    if (target.exists() && !target.isFile())
        return false;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    if (!write(static_cast<QIODevice *>(&file))) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

// Numbers for the data files. std::to_chars writes them without the
// locale and string round trips of QLocale, several times faster on a full
// buffer, where a save runs on the GUI thread.

/// Fixed notation with `decimals` digits after the point.
inline void appendFixed(QByteArray &out, double value, int decimals)
{
    char buffer[400];
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                                 decimals);
    out.append(buffer, int(r.ptr - buffer));
}

/// The shortest text that reads back as the same double.
inline void appendShortest(QByteArray &out, double value)
{
    char buffer[64];
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, int(r.ptr - buffer));
}

} // namespace Corvid_Qt

#endif
