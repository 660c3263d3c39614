#include "MathTestSupport.h"

#include <Matrix.h>

#include <cstring>
#include <limits>

using namespace corvid::math;

class TestMatrix : public QObject
{
    Q_OBJECT

private slots:
    void hankelOfThreePointsInverts();
    void hankelOfFewerThanThreePointsIsSingular();
    void hankelSolveRecoversParabola();
    void identityInvertsToItselfByEveryMethod();
    void generalInverseUndoesMatrix();
    void singularityTestRejectsUnusableDeterminants_data();
    void singularityTestRejectsUnusableDeterminants();
    void floatRejectsItsOwnSubnormalDeterminant();
    void uBlasConversionsRoundTrip();
    void multiplyChecksShapes();
    void analyticInverseChecksShapes();
    void luInvertsGeneralSquareMatrix();
    void luRejectsSingularAndMalformedInput();
};

template <typename T>
static bool isIdentity(Matrix3<T> const &a, Matrix3<T> const &b, double tolerance)
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            double sum = 0;
            for (int k = 0; k < 3; ++k)
                sum += double(a.m_d[3 * r + k]) * double(b.m_d[3 * k + c]);
            if (std::fabs(sum - (r == c ? 1 : 0)) > tolerance)
                return false;
        }
    return true;
}

template <typename T>
static void checkThreePointHankel()
{
    const Matrix3<T> m(3, 3, 5, 9, 17);
    Matrix3<T> inv = m;
    QVERIFY(inv.invert_hankel());
    QVERIFY(isIdentity(m, inv, tol<T>(1e-5, 1e-13)));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            QCOMPARE(inv.m_d[3 * r + c], inv.m_d[3 * c + r]);
    Matrix3<T> general = m;
    QVERIFY(general.invert());
    for (int i = 0; i < 9; ++i)
        QVERIFY_NEAR(general.m_d[i], inv.m_d[i], tol<T>(1e-5, 1e-13));
}

void TestMatrix::hankelOfThreePointsInverts()
{
    FOR_BOTH_PRECISIONS(checkThreePointHankel);
}

template <typename T>
static void checkTwoPointHankel()
{
    // x = 0, 1 and x = 0, 0, 2, 2 give a rank-2 system.
    const Matrix3<T> samples[] = {Matrix3<T>(2, 1, 1, 1, 1), Matrix3<T>(4, 4, 8, 16, 32)};
    for (Matrix3<T> m : samples) {
        const Matrix3<T> before = m;
        const T rhs[3] = {1, 2, 3};
        T out[3] = {7, 7, 7};
        QVERIFY(!m.invert_hankel_multiply(rhs, out));
        QCOMPARE(out[0], T(7));
        QVERIFY(!m.invert_hankel());
        QVERIFY(!m.invert());
        for (int i = 0; i < 9; ++i)
            QCOMPARE(m.m_d[i], before.m_d[i]);
    }
}

void TestMatrix::hankelOfFewerThanThreePointsIsSingular()
{
    FOR_BOTH_PRECISIONS(checkTwoPointHankel);
}

void TestMatrix::hankelSolveRecoversParabola()
{
    // y = 2 - 3 x + 0.5 x^2 at x = 0 .. 4, unit weights.
    double s[5] = {0, 0, 0, 0, 0}, t[3] = {0, 0, 0};
    for (int x = 0; x < 5; ++x) {
        const double y = 2 - 3 * x + 0.5 * x * x;
        for (int k = 0; k < 5; ++k)
            s[k] += std::pow(x, k);
        for (int k = 0; k < 3; ++k)
            t[k] += std::pow(x, k) * y;
    }
    Matrix3<double> m(s[0], s[1], s[2], s[3], s[4]);
    double c[3];
    QVERIFY(m.invert_hankel_multiply(t, c));
    QVERIFY_NEAR(c[0], 2, 1e-12);
    QVERIFY_NEAR(c[1], -3, 1e-12);
    QVERIFY_NEAR(c[2], 0.5, 1e-12);
}

