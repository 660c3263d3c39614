#include <MeasurementUnit.h>
#include <SingleChannelModelFactory.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXPlotColors.h>
#include <VRXSingleChannelDataModel.h>

#include "MergedTableAdapter.h"
#include "ModelTestHelpers.h"
#include "TableDeviceModel.h"

#include <QtCore/QLoggingCategory>
#include <QtCore/QMimeData>
#include <QtCore/QPointer>
#include <QtCore/QTemporaryDir>
#include <QtGui/QBrush>
#include <QtGui/QStandardItemModel>
#include <QtTest/QAbstractItemModelTester>
#include <QtTest/QtTest>
#include <cmath>
#include <memory>
#include <qwt_series_data.h>
#include <sys/stat.h>
#include <vector>

Q_DECLARE_METATYPE(const Corvid_Qt::Units::MeasurementUnit *)

using namespace Corvid_Qt;
using corvid_test::FailingDevice;
using corvid_test::FailingSaveFile;
using corvid_test::MergedTableAdapter;
using corvid_test::TableDeviceModel;

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

QString readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// Makes small single-channel models (so that hundreds stay cheap), or
// none, or models the proxy cannot take.
class TestFactory : public AbstractChannelModelFactory
{
public:
    enum Kind { Small, Null, Plain };
    explicit TestFactory(Kind kind)
        : m_kind(kind)
    {
    }
    using AbstractChannelModelFactory::createModel;
    QAbstractItemModel *createModel(const QStringList &channels, int *firstColumn, QObject *parent) override
    {
        ++calls;
        if (firstColumn)
            *firstColumn = 1;
        if (m_kind == Null)
            return nullptr;
        if (m_kind == Plain) {
            made = new QStandardItemModel(1, 2, parent);
            return made;
        }
        auto *model = new VRXSingleChannelDataModel(16, parent);
        model->setChannelName(channels.value(0));
        made = model;
        return model;
    }
    int calls = 0;
    QPointer<QAbstractItemModel> made;

private:
    Kind m_kind;
};

/*
 * One column of a table rebuilt from the announcements alone, as a view or a
 * proxy that keeps values would: inserted rows are read when announced,
 * removed ones dropped, changed cells of this column read again.
 */
class ColumnFollower
{
public:
    ColumnFollower(const VRXMultichannelProxyModel *model, int column)
        : m_model(model)
        , m_column(column)
    {
        m_rows = actual();
        QObject::connect(model, &QAbstractItemModel::rowsInserted, &m_context, [this](const QModelIndex &, int f, int l) {
            for (int r = f; r <= l; ++r)
                m_rows.insert(r - 1, read(r));
        });
        QObject::connect(model, &QAbstractItemModel::rowsRemoved, &m_context,
                         [this](const QModelIndex &, int f, int l) { m_rows.remove(f - 1, l - f + 1); });
        QObject::connect(model, &QAbstractItemModel::dataChanged, &m_context,
                         [this](const QModelIndex &tl, const QModelIndex &br) {
                             if (tl.column() > m_column || br.column() < m_column)
                                 return;
                             for (int r = qMax(tl.row(), 1); r <= br.row(); ++r)
                                 m_rows[r - 1] = read(r);
                         });
    }

    double read(int row) const { return m_model->doubleData(row, m_column); }
    QVector<double> seen() const { return m_rows; }
    QVector<double> actual() const
    {
        QVector<double> rows;
        for (int r = 1; r < m_model->rowCount(); ++r)
            rows << read(r);
        return rows;
    }

private:
    const VRXMultichannelProxyModel *m_model;
    int m_column;
    QVector<double> m_rows;
    QObject m_context;
};

/*
 * Single-channel sources of a small capacity merged by one proxy, watched by
 * QAbstractItemModelTester and by one follower per column.
 */
struct Rig
{
    explicit Rig(int sources, int capacity)
    {
        for (int i = 0; i < sources; ++i) {
            models.push_back(std::make_unique<VRXSingleChannelDataModel>(capacity));
            proxy.addSourceModel(models.back().get());
        }
        mayLag.assign(models.size(), false);
        QObject::connect(&proxy, &QAbstractItemModel::rowsInserted, &context,
                         [this](const QModelIndex &, int f, int l) { insertedRows += l - f + 1; });
        QObject::connect(&proxy, &QAbstractItemModel::rowsRemoved, &context, [this](const QModelIndex &, int f, int l) {
            removedRows += l - f + 1;
            if (f != 1)
                return;
            // The table moved up: a full source that was up to date is now
            // one step behind and announces its cells when it follows; one
            // that was already behind has its whole column announced.
            for (size_t s = 0; s < models.size(); ++s) {
                const bool full = models[s]->rowCount() - 1 == models[s]->MaxBufferSize();
                mayLag[s] = int(s) != feeding && full && !mayLag[s];
            }
        });
        QObject::connect(&proxy, &QAbstractItemModel::modelReset, &context, [this]() {
            std::fill(mayLag.begin(), mayLag.end(), false);
            follow();
        });
        follow();
    }

