#include "MathTestSupport.h"

#include <Matrix.h>

#include <cstring>

using namespace corvid::math;

class TestMatrix : public QObject
{
    Q_OBJECT

private slots:
    void everyInversionUndoesTheMatrix()
    {
        forBothPrecisions([](auto zero) {
            typedef decltype(zero) T;
            typedef typename Matrix3<T>::boost_matrix M;
            const Matrix3<T> hankel(3, 3, 5, 9, 17), general(2, 0, 1, 1, 3, 2, 1, 1, 2); // x^k summed over x = 0, 1, 2
            Matrix3<T> hankelInverse = hankel, generalInverse = general;
            QVERIFY(hankelInverse.invert_hankel());
            QVERIFY(generalInverse.invert());
            M a(4, 4), luInverse(4, 4), analyticInverse(3, 3);
            const T values[16] = {4, 1, 0, 2, 1, 5, 1, 0, 0, 1, 6, 1, 2, 0, 1, 7};
            std::copy(values, values + 16, a.data().begin());
            QVERIFY(Matrix<T>::invert_lu(a, luInverse));
            QVERIFY(Matrix3<T>::invert_analytic(general, analyticInverse));
            QCOMPARE(std::memcmp(Matrix3<T>(analyticInverse).m_d, generalInverse.m_d, sizeof generalInverse.m_d), 0);
            using boost::numeric::ublas::prod;
            const M products[] = {prod(M(hankel), M(hankelInverse)), prod(M(general), M(generalInverse)),
                                  prod(a, luInverse)};
            for (M const &p : products)
                for (std::size_t r = 0; r < p.size1(); ++r)
                    for (std::size_t c = 0; c < p.size2(); ++c)
                        QVERIFY_NEAR(p(r, c), r == c, tol<T>(1e-5, 1e-13));
        });
    }

    void singularityTestRejectsUnusableDeterminants_data()
    {
        QTest::addColumn<double>("det");
        QTest::addColumn<bool>("invertible");
        QTest::newRow("zero") << 0.0 << false;
        QTest::newRow("subnormal 1e-310") << 1e-310 << false;
        QTest::newRow("subnormal, finite reciprocal") << 1e-308 << false;
        QTest::newRow("tiny normal") << 1e-300 << true;
        QTest::newRow("huge") << 1e300 << true;
        QTest::newRow("negative") << -1e-300 << true;
        QTest::newRow("infinite") << HUGE_VAL << false;
        QTest::newRow("NaN") << double(NAN) << false;
    }

    void singularityTestRejectsUnusableDeterminants()
    {
        QFETCH(double, det);
        QFETCH(bool, invertible);
        Matrix3<double> general(det, 0, 0, 0, 1, 0, 0, 0, 1);
        const Matrix3<double> before = general;
        QCOMPARE(general.invert(), invertible);
        QCOMPARE(general.m_d[0], invertible ? 1 / det : before.m_d[0]);
        Matrix3<double>::boost_matrix out(3, 3, 42.0);
        QCOMPARE(Matrix3<double>::invert_analytic(before, out), invertible);
        QCOMPARE(out(0, 0) == 42, !invertible);
        // The three-point sums (det 4) scaled by t have det 4 t^3; the points x = 0, 0, 1 give exactly 0.
        const double t = std::cbrt(det / 4);
        Matrix3<double> hankel = det == 0 ? Matrix3<double>(3, 1, 1, 1, 1)
                                          : Matrix3<double>(3 * t, 3 * t, 5 * t, 9 * t, 17 * t);
        const double rhs[3] = {1, 2, 3};
        double solution[3] = {7, 7, 7};
        QCOMPARE(hankel.invert_hankel_multiply(rhs, solution), invertible);
        QCOMPARE(solution[0] == 7, !invertible);
    }

    // Rejected shapes and singular matrices leave the output unwritten.
    void conversionsKeepRowOrderAndRejectionsWriteNothing()
    {
        typedef Matrix3<double>::boost_matrix M;
        const Matrix3<double> m(1, 2, 3, 4, 5, 6, 7, 8, 10), padded(M(2, 2, 1.0));
        const M b = m;
        QCOMPARE(b(1, 2), 6.0);
        QCOMPARE(std::memcmp(Matrix3<double>(b).m_d, m.m_d, sizeof m.m_d), 0);
        QCOMPARE(padded.m_d[4] + padded.m_d[8], 1.0); // 0 where the source is smaller
        const double hankel[9] = {1, 2, 3, 2, 3, 4, 3, 4, 5};
        QCOMPARE(std::memcmp(Matrix3<double>(1, 2, 3, 4, 5).m_d, hankel, sizeof hankel), 0);
        M column(3, 1, 1.0), out(3, 1), wide(3, 2, 5.0), square(3, 3, 5.0), small(2, 2, 5.0);
        QVERIFY(m.multiply(column, out));
        QCOMPARE(out(2, 0), 25.0);
        QVERIFY(!m.multiply(wide, out) && !m.multiply(column, wide));
        QVERIFY(!Matrix3<double>::invert_analytic(small, square) && !Matrix3<double>::invert_analytic(m, small));
        QCOMPARE(out(2, 0) + wide(2, 1) + square(1, 1) + small(1, 1), 40.0);

        M singular(4, 4), dependent(3, 3), inverse(4, 4, 3.0);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                singular(r, c) = r == 2 ? 0 : 1 + r * 4 + c * c;
        const double rows[9] = {1, 2, 3, 2, 4, 6, 0, 1, 1}; // row 1 is twice row 0
        std::copy(rows, rows + 9, dependent.data().begin());
        QVERIFY(!Matrix<double>::invert_lu(singular, inverse));
        QVERIFY(!Matrix<double>::invert_lu(dependent, inverse));
        QVERIFY(!Matrix<double>::invert_lu(M(3, 4, 1.0), inverse));
        QCOMPARE(inverse.size1(), std::size_t(4));
        QCOMPARE(inverse(1, 1), 3.0);
    }
};

QTEST_APPLESS_MAIN(TestMatrix)
#include "tst_matrix.moc"
