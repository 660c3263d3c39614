#ifndef CORVID_QT_SAVEFILEWRITER_P_H
#define CORVID_QT_SAVEFILEWRITER_P_H

#include <QtCore/QIODevice>
#include <QtCore/QFileInfo>
#include <QtCore/QSaveFile>

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

} // namespace Corvid_Qt

#endif
