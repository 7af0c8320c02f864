#pragma once

#include "calc/calcerror.h"
#include "calc/calcvalue.h"
#include "calc/complexmatrix.h"

// Element-wise arithmetic on vectors and matrices. Shapes that do not match give
// "wrong matrix dimensions"; an error of the element arithmetic is passed on. On an error the
// result is left empty.

// a + b or a - b (op Add or Subtract) for vectors of one length.
TCalcError CombineVectors(TCalcBinaryOp op, const TComplexArray &a, const TComplexArray &b,
                          TComplexArray &result);
// A + B or A - B for matrices of one shape (row by row).
TCalcError CombineMatrices(TCalcBinaryOp op, const TComplexMatrix &A, const TComplexMatrix &B,
                           TComplexMatrix &result);
// Every element e becomes e op x (op Multiply or Divide, or any other operator).
TCalcError ScaleVector(TCalcBinaryOp op, const TComplexArray &v, const TCalcValue &x,
                       TComplexArray &result);
TCalcError ScaleMatrix(TCalcBinaryOp op, const TComplexMatrix &M, const TCalcValue &x,
                       TComplexMatrix &result);
