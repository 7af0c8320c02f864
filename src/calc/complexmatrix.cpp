#include "calc/complexmatrix.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "calc/complexvariant.h"

namespace {

constexpr double PivotLimit = 1e-15;
constexpr double SnapLimit = 1e-12;

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

// Every row of exactly `columns` elements.
bool isRectangular(const TComplexMatrix &M, qsizetype columns)
{
    for (const TComplexArray &row : M) {
        if (row.size() != columns)
            return false;
    }
    return true;
}

double imaginaryOf(const TCalcValue &value)
{
    return value.isComplex() ? value.complex().Imaginary() : 0.0;
}

// The elements a complex number stores: a part of at most 1e-12 is exactly 0.
double snapped(double x)
{
    // Without a branch, so that the loops over rows run on vector registers.
    return x * double(std::fabs(x) > SnapLimit);
}

// A matrix as two planes of doubles, row after row: the hot loops run on plain arrays.
struct Planes
{
    qsizetype rows = 0;
    qsizetype columns = 0;
    std::vector<double> re;
    std::vector<double> im;
    // Whether any imaginary part is not 0: real matrices, the usual case, skip that plane.
    bool complex = false;

    Planes(qsizetype height, qsizetype width)
        : rows(height)
        , columns(width)
        , re(size_t(height * width))
        , im(size_t(height * width))
    {}

    Planes(const TComplexMatrix &M, qsizetype width)
        : rows(M.size())
        , columns(width)
        , re(size_t(rows * width))
        , im(size_t(rows * width))
    {
        for (qsizetype i = 0; i < rows; ++i) {
            for (qsizetype k = 0; k < width; ++k) {
                re[i * width + k] = M[i][k].realPart();
                im[i * width + k] = imaginaryOf(M[i][k]);
                complex = complex || im[i * width + k] != 0;
            }
        }
    }

    bool finite() const
    {
        const auto isFinite = [](double x) { return std::isfinite(x); };
        return std::all_of(re.begin(), re.end(), isFinite)
               && std::all_of(im.begin(), im.end(), isFinite);
    }

    // The first `columns` elements of each row of M become complex numbers of these planes.
    void writeTo(TComplexMatrix &M) const
    {
        for (qsizetype i = 0; i < rows; ++i) {
            for (qsizetype k = 0; k < columns; ++k)
                M[i][k] = MakeComplex(re[i * columns + k], im[i * columns + k]);
        }
    }

    void swapRows(qsizetype first, qsizetype second)
    {
        std::swap_ranges(re.begin() + first * columns, re.begin() + (first + 1) * columns,
                         re.begin() + second * columns);
        std::swap_ranges(im.begin() + first * columns, im.begin() + (first + 1) * columns,
                         im.begin() + second * columns);
    }

    // row := row * (fr + i fi)
    void scaleRow(qsizetype row, double fr, double fi)
    {
        double *r = re.data() + row * columns;
        double *m = im.data() + row * columns;
        if (!complex && fi == 0) {
            for (qsizetype l = 0; l < columns; ++l)
                r[l] = snapped(r[l] * fr);
            return;
        }
        complex = true;
        for (qsizetype l = 0; l < columns; ++l) {
            const double x = r[l];
            const double y = m[l];
            r[l] = snapped(x * fr - y * fi);
            m[l] = snapped(x * fi + y * fr);
        }
    }

