#include "ChannelListMime_p.h"

#include <QtCore/QAbstractItemModel>
#include <QtCore/QDataStream>
#include <QtCore/QIODevice>
#include <QtCore/QMimeData>
#include <QtCore/QtEndian>

namespace Corvid_Qt {
namespace ChannelListMime {

QString type()
{
    return QStringLiteral("application/vnd.text.list");
}

// One string after another, no count: a reader takes names until the end.
QByteArray encode(const QStringList &names)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    for (const QString &name : names)
        stream << name;
    return bytes;
}

QMimeData *fromCells(const QAbstractItemModel *model, const QModelIndexList &indexes)
{
    QStringList texts;
    for (const QModelIndex &index : indexes) {
        if (index.isValid() && index.model() == model)
            texts << model->data(index, Qt::DisplayRole).toString();
    }
    auto *mime = new QMimeData;
    mime->setData(type(), encode(texts));
    return mime;
}

QStringList decode(const QByteArray &bytes)
{
    QStringList names;
    QDataStream stream(bytes);
    while (!stream.atEnd()) {
        // The length prefix is checked against the bytes left before
        // anything is allocated for it.
        const qint64 left = bytes.size() - stream.device()->pos();
        if (left < 4)
            break;
        const quint32 length = qFromBigEndian<quint32>(bytes.constData() + stream.device()->pos());
        if (length != 0xffffffffu && qint64(length) > left - 4)
            break;
        QString name;
        stream >> name;
        if (stream.status() != QDataStream::Ok)
            break;
        names << name;
    }
    return names;
}

} // namespace ChannelListMime
} // namespace Corvid_Qt
