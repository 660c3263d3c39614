// Channel-list drops on the multichannel proxy: whatever bytes another
// program drops, no more channels are added than the input holds strings,
// every added channel's name is in the input, no allocation is far larger
// than the input, and the model stays consistent for Qt's model tester.
#include "FuzzSupport.h"

#include <SingleChannelModelFactory.h>
#include <VRXMultichannelProxyModel.h>

#include <QtCore/QMimeData>
#include <QtTest/QAbstractItemModelTester>

using namespace Corvid_Qt;

CORVID_FUZZ_WITH_APPLICATION()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    corvid_fuzz::Bytes in(data, size);
    const uint8_t how = in.take<uint8_t>();
    const QByteArray payload = in.rest();

    VRXMultichannelProxyModel proxy;
    proxy.setChannelModelFactory(new SingleChannelModelFactory);
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::Fatal);

    QMimeData mime;
    const bool asText = how & 1;
    if (asText)
        mime.setText(QString::fromUtf8(payload));
    else
        mime.setData(QStringLiteral("application/vnd.text.list"), payload);
    const Qt::DropAction action = (how & 2) ? Qt::LinkAction : Qt::CopyAction;

    const int before = proxy.columnCount() - 1;
    corvid_fuzz::AllocationWatch::start();
    const bool accepted = proxy.dropMimeData(&mime, action, -1, -1, QModelIndex());
    const size_t largest = corvid_fuzz::AllocationWatch::stop();
    const int added = proxy.columnCount() - 1 - before;

    // Every string of a data stream carries a four-byte length.
    const int mostStrings = asText ? 1 : payload.size() / 4;
    FUZZ_CHECK(added >= 0 && added <= mostStrings);
    FUZZ_CHECK(accepted == (added > 0));
    // Models and their buffers have fixed sizes of their own; anything sized
    // by the input stays within a few times of it.
    FUZZ_CHECK(largest <= size_t(4 << 20) + 8 * size_t(payload.size()));

    // Names come from the input, never from elsewhere in memory.
    const QString text = QString::fromUtf8(payload);
    for (const QString &name : proxy.channelNames()) {
        if (asText) {
            FUZZ_CHECK(text.contains(name));
        } else {
            QByteArray utf16;
            for (QChar ch : name)
                utf16.append(char(ch.unicode() >> 8)).append(char(ch.unicode() & 0xff));
            FUZZ_CHECK(payload.contains(utf16));
        }
    }
    return 0;
}
