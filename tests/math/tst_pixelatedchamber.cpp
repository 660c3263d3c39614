#include "MathTestSupport.h"

#include <VRXPixelatedChamber.h>


using namespace corvid::math;

template <typename T>
using Chamber = VRXPixelatedChamber<T>;

// One frame through a fresh chamber that reads the caller's values.
template <typename T>
struct Analysed
{
    explicit Analysed(std::vector<T> const &frame, T discriminator = 0, ChamberType type = LM2_IC)
        : c(frame.data(), frame.size(), Chamber<T>::OwnershipPolicyShared)
    {
        c.calculate_all(type, discriminator, image);
    }
    bool imageIs(T value) const
    {
        return std::all_of(std::begin(image), std::end(image), [value](T p) { return p == value; });
    }
    Chamber<T> c;
    typename Chamber<T>::LMMatrix image;
};

static int channelAt(int row, int column)
{
    for (const ICtoLMMapping *m = _mapping_LM2_LM3; m->q905 >= 0; ++m)
        if (m->y == row && m->x == column)
            return m->q905;
    return -1;
}

class TestPixelatedChamber : public QObject
{
    Q_OBJECT

private slots:
    void eachChannelFeedsOnePixelOfDisc()
    {
        // A disc of rows of 6, 8, 10 and 12 pixels, no channel twice, none of the unmapped ones.
        const int perRow[12] = {6, 8, 10, 12, 12, 12, 12, 12, 12, 10, 8, 6};
        std::vector<int> seen(128, 0);
        for (int r = 0; r < 12; ++r) {
            int inRow = 0;
            for (int c = 0; c < 12; ++c) {
                const int q = channelAt(r, c);
                inRow += q >= 0;
                QVERIFY(q < 0 || (q < 126 && q % 32 < 30 && ++seen[q] == 1 && channelAt(r, 11 - c) >= 0));
            }
            QCOMPARE(inRow, perRow[r]);
        }
    }

    void rejectedFramesOnlyClearImage()
    {
        // Exactly 125 values on the heap: the sanitizer build catches any read of channel 125.
        const std::vector<float> shortFrame(125, 1.0f), ones(128, 1.0f);
        Chamber<float> shortShared(shortFrame.data(), 125, Chamber<float>::OwnershipPolicyShared);
        Chamber<float> shortCopy(shortFrame.data(), 125, Chamber<float>::OwnershipPolicyCopy);
        Chamber<float> none(nullptr, 128, Chamber<float>::OwnershipPolicyCopy);
        Chamber<float> strip(ones.data(), ones.size(), Chamber<float>::OwnershipPolicyShared);
        const std::pair<Chamber<float> *, ChamberType> rejected[] = {
            {&shortShared, LM2_IC}, {&shortCopy, LM3_IC}, {&none, LM2_IC}, {&strip, STR_IC}};
        for (auto const &r : rejected) {
            Chamber<float>::LMMatrix image;
            std::fill(std::begin(image), std::end(image), 5.0f);
            r.first->calculate_all(r.second, 0, image);
            QVERIFY(!r.first->isValid() && r.first->integral() == 0);
            QVERIFY(std::all_of(std::begin(image), std::end(image), [](float p) { return p == 0; }));
        }
        Analysed<float> enough(std::vector<float>(126, 1.0f));
        QVERIFY(enough.c.isValid() && enough.c.integral() == 120);
    }

    void discriminatorDecidesWhatCounts()
    {
        forBothPrecisions([](auto zero) {
            typedef decltype(zero) T;
            std::vector<T> frame(128, T(0.5));
            frame[3] = -2;
            Analysed<T> below(frame, T(0.75));
            QVERIFY(below.imageIs(0) && !below.c.isValid());
            QCOMPARE(below.c.integral() + below.c.max() + below.c.major(), T(0));
            // Without a centroid the beam sits at the grid centre.
            QVERIFY(below.c.meanX() == 6 && below.c.meanY() == 6 && below.c.meanXmm(false) == 0);
            // Values equal to the discriminator count; negative ones alone give no centroid.
            Analysed<T> at(frame, T(0.5));
            QVERIFY(at.c.isValid());
            QCOMPARE(at.image[5 * 12 + 9], T(0)); // channel 3
            QCOMPARE(at.c.integral(), T(59.5));
            Analysed<T> dark(std::vector<T>(128, T(-1)), T(-5));
            QVERIFY(!dark.c.isValid());
            QCOMPARE(dark.c.integral(), T(-120));
        });
    }

