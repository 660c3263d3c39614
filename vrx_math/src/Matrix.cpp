// uBLAS re-multiplies its LU factors in debug builds and throws when the
// product drifts from the input, which ill-conditioned or non-finite input
// does; invert_lu reports such input itself.
#ifndef BOOST_UBLAS_TYPE_CHECK
#define BOOST_UBLAS_TYPE_CHECK 0
#endif

#include "Matrix.h"

#include <boost/numeric/ublas/lu.hpp>

#include <cmath>
#include <exception>
#include <limits>

namespace corvid {
namespace math {

namespace {

template <typename T>
bool normalFinite(T v)
{
    const T a = std::fabs(v);
    return a > std::numeric_limits<T>::min() && a < std::numeric_limits<T>::max();
}

template <typename T>
bool invertibleDeterminant(T det)
{
    return normalFinite(det) && normalFinite(T(1) / det);
}

// Writes the inverse of the row-major 3 by 3 matrix m into inv (may alias m).
template <typename T>
bool invertGeneral(T const *m, T *inv)
{
    const T k00 = m[4] * m[8] - m[5] * m[7];
    const T k01 = m[5] * m[6] - m[3] * m[8];
    const T k02 = m[3] * m[7] - m[4] * m[6];
    const T det = m[0] * k00 + m[1] * k01 + m[2] * k02;
    if (!invertibleDeterminant(det))
        return false;

    const T k10 = m[2] * m[7] - m[1] * m[8];
    const T k11 = m[0] * m[8] - m[2] * m[6];
    const T k12 = m[1] * m[6] - m[0] * m[7];
    const T k20 = m[1] * m[5] - m[2] * m[4];
    const T k21 = m[2] * m[3] - m[0] * m[5];
    const T k22 = m[0] * m[4] - m[1] * m[3];
    const T q = T(1) / det;
    inv[0] = k00 * q;
    inv[1] = k10 * q;
    inv[2] = k20 * q;
    inv[3] = k01 * q;
    inv[4] = k11 * q;
    inv[5] = k21 * q;
    inv[6] = k02 * q;
    inv[7] = k12 * q;
    inv[8] = k22 * q;
    return true;
}

} // namespace

template <typename T>
Matrix3<T>::Matrix3()
    : m_d{0, 0, 0, 0, 0, 0, 0, 0, 0}
{
}

template <typename T>
Matrix3<T>::Matrix3(T m00, T m01, T m02, T m10, T m11, T m12, T m20, T m21, T m22)
    : m_d{m00, m01, m02, m10, m11, m12, m20, m21, m22}
{
}

template <typename T>
Matrix3<T>::Matrix3(T a, T b, T c, T d, T e)
    : m_d{a, b, c, b, c, d, c, d, e}
{
}

template <typename T>
Matrix3<T>::Matrix3(boost_matrix const &m)
    : Matrix3()
{
    for (std::size_t r = 0; r < 3 && r < m.size1(); ++r)
        for (std::size_t c = 0; c < 3 && c < m.size2(); ++c)
            m_d[3 * r + c] = m(r, c);
}

template <typename T>
Matrix3<T>::operator boost_matrix() const
{
    boost_matrix m(3, 3);
    for (std::size_t r = 0; r < 3; ++r)
        for (std::size_t c = 0; c < 3; ++c)
            m(r, c) = m_d[3 * r + c];
    return m;
}

template <typename T>
bool Matrix3<T>::invert()
{
    return invertGeneral(m_d, m_d);
}

template <typename T>
bool Matrix3<T>::invert_hankel()
{
    const T a = m_d[0], b = m_d[1], c = m_d[2], d = m_d[5], e = m_d[8];
    const T c00 = c * e - d * d;
    const T c01 = c * d - b * e;
    const T c02 = b * d - c * c;
    const T det = a * c00 + b * c01 + c * c02;
    if (!invertibleDeterminant(det))
        return false;

    const T q = T(1) / det;
    const T i00 = c00 * q, i01 = c01 * q, i02 = c02 * q;
    const T i11 = (a * e - c * c) * q;
    const T i12 = (b * c - a * d) * q;
    const T i22 = (a * c - b * b) * q;
    m_d[0] = i00; m_d[1] = i01; m_d[2] = i02;
    m_d[3] = i01; m_d[4] = i11; m_d[5] = i12;
    m_d[6] = i02; m_d[7] = i12; m_d[8] = i22;
    return true;
}

template <typename T>
void Matrix3<T>::multiply(T const *in, T *out) const
{
    const T x = in[0], y = in[1], z = in[2];
    out[0] = m_d[0] * x + m_d[1] * y + m_d[2] * z;
    out[1] = m_d[3] * x + m_d[4] * y + m_d[5] * z;
    out[2] = m_d[6] * x + m_d[7] * y + m_d[8] * z;
}

template <typename T>
bool Matrix3<T>::multiply(boost_matrix const &in, boost_matrix &out) const
{
    if (in.size1() != 3 || in.size2() != 1 || out.size1() != 3 || out.size2() != 1)
        return false;
    const T v[3] = {in(0, 0), in(1, 0), in(2, 0)};
    T r[3];
    multiply(v, r);
    for (std::size_t i = 0; i < 3; ++i)
        out(i, 0) = r[i];
    return true;
}

template <typename T>
bool Matrix3<T>::invert_hankel_multiply(T const *rhs, T *out)
{
    if (!invert_hankel())
        return false;
    multiply(rhs, out);
    return true;
}

template <typename T>
bool Matrix3<T>::invert_analytic(boost_matrix const &in, boost_matrix &out)
{
    if (in.size1() != 3 || in.size2() != 3 || out.size1() != 3 || out.size2() != 3)
        return false;
    T m[9];
    for (std::size_t r = 0; r < 3; ++r)
        for (std::size_t c = 0; c < 3; ++c)
            m[3 * r + c] = in(r, c);
    T inv[9];
    if (!invertGeneral(m, inv))
        return false;
    for (std::size_t r = 0; r < 3; ++r)
        for (std::size_t c = 0; c < 3; ++c)
            out(r, c) = inv[3 * r + c];
    return true;
}

template <typename T>
bool Matrix<T>::invert_lu(boost_matrix const &in, boost_matrix &out)
{
    namespace ublas = boost::numeric::ublas;
    if (in.size1() != in.size2())
        return false;
    try {
        const std::size_t n = in.size1();
        boost_matrix a(in);
        ublas::permutation_matrix<std::size_t> pm(n);
        if (ublas::lu_factorize(a, pm) != 0)
            return false;
        boost_matrix inv = ublas::identity_matrix<T>(n);
        ublas::lu_substitute(a, pm, inv);
        for (auto it = inv.data().begin(); it != inv.data().end(); ++it)
            if (!std::isfinite(*it))
                return false;
        out.swap(inv);
        return true;
    } catch (std::exception const &) {
        // Only allocation can fail here; the caller sees a failed inversion.
        return false;
    }
}

template class Matrix3<float>;
template class Matrix3<double>;
template class Matrix<float>;
template class Matrix<double>;

} // namespace math
} // namespace corvid
