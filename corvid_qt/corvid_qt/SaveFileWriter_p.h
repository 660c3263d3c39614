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

/// The data files are written in pieces of this size, so that a full
/// buffer is never held as one text.
const int kSaveChunkBytes = 64 * 1024;

inline bool writeAll(QIODevice *device, const QByteArray &bytes)
{
    return device->write(bytes) == bytes.size();
}

/// Writes `chunk` and empties it once it holds a piece; false when the
/// write failed.
inline bool flushWhenFull(QIODevice *device, QByteArray &chunk)
{
    if (chunk.size() < kSaveChunkBytes)
        return true;
    if (!writeAll(device, chunk))
        return false;
    chunk.resize(0);
    return true;
}

/// Writes what is left of `chunk`; false when the write failed.
inline bool flushRest(QIODevice *device, const QByteArray &chunk)
{
    return chunk.isEmpty() || writeAll(device, chunk);
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

/// The shortest digits that read back as the same double, in the notation
/// QLocale picks for FloatingPointShortest: scientific for exponents below
/// -4 and where trailing zeros would make the decimal form longer
/// (0.0001, 100000, 1e+06, 1.5e-10); "nan", "inf", "-inf".
inline void appendShortest(QByteArray &out, double value)
{
    if (value != value) {
        out.append("nan", 3);
        return;
    }
    char buffer[64];
    const std::to_chars_result r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const char *end = r.ptr;
    const char *p = buffer;
    if (*p == 'i' || (*p == '-' && p[1] == 'i')) {
        out.append(buffer, int(end - buffer));
        return;
    }
    const bool negative = *p == '-';
    if (negative)
        ++p;
    // d[.ddd]e±XX[X]: the exponent is read from the end.
    const char *e = end - 3;
    while (*e != 'e')
        --e;
    int exponent = 0;
    for (const char *x = e + 2; x < end; ++x)
        exponent = exponent * 10 + (*x - '0');
    if (e[1] == '-')
        exponent = -exponent;
    const int count = int(e - p) - (e - p > 1 ? 1 : 0);
    const int decpt = exponent + 1;
    int cutoff = count + 4 + (decpt > 100 ? 2 : 1);
    if (count > decpt)
        ++cutoff;
    if (decpt - 1 < -4 || (decpt > 0 && decpt - 1 >= cutoff)) {
        out.append(buffer, int(end - buffer));
        return;
    }
    // The digits are p[0] and, after the point, p[2] on.
    const char *rest = p + 2;
    if (negative)
        out.append('-');
    if (decpt <= 0) {
        out.append("0.", 2);
        out.append(-decpt, '0');
        out.append(p[0]);
        out.append(rest, count - 1);
    } else if (decpt >= count) {
        out.append(p[0]);
        out.append(rest, count - 1);
        out.append(decpt - count, '0');
    } else {
        out.append(p[0]);
        out.append(rest, decpt - 1);
        out.append('.');
        out.append(rest + decpt - 1, count - decpt);
    }
}

} // namespace Corvid_Qt

#endif
