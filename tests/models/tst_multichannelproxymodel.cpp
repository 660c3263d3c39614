#include "ModelTestHelpers.h"

#include <MeasurementUnit.h>
#include <SingleChannelModelFactory.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXPlotColors.h>
#include <VRXSingleChannelDataModel.h>

#include <QtCore/QLoggingCategory>
#include <QtCore/QMimeData>
#include <QtCore/QPointer>
#include <QtGui/QBrush>
#include <QtGui/QStandardItemModel>
#include <QtTest/QAbstractItemModelTester>
#include <cmath>
#include <memory>
#include <qwt_series_data.h>
#include <vector>

Q_DECLARE_METATYPE(const Corvid_Qt::Units::MeasurementUnit *)

using namespace Corvid_Qt;
using corvid_test::Follower;

namespace {

const char kListType[] = "application/vnd.text.list";

QByteArray nameStream(const QStringList &names)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    for (const QString &name : names)
        stream << name;
    return bytes;
}

QByteArray bigEndian(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

/// Makes its models with `make`, counting the calls.
class TestFactory : public AbstractChannelModelFactory
{
public:
    explicit TestFactory(std::function<QAbstractItemModel *(const QString &, QObject *)> make)
        : m_make(std::move(make))
    {
    }
    using AbstractChannelModelFactory::createModel;
    QAbstractItemModel *createModel(const QStringList &channels, int *firstColumn, QObject *parent) override
    {
        ++calls;
        *firstColumn = 1;
        return made = m_make(channels.value(0), parent);
    }
    int calls = 0;
    QPointer<QAbstractItemModel> made;

private:
    std::function<QAbstractItemModel *(const QString &, QObject *)> m_make;
};

/*
 * Single-channel sources of a small capacity merged by one proxy, watched by
 * QAbstractItemModelTester and by one follower per column.
 */
struct Rig
{
    Rig(int sources, int capacity)
    {
        for (int i = 0; i < sources; ++i) {
            models.push_back(std::make_unique<VRXSingleChannelDataModel>(capacity));
            proxy.addSourceModel(models.back().get());
        }
        mayLag.assign(models.size(), false);
        QObject::connect(&proxy, &QAbstractItemModel::rowsInserted, &context,
                         [this](const QModelIndex &, int f, int l) { inserted += l - f + 1; });
        QObject::connect(&proxy, &QAbstractItemModel::rowsRemoved, &context, [this](const QModelIndex &, int f, int l) {
            removed += l - f + 1;
            // The table moved up: a full source that was up to date is now one
            // step behind and announces its cells when it follows; one that
            // was already behind has its whole column announced.
            for (size_t s = 0; f == 1 && s < models.size(); ++s)
                mayLag[s] = int(s) != feeding && models[s]->rowCount() - 1 == models[s]->MaxBufferSize() && !mayLag[s];
        });
        QObject::connect(&proxy, &QAbstractItemModel::modelReset, &context, [this]() { follow(); });
        follow();
    }

    void follow()
    {
        std::fill(mayLag.begin(), mayLag.end(), false);
        followers.clear();
        for (int c = 0; c < proxy.columnCount(); ++c)
            followers.push_back(std::make_unique<Follower>(&proxy, c));
    }

    void feed(int source, double t)
    {
        feeding = source;
        models[size_t(source)]->AddData(t, 100.0 * source + t);
        feeding = -1;
        mayLag[size_t(source)] = false;
    }

    /// Proxy rows as long as the longest source, each cell the source's (its
    /// last row repeated below its end), and every column as its
    /// announcements left it, except the columns of a source that may lag.
    void check(const char *where)
    {
        int longest = 0;
        for (int c = 1; c < proxy.columnCount(); ++c)
            longest = qMax(longest, sourceOf(c)->rowCount() - 1);
        QVERIFY2(proxy.rowCount() == longest + 1, where);
        for (int c = 1; c < proxy.columnCount(); ++c) {
            const int n = sourceOf(c)->rowCount();
            for (int r = 1; r <= longest; ++r)
                QVERIFY2(proxy.doubleData(r, c) == (n < 2 ? 0.0 : sourceOf(c)->doubleData(qMin(r, n - 1), 1)), where);
        }
        for (int c = 0; c < proxy.columnCount(); ++c) {
            // The time column comes from the first source holding row 1.
            const QModelIndex shown = proxy.mapToSource(proxy.index(c == 0 ? qMin(1, longest) : 0, c));
            size_t s = 0;
            while (s < models.size() && models[s].get() != shown.model())
                ++s;
            if (s == models.size() || !mayLag[s])
                QVERIFY2(followers[size_t(c)]->seen() == followers[size_t(c)]->actual(), where);
        }
    }

    const VRXSingleChannelDataModel *sourceOf(int column) const
    {
        return static_cast<const VRXSingleChannelDataModel *>(proxy.mapToSource(proxy.index(0, column)).model());
    }

    QObject context;
    std::vector<std::unique_ptr<VRXSingleChannelDataModel>> models;
    VRXMultichannelProxyModel proxy;
    corvid_test::SequentialAdapter adapter{&proxy, true};
    QAbstractItemModelTester tester{&adapter, QAbstractItemModelTester::FailureReportingMode::QtTest};
    std::vector<std::unique_ptr<Follower>> followers;
    std::vector<bool> mayLag;
    int feeding = -1;
    int inserted = 0;
    int removed = 0;
};

} // namespace

class TestMultichannelProxyModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<const Units::MeasurementUnit *>();
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); // a line per dropped name
    }

    void samplesInStepGiveOneInsertionEach()
    {
        VRXSingleChannelDataModel a, b;
        VRXMultichannelProxyModel proxy;
        proxy.addSourceModel(&a);
        proxy.addSourceModel(&b);
        for (int i = 1; i <= 3; ++i) {
            corvid_test::SignalLog log(&proxy);
            a.AddData(i, 10.0 * i);
            b.AddData(i, 20.0 * i); // no row of its own
            QCOMPARE(log.text, QStringLiteral("aboutToInsert %1-%1 rows=%1; inserted %1-%1 rows=%2; dataChanged %1,2-%1,2")
                                   .arg(i).arg(i + 1));
        }
        QCOMPARE(proxy.columnCount(), 3);
        QCOMPARE(proxy.doubleData(3, 2), 60.0);
        QCOMPARE(proxy.doubleData(2, 0), 2.0);
    }

    void shortSourceRepeatsItsLastRow()
    {
        VRXSingleChannelDataModel a, b;
        for (int i = 1; i <= 5; ++i)
            a.AddData(i, i);
        b.AddData(1.5, 7.0);
        b.AddData(2.5, 8.0);
        VRXMultichannelProxyModel proxy;
        proxy.addSourceModel(&a);
        proxy.addSourceModel(&b);
        QCOMPARE(proxy.rowCount(), 6);
        QCOMPARE(proxy.doubleData(4, 2), 8.0);
        QCOMPARE(proxy.index(4, 2).data(), b.index(2, 1).data());
        QCOMPARE(proxy.mapToSource(proxy.index(4, 2)), b.index(2, 1));
        QCOMPARE(proxy.mapToSource(proxy.index(4, 0)), a.index(4, 0));
        QCOMPARE(proxy.mapFromSource(b.index(2, 1)), proxy.index(2, 2));
        corvid_test::SignalLog log(&proxy);
        b.AddData(3.5, 9.0); // changes the cells that repeated its last row
        QCOMPARE(log.text, QString("dataChanged 3,2-5,2"));
        QCOMPARE(proxy.doubleData(5, 2), 9.0);
    }

    void sourcesInAndOutOfStepStayConsistent_data()
    {
        QTest::addColumn<QVector<int>>("periods"); // a source gets a sample every n ticks; 0: never
        QTest::addColumn<bool>("reversed");
        QTest::newRow("in step") << QVector<int>{1, 1, 1} << false;
        QTest::newRow("in step, fed in reverse") << QVector<int>{1, 1, 1} << true;
        QTest::newRow("first source twice as fast") << QVector<int>{1, 2, 2} << false;
        QTest::newRow("first source half as fast") << QVector<int>{2, 1, 1} << false;
        QTest::newRow("three rates, reversed") << QVector<int>{1, 2, 3} << true;
        QTest::newRow("one source stops") << QVector<int>{1, 0, 1} << false;
        QTest::newRow("first source stops") << QVector<int>{0, 1, 1} << true;
    }

    void sourcesInAndOutOfStepStayConsistent()
    {
        QFETCH(QVector<int>, periods);
        QFETCH(bool, reversed);
        Rig rig(3, 5);
        for (int tick = 1; tick <= 30; ++tick) { // all start in step
            const int inserted = rig.inserted;
            const int removed = rig.removed;
            for (int i = 0; i < 3; ++i) {
                const int s = reversed ? 2 - i : i;
                if (tick <= 7 || (periods[s] > 0 && tick % periods[s] == 0)) {
                    rig.feed(s, tick);
                    rig.check(qPrintable(QStringLiteral("tick %1, source %2").arg(tick).arg(s)));
                }
            }
            if (tick <= 7 || periods == QVector<int>{1, 1, 1}) { // one insertion per tick, and one removal once full
                QCOMPARE(rig.inserted - inserted, 1);
                QCOMPARE(rig.removed - removed, tick > 5 ? 1 : 0);
            }
        }
    }

    void testerWhileSourcesComeAndGo()
    {
        Rig rig(3, 6);
        double t = 1.0;
        auto tick = [&rig, &t]() {
            t += 1.0;
            for (int s = 0; s < 3; ++s)
                rig.feed(s, t);
        };
        for (int i = 0; i < 4; ++i, t += 1.0)
            rig.feed(i % 3, t); // filling out of step
        rig.check("filling");
        for (int i = 0; i < 9; ++i)
            tick();
        rig.models[1]->Clear();
        rig.check("one cleared");
        for (int i = 0; i < 4; ++i) {
            tick();
            rig.check("refilling one");
        }
        rig.proxy.removeSourceModel(rig.models[0].get());
        rig.feed(0, t += 1.0); // no longer listened to
        rig.feed(2, t += 1.0);
        rig.check("one removed");
        rig.proxy.insertSourceModel(1, rig.models[0].get(), 1);
        rig.check("re-added");
        rig.models[2]->setAutoUpdate(false); // rows held back and published in one batch
        for (int i = 0; i < 3; ++i)
            tick();
        rig.models[2]->UpdateView();
        rig.models[2]->setAutoUpdate(true);
        rig.check("batch published");
        Units::mA milliamps;
        rig.models[1]->SetUnits(&milliamps);
        rig.check("unit changed");
        rig.proxy.Clear();
        rig.check("cleared");
        rig.models[1]->SetUnits(&VRXAbstractDeviceDataModel::defaultUnits);
    }

    void dropsAddOnlyWholeNames_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("names");
        const int copy = Qt::CopyAction;
        QTest::newRow("move") << int(Qt::MoveAction) << "text/plain" << QByteArray("X1") << false << QStringList{};
        QTest::newRow("ignore") << int(Qt::IgnoreAction) << "text/plain" << QByteArray("X1") << true << QStringList{};
        QTest::newRow("copy text") << copy << "text/plain" << QByteArray("X1") << true << QStringList{"X1"};
        QTest::newRow("link text") << int(Qt::LinkAction) << "text/plain" << QByteArray(" X2\n") << true << QStringList{"X2"};
        QTest::newRow("copy list") << copy << kListType << nameStream({"A", "B"}) << true << QStringList{"A", "B"};
        QTest::newRow("other format") << copy << "image/png" << QByteArray("X1") << false << QStringList{};
        // Data from other programs: only names read whole become channels.
        const QByteArray third = nameStream({"C"});
        QTest::newRow("truncated stream") << copy << kListType << nameStream({"A", "B"}) + third.left(third.size() - 1) << true
                                          << QStringList{"A", "B"};
        QTest::newRow("length prefix cut short") << copy << kListType << nameStream({"A"}) + QByteArray("\0\0", 2) << true
                                                 << QStringList{"A"};
        QTest::newRow("gigabyte length prefix") << copy << kListType << bigEndian(0x7ffffffe) + QByteArray(16, 'x') << false
                                                << QStringList{};
        QTest::newRow("odd length") << copy << kListType << bigEndian(3) + QByteArray(8, 'x') << false << QStringList{};
        QTest::newRow("empty list") << copy << kListType << QByteArray() << false << QStringList{};
        QTest::newRow("lone surrogates") << copy << kListType << bigEndian(4) + QByteArray("\xd8\x00\xd8\x00", 4) << false
                                         << QStringList{};
        QTest::newRow("control characters") << copy << kListType << nameStream({"A\nB", QString(QChar(1)), "Good"}) << true
                                            << QStringList{"Good"};
        QTest::newRow("null and empty strings") << copy << kListType << bigEndian(0xffffffff) + nameStream({"", "A"}) << true
                                                << QStringList{"A"};
        QTest::newRow("overlong name") << copy << kListType << nameStream({QString(300, 'x'), "B"}) << true << QStringList{"B"};
        QTest::newRow("binary noise") << copy << kListType << QByteArray::fromHex("00000006fffe00410042ffff0000") << false
                                      << QStringList{};
        QTest::newRow("text not UTF-8") << copy << "text/plain" << QByteArray("\xff\xfe\x80", 3) << false << QStringList{};
        QTest::newRow("empty text") << copy << "text/plain" << QByteArray("  \n") << false << QStringList{};
    }

    void dropsAddOnlyWholeNames()
    {
        QFETCH(int, action);
        QFETCH(QString, format);
        QFETCH(QByteArray, payload);
        QFETCH(QStringList, names);
        VRXMultichannelProxyModel proxy;
        QMimeData mime;
        mime.setData(format, payload);
        QTEST(proxy.dropMimeData(&mime, Qt::DropAction(action), 0, 0, QModelIndex()), "result");
        QCOMPARE(proxy.channelNames(), names);
        QCOMPARE(proxy.columnCount(), names.size() + 1);
        QCOMPARE(proxy.canDropMimeData(&mime, Qt::DropAction(action), -1, -1, QModelIndex()),
                 format != "image/png" && (action == Qt::CopyAction || action == Qt::LinkAction));
        QVERIFY(!proxy.dropMimeData(nullptr, Qt::CopyAction, 0, 0, QModelIndex()));
    }

    void thousandNamesStopAtTheChannelLimit()
    {
        VRXMultichannelProxyModel proxy;
        auto *factory = new TestFactory([](const QString &name, QObject *parent) { // small, so that hundreds stay cheap
            auto *model = new VRXSingleChannelDataModel(16, parent);
            model->setChannelName(name);
            return model;
        });
        proxy.setChannelModelFactory(factory);
        QStringList names;
        for (int i = 0; i < 1000; ++i)
            names << QStringLiteral("N%1").arg(i);
        QMimeData mime;
        mime.setData(kListType, nameStream(names));
        const int limit = VRXAbstractDeviceDataModel::MODEL_MAX_CHANNELS;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Drop: no room for more channels"));
        QVERIFY(proxy.dropMimeData(&mime, Qt::CopyAction, -1, -1, QModelIndex()));
        QCOMPARE(factory->calls, limit);
        QCOMPARE(proxy.channelNames(), names.mid(0, limit));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Drop: no room for more channels"));
        QVERIFY(!proxy.dropMimeData(&mime, Qt::CopyAction, -1, -1, QModelIndex()));
        QCOMPARE(proxy.columnCount(), limit + 1);
    }

    void channelsAddedByNameThroughTheFactory()
    {
        VRXMultichannelProxyModel proxy;
        proxy.setChannelNames({"A", "B"});
        auto *made = qobject_cast<const VRXSingleChannelDataModel *>(proxy.mapToSource(proxy.index(0, 2)).model());
        QVERIFY(made && made->QObject::parent() == &proxy);
        QCOMPARE(made->channelName(), QStringLiteral("B"));
        QCOMPARE(proxy.mapToSource(proxy.index(0, 2)).column(), 1);
        // A model listed twice counts twice; one without a name not at all.
        VRXSingleChannelDataModel named, anonymous;
        named.setChannelName(QStringLiteral("D"));
        proxy.addSourceModel(&named);
        proxy.addSourceModel(&anonymous);
        proxy.insertSourceModel(0, &named, 1);
        proxy.setChannelNames({"C"});
        QCOMPARE(proxy.channelNames(), (QStringList{"D", "A", "B", "D", "C"}));
        // The old factory goes; what the new one makes is taken only if it has plot data.
        QPointer<QObject> oldFactory = proxy.findChild<SingleChannelModelFactory *>();
        auto *nulls = new TestFactory([](const QString &, QObject *) { return nullptr; });
        proxy.setChannelModelFactory(nulls);
        QVERIFY(!oldFactory);
        proxy.addChannel(QStringLiteral("X"));
        QCOMPARE(nulls->calls, 1);
        auto *plain = new TestFactory([](const QString &, QObject *parent) { return new QStandardItemModel(1, 2, parent); });
        proxy.setChannelModelFactory(plain);
        proxy.addChannel(QStringLiteral("Y"));
        QCOMPARE(plain->calls, 1);
        QVERIFY(!plain->made); // not left behind as a child
        QCOMPARE(proxy.columnCount(), 7);
    }

    void sourcesComeAndGoWithOneResetEach()
    {
        auto a = std::make_unique<VRXSingleChannelDataModel>();
        VRXSingleChannelDataModel b;
        for (int i = 1; i <= 4; ++i)
            b.AddData(i, i);
        VRXMultichannelProxyModel proxy;
        QSignalSpy reset(&proxy, &QAbstractItemModel::modelReset);
        QStandardItemModel plain(3, 3);
        proxy.addSourceModel(&plain);
        proxy.addSourceModel(nullptr);
        proxy.addSourceModel(&proxy);
        proxy.setSourceModel(a.get());
        QCOMPARE(proxy.columnCount(), 1);
        proxy.addSourceModel(a.get());
        proxy.insertSourceModel(0, &b, 1);
        QCOMPARE(reset.count(), 2);
        QCOMPARE(proxy.rowCount(), 5); // a source that already holds samples shows them at once
        QCOMPARE(proxy.mapToSource(proxy.index(1, 1)).model(), &b);
        QCOMPARE(proxy.doubleData(4, 2), 0.0); // a holds nothing to repeat
        QVERIFY(!proxy.index(4, 2).data().isValid());

        QSignalSpy units(&proxy, &VRXMultichannelProxyModel::unitsChanged);
        Units::mA milliamps;
        a->SetUnits(&milliamps);
        QCOMPARE(units.count(), 1);
        QCOMPARE(units.at(0).at(0).value<const Units::MeasurementUnit *>(), &milliamps);
        proxy.removeSourceModel(a.get());
        proxy.removeSourceModel(a.get());
        proxy.removeSourceModel(nullptr);
        QCOMPARE(reset.count(), 3);
        QCOMPARE(proxy.columnCount(), 2);
        a->SetUnits(&VRXAbstractDeviceDataModel::defaultUnits);
        QCOMPARE(units.count(), 1); // the relay is cut

        a->AddData(1.0, 1.0);
        proxy.addSourceModel(a.get());
        proxy.addSourceModel(a.get());
        reset.clear();
        proxy.Clear();
        QCOMPARE(reset.count(), 1);
        QCOMPARE(a->rowCount() + b.rowCount() + proxy.rowCount(), 3);
        a.reset(); // listed twice, dropped at once
        QCOMPARE(reset.count(), 2);
        QCOMPARE(proxy.columnCount(), 2);
        b.AddData(1.0, 3.0);
        QCOMPARE(proxy.doubleData(1, 1), 3.0);
    }

    void cellsHeadersAndPlotDataComeFromTheSources()
    {
        VRXMultichannelProxyModel proxy;
        QCOMPARE(proxy.units(), &VRXMultichannelProxyModel::defaultUnits);
        QCOMPARE(proxy.MaxBufferSize(), 0);
        VRXSingleChannelDataModel a(50), b;
        a.setChannelName(QStringLiteral("IC1"));
        Units::mA milliamps;
        a.SetUnits(&milliamps);
        for (int i = 1; i <= 3; ++i)
            a.AddData(i, i);
        b.AddData(1.0, 1.0);
        proxy.addSourceModel(&a);
        proxy.addSourceModel(&b);
        QCOMPARE(proxy.units(), &milliamps);
        QCOMPARE(proxy.MaxBufferSize(), 50);
        QCOMPARE(proxy.headerData(1, Qt::Horizontal).toString(), QString("IC1"));
        QCOMPARE(proxy.headerData(2, Qt::Horizontal).toString(), QString("2"));
        QCOMPARE(proxy.index(0, 2).data(Qt::BackgroundRole).value<QBrush>().color(), VRXPlotColors::forChannel(2));
        QCOMPARE(proxy.flags(QModelIndex()), Qt::ItemFlags(Qt::ItemIsDropEnabled));
        QVERIFY(!proxy.insertRows(0, 1) && !proxy.removeColumns(1, 1));
        QVERIFY(proxy.setData(proxy.index(0, 2), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(!b.isChannelEnabled(1));
        QVERIFY(!proxy.setData(proxy.index(3, 2), Qt::Unchecked, Qt::CheckStateRole)); // a repeated row is no cell of its own

        // Columns beyond the channels (the statistics columns) give NaN and no curve.
        for (int column : {3, int(Fit0Column0), Fit0Column0 + 7, -1})
            QVERIFY(std::isnan(proxy.doubleData(3, column)));
        QVERIFY(std::isnan(proxy.doubleData(-1, 1)));
        for (int column : {0, 3, int(Fit0Column0)})
            QVERIFY(!proxy.seriesData(column, 1, -1));
        std::unique_ptr<QwtSeriesData<QPointF>> series(proxy.seriesData(1, 1, -1));
        QCOMPARE(series->size(), size_t(3));
        QCOMPARE(series->sample(2), QPointF(3.0, 3000.0));
        a.SetUnits(&VRXAbstractDeviceDataModel::defaultUnits);
    }

    void matchSearchesEachSourceOnce()
    {
        VRXSingleChannelDataModel a, b;
        for (int i = 1; i <= 4; ++i)
            a.AddData(i, i);
        b.AddData(1.0, 7.0);
        b.AddData(2.0, 7.0);
        VRXMultichannelProxyModel proxy;
        proxy.addSourceModel(&a);
        proxy.addSourceModel(&b);
        const QVariant seven = b.index(2, 1).data();
        // Rows 3 and 4 repeat b's last row; they are not found again.
        QCOMPARE(proxy.match(proxy.index(1, 2), Qt::DisplayRole, seven, -1, Qt::MatchExactly),
                 (QModelIndexList{proxy.index(1, 2), proxy.index(2, 2)}));
        QCOMPARE(proxy.match(proxy.index(1, 0), Qt::DisplayRole, a.index(2, 0).data(), -1, Qt::MatchExactly),
                 QModelIndexList{proxy.index(2, 0)});
        QVERIFY(proxy.match(proxy.index(1, 1), Qt::DisplayRole, seven, -1, Qt::MatchExactly).isEmpty());
    }

    void csvHoldsTwoFieldsPerChannel()
    {
        VRXSingleChannelDataModel a, b;
        a.AddData(1.0, 0.5);
        a.AddData(2.0, 0.75);
        a.AddData(3.0, -1.5e-10);
        b.AddData(1.25, 2.0);
        Units::mA milliamps;
        b.SetUnits(&milliamps);
        VRXMultichannelProxyModel proxy;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("merged.csv"));
        QVERIFY(!proxy.SaveDataToFile(path)); // no sources
        QVERIFY(!QFile::exists(path));
        proxy.addSourceModel(&a);
        proxy.addSourceModel(&b);
        QVERIFY(proxy.SaveDataToFile(path));
        QCOMPARE(corvid_test::readFile(path), QByteArray("channel_1_timestamp(s),channel_1,channel_2_timestamp(s),channel_2,\n"
                                                         "1.000e+00,5.000e-01,1.250e+00,2.000e+03,\n"
                                                         "2.000e+00,7.500e-01,,,\n3.000e+00,-1.500e-10,,,\n"));
        b.SetUnits(&VRXAbstractDeviceDataModel::defaultUnits);
        a.Clear();
        proxy.removeSourceModel(&b);
        QVERIFY(proxy.SaveDataToFile(path));
        QCOMPARE(corvid_test::readFile(path), QByteArray("channel_1_timestamp(s),channel_1,\n"));
    }

    void failedSaveReturnsFalseAndKeepsTheOldFile_data() { corvid_test::saveFailureRows(true); }

    void failedSaveReturnsFalseAndKeepsTheOldFile()
    {
        VRXSingleChannelDataModel a;
        for (int i = 1; i <= 2000; ++i)
            a.AddData(i, i);
        VRXMultichannelProxyModel proxy;
        proxy.addSourceModel(&a);
        corvid_test::checkSaveFails(proxy);
    }
};

QTEST_MAIN(TestMultichannelProxyModel)
#include "tst_multichannelproxymodel.moc"