template <typename T>
static void checkIdentity()
{
    Matrix3<T> m(1, 0, 0, 0, 1, 0, 0, 0, 1);
    QVERIFY(m.invert());
    for (int i = 0; i < 9; ++i)
        QCOMPARE(m.m_d[i], T(i % 4 == 0 ? 1 : 0));

    const typename Matrix3<T>::boost_matrix id = m;
    typename Matrix3<T>::boost_matrix out(3, 3);
    QVERIFY(Matrix3<T>::invert_analytic(id, out));
    typename Matrix3<T>::boost_matrix lu(3, 3);
    QVERIFY(Matrix<T>::invert_lu(id, lu));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(out(r, c), T(r == c ? 1 : 0));
            QCOMPARE(lu(r, c), T(r == c ? 1 : 0));
        }
}

void TestMatrix::identityInvertsToItselfByEveryMethod()
{
    FOR_BOTH_PRECISIONS(checkIdentity);
}

void TestMatrix::generalInverseUndoesMatrix()
{
    const Matrix3<double> m(2, 0, 1, 1, 3, 2, 1, 1, 2);
    Matrix3<double> inv = m;
    QVERIFY(inv.invert());
    QVERIFY(isIdentity(m, inv, 1e-14));
    // det 1: the inverse is the adjugate, whose first row is 1, 1, -3.
    Matrix3<double> unit(3, 0, 1, 1, 3, 2, 1, 1, 1);
    QVERIFY(unit.invert());
    QCOMPARE(unit.m_d[0], 1.0);
    QCOMPARE(unit.m_d[1], 1.0);
    QCOMPARE(unit.m_d[2], -3.0);
}

void TestMatrix::singularityTestRejectsUnusableDeterminants_data()
{
    QTest::addColumn<double>("det");
    QTest::addColumn<bool>("invertible");
    QTest::newRow("zero") << 0.0 << false;
    QTest::newRow("subnormal 1e-310") << 1e-310 << false;
    QTest::newRow("tiny normal") << 1e-300 << true;
    QTest::newRow("huge") << 1e300 << true;
    QTest::newRow("negative") << -1e-300 << true;
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << false;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << false;
}

void TestMatrix::singularityTestRejectsUnusableDeterminants()
{
    QFETCH(double, det);
    QFETCH(bool, invertible);
    Matrix3<double> general(det, 0, 0, 0, 1, 0, 0, 0, 1);
    const Matrix3<double> before = general;
    QCOMPARE(general.invert(), invertible);
    if (invertible)
        QCOMPARE(general.m_d[0], 1 / det);
    else
        QCOMPARE(std::memcmp(general.m_d, before.m_d, sizeof general.m_d), 0);

    Matrix3<double>::boost_matrix in = before, out(3, 3);
    out(0, 0) = 42;
    QCOMPARE(Matrix3<double>::invert_analytic(in, out), invertible);
    if (!invertible)
        QCOMPARE(out(0, 0), 42.0);

    // The three-point sums (det 4) scaled by t have det 4 t^3.
    const double t = std::cbrt(det / 4);
    Matrix3<double> hankel(3 * t, 3 * t, 5 * t, 9 * t, 17 * t);
    QCOMPARE(hankel.invert_hankel(), invertible);
}

void TestMatrix::floatRejectsItsOwnSubnormalDeterminant()
{
    Matrix3<float> m(1e-39f, 0, 0, 0, 1, 0, 0, 0, 1);
    QVERIFY(!m.invert());
    Matrix3<float> huge(1e20f, 0, 0, 0, 1e20f, 0, 0, 0, 1);
    QVERIFY(!huge.invert());
    Matrix3<float> fine(1e-30f, 0, 0, 0, 1, 0, 0, 0, 1);
    QVERIFY(fine.invert());
}

void TestMatrix::uBlasConversionsRoundTrip()
{
    const Matrix3<float> m(1, 2, 3, 4, 5, 6, 7, 8, 9);
    const Matrix3<float>::boost_matrix b = m;
    QCOMPARE(b.size1(), std::size_t(3));
    QCOMPARE(b.size2(), std::size_t(3));
    QCOMPARE(b(1, 2), 6.0f);
    const Matrix3<float> back(b);
    QCOMPARE(std::memcmp(back.m_d, m.m_d, sizeof m.m_d), 0);

    Matrix3<float>::boost_matrix big(4, 5, 1.0f);
    big(2, 2) = 9;
    QCOMPARE(Matrix3<float>(big).m_d[8], 9.0f);
    Matrix3<float>::boost_matrix small(2, 2, 1.0f);
    const Matrix3<float> padded(small);
    QCOMPARE(padded.m_d[4], 1.0f);
    QCOMPARE(padded.m_d[8], 0.0f);

    const Matrix3<double> hankel(1, 2, 3, 4, 5);
    const double expected[9] = {1, 2, 3, 2, 3, 4, 3, 4, 5};
    QCOMPARE(std::memcmp(hankel.m_d, expected, sizeof expected), 0);
}