    void follow()
    {
        followers.clear();
        for (int c = 0; c < proxy.columnCount(); ++c)
            followers.push_back(std::make_unique<ColumnFollower>(&proxy, c));
    }

    void feed(int source, double t)
    {
        feeding = source;
        models[size_t(source)]->AddData(t, 100.0 * source + t);
        feeding = -1;
        mayLag[size_t(source)] = false;
    }

    /// Proxy rows as long as the longest source, each cell the source's
    /// (its last row repeated below its end), and every column as its
    /// announcements left it, except the columns of a source that may lag.
    void check(const char *where)
    {
        int longest = 0;
        for (int c = 1; c < proxy.columnCount(); ++c)
            longest = qMax(longest, sourceOf(c)->rowCount() - 1);
        QVERIFY2(proxy.rowCount() == longest + 1, where);
        for (int c = 1; c < proxy.columnCount(); ++c) {
            const VRXSingleChannelDataModel *model = sourceOf(c);
            const int n = model->rowCount();
            for (int r = 1; r <= longest; ++r) {
                const double expected = n < 2 ? 0.0 : model->doubleData(qMin(r, n - 1), 1);
                QVERIFY2(proxy.doubleData(r, c) == expected, where);
            }
        }
        for (int c = 0; c < proxy.columnCount(); ++c) {
            // The time column comes from the first source holding row 1.
            const QModelIndex shown = proxy.mapToSource(proxy.index(c == 0 ? qMin(1, longest) : 0, c));
            size_t s = 0;
            while (s < models.size() && models[s].get() != shown.model())
                ++s;
            if (s < models.size() && mayLag[s])
                continue;
            QVERIFY2(followers[size_t(c)]->seen() == followers[size_t(c)]->actual(),
                     qPrintable(QStringLiteral("%1, column %2").arg(where).arg(c)));
        }
    }

    const VRXSingleChannelDataModel *sourceOf(int column) const
    {
        return static_cast<const VRXSingleChannelDataModel *>(proxy.mapToSource(proxy.index(0, column)).model());
    }

    QObject context;
    std::vector<std::unique_ptr<VRXSingleChannelDataModel>> models;
    VRXMultichannelProxyModel proxy;
    std::vector<std::unique_ptr<ColumnFollower>> followers;
    std::vector<bool> mayLag;
    int feeding = -1;
    int insertedRows = 0;
    int removedRows = 0;
};

} // namespace

class TestMultichannelProxyModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void samplesInStepGiveOneInsertionEach();
    void fullSourcesInStepMoveTheTableOncePerSample_data();
    void fullSourcesInStepMoveTheTableOncePerSample();
    void shortSourceRepeatsItsLastRow();
    void sourcesOutOfStepStayConsistent_data();
    void sourcesOutOfStepStayConsistent();
    void testerWhileSourcesComeAndGo();
    void dropActionsAndFormats_data();
    void dropActionsAndFormats();
    void untrustedDropsAddOnlyWholeNames_data();
    void untrustedDropsAddOnlyWholeNames();
    void thousandNamesStopAtTheChannelLimit();
    void addChannelUsesTheFactory();
    void channelNamesFollowTheSources();
    void removeSourceModelCutsTheUnitsRelay();
    void sourcesAddedAtRunTime();
    void destroyedSourceIsDropped();
    void plotDataComesFromTheFirstSource();
    void columnsBeyondTheChannelsGiveNaNAndNoSeries();
    void matchSearchesEachSourceOnce();
    void setDataReachesTheSourceCell();
    void headerNamesTheChannels();
    void clearResetsTheTableOnce();
    void csvHoldsTwoFieldsPerChannel();
    void saveFailsWithoutLosingAFile_data();
    void saveFailsWithoutLosingAFile();
};

void TestMultichannelProxyModel::initTestCase()
{
    qRegisterMetaType<Qt::Orientation>();
    qRegisterMetaType<const Units::MeasurementUnit *>();
}

void TestMultichannelProxyModel::samplesInStepGiveOneInsertionEach()
{
    VRXSingleChannelDataModel a, b;
    VRXMultichannelProxyModel proxy;
    proxy.addSourceModel(&a);
    proxy.addSourceModel(&b);
    QSignalSpy inserted(&proxy, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&proxy, &QAbstractItemModel::dataChanged);

    for (int i = 1; i <= 3; ++i) {
        a.AddData(i, 10.0 * i);
        QCOMPARE(inserted.count(), i);
        QCOMPARE(inserted.last().at(1).toInt(), i);
        QCOMPARE(inserted.last().at(2).toInt(), i);
        changed.clear();
        b.AddData(i, 20.0 * i);
        QCOMPARE(inserted.count(), i); // the second source adds no row of its own
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), proxy.index(i, 2));
        QCOMPARE(changed.at(0).at(1).value<QModelIndex>(), proxy.index(i, 2));
    }
    QCOMPARE(proxy.rowCount(), 4);
    QCOMPARE(proxy.columnCount(), 3);
    QCOMPARE(proxy.doubleData(3, 1), 30.0);
    QCOMPARE(proxy.doubleData(3, 2), 60.0);
    QCOMPARE(proxy.doubleData(2, 0), 2.0);
    QCOMPARE(proxy.index(3, 2).data().toString(), b.index(3, 1).data().toString());
    QCOMPARE(proxy.index(0, 2).data(Qt::BackgroundRole).value<QBrush>().color(), VRXPlotColors::forChannel(2));
}

