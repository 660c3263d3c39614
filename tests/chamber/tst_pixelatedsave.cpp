#include "ChamberFrames.h"
#include "ModelTestHelpers.h"
#include "TablePlotModel.h"

#include <MeasurementUnit.h>
#include <VRXMultichannelProxyModel.h>

#include <QtTest/QtTest>
#include <cmath>
#include <limits>
#include <memory>

using namespace Corvid_Qt;
using Chamber = corvid::math::VRXPixelatedChamber<float>;

namespace {

const int kChannels = 128;
const int kPixels = 144;
// time, 144 pixels, mean x, mean y, sigma x, sigma y, rotation, elongation, valid
const int kFields = 1 + kPixels + 7;
using Frames = QVector<QVector<double>>;

/// Holds base units and shows them in nC; times unscaled, as a device model keeps them.
class ChamberSource : public corvid_test::TablePlotModel
{
public:
    ChamberSource(int channels, const Frames &frames, const QVector<double> &times)
        : TablePlotModel(1, channels + 1)
    {
        setUnits(&m_nC);
        for (int i = 0; i < frames.size(); ++i)
            append(QVector<double>{times[i]} + frames[i].mid(0, channels) +
                   QVector<double>(qMax(0, channels - kChannels), 0.0));
    }
    double doubleData(int row, int column) const override
    {
        return column == 0 ? index(row, 0).data().toDouble() : TablePlotModel::doubleData(row, column);
    }

private:
    Units::nC m_nC;
};

} // namespace

class TestPixelatedSave : public QObject
{
    Q_OBJECT

    std::unique_ptr<ChamberSource> m_source;
    std::unique_ptr<VRXMultichannelProxyModel> m_proxy;
    Frames m_frames;
    QVector<double> m_times;
    QTemporaryDir m_dir;

    void makeProxy(int channels)
    {
        m_proxy.reset();
        m_source.reset(new ChamberSource(channels, m_frames, m_times));
        m_proxy.reset(new VRXMultichannelProxyModel);
        for (int c = 1; c <= channels; ++c)
            m_proxy->addSourceModel(m_source.get(), c);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_times = {1.25, 2.5, 1700000000.125, 3.75};
        m_frames = {pixelatedFrame<double>(Beam{6.0, 6.0, 1.5, 1.5, 0.0, 2e-9}),
                    pixelatedFrame<double>(Beam{4.2, 7.3, 2.5, 1.2, 0.6, 5e-9}),
                    pixelatedFrame<double>(Beam{8.1, 3.9, 2.0, 1.0, -0.9, 3e-10}), QVector<double>(kChannels, 0.0)};
        // Unread channels carry nonsense that must not reach any result.
        for (int unread : {30, 31, 62, 63, 94, 95, 126, 127})
            m_frames[1][unread] = 1.0;
        m_frames[2][0] = std::numeric_limits<double>::quiet_NaN();
    }

    void oneLinePerRowAsTheNumericLibraryComputesIt_data()
    {
        QTest::addColumn<float>("discriminator");
        QTest::addColumn<bool>("invertx");
        QTest::addColumn<bool>("inverty");
        QTest::newRow("plain") << 0.0f << false << false;
        QTest::newRow("discriminator") << 5e-10f << false << false;
        QTest::newRow("invert x") << 0.0f << true << false;
        QTest::newRow("invert y") << 0.0f << false << true;
        QTest::newRow("both, discriminator") << 1e-10f << true << true;
    }