void TestMatrix::multiplyChecksShapes()
{
    const Matrix3<double> m(1, 2, 3, 4, 5, 6, 7, 8, 10);
    Matrix3<double>::boost_matrix in(3, 1), out(3, 1, -1.0);
    in(0, 0) = 1;
    in(1, 0) = 0;
    in(2, 0) = -1;
    QVERIFY(m.multiply(in, out));
    QCOMPARE(out(0, 0), -2.0);
    QCOMPARE(out(2, 0), -3.0);

    Matrix3<double>::boost_matrix wide(3, 2, 1.0), untouched(3, 1, -1.0), tall(4, 1, 0.0);
    QVERIFY(!m.multiply(wide, untouched));
    QVERIFY(!m.multiply(in, wide));
    QVERIFY(!m.multiply(tall, untouched));
    QCOMPARE(untouched(1, 0), -1.0);

    const double v[3] = {1, 1, 1};
    double r[3];
    m.multiply(v, r);
    QCOMPARE(r[2], 25.0);
}

void TestMatrix::analyticInverseChecksShapes()
{
    Matrix3<double>::boost_matrix in(2, 2, 1.0), out(3, 3, 5.0);
    QVERIFY(!Matrix3<double>::invert_analytic(in, out));
    Matrix3<double>::boost_matrix good = Matrix3<double>(2, 0, 0, 0, 4, 0, 0, 0, 8), small(2, 2);
    QVERIFY(!Matrix3<double>::invert_analytic(good, small));
    QVERIFY(Matrix3<double>::invert_analytic(good, out));
    QCOMPARE(out(2, 2), 0.125);
    QCOMPARE(out(0, 1), 0.0);
}

template <typename T>
static void checkLu()
{
    typedef typename Matrix<T>::boost_matrix M;
    M a(4, 4);
    const T values[16] = {4, 1, 0, 2, 1, 5, 1, 0, 0, 1, 6, 1, 2, 0, 1, 7};
    for (int i = 0; i < 16; ++i)
        a(i / 4, i % 4) = values[i];
    M inv(4, 4);
    QVERIFY(Matrix<T>::invert_lu(a, inv));
    const M product = boost::numeric::ublas::prod(a, inv);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            QVERIFY_NEAR(product(r, c), r == c ? 1 : 0, tol<T>(1e-5, 1e-14));
    QCOMPARE(a(3, 3), T(7));
}

void TestMatrix::luInvertsGeneralSquareMatrix()
{
    FOR_BOTH_PRECISIONS(checkLu);
}

void TestMatrix::luRejectsSingularAndMalformedInput()
{
    typedef Matrix<double>::boost_matrix M;
    M zeroRow(4, 4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            zeroRow(r, c) = r == 2 ? 0 : 1 + r * 4 + c * c;
    M out(4, 4, 3.0);
    QVERIFY(!Matrix<double>::invert_lu(zeroRow, out));
    QCOMPARE(out(1, 1), 3.0);

    M dependent(3, 3);
    const double rows[9] = {1, 2, 3, 2, 4, 6, 0, 1, 1};
    for (int i = 0; i < 9; ++i)
        dependent(i / 3, i % 3) = rows[i];
    M out3(3, 3, 3.0);
    QVERIFY(!Matrix<double>::invert_lu(dependent, out3));

    M nonSquare(3, 4, 1.0);
    QVERIFY(!Matrix<double>::invert_lu(nonSquare, out));
    M withNaN = M(2, 2, 1.0);
    withNaN(0, 0) = std::nan("");
    withNaN(1, 0) = 0;
    QVERIFY(!Matrix<double>::invert_lu(withNaN, out));
    M withInf(2, 2, 0.0);
    withInf(0, 0) = std::numeric_limits<double>::infinity();
    withInf(1, 1) = 1;
    QVERIFY(Matrix<double>::invert_lu(withInf, out)); // the inverse, diag(0, 1), is finite
    QCOMPARE(out.size1(), std::size_t(2));
    QCOMPARE(out(0, 0), 0.0);
    QCOMPARE(out(1, 1), 1.0);
}

QTEST_APPLESS_MAIN(TestMatrix)
#include "tst_matrix.moc"