void TestMultichannelProxyModel::fullSourcesInStepMoveTheTableOncePerSample_data()
{
    QTest::addColumn<bool>("reversed");
    QTest::newRow("fed in column order") << false;
    QTest::newRow("fed in reverse order") << true;
}

void TestMultichannelProxyModel::fullSourcesInStepMoveTheTableOncePerSample()
{
    QFETCH(bool, reversed);
    Rig rig(3, 4);
    MergedTableAdapter adapter(&rig.proxy);
    QAbstractItemModelTester tester(&adapter, QAbstractItemModelTester::FailureReportingMode::QtTest);

    for (int tick = 1; tick <= 12; ++tick) {
        const int inserted = rig.insertedRows;
        const int removed = rig.removedRows;
        for (int i = 0; i < 3; ++i)
            rig.feed(reversed ? 2 - i : i, tick);
        QCOMPARE(rig.insertedRows - inserted, 1);
        QCOMPARE(rig.removedRows - removed, tick > 4 ? 1 : 0);
        rig.check("after a tick");
    }
    QCOMPARE(rig.proxy.rowCount(), 5);
    QCOMPARE(rig.proxy.doubleData(1, 0), 9.0);
    QCOMPARE(rig.proxy.doubleData(4, 3), 212.0);
}

void TestMultichannelProxyModel::shortSourceRepeatsItsLastRow()
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
    QCOMPARE(proxy.index(4, 2).data().toString(), b.index(2, 1).data().toString());
    QCOMPARE(proxy.mapToSource(proxy.index(4, 2)), b.index(2, 1));
    QCOMPARE(proxy.mapToSource(proxy.index(2, 2)), b.index(2, 1));
    QCOMPARE(proxy.mapToSource(proxy.index(1, 2)), b.index(1, 1));
    QCOMPARE(proxy.doubleData(4, 0), 4.0);
    QCOMPARE(proxy.mapToSource(proxy.index(4, 0)), a.index(4, 0));
    QCOMPARE(proxy.mapFromSource(b.index(2, 1)), proxy.index(2, 2));
    QVERIFY(!proxy.mapFromSource(QModelIndex()).isValid());

    // Its next sample changes the cells that repeated its last row.
    QSignalSpy changed(&proxy, &QAbstractItemModel::dataChanged);
    b.AddData(3.5, 9.0);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), proxy.index(3, 2));
    QCOMPARE(changed.at(0).at(1).value<QModelIndex>(), proxy.index(5, 2));
    QCOMPARE(proxy.doubleData(5, 2), 9.0);
}

void TestMultichannelProxyModel::sourcesOutOfStepStayConsistent_data()
{
    QTest::addColumn<QVector<int>>("periods"); // a source gets a sample every n ticks; 0: never
    QTest::addColumn<bool>("reversed");

    QTest::newRow("first source twice as fast") << QVector<int>{1, 2, 2} << false;
    QTest::newRow("first source half as fast") << QVector<int>{2, 1, 1} << false;
    QTest::newRow("three rates, reversed") << QVector<int>{1, 2, 3} << true;
    QTest::newRow("one source stops") << QVector<int>{1, 0, 1} << false;
    QTest::newRow("first source stops") << QVector<int>{0, 1, 1} << true;
}

void TestMultichannelProxyModel::sourcesOutOfStepStayConsistent()
{
    QFETCH(QVector<int>, periods);
    QFETCH(bool, reversed);
    Rig rig(3, 5);
    MergedTableAdapter adapter(&rig.proxy);
    QAbstractItemModelTester tester(&adapter, QAbstractItemModelTester::FailureReportingMode::QtTest);

    // All start full and in step, then keep their own rates.
    for (int tick = 1; tick <= 6; ++tick) {
        for (int s = 0; s < 3; ++s)
            rig.feed(s, tick);
    }
    for (int tick = 7; tick <= 30; ++tick) {
        for (int i = 0; i < 3; ++i) {
            const int s = reversed ? 2 - i : i;
            if (periods[s] > 0 && tick % periods[s] == 0) {
                rig.feed(s, tick);
                rig.check("after a sample");
            }
        }
    }
}