    // target := target - source * (dr + i di)
    void subtractRow(qsizetype target, qsizetype source, double dr, double di)
    {
        double *tr = re.data() + target * columns;
        double *ti = im.data() + target * columns;
        const double *sr = re.data() + source * columns;
        const double *si = im.data() + source * columns;
        if (!complex && di == 0) {
            for (qsizetype l = 0; l < columns; ++l)
                tr[l] = snapped(tr[l] - sr[l] * dr);
            return;
        }
        complex = true;
        for (qsizetype l = 0; l < columns; ++l) {
            tr[l] = snapped(tr[l] - (sr[l] * dr - si[l] * di));
            ti[l] = snapped(ti[l] - (sr[l] * di + si[l] * dr));
        }
    }
};

// Gauss-Jordan elimination with full pivoting on a (n x n) and, when given, b (n x m).
TCalcError eliminate(Planes &a, Planes *b)
{
    const qsizetype n = a.rows;
    std::vector<int> ipiv(size_t(n), 0);
    std::vector<qsizetype> indxr(size_t(n), 0);
    std::vector<qsizetype> indxc(size_t(n), 0);
    // Added to a pivot size: 0 for a column still free, minus infinity for one already used.
    std::vector<double> columnWeight(size_t(n), 0.0);
    for (qsizetype i = 0; i < n; ++i) {
        // The pivot size is |re| + |im|, so that an imaginary element is as good a pivot as a real
        // one; of equal sizes the one found last wins.
        double big = 0;
        qsizetype irow = 0;
        qsizetype icol = 0;
        for (qsizetype j = 0; j < n; ++j) {
            if (ipiv[j] == 1)
                continue;
            const double *row = a.re.data() + j * n;
            const double *rowIm = a.im.data() + j * n;
            for (qsizetype k = 0; k < n; ++k) {
                const double size = std::fabs(row[k]) + std::fabs(rowIm[k]) + columnWeight[k];
                if (size >= big) {
                    big = size;
                    irow = j;
                    icol = k;
                }
            }
        }
        ++ipiv[icol];
        columnWeight[icol] = -std::numeric_limits<double>::infinity();
        if (irow != icol) {
            a.swapRows(irow, icol);
            if (b)
                b->swapRows(irow, icol);
        }
        indxr[i] = irow;
        indxc[i] = icol;
        const qsizetype pivot = icol * n + icol;
        if (!(std::fabs(a.re[pivot]) + std::fabs(a.im[pivot]) > PivotLimit))
            return TCalcError::singularMatrix();

        const double pr = a.re[pivot];
        const double pi = a.im[pivot];
        const double norm = pr * pr + pi * pi;
        const double ir = pr / norm;
        const double ii = -pi / norm;
        a.re[pivot] = 1;
        a.im[pivot] = 0;
        a.scaleRow(icol, ir, ii);
        if (b)
            b->scaleRow(icol, ir, ii);
        for (qsizetype ll = 0; ll < n; ++ll) {
            const qsizetype at = ll * n + icol;
            const double dr = a.re[at];
            const double di = a.im[at];
            // A row with nothing in the pivot's column does not change.
            if (ll == icol || (dr == 0 && di == 0))
                continue;
            a.re[at] = 0;
            a.im[at] = 0;
            a.subtractRow(ll, icol, dr, di);
            if (b)
                b->subtractRow(ll, icol, dr, di);
        }
    }
    for (qsizetype l = n - 1; l >= 0; --l) {
        if (indxr[l] == indxc[l])
            continue;
        for (qsizetype k = 0; k < n; ++k) {
            std::swap(a.re[k * n + indxr[l]], a.re[k * n + indxc[l]]);
            std::swap(a.im[k * n + indxr[l]], a.im[k * n + indxc[l]]);
        }
    }
    if (!a.finite() || (b && !b->finite()))
        return TCalcError::overflow();
    return {};
}

// target := target + a * b, with the generic operators.
TCalcError addProduct(TCalcValue &target, const TCalcValue &a, const TCalcValue &b)
{
    TCalcValue product;
    if (TCalcError error = TCalcValue::binary(TCalcBinaryOp::Multiply, a, b, product))
        return error;
    return TCalcValue::binary(TCalcBinaryOp::Add, target, product, target);
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
    // (n x m) times (m x p).
    const qsizetype n = A.size();
    const qsizetype m = B.size();
    if (n == 0 || m == 0 || !isRectangular(A, m))
        return {};
    const qsizetype p = B.first().size();
    if (p == 0 || !isRectangular(B, p))
        return {};
    const Planes a(A, m);
    const Planes b(B, p);
    Planes c(n, p);
    // Row by row, so that the inner loop runs along rows of B and C; each element still adds
    // its products in the order of j.
    const bool complex = a.complex || b.complex;
    for (qsizetype i = 0; i < n; ++i) {
        double *cr = c.re.data() + i * p;
        double *ci = c.im.data() + i * p;
        for (qsizetype j = 0; j < m && !complex; ++j) {
            const double ar = a.re[i * m + j];
            const double *br = b.re.data() + j * p;
            for (qsizetype k = 0; k < p; ++k)
                cr[k] += ar * br[k];
        }
        for (qsizetype j = 0; j < m && complex; ++j) {
            const double ar = a.re[i * m + j];
            const double ai = a.im[i * m + j];
            const double *br = b.re.data() + j * p;
            const double *bi = b.im.data() + j * p;
            for (qsizetype k = 0; k < p; ++k) {
                cr[k] += ar * br[k] - ai * bi[k];
                ci[k] += ar * bi[k] + ai * br[k];
            }
        }
    }
    if (a.finite() && b.finite() && !c.finite()) {
        if (error)
            *error = TCalcError::overflow();
        return {};
    }
    TComplexMatrix C = NewMatrix(int(p), int(n), TCalcValue());
    c.writeTo(C);
    return C;
}

TComplexArray MatVecMul(const TComplexMatrix &M, const TComplexArray &v, TCalcError *error)
{
    // An n x m matrix times an m-vector is an n-vector; every row must have m elements.
    const qsizetype n = v.size();
    if (M.isEmpty())
        return {};
    for (const TComplexArray &row : M) {
        if (row.size() != n)
            return {};
    }
    TComplexArray r(M.size(), TCalcValue(0));
    for (qsizetype i = 0; i < M.size(); ++i) {
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
    Planes a(M, M.size());
    const TCalcError error = eliminate(a, nullptr);
    // A singular matrix is left partly transformed, as the elimination left it.
    a.writeTo(M);
    return error;
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
    Planes pa(a, n);
    Planes pb(b, m);
    const TCalcError error = eliminate(pa, &pb);
    pa.writeTo(a);
    pb.writeTo(b);
    return error;
}
