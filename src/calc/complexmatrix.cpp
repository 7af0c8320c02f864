#include "calc/complexmatrix.h"

#include <cmath>
#include <utility>

#include "calc/complexvariant.h"

namespace {

constexpr double PivotLimit = 1e-15;

// n rows, each of exactly n elements, n at least 1.
bool isSquare(const TComplexMatrix &M)
{
    const qsizetype n = M.size();
    if (n == 0)
        return false;
    for (const TComplexArray &row : M) {
        if (row.size() != n)
            return false;
    }
    return true;
}

// The pivot size: only the real part counts.
double pivotSize(const TCalcValue &value)
{
    return std::fabs(value.realPart());
}

// target := target + a * b, with the generic operators.
TCalcError addProduct(TCalcValue &target, const TCalcValue &a, const TCalcValue &b)
{
    TCalcValue product;
    if (TCalcError error = TCalcValue::binary(TCalcBinaryOp::Multiply, a, b, product))
        return error;
    return TCalcValue::binary(TCalcBinaryOp::Add, target, product, target);
}

// target := target - a * b.
TCalcError subtractProduct(TCalcValue &target, const TCalcValue &a, const TCalcValue &b)
{
    TCalcValue product;
    if (TCalcError error = TCalcValue::binary(TCalcBinaryOp::Multiply, a, b, product))
        return error;
    return TCalcValue::binary(TCalcBinaryOp::Subtract, target, product, target);
}

void swapRows(TComplexArray &first, TComplexArray &second, qsizetype count)
{
    for (qsizetype l = 0; l < count; ++l)
        SwapValues(first[l], second[l]);
}

} // namespace

TComplexMatrix NewMatrix(int columns, int rows, const TCalcValue &v)
{
    TComplexMatrix result;
    if (rows <= 0)
        return result;
    result.reserve(rows);
    const TComplexArray row(std::max(columns, 0), v);
    for (int i = 0; i < rows; ++i)
        result.append(row);
    return result;
}

void FillMatrix(TComplexMatrix &M, const TCalcValue &v)
{
    for (TComplexArray &row : M) {
        for (TCalcValue &element : row)
            element = v;
    }
}

TComplexMatrix CopyMatrix(const TComplexMatrix &M)
{
    return M; // rows and elements are values: a copy shares nothing that can change
}

TComplexArray CopyVector(const TComplexArray &v)
{
    return v;
}

TDoubleArray RealParts(const TComplexArray &v)
{
    TDoubleArray result;
    result.reserve(v.size());
    for (const TCalcValue &element : v)
        result.append(element.realPart());
    return result;
}

void SwapValues(TCalcValue &a, TCalcValue &b)
{
    std::swap(a, b);
}

TComplexMatrix MatMul(const TComplexMatrix &A, const TComplexMatrix &B, TCalcError *error)
{
    const qsizetype n = A.size();
    if (B.size() != n || !isSquare(A) || !isSquare(B))
        return {};
    TComplexMatrix C = NewMatrix(int(n), int(n), MakeComplex(0, 0));
    for (qsizetype i = 0; i < n; ++i) {
        for (qsizetype c = 0; c < n; ++c) {
            for (qsizetype j = 0; j < n; ++j) {
                if (TCalcError failure = addProduct(C[i][c], A[i][j], B[j][c])) {
                    if (error)
                        *error = failure;
                    return {};
                }
            }
        }
    }
    return C;
}

TComplexArray MatVecMul(const TComplexMatrix &M, const TComplexArray &v, TCalcError *error)
{
    const qsizetype n = v.size();
    if (M.size() != n)
        return {};
    for (const TComplexArray &row : M) {
        if (row.size() < n)
            return {};
    }
    TComplexArray r(n, TCalcValue(0));
    for (qsizetype i = 0; i < n; ++i) {
        for (qsizetype k = 0; k < n; ++k) {
            if (TCalcError failure = addProduct(r[i], M[i][k], v[k])) {
                if (error)
                    *error = failure;
                return {};
            }
        }
    }
    return r;
}

TCalcError MatInverse(TComplexMatrix &M)
{
    if (!isSquare(M))
        return TCalcError::matrixDimensions();
    TComplexMatrix b = NewMatrix(int(M.first().size()), int(M.size()), TCalcValue(0));
    return gaussj(M, b);
}

TCalcError gaussj(TComplexMatrix &a, TComplexMatrix &b)
{
    if (!isSquare(a))
        return TCalcError::matrixDimensions();
    const qsizetype n = a.size();
    const qsizetype m = b.isEmpty() ? 0 : b.first().size();
    if (b.size() != n)
        return TCalcError::matrixDimensions();
    for (const TComplexArray &row : b) {
        if (row.size() < m)
            return TCalcError::matrixDimensions();
    }

    TIntegerArray ipiv(n, 0);
    TIntegerArray indxr(n, 0);
    TIntegerArray indxc(n, 0);
    for (qsizetype i = 0; i < n; ++i) {
        double big = 0;
        qsizetype irow = 0;
        qsizetype icol = 0;
        for (qsizetype j = 0; j < n; ++j) {
            if (ipiv[j] == 1)
                continue;
            for (qsizetype k = 0; k < n; ++k) {
                // ">=": of equal sizes the one found last becomes the pivot.
                if (ipiv[k] == 0 && pivotSize(a[j][k]) >= big) {
                    big = pivotSize(a[j][k]);
                    irow = j;
                    icol = k;
                }
            }
        }
        ++ipiv[icol];
        if (irow != icol) {
            swapRows(a[irow], a[icol], n);
            swapRows(b[irow], b[icol], m);
        }
        indxr[i] = qint32(irow);
        indxc[i] = qint32(icol);
        if (!(pivotSize(a[icol][icol]) > PivotLimit))
            return TCalcError::singularMatrix();

        TCalcValue pivinv;
        if (TCalcError error
            = TCalcValue::binary(TCalcBinaryOp::Divide, TCalcValue(1), a[icol][icol], pivinv))
            return error;
        a[icol][icol] = TCalcValue(1);
        for (qsizetype l = 0; l < n; ++l) {
            if (TCalcError error
                = TCalcValue::binary(TCalcBinaryOp::Multiply, a[icol][l], pivinv, a[icol][l]))
                return error;
        }
        for (qsizetype l = 0; l < m; ++l) {
            if (TCalcError error
                = TCalcValue::binary(TCalcBinaryOp::Multiply, pivinv, b[icol][l], b[icol][l]))
                return error;
        }
        for (qsizetype ll = 0; ll < n; ++ll) {
            if (ll == icol)
                continue;
            const TCalcValue dum = a[ll][icol];
            a[ll][icol] = TCalcValue(0);
            for (qsizetype l = 0; l < n; ++l) {
                if (TCalcError error = subtractProduct(a[ll][l], a[icol][l], dum))
                    return error;
            }
            for (qsizetype l = 0; l < m; ++l) {
                if (TCalcError error = subtractProduct(b[ll][l], b[icol][l], dum))
                    return error;
            }
        }
    }
    for (qsizetype l = n - 1; l >= 0; --l) {
        if (indxr[l] != indxc[l]) {
            for (qsizetype k = 0; k < n; ++k)
                SwapValues(a[k][indxr[l]], a[k][indxc[l]]);
        }
    }
    return {};
}