    void oneLinePerRowAsTheNumericLibraryComputesIt()
    {
        QFETCH(float, discriminator);
        QFETCH(bool, invertx);
        QFETCH(bool, inverty);
        makeProxy(kChannels);
        const QString path = m_dir.filePath("frames.csv");
        QVERIFY(m_proxy->SavePixelatedDataToFile(path, discriminator, invertx, inverty));
        const QList<QByteArray> lines = corvid_test::readFile(path).split('\n');
        QCOMPARE(lines.size(), m_frames.size() + 2); // the header, and nothing after the last line feed
        QVERIFY(lines.last().isEmpty());
        // Every column named once, values with their base unit.
        const QList<QByteArray> header = lines.first().trimmed().split(',');
        QCOMPARE(header.mid(0, 2), (QList<QByteArray>{"time(s)", "pixel_0_0(C)"}));
        QCOMPARE(header.at(13), QByteArray("pixel_1_0(C)"));
        QCOMPARE(header.mid(kPixels),
                 (QList<QByteArray>{"pixel_11_11(C)", "mean_x(mm)", "mean_y(mm)", "sigma_x(mm)", "sigma_y(mm)",
                                    "rotation(deg)", "elongation(ratio)", "valid(0/1)"}));
        QCOMPARE(QSet<QByteArray>(header.begin(), header.end()).size(), kFields);

        for (int i = 0; i < m_frames.size(); ++i) {
            const QList<QByteArray> fields = lines.at(i + 1).trimmed().split(',');
            QCOMPARE(fields.size(), kFields);
            QCOMPARE(fields.first().toDouble(), m_times[i]);

            const std::vector<float> frame(m_frames[i].begin(), m_frames[i].end());
            Chamber chamber(frame.data(), frame.size(), Chamber::OwnershipPolicyShared);
            Chamber::LMMatrix image;
            chamber.calculate_all(corvid::math::LM2_IC, discriminator, image);
            for (int p = 0; p < kPixels; ++p) {
                const int r = p / 12, c = p % 12;
                const float expected = image[(inverty ? 11 - r : r) * 12 + (invertx ? 11 - c : c)];
                const float written = fields.at(1 + p).toFloat();
                QVERIFY2(written == expected || (std::isnan(written) && std::isnan(expected)),
                         qPrintable(QStringLiteral("row %1 pixel %2: %3").arg(i).arg(p).arg(written)));
            }
            const float results[] = {chamber.meanXmm(invertx), chamber.meanYmm(inverty),
                                     chamber.dXmm(), chamber.dYmm(),
                                     chamber.rotationdeg(invertx, inverty), chamber.elongation()};
            for (int k = 0; k < 6; ++k)
                QCOMPARE(fields.at(1 + kPixels + k).toFloat(), results[k]);
            // Two beams; a frame with a NaN pixel and an empty frame are not valid.
            QCOMPARE(fields.last(), QByteArray(i < 2 ? "1" : "0"));
        }
    }

    void sourcesWithoutUnitsAreSavedAsTheyHoldTheirValues()
    {
        makeProxy(kChannels);
        const QString shownInNanocoulomb = m_dir.filePath("nC.csv"), unitless = m_dir.filePath("none.csv");
        QVERIFY(m_proxy->SavePixelatedDataToFile(shownInNanocoulomb, 0.0f, false, false));
        m_source->setUnits(nullptr);
        QVERIFY(m_proxy->SavePixelatedDataToFile(unitless, 0.0f, false, false));
        const QList<QByteArray> scaled = corvid_test::readFile(shownInNanocoulomb).split('\n');
        const QList<QByteArray> held = corvid_test::readFile(unitless).split('\n');
        QVERIFY(held.first().startsWith("time(s),pixel_0_0(),"));
        QCOMPARE(held.mid(1), scaled.mid(1));
        Units::MU monitorUnits; // unscaled, and not a multiple of the Gy that heads its family
        m_source->setUnits(&monitorUnits);
        QVERIFY(m_proxy->SavePixelatedDataToFile(unitless, 0.0f, false, false));
        m_source->setUnits(nullptr);
        QVERIFY(corvid_test::readFile(unitless).startsWith("time(s),pixel_0_0(MU),"));
    }

    void refusesWithoutWritingAnything_data()
    {
        QTest::addColumn<int>("channels");
        QTest::newRow("no channels") << 0;
        QTest::newRow("127 channels") << 127;
        QTest::newRow("129 channels") << 129;
    }

    void refusesWithoutWritingAnything()
    {
        QFETCH(int, channels);
        makeProxy(channels);
        QTemporaryDir dir;
        QVERIFY(!m_proxy->SavePixelatedDataToFile(dir.filePath("new.csv"), 0.0f, false, false));
        QVERIFY(QDir(dir.path()).isEmpty());
    }
};

QTEST_MAIN(TestPixelatedSave)
#include "tst_pixelatedsave.moc"