void TestMultichannelProxyModel::testerWhileSourcesComeAndGo()
{
    Rig rig(3, 6);
    MergedTableAdapter adapter(&rig.proxy);
    QAbstractItemModelTester tester(&adapter, QAbstractItemModelTester::FailureReportingMode::QtTest);
    double t = 1.0;

    for (int i = 0; i < 4; ++i, t += 1.0)
        rig.feed(i % 3, t); // filling out of step
    rig.check("filling");
    for (int i = 0; i < 9; ++i, t += 1.0) {
        for (int s = 0; s < 3; ++s)
            rig.feed(s, t);
    }
    rig.check("full");
    rig.models[1]->Clear();
    rig.check("one cleared");
    for (int i = 0; i < 4; ++i, t += 1.0) {
        for (int s = 0; s < 3; ++s)
            rig.feed(s, t);
        rig.check("refilling one");
    }
    rig.proxy.removeSourceModel(rig.models[0].get());
    rig.follow();
    rig.feed(0, t += 1.0); // no longer listened to
    rig.feed(2, t += 1.0);
    rig.check("one removed");
    rig.proxy.insertSourceModel(1, rig.models[0].get(), 1);
    rig.check("re-added");

    // Rows held back and published in one batch.
    rig.models[2]->setAutoUpdate(false);
    for (int i = 0; i < 3; ++i) {
        t += 1.0;
        for (int s = 0; s < 3; ++s)
            rig.feed(s, t);
    }
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

void TestMultichannelProxyModel::dropActionsAndFormats_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("move") << int(Qt::MoveAction) << "text/plain" << QByteArray("X1") << false << QStringList{};
    QTest::newRow("ignore") << int(Qt::IgnoreAction) << "text/plain" << QByteArray("X1") << true << QStringList{};
    QTest::newRow("copy text") << int(Qt::CopyAction) << "text/plain" << QByteArray("X1") << true << QStringList{"X1"};
    QTest::newRow("link text") << int(Qt::LinkAction) << "text/plain" << QByteArray(" X2\n") << true << QStringList{"X2"};
    QTest::newRow("copy list") << int(Qt::CopyAction) << kListType << nameStream({"A", "B"}) << true
                               << QStringList{"A", "B"};
    QTest::newRow("other format") << int(Qt::CopyAction) << "image/png" << QByteArray("X1") << false << QStringList{};
}

void TestMultichannelProxyModel::dropActionsAndFormats()
{
    QFETCH(int, action);
    QFETCH(QString, format);
    QFETCH(QByteArray, payload);
    QFETCH(bool, result);
    QFETCH(QStringList, names);

    VRXMultichannelProxyModel proxy;
    QMimeData mime;
    mime.setData(format, payload);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QCOMPARE(proxy.dropMimeData(&mime, Qt::DropAction(action), -1, -1, QModelIndex()), result);
    QLoggingCategory::setFilterRules(QString());
    QCOMPARE(proxy.channelNames(), names);
    QCOMPARE(proxy.columnCount(), names.size() + 1);
    QCOMPARE(proxy.canDropMimeData(&mime, Qt::DropAction(action), -1, -1, QModelIndex()),
             format != "image/png" && (action == Qt::CopyAction || action == Qt::LinkAction));
}

void TestMultichannelProxyModel::untrustedDropsAddOnlyWholeNames_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QStringList>("names");

    const QByteArray third = nameStream({"C"});
    QTest::newRow("truncated stream") << kListType << nameStream({"A", "B"}) + third.left(third.size() - 1)
                                      << QStringList{"A", "B"};
    QTest::newRow("length prefix cut short") << kListType << nameStream({"A"}) + QByteArray("\0\0", 2)
                                             << QStringList{"A"};
    QTest::newRow("gigabyte length prefix") << kListType << bigEndian(0x7ffffffe) + QByteArray(16, 'x')
                                            << QStringList{};
    QTest::newRow("odd length") << kListType << bigEndian(3) + QByteArray(8, 'x') << QStringList{};
    QTest::newRow("empty list") << kListType << QByteArray() << QStringList{};
    QTest::newRow("lone surrogates") << kListType << bigEndian(4) + QByteArray("\xd8\x00\xd8\x00", 4)
                                     << QStringList{};
    QTest::newRow("control characters") << kListType << nameStream({"A\nB", QString(QChar(1)), "Good"})
                                        << QStringList{"Good"};
    QTest::newRow("null and empty strings") << kListType << bigEndian(0xffffffff) + nameStream({"", "A"})
                                            << QStringList{"A"};
    QTest::newRow("overlong name") << kListType << nameStream({QString(300, 'x'), "B"}) << QStringList{"B"};
    QTest::newRow("binary noise") << kListType << QByteArray::fromHex("00000006fffe00410042ffff0000") << QStringList{};
    QTest::newRow("text not UTF-8") << "text/plain" << QByteArray("\xff\xfe\x80", 3) << QStringList{};
    QTest::newRow("empty text") << "text/plain" << QByteArray("  \n") << QStringList{};
}

