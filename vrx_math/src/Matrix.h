#ifndef CORVID_MATH_MATRIX_H
#define CORVID_MATH_MATRIX_H

#include <boost/numeric/ublas/matrix.hpp>

namespace corvid {
namespace math {

/**
 * A 3 by 3 matrix of T, stored row by row (m_d[3 * row + column]), with
 * closed-form inversion and conversions to and from uBLAS matrices.
 *
 * The Hankel operations solve the normal equations of a least-squares
 * parabola: the matrix (a b c / b c d / c d e) with a = sum w, b = sum w x,
 * c = sum w x^2, d = sum w x^3, e = sum w x^4.
 *
 * Every inversion reports a singular matrix by returning false and leaves its
 * operands untouched; nothing throws. A matrix counts as invertible only when
 * its determinant and the determinant's reciprocal both lie strictly between
 * the smallest normalised and the largest finite value of T, so zero,
 * subnormal, infinite and NaN determinants are all rejected.
 *
 * Instantiated for float and double.
 */
template <typename T>
class Matrix3
{
public:
    typedef boost::numeric::ublas::matrix<T, boost::numeric::ublas::row_major,
                                          boost::numeric::ublas::unbounded_array<T>>
        boost_matrix;

    Matrix3();
    Matrix3(T m00, T m01, T m02, T m10, T m11, T m12, T m20, T m21, T m22);
    /// The Hankel matrix (a b c / b c d / c d e).
    Matrix3(T a, T b, T c, T d, T e);
    /// Copies the upper left 3 by 3 block of m; elements m lacks are 0.
    explicit Matrix3(boost_matrix const &m);

    operator boost_matrix() const;

    /// Replaces the matrix by its inverse; false, unchanged, when singular.
    bool invert();
    /// As invert() for a Hankel matrix: reads elements 0, 1, 2, 5 and 8 only.
    bool invert_hankel();
    /// out = M in, for 3-element vectors.
    void multiply(T const *in, T *out) const;
    /// out = M in for 3 by 1 matrices; false, out untouched, on any other shape.
    bool multiply(boost_matrix const &in, boost_matrix &out) const;
    /// Inverts the Hankel matrix in place and sets out = M^-1 rhs; false,
    /// with matrix and out untouched, when singular.
    bool invert_hankel_multiply(T const *rhs, T *out);

    /// Closed-form inverse of the 3 by 3 matrix in, written into out (3 by 3);
    /// false, out untouched, when singular or either shape is not 3 by 3.
    static bool invert_analytic(boost_matrix const &in, boost_matrix &out);

    T m_d[9];
};

/**
 * General inversion of square uBLAS matrices by LU decomposition with partial
 * pivoting. A holder of static operations; instantiated for float and double.
 */
template <typename T>
class Matrix
{
public:
    typedef typename Matrix3<T>::boost_matrix boost_matrix;

    Matrix() {}

    /// Inverse of the square matrix in, written into out (resized to n by n
    /// if needed). False, out untouched, when in is not square, a pivot is
    /// exactly zero, or the inverse is not finite. Never throws.
    static bool invert_lu(boost_matrix const &in, boost_matrix &out);
};

extern template class Matrix3<float>;
extern template class Matrix3<double>;
extern template class Matrix<float>;
extern template class Matrix<double>;

} // namespace math
} // namespace corvid

#endif
