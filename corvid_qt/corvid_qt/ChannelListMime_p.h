#ifndef CORVID_QT_CHANNELLISTMIME_P_H
#define CORVID_QT_CHANNELLISTMIME_P_H

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtCore/QModelIndexList>
#include <QtCore/QStringList>

class QAbstractItemModel;
class QMimeData;

namespace Corvid_Qt {

/**
 * Channel names dragged between the library's models: a QDataStream of
 * QStrings under one mime type. Drops come from other programs too, so
 * decoding never trusts a length prefix.
 */
namespace ChannelListMime {

QString type();
QByteArray encode(const QStringList &names);
/// The display texts of those of `indexes` that belong to `model`, in order; owned by the caller.
QMimeData *fromCells(const QAbstractItemModel *model, const QModelIndexList &indexes);
/// The strings of the stream, in order, up to the end or the first one that is not there whole.
QStringList decode(const QByteArray &bytes);

} // namespace ChannelListMime

} // namespace Corvid_Qt

#endif