void TestMultichannelProxyModel::untrustedDropsAddOnlyWholeNames()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, payload);
    QFETCH(QStringList, names);

    VRXMultichannelProxyModel proxy;
    QMimeData mime;
    mime.setData(format, payload);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    const bool dropped = proxy.dropMimeData(&mime, Qt::CopyAction, 0, 0, QModelIndex());
    QLoggingCategory::setFilterRules(QString());
    QCOMPARE(dropped, !names.isEmpty());
    QCOMPARE(proxy.channelNames(), names);
    QCOMPARE(proxy.columnCount(), names.size() + 1);
    QVERIFY(!proxy.dropMimeData(nullptr, Qt::CopyAction, 0, 0, QModelIndex()));
}

void TestMultichannelProxyModel::thousandNamesStopAtTheChannelLimit()
{
    VRXMultichannelProxyModel proxy;
    auto *factory = new TestFactory(TestFactory::Small);
    proxy.setChannelModelFactory(factory);
    QStringList names;
    for (int i = 0; i < 1000; ++i)
        names << QStringLiteral("N%1").arg(i);
    QMimeData mime;
    mime.setData(kListType, nameStream(names));

    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Drop: no room for more channels"));
    QVERIFY(proxy.dropMimeData(&mime, Qt::CopyAction, -1, -1, QModelIndex()));
    QCOMPARE(proxy.columnCount(), VRXAbstractDeviceDataModel::MODEL_MAX_CHANNELS + 1);
    QCOMPARE(factory->calls, VRXAbstractDeviceDataModel::MODEL_MAX_CHANNELS);
    QCOMPARE(proxy.channelNames(), names.mid(0, VRXAbstractDeviceDataModel::MODEL_MAX_CHANNELS));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Drop: no room for more channels"));
    QVERIFY(!proxy.dropMimeData(&mime, Qt::CopyAction, -1, -1, QModelIndex()));
    QLoggingCategory::setFilterRules(QString());
    QCOMPARE(proxy.columnCount(), VRXAbstractDeviceDataModel::MODEL_MAX_CHANNELS + 1);
}

void TestMultichannelProxyModel::addChannelUsesTheFactory()
{
    VRXMultichannelProxyModel proxy;
    proxy.addChannel(QStringLiteral("X1"));
    auto *made = qobject_cast<VRXSingleChannelDataModel *>(
        const_cast<QAbstractItemModel *>(proxy.mapToSource(proxy.index(0, 1)).model()));
    QVERIFY(made);
    QCOMPARE(made->QObject::parent(), &proxy);
    QCOMPARE(made->channelName(), QStringLiteral("X1"));
    QCOMPARE(proxy.mapToSource(proxy.index(0, 1)).column(), 1);

    // Replacing the factory deletes the old one; the new one is used.
    QPointer<QObject> oldFactory = proxy.findChild<SingleChannelModelFactory *>();
    QVERIFY(oldFactory);
    auto *nulls = new TestFactory(TestFactory::Null);
    proxy.setChannelModelFactory(nulls);
    QVERIFY(!oldFactory);
    proxy.addChannel(QStringLiteral("X2"));
    QCOMPARE(nulls->calls, 1);
    QCOMPARE(proxy.columnCount(), 2);

    // A model the proxy cannot take does not linger as its child.
    auto *plain = new TestFactory(TestFactory::Plain);
    proxy.setChannelModelFactory(plain);
    proxy.addChannel(QStringLiteral("X3"));
    QCOMPARE(plain->calls, 1);
    QVERIFY(!plain->made);
    QCOMPARE(proxy.columnCount(), 2);

    SingleChannelModelFactory factory;
    int firstColumn = 0;
    std::unique_ptr<QAbstractItemModel> unnamed(factory.createModel(QStringList{}, &firstColumn, nullptr));
    QCOMPARE(firstColumn, 1);
    QCOMPARE(unnamed->property("channel").toString(), QString());
    std::unique_ptr<QAbstractItemModel> named(factory.createModel(QStringLiteral("Y"), nullptr, nullptr));
    QCOMPARE(named->property("channel").toString(), QStringLiteral("Y"));
}

void TestMultichannelProxyModel::channelNamesFollowTheSources()
{
    VRXMultichannelProxyModel proxy;
    proxy.setChannelNames({"A", "B"});
    QCOMPARE(proxy.channelNames(), (QStringList{"A", "B"}));
    proxy.setChannelNames({"C"});
    QCOMPARE(proxy.channelNames(), (QStringList{"A", "B", "C"}));

    // A model listed twice counts twice; one without a name not at all.
    VRXSingleChannelDataModel named;
    named.setChannelName(QStringLiteral("D"));
    TableDeviceModel anonymous(2);
    proxy.addSourceModel(&named);
    proxy.addSourceModel(&anonymous, 2);
    proxy.insertSourceModel(0, &named, 1);
    QCOMPARE(proxy.channelNames(), (QStringList{"D", "A", "B", "C", "D"}));
    QCOMPARE(proxy.columnCount(), 7);
}

