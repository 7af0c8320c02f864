#include "calc/arrayarithmetic.h"

namespace {

// result[i] = f(i) for every element; the first error empties the result.
template <typename F>
TCalcError fill(qsizetype count, TComplexArray &result, F f)
{
    result = TComplexArray(count);
    for (qsizetype i = 0; i < count; ++i) {
        if (TCalcError error = f(i, result[i])) {
            result.clear();
            return error;
        }
    }
    return {};
}

template <typename F>
TCalcError fillRows(qsizetype count, TComplexMatrix &result, F f)
{
    result = TComplexMatrix(count);
    for (qsizetype i = 0; i < count; ++i) {
        if (TCalcError error = f(i, result[i])) {
            result.clear();
            return error;
        }
    }
    return {};
}

} // namespace

TCalcError CombineVectors(TCalcBinaryOp op, const TComplexArray &a, const TComplexArray &b,
                          TComplexArray &result)
{
    result.clear();
    if (a.size() != b.size())
        return TCalcError::matrixDimensions();
    return fill(a.size(), result, [&](qsizetype i, TCalcValue &element) {
        return TCalcValue::binary(op, a[i], b[i], element);
    });
}

TCalcError CombineMatrices(TCalcBinaryOp op, const TComplexMatrix &A, const TComplexMatrix &B,
                           TComplexMatrix &result)
{
    result.clear();
    if (A.size() != B.size())
        return TCalcError::matrixDimensions();
    return fillRows(A.size(), result, [&](qsizetype i, TComplexArray &row) {
        return CombineVectors(op, A[i], B[i], row);
    });
}

TCalcError ScaleVector(TCalcBinaryOp op, const TComplexArray &v, const TCalcValue &x,
                       TComplexArray &result)
{
    return fill(v.size(), result, [&](qsizetype i, TCalcValue &element) {
        return TCalcValue::binary(op, v[i], x, element);
    });
}

TCalcError ScaleMatrix(TCalcBinaryOp op, const TComplexMatrix &M, const TCalcValue &x,
                       TComplexMatrix &result)
{
    return fillRows(M.size(), result,
                    [&](qsizetype i, TComplexArray &row) { return ScaleVector(op, M[i], x, row); });
}