    void singleLitPixel()
    {
        forBothPrecisions([](auto zero) {
            typedef decltype(zero) T;
            std::vector<T> frame(128, T(0));
            frame[0] = 1;
            Chamber<T> c(frame.data(), frame.size(), Chamber<T>::OwnershipPolicyCopy);
            frame[0] = 0; // the copy keeps the lit pixel
            frame[5] = 2;
            typename Chamber<T>::LMMatrix image;
            c.calculate_all(LM2_IC, 0, image);
            QVERIFY(c.isValid());
            QVERIFY(c.max() == 1 && c.integral() == 1);
            QVERIFY(c.meanX() == T(6.5) && c.meanY() == T(5.5));
            QVERIFY(c.dX() == 0 && c.dY() == 0 && c.rotation() == 0);
            QVERIFY(c.major() == T(0.25) && c.minor() == T(0.25) && c.elongation() == 1);
            // 3.8 is taken in single precision by both instantiations.
            QCOMPARE(c.meanXmm(false), T(0.5) * T(3.8f));
            QCOMPARE(c.meanYmm(false), T(0.5) * T(3.8f));
            QCOMPARE(c.meanXmm(true), T(-0.5) * T(3.8f));
            QCOMPARE(c.meanYmm(true), T(-0.5) * T(3.8f));
            QCOMPARE(c.majormm(), T(0.25) * T(3.8f));
        });
    }

    void rotationFollowsMajorAxis_data()
    {
        QTest::addColumn<QVector<int>>("lit"); // row, column pairs of unit pixels
        QTest::addColumn<double>("rotation");
        QTest::addColumn<bool>("xLonger");
        // Along X or Y there is no covariance, and the rotation stays 0.
        QTest::newRow("along X") << QVector<int>{5, 4, 5, 5, 5, 6, 5, 7} << 0.0 << true;
        QTest::newRow("along Y") << QVector<int>{3, 5, 4, 5, 5, 5, 6, 5} << 0.0 << false;
        // Two rows of three, rows growing with columns: u20 = 17.5, u02 = 1.5, u11 = 4.5.
        QTest::newRow("tilted, X longer") << QVector<int>{5, 3, 5, 4, 5, 5, 6, 6, 6, 7, 6, 8} << 0.5 * std::atan(9.0 / 16)
                                          << true;
        // The same beam turned upright, u11 > 0: pi/2 is subtracted.
        QTest::newRow("tilted, Y longer") << QVector<int>{3, 5, 4, 5, 5, 5, 6, 6, 7, 6, 8, 6}
                                          << 0.5 * std::atan(-9.0 / 16) - M_PI / 2 << false;
        // Upright and leaning the other way, u11 < 0: pi/2 is added.
        QTest::newRow("tilted back, Y longer") << QVector<int>{3, 6, 4, 6, 5, 6, 6, 5, 7, 5, 8, 5}
                                               << 0.5 * std::atan(9.0 / 16) + M_PI / 2 << false;
    }

    void rotationFollowsMajorAxis()
    {
        QFETCH(QVector<int>, lit);
        QFETCH(double, rotation);
        forBothPrecisions([&](auto zero) {
            typedef decltype(zero) T;
            std::vector<T> frame(128, T(0));
            for (int i = 0; i < lit.size(); i += 2)
                frame[channelAt(lit[i], lit[i + 1])] = 1;
            Analysed<T> a(frame);
            QVERIFY(a.c.isValid());
            QVERIFY_NEAR(a.c.rotation(), rotation, tol<T>(1e-6, 1e-12));
            QTEST(a.c.dX() > a.c.dY(), "xLonger");
            // The degree factor is applied in double; each inverted axis flips the sign.
            const T degrees = T(double(a.c.rotation()) * -57.2958);
            QCOMPARE(a.c.rotationdeg(false, false), degrees);
            QCOMPARE(a.c.rotationdeg(true, true), degrees);
            QCOMPARE(a.c.rotationdeg(true, false), T(-double(degrees)));
            QCOMPARE(a.c.rotationdeg(false, true), T(-double(degrees)));
        });
    }

    void calculationsAccumulateUntilCleared()
    {
        std::vector<double> frame(128, 0.0);
        frame[0] = 1;
        frame[7] = 3;
        Analysed<double> a(frame);
        const double meanX = a.c.meanX();
        a.c.calculate_all(LM2_IC, 0, a.image);
        QCOMPARE(a.c.integral(), 8.0);
        QVERIFY(a.c.meanX() != meanX);
        a.c.clear();
        QVERIFY(!a.c.isValid() && a.c.integral() == 0);
        a.c.calculate_all(LM2_IC, 0, a.image);
        QCOMPARE(a.c.integral(), 4.0);
        QCOMPARE(a.c.meanX(), meanX);
    }
};

QTEST_APPLESS_MAIN(TestPixelatedChamber)
#include "tst_pixelatedchamber.moc"