void TestMultichannelProxyModel::removeSourceModelCutsTheUnitsRelay()
{
    VRXSingleChannelDataModel a, b;
    a.AddData(1.0, 1.0);
    VRXMultichannelProxyModel proxy;
    proxy.addSourceModel(&a);
    proxy.addSourceModel(&b);
    QSignalSpy units(&proxy, &VRXMultichannelProxyModel::unitsChanged);
    Units::mA milliamps;
    a.SetUnits(&milliamps);
    QCOMPARE(units.count(), 1);
    QCOMPARE(units.at(0).at(0).value<const Units::MeasurementUnit *>(), &milliamps);
    QCOMPARE(proxy.units(), &milliamps);

    QSignalSpy reset(&proxy, &QAbstractItemModel::modelReset);
    proxy.removeSourceModel(&a);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(proxy.columnCount(), 2);
    QCOMPARE(proxy.mapToSource(proxy.index(0, 1)).model(), &b);
    QCOMPARE(proxy.rowCount(), 1);
    units.clear();
    a.SetUnits(&VRXAbstractDeviceDataModel::defaultUnits);
    QCOMPARE(units.count(), 0);
    b.SetUnits(&milliamps);
    QCOMPARE(units.count(), 1);
    b.SetUnits(&VRXAbstractDeviceDataModel::defaultUnits);

    proxy.removeSourceModel(&a);
    proxy.removeSourceModel(nullptr);
    QCOMPARE(reset.count(), 1);
}

