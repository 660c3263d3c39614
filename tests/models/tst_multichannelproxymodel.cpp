#include "ModelTestHelpers.h"

#include <MeasurementUnit.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXSingleChannelDataModel.h>

#include <QtCore/QBuffer>
#include <QtCore/QLoggingCategory>
#include <QtCore/QMimeData>
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
        QObject::connect(&proxy, &QAbstractItemModel::rowsRemoved, &context, [this](const QModelIndex &, int f, int) {
            // The table moved up: a full source that was up to date is now one
            // step behind and announces its new cell when it follows; one that
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
    /// last row repeated below its end; a source one step behind the table
    /// shown moved up already), and every column as its announcements left it.
    void check(const char *where)
    {
        int longest = 0;
        for (int c = 1; c < proxy.columnCount(); ++c)
            longest = qMax(longest, sourceOf(c)->rowCount() - 1 - lagOf(c));
        QVERIFY2(proxy.rowCount() == longest + 1, where);
        for (int c = 1; c < proxy.columnCount(); ++c) {
            const int n = sourceOf(c)->rowCount();
            for (int r = 1; r <= longest; ++r)
                QVERIFY2(proxy.doubleData(r, c) == (n < 2 ? 0.0 : sourceOf(c)->doubleData(qMin(r + lagOf(c), n - 1), 1)), where);
        }
        for (int c = 0; c < proxy.columnCount(); ++c)
            QVERIFY2(followers[size_t(c)]->seen() == followers[size_t(c)]->actual(), where);
    }

    int lagOf(int column) const
    {
        for (size_t s = 0; s < models.size(); ++s)
            if (models[s].get() == sourceOf(column))
                return mayLag[s] ? 1 : 0;
        return 0;
    }

    const VRXSingleChannelDataModel *sourceOf(int column) const
    {
        return static_cast<const VRXSingleChannelDataModel *>(proxy.mapToSource(proxy.index(0, column)).model());
    }

    QObject context;
    std::vector<std::unique_ptr<VRXSingleChannelDataModel>> models;
    VRXMultichannelProxyModel proxy;
    QAbstractItemModelTester tester{&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest};
    std::vector<std::unique_ptr<Follower>> followers;
    std::vector<bool> mayLag;
    int feeding = -1;
};

// Two single-channel sources of the given capacities, merged.
struct Pair {
    Pair(int capacityA, int capacityB) : a(capacityA), b(capacityB)
    {
        merged.addSourceModel(&a);
        merged.addSourceModel(&b);
    }
    VRXSingleChannelDataModel a, b;
    VRXMultichannelProxyModel merged;
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

    void shortSourceRepeatsItsLastRowButIsFoundOnce()
    {
        const std::unique_ptr<Units::MeasurementUnit> picoamps(Units::MeasurementUnit::fromType(Units::Units_pA));
        Rig rig(2, 100);
        for (int t = 1; t <= 5; ++t)
            rig.feed(0, t);
        rig.feed(1, 1);
        rig.feed(1, 2);
        rig.check("one source short"); // its last row repeated below its end
        const VRXSingleChannelDataModel &a = *rig.models[0], &b = *rig.models[1];
        QCOMPARE(rig.proxy.index(4, 2).data(), b.index(2, 1).data());
        QCOMPARE(rig.proxy.mapToSource(rig.proxy.index(4, 2)), b.index(2, 1));
        QCOMPARE(rig.proxy.mapFromSource(b.index(2, 1)), rig.proxy.index(2, 2));
        QCOMPARE(rig.proxy.match(rig.proxy.index(1, 2), Qt::DisplayRole, b.index(2, 1).data(), -1, Qt::MatchExactly),
                 QModelIndexList{rig.proxy.index(2, 2)});
        QCOMPARE(rig.proxy.match(rig.proxy.index(1, 0), Qt::DisplayRole, a.index(4, 0).data(), -1, Qt::MatchExactly),
                 QModelIndexList{rig.proxy.index(4, 0)});
        corvid_test::SignalLog log(&rig.proxy);
        rig.feed(1, 3); // changes the cells that repeated its last row
        QCOMPARE(log.text, QString("dataChanged 3,2-5,2"));
        rig.check("one source catching up");
        // A change of its last row reaches the rows that repeat it.
        corvid_test::SignalLog units(&rig.proxy);
        rig.models[1]->SetUnits(picoamps.get());
        QCOMPARE(units.text, QString("dataChanged 1,2-5,2"));

        // A first source that the table takes to be behind by rows it still
        // holds hands its rows of the time column over.
        Pair handing(3, 2);
        handing.a.AddData(1, 1), handing.b.AddData(1, 1), handing.b.setAutoUpdate(false);
        handing.a.AddData(2, 1), handing.b.AddData(2, 1), handing.b.AddData(3, 1), handing.b.UpdateView();
        corvid_test::Follower handed(&handing.merged, 0);
        handing.b.AddData(4, 1);
        QCOMPARE(handed.seen(), handed.actual());
        // One a step behind the table that drains its last reading shows none.
        Pair behind(1, 1);
        behind.a.AddData(1, 1), behind.b.AddData(1, 2), behind.a.AddData(2, 3);
        corvid_test::Follower values(&behind.merged, 2);
        behind.b.setAutoUpdate(false);
        behind.b.AddData(2, 4);
        QCOMPARE(values.seen(), values.actual());
        // A source a step behind the table's roll maps one row up until it rolls too.
        Pair rolled(3, 3);
        for (int t = 1; t <= 4; ++t)
            rolled.a.AddData(t, t), rolled.b.AddData(t, -t);
        rolled.a.AddData(5, 5);
        QCOMPARE(rolled.merged.mapFromSource(rolled.b.index(3, 1)), rolled.merged.index(2, 2));
        QCOMPARE(rolled.merged.mapToSource(rolled.merged.index(2, 2)), rolled.b.index(3, 1));
        std::unique_ptr<QwtSeriesData<QPointF>> lagging(rolled.merged.seriesData(2, 1, 3));
        QCOMPARE(lagging->sample(0).y(), rolled.merged.doubleData(1, 2));
    }

    void dropsAddOnlyWholeNames_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QStringList>("names");
        auto row = [](const char *name, const char *format, const QByteArray &payload, const QStringList &names,
                      Qt::DropAction action = Qt::CopyAction) { QTest::newRow(name) << int(action) << format << payload << names; };
        row("move", "text/plain", "X1", {}, Qt::MoveAction);
        row("copy text", "text/plain", "X1", {"X1"});
        row("link text", "text/plain", " X2\n", {"X2"}, Qt::LinkAction);
        row("copy list", kListType, nameStream({"A", "B"}), {"A", "B"});
        // Data from other programs: only names read whole become channels.
        const QByteArray third = nameStream({"C"});
        row("truncated stream", kListType, nameStream({"A", "B"}) + third.left(third.size() - 1), {"A", "B"});
        row("length prefix cut short", kListType, nameStream({"A"}) + QByteArray("\0\0", 2), {"A"});
        row("gigabyte length prefix", kListType, QByteArray::fromHex("7ffffffe") + QByteArray(16, 'x'), {});
        row("control characters", kListType, nameStream({"A\nB", QString(QChar(1)), "Good"}), {"Good"});
        row("null and empty strings", kListType, QByteArray::fromHex("ffffffff") + nameStream({"", "A"}), {"A"});
        row("overlong name", kListType, nameStream({QString(300, 'x'), "B"}), {"B"});
        row("binary noise", kListType, QByteArray::fromHex("00000006fffe00410042ffff0000"), {});
        row("text not UTF-8", "text/plain", QByteArray("\xff\xfe\x80", 3), {});
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
        QCOMPARE(proxy.dropMimeData(&mime, Qt::DropAction(action), 0, 0, QModelIndex()),
                 !names.isEmpty() || action == Qt::IgnoreAction);
        QCOMPARE(proxy.channelNames(), names);
        QCOMPARE(proxy.columnCount(), names.size() + 1);
        QCOMPARE(proxy.canDropMimeData(&mime, Qt::DropAction(action), -1, -1, QModelIndex()),
                 format != "image/png" && (action == Qt::CopyAction || action == Qt::LinkAction));
        QVERIFY(!proxy.dropMimeData(nullptr, Qt::CopyAction, 0, 0, QModelIndex()));
    }

    // Each source added or removed is one reset; models without plot data
    // are refused; units changes are relayed while a source is listed; a
    // source listed twice counts twice and goes at once when destroyed.
    // Through it all the table stays as its sources and announcements say.
    void sourcesComeAndGoWithOneResetEach()
    {
        Rig rig(3, 6);
        int t = 0;
        auto tick = [&rig, &t]() {
            for (int s = 0, now = ++t; s < 3; ++s)
                rig.feed(s, now);
        };
        for (int i = 0; i < 4; ++i)
            rig.feed(i % 3, ++t); // filling out of step
        for (int i = 0; i < 9; ++i)
            tick();
        rig.models[1]->Clear();
        rig.check("one source cleared"); // nothing to repeat: its cells read 0
        for (int i = 0; i < 4; ++i) {
            tick();
            rig.check("refilling a cleared source");
        }
        QSignalSpy reset(&rig.proxy, &QAbstractItemModel::modelReset);
        QSignalSpy units(&rig.proxy, &VRXMultichannelProxyModel::unitsChanged);
        QStandardItemModel plain(3, 3);
        for (QAbstractItemModel *refused : std::initializer_list<QAbstractItemModel *>{&plain, &rig.proxy, nullptr})
            rig.proxy.addSourceModel(refused);
        rig.proxy.removeSourceModel(rig.models[0].get());
        rig.proxy.removeSourceModel(rig.models[0].get());
        QCOMPARE(reset.count(), 1);
        tick(); // the removed one no longer listened to
        rig.check("one removed");
        Units::mA milliamps;
        rig.models[0]->SetUnits(&milliamps);
        QVERIFY(units.isEmpty());
        rig.proxy.insertSourceModel(1, rig.models[0].get(), 1);
        rig.check("re-added");
        rig.models[2]->setAutoUpdate(false); // rows held back and published in one batch
        for (int i = 0; i < 3; ++i)
            tick();
        rig.models[2]->UpdateView();
        rig.check("batch published");
        rig.models[1]->SetUnits(&milliamps);
        QCOMPARE(units.at(0).at(0).value<const Units::MeasurementUnit *>(), &milliamps);
        rig.check("unit changed");
        rig.models[1]->setChannelName("A");
        rig.proxy.addSourceModel(rig.models[1].get());
        QCOMPARE(rig.proxy.channelNames(), (QStringList{"A", "A"})); // the others have no name
        QCOMPARE(reset.count(), 3);
        rig.proxy.Clear();
        QCOMPARE(reset.count(), 4); // one for all cleared
        for (const auto &model : rig.models)
            QCOMPARE(model->rowCount(), 1);
        rig.check("cleared");
        rig.models[1].reset();
        QCOMPARE(reset.count(), 5);
        QCOMPARE(rig.proxy.columnCount(), 3);
        rig.check("one destroyed");
        rig.models[0]->SetUnits(&VRXAbstractDeviceDataModel::defaultUnits);
    }

    // Curves, units and captions come from the sources; statistics columns give
    // NaN and no curve. The file keeps every value as stored and every timestamp
    // to the nanosecond: four display digits give 2000 samples 1 ms apart past
    // 1000 s one timestamp.
    void plotDataCaptionsAndFileComeFromTheSources()
    {
        VRXMultichannelProxyModel proxy;
        QCOMPARE(proxy.units(), &VRXMultichannelProxyModel::defaultUnits);
        QBuffer buffer;
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QVERIFY(!proxy.SaveDataToDevice(&buffer)); // no sources
        VRXSingleChannelDataModel named, unnamed;
        Units::mA milliamps;
        named.SetUnits(&milliamps);
        named.setChannelName(QStringLiteral("I7"));
        QVector<double> values;
        for (int k = 1; k <= 2000; ++k) {
            values.append(1e-9 * std::sin(k * 0.37) / 3.0);
            named.AddData(1000.0 + k * 1e-3, values.back());
        }
        for (int k = 0; k < 3; ++k)
            unnamed.AddData(1700000000.0 + k * 0.001, 0.5 * k);
        const QString shown = named.index(1, 1).data().toString() + named.index(1, 0).data().toString();
        proxy.addSourceModel(&named);
        proxy.addSourceModel(&unnamed);
        QCOMPARE(proxy.units(), &milliamps);
        std::unique_ptr<QwtSeriesData<QPointF>> series(proxy.seriesData(1, 1, -1)); // the source's own curve
        QCOMPARE(series->sample(2), QPointF(1000.003, values[2] * 1000.0));
        QVERIFY(proxy.SaveDataToDevice(&buffer));
        const QList<QByteArray> lines = buffer.data().split('\n');
        QCOMPARE(lines.size(), 2002); // header, 2000 rows, nothing after the last line feed
        QCOMPARE(lines[0], QByteArray("channel_1_timestamp(s),channel_1,channel_2_timestamp(s),channel_2,"));
        for (int k = 1; k <= 2000; ++k) {
            const QList<QByteArray> fields = lines[k].split(',');
            QCOMPARE(fields.size(), 5);
            QCOMPARE(fields[0], QByteArray::number(1000.0 + k * 1e-3, 'f', 9));
            QCOMPARE(fields[1].toDouble(), values[k - 1]);
            // The shorter source leaves its fields empty.
            QCOMPARE(fields[2], k > 3 ? QByteArray() : QByteArray::number(1700000000.0 + (k - 1) * 0.001, 'f', 9));
            QCOMPARE(fields[3], k > 3 ? QByteArray() : QByteArray::number(0.5 * (k - 1)));
        }
        QCOMPARE(named.index(1, 1).data().toString() + named.index(1, 0).data().toString(), shown);

        proxy.addSourceModel(&unnamed);
        for (int column : {4, int(Fit0Column0), Fit0Column0 + 7, -1})
            QVERIFY(std::isnan(proxy.doubleData(3, column)));
        QVERIFY(std::isnan(proxy.doubleData(-1, 1)));
        for (int column : {0, 4, int(Fit0Column0)})
            QVERIFY(!proxy.seriesData(column, 1, -1));
        // Unnamed channels are numbered by column; the sources keep their own caption.
        QCOMPARE(proxy.headerData(1, Qt::Horizontal).toString() + proxy.index(0, 2).data().toString()
                     + proxy.headerData(3, Qt::Horizontal).toString(),
                 QStringLiteral("I723"));
        QCOMPARE(unnamed.index(0, 1).data().toString(), QStringLiteral("1"));
        QCOMPARE(proxy.index(0, 2).data(Qt::CheckStateRole), unnamed.index(0, 1).data(Qt::CheckStateRole));
        named.SetUnits(&VRXAbstractDeviceDataModel::defaultUnits);
    }
};

QTEST_MAIN(TestMultichannelProxyModel)
#include "tst_multichannelproxymodel.moc"
