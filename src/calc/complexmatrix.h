#pragma once

#include <QList>

#include "calc/calcerror.h"
#include "calc/calcvalue.h"

// A vector: generic values, complex numbers in practice (other numbers act as (x, 0)).
using TComplexArray = QList<TCalcValue>;
// A matrix: a sequence of rows; rows built by a calculation may differ in length.
using TComplexMatrix = QList<TComplexArray>;
using TDoubleArray = QList<double>;
using TIntegerArray = QList<qint32>;

// r rows of c copies of v.
TComplexMatrix NewMatrix(int columns, int rows, const TCalcValue &v);
void FillMatrix(TComplexMatrix &M, const TCalcValue &v);
TComplexMatrix CopyMatrix(const TComplexMatrix &M);
TComplexArray CopyVector(const TComplexArray &v);
TDoubleArray RealParts(const TComplexArray &v);
void SwapValues(TCalcValue &a, TCalcValue &b);

// A (n x m) times B (m x p), every row of each as long as its first; otherwise an empty matrix.
// An error of the element arithmetic also gives an empty matrix and is reported in *error.
TComplexMatrix MatMul(const TComplexMatrix &A, const TComplexMatrix &B,
                      TCalcError *error = nullptr);
// M times v when M has as many rows as v has elements and no row is shorter than v; otherwise
// an empty vector.
TComplexArray MatVecMul(const TComplexMatrix &M, const TComplexArray &v,
                        TCalcError *error = nullptr);
// Inverts M in place (M is the result). A matrix that is not square (or has no rows) is refused
// with "wrong matrix dimensions" and left unchanged; a singular one gives
// "gaussj: Singular Matrix" and is left partly transformed.
TCalcError MatInverse(TComplexMatrix &M);
// Gauss-Jordan elimination with full pivoting: a becomes its inverse, b the solution of a x = b.
// a must be square and b must have as many rows as a, each at least as long as b's row 0.
TCalcError gaussj(TComplexMatrix &a, TComplexMatrix &b);