void TestMultichannelProxyModel::sourcesAddedAtRunTime()
{
    VRXSingleChannelDataModel a, b;
    for (int i = 1; i <= 4; ++i)
        b.AddData(i, i);
    VRXMultichannelProxyModel proxy;
    QSignalSpy reset(&proxy, &QAbstractItemModel::modelReset);

    QStandardItemModel plain(3, 3);
    proxy.addSourceModel(&plain);
    proxy.addSourceModel(nullptr);
    proxy.addSourceModel(&proxy);
    proxy.addSourceModel(&a, 0);
    proxy.setSourceModel(&a);
    QCOMPARE(reset.count(), 0);
    QCOMPARE(proxy.columnCount(), 1);
    QCOMPARE(proxy.rowCount(), 1);

    proxy.addSourceModel(&a);
    proxy.insertSourceModel(0, &b, 1);
    QCOMPARE(reset.count(), 2);
    QCOMPARE(proxy.columnCount(), 3);
    // A source that already holds samples shows them at once.
    QCOMPARE(proxy.rowCount(), 5);
    QCOMPARE(proxy.mapToSource(proxy.index(1, 1)).model(), &b);
    QCOMPARE(proxy.doubleData(4, 1), 4.0);
    QCOMPARE(proxy.doubleData(4, 2), 0.0); // a holds nothing to repeat
    QVERIFY(!proxy.index(4, 2).data().isValid());
    QVERIFY(!proxy.insertRows(0, 1));
    QVERIFY(!proxy.removeRows(1, 1));
    QVERIFY(!proxy.insertColumns(0, 1));
    QVERIFY(!proxy.removeColumns(1, 1));
    QCOMPARE(proxy.flags(QModelIndex()), Qt::ItemFlags(Qt::ItemIsDropEnabled));
    QCOMPARE(proxy.flags(proxy.index(1, 1)), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
}

void TestMultichannelProxyModel::destroyedSourceIsDropped()
{
    auto a = std::make_unique<VRXSingleChannelDataModel>();
    VRXSingleChannelDataModel b;
    a->AddData(1.0, 1.0);
    a->AddData(2.0, 2.0);
    VRXMultichannelProxyModel proxy;
    proxy.addSourceModel(a.get());
    proxy.addSourceModel(&b);
    proxy.addSourceModel(a.get());
    QSignalSpy reset(&proxy, &QAbstractItemModel::modelReset);
    a.reset();
    QCOMPARE(reset.count(), 1);
    QCOMPARE(proxy.columnCount(), 2);
    QCOMPARE(proxy.rowCount(), 1);
    b.AddData(1.0, 3.0);
    QCOMPARE(proxy.doubleData(1, 1), 3.0);
}

void TestMultichannelProxyModel::plotDataComesFromTheFirstSource()
{
    VRXMultichannelProxyModel proxy;
    QCOMPARE(proxy.units(), &VRXMultichannelProxyModel::defaultUnits);
    QCOMPARE(proxy.units()->name(), QStringLiteral("A"));
    QCOMPARE(proxy.xUnits(), &VRXMultichannelProxyModel::defaultXUnits);
    QCOMPARE(proxy.xUnits()->name(), QStringLiteral("s"));
    QCOMPARE(proxy.MaxBufferSize(), 0);
    QCOMPARE(proxy.PlotWidthHint(), 0.0);
    QCOMPARE(proxy.PlotWidthHintPoints(), 256);
    QVERIFY(!proxy.SaveDataToFile(QStringLiteral("x.csv")));

    VRXSingleChannelDataModel a(50), b;
    a.setPlotWidthHintPoints(30);
    Units::mA milliamps;
    a.SetUnits(&milliamps);
    proxy.addSourceModel(&a);
    proxy.addSourceModel(&b);
    QCOMPARE(proxy.units(), &milliamps);
    QCOMPARE(proxy.xUnits(), a.xUnits());
    QCOMPARE(proxy.MaxBufferSize(), 50);
    QCOMPARE(proxy.PlotWidthHintPoints(), 30);
    QCOMPARE(proxy.NumberOfChannels(), 1);
    a.SetUnits(&VRXAbstractDeviceDataModel::defaultUnits);
}

void TestMultichannelProxyModel::columnsBeyondTheChannelsGiveNaNAndNoSeries()
{
    VRXSingleChannelDataModel a, b;
    for (int i = 1; i <= 3; ++i)
        a.AddData(i, i);
    VRXMultichannelProxyModel proxy;
    proxy.addSourceModel(&a);
    proxy.addSourceModel(&b);

    QVERIFY(std::isnan(proxy.doubleData(3, Fit0Column0)));
    QVERIFY(std::isnan(proxy.doubleData(3, Fit0Column0 + 7)));
    QVERIFY(std::isnan(proxy.doubleData(3, 3)));
    QVERIFY(std::isnan(proxy.doubleData(-1, 1)));
    QVERIFY(std::isnan(proxy.doubleData(1, -1)));
    QVERIFY(!proxy.seriesData(Fit0Column0, 1, -1));
    QVERIFY(!proxy.seriesData(3, 1, -1));
    QVERIFY(!proxy.seriesData(0, 1, -1));
    QCOMPARE(proxy.doubleData(0, 2), 2.0);
    QCOMPARE(proxy.doubleData(2, 2), 0.0);

    std::unique_ptr<QwtSeriesData<QPointF>> series(proxy.seriesData(1, 1, -1));
    QVERIFY(series);
    QCOMPARE(series->size(), size_t(3));
    QCOMPARE(series->sample(2), QPointF(3.0, 3.0));
    std::unique_ptr<QwtSeriesData<QPointF>> empty(proxy.seriesData(2, 1, -1));
    QCOMPARE(empty->size(), size_t(0));
}

void TestMultichannelProxyModel::matchSearchesEachSourceOnce()
{
    VRXSingleChannelDataModel a, b;
    for (int i = 1; i <= 4; ++i)
        a.AddData(i, i);
    b.AddData(1.0, 7.0);
    b.AddData(2.0, 7.0);
    VRXMultichannelProxyModel proxy;
    proxy.addSourceModel(&a);
    proxy.addSourceModel(&b);

    const QString seven = b.index(2, 1).data().toString();
    // Rows 3 and 4 repeat b's last row; they are not found again.
    QModelIndexList hits = proxy.match(proxy.index(1, 2), Qt::DisplayRole, seven, -1, Qt::MatchExactly);
    QCOMPARE(hits, (QModelIndexList{proxy.index(1, 2), proxy.index(2, 2)}));
    hits = proxy.match(proxy.index(1, 2), Qt::DisplayRole, seven, 1, Qt::MatchExactly);
    QCOMPARE(hits, QModelIndexList{proxy.index(1, 2)});

    const QString two = a.index(2, 0).data().toString();
    hits = proxy.match(proxy.index(1, 0), Qt::DisplayRole, two, -1, Qt::MatchExactly);
    QCOMPARE(hits, QModelIndexList{proxy.index(2, 0)});
    QVERIFY(proxy.match(proxy.index(1, 1), Qt::DisplayRole, seven, -1, Qt::MatchExactly).isEmpty());
    QVERIFY(proxy.match(QModelIndex(), Qt::DisplayRole, seven).isEmpty());
}

void TestMultichannelProxyModel::setDataReachesTheSourceCell()
{
    VRXSingleChannelDataModel a, b;
    for (int i = 1; i <= 3; ++i)
        a.AddData(i, i);
    b.AddData(1.0, 1.0);
    VRXMultichannelProxyModel proxy;
    proxy.addSourceModel(&a);
    proxy.addSourceModel(&b);
    QSignalSpy changed(&proxy, &QAbstractItemModel::dataChanged);

    QVERIFY(proxy.setData(proxy.index(0, 2), Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(!b.isChannelEnabled(1));
    QCOMPARE(proxy.index(0, 2).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), proxy.index(0, 2));
    QCOMPARE(changed.at(0).at(1).value<QModelIndex>(), proxy.index(0, 2));
    // A repeated last row is no cell of its own.
    QVERIFY(!proxy.setData(proxy.index(3, 2), Qt::Unchecked, Qt::CheckStateRole));
}

void TestMultichannelProxyModel::headerNamesTheChannels()
{
    VRXSingleChannelDataModel a, b;
    a.setChannelName(QStringLiteral("IC1"));
    VRXMultichannelProxyModel proxy;
    proxy.addSourceModel(&a);
    proxy.addSourceModel(&b);
    QCOMPARE(proxy.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Time (s)"));
    QCOMPARE(proxy.headerData(1, Qt::Horizontal).toString(), QStringLiteral("IC1"));
    QCOMPARE(proxy.headerData(2, Qt::Horizontal).toString(), QStringLiteral("2"));
    QVERIFY(!proxy.headerData(3, Qt::Horizontal).isValid());
    QVERIFY(!proxy.headerData(1, Qt::Vertical).isValid());
    QCOMPARE(proxy.headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), int(Qt::AlignHCenter));
}

void TestMultichannelProxyModel::clearResetsTheTableOnce()
{
    VRXSingleChannelDataModel a, b;
    a.AddData(1.0, 1.0);
    b.AddData(1.0, 2.0);
    VRXMultichannelProxyModel proxy;
    proxy.addSourceModel(&a);
    proxy.addSourceModel(&b);
    proxy.addSourceModel(&a);
    QSignalSpy aboutToReset(&proxy, &QAbstractItemModel::modelAboutToBeReset);
    QSignalSpy reset(&proxy, &QAbstractItemModel::modelReset);
    proxy.Clear();
    QCOMPARE(aboutToReset.count(), 1);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(a.rowCount(), 1);
    QCOMPARE(b.rowCount(), 1);
    QCOMPARE(proxy.rowCount(), 1);
}

void TestMultichannelProxyModel::csvHoldsTwoFieldsPerChannel()
{
    VRXSingleChannelDataModel a, b;
    a.AddData(1.0, 0.5);
    a.AddData(2.0, 0.75);
    a.AddData(3.0, -1.5e-10);
    b.AddData(1.25, 2.0);
    Units::mA milliamps;
    b.SetUnits(&milliamps);
    VRXMultichannelProxyModel proxy;
    proxy.addSourceModel(&a);
    proxy.addSourceModel(&b);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("merged.csv"));
    QVERIFY(proxy.SaveDataToFile(path));
    QCOMPARE(readFile(path),
             QStringLiteral("channel_1_timestamp(s),channel_1,channel_2_timestamp(s),channel_2,\n"
                            "1.000e+00,5.000e-01,1.250e+00,2.000e+03,\n"
                            "2.000e+00,7.500e-01,,,\n"
                            "3.000e+00,-1.500e-10,,,\n"));
    b.SetUnits(&VRXAbstractDeviceDataModel::defaultUnits);

    // Without data only the header line.
    VRXSingleChannelDataModel empty;
    VRXMultichannelProxyModel emptyProxy;
    emptyProxy.addSourceModel(&empty);
    QVERIFY(emptyProxy.SaveDataToFile(path));
    QCOMPARE(readFile(path), QStringLiteral("channel_1_timestamp(s),channel_1,\n"));
}

void TestMultichannelProxyModel::saveFailsWithoutLosingAFile_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("no sources") << "none";
    QTest::newRow("empty name") << "empty";
    QTest::newRow("missing folder") << "folder";
    QTest::newRow("pipe in the way") << "fifo";
    QTest::newRow("write fails") << "write";
    QTest::newRow("device fails") << "device";
}

