// The channel-list drag format on its own: what one model writes another
// reads back, and a damaged or hostile stream gives the names that arrived
// whole, never more.
#include <ChannelListMime_p.h>

#include <QtCore/QDataStream>
#include <QtCore/QMimeData>
#include <QtGui/QStandardItemModel>
#include <QtTest/QtTest>

#include <memory>

using namespace Corvid_Qt;

class TestChannelListMime : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrips_data();
    void roundTrips();
    void keepsOnlyWholeNames_data();
    void keepsOnlyWholeNames();
    void takesTheModelsOwnCellsInOrder();
};

void TestChannelListMime::roundTrips_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::newRow("none") << QStringList();
    QTest::newRow("one") << QStringList{QStringLiteral("BPM:01")};
    QTest::newRow("several, with an empty one")
        << QStringList{QStringLiteral("a"), QString(""), QStringLiteral("Strahlstrom µA"), QStringLiteral("c")};
}

void TestChannelListMime::roundTrips()
{
    QFETCH(QStringList, names);
    QCOMPARE(ChannelListMime::decode(ChannelListMime::encode(names)), names);
}

void TestChannelListMime::keepsOnlyWholeNames_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("names");

    const QByteArray two = ChannelListMime::encode({QStringLiteral("one"), QStringLiteral("two")});
    QTest::newRow("cut inside the second name") << two.left(two.size() - 1) << QStringList{QStringLiteral("one")};
    QTest::newRow("cut inside a length") << two.left(two.size() - 9) << QStringList{QStringLiteral("one")};
    QTest::newRow("empty") << QByteArray() << QStringList();

    QByteArray huge;
    QDataStream stream(&huge, QIODevice::WriteOnly);
    stream << QStringLiteral("ok") << quint32(0x7ffffff0) << quint16(0x41);
    QTest::newRow("length far past the end") << huge << QStringList{QStringLiteral("ok")};

    QByteArray null;
    QDataStream nullStream(&null, QIODevice::WriteOnly);
    nullStream << QString() << QStringLiteral("after");
    QTest::newRow("a null string") << null << QStringList{QString(), QStringLiteral("after")};
}

void TestChannelListMime::keepsOnlyWholeNames()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, names);
    QCOMPARE(ChannelListMime::decode(bytes), names);
}

void TestChannelListMime::takesTheModelsOwnCellsInOrder()
{
    QStandardItemModel model(3, 1);
    QStandardItemModel other(1, 1);
    for (int r = 0; r < 3; ++r)
        model.setData(model.index(r, 0), QStringLiteral("ch%1").arg(r));
    other.setData(other.index(0, 0), QStringLiteral("foreign"));

    const std::unique_ptr<QMimeData> mime(ChannelListMime::fromCells(
        &model, {model.index(2, 0), other.index(0, 0), QModelIndex(), model.index(0, 0)}));
    QCOMPARE(mime->formats(), QStringList{ChannelListMime::type()});
    QCOMPARE(ChannelListMime::decode(mime->data(ChannelListMime::type())),
             (QStringList{QStringLiteral("ch2"), QStringLiteral("ch0")}));
}

QTEST_APPLESS_MAIN(TestChannelListMime)
#include "tst_channellistmime.moc"