void TestMultichannelProxyModel::saveFailsWithoutLosingAFile()
{
    QFETCH(QString, how);
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("kept.csv"));
    {
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old contents\n");
    }
    VRXSingleChannelDataModel a;
    for (int i = 1; i <= 2000; ++i)
        a.AddData(i, i);
    VRXMultichannelProxyModel proxy;
    if (how != "none")
        proxy.addSourceModel(&a);

    if (how == "none") {
        QVERIFY(!proxy.SaveDataToFile(dir.filePath(QStringLiteral("new.csv"))));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("new.csv"))));
    } else if (how == "empty") {
        QVERIFY(!proxy.SaveDataToFile(QString()));
    } else if (how == "folder") {
        QVERIFY(!proxy.SaveDataToFile(dir.filePath(QStringLiteral("missing/folder/x.csv"))));
    } else if (how == "fifo") {
        const QString fifo = dir.filePath(QStringLiteral("pipe"));
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(!proxy.SaveDataToFile(fifo));
        QVERIFY(!QFileInfo(fifo).isFile()); // still a pipe
    } else if (how == "write") {
        FailingSaveFile file(existing, 1000);
        QVERIFY(!proxy.SaveDataToFile(file));
    } else {
        FailingDevice device(1000);
        QVERIFY(!proxy.SaveDataToDevice(&device));
        QVERIFY(!proxy.SaveDataToDevice(nullptr));
    }
    QCOMPARE(readFile(existing), QStringLiteral("old contents\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).filter(QStringLiteral("kept")).size(), 1);
}

QTEST_MAIN(TestMultichannelProxyModel)
#include "tst_multichannelproxymodel.moc"
