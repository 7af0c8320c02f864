#pragma once

#include <cmath>
#include <functional>

#include <QString>

#include "calc/calcvalue.h"
#include "calc/complexmatrix.h"
#include "calc/datastack.h"
#include "calc/hpcalc.h"

// What a name of the calculator stands for. The values are fixed; several kinds exist for the
// larger language the scanner's keywords come from and are never declared by the calculator.
enum ObjectClass : quint8 {
    RWVars,
    RVars,
    FarProcCall, // built-in procedure (Exec, parStr)
    FarFuncCall,
    RConst, // real constant (dValue, cNum)
    IConst,
    BConst,      // boolean constant (bc)
    HPOp,        // function running one machine operation (HPOp)
    ocRange,     // range variable (rgStart, rgEnd, rgBy, rgInc)
    ocVector,    // vector variable (vecAr)
    ocPlot,      // the plot function
    ocMatrix,    // matrix variable (m)
    SConst,      // string constant (sc)
    LocProcCall, // treated like FarProcCall
    LocFuncCall,
    VarObject, // variable holding one complex value (cNum)
    LocVarObj,
    LocConstObj,
};

// A built-in procedure: takes its arguments from the data stack; parStr gives their kinds.
using TOnFuncCall = std::function<void(TDataStack &AStack, const QString &AParam)>;

// The class-dependent part of a name-table entry.
struct TParseParams
{
    TOnFuncCall Exec;
    QString parStr; // kinds of the arguments: I integer, R real, B boolean, S string
    THPOperation HPOp = hpAdd;
    double dValue = 0.0;
    double rgStart = 0.0;
    double rgEnd = 0.0;
    double rgBy = 1.0;
    double rgInc = 0.0;
    bool bc = false;
    QString sc;
};

// One entry of the calculator's name table. The name itself lives in the scanner's symbol
// buffer; Name is its position there.
class TParseObj
{
public:
    TParseObj(qint32 AName, ObjectClass AClass)
        : Name(AName)
        , obClass(AClass)
    {}

    qint32 Name = 0;
    ObjectClass obClass = VarObject;
    TComplexArray vecAr;
    TComplexMatrix m;
    TCalcValue cNum; // empty until assigned
    TParseParams p;
};

// The most values a range may give, as the elements of a vector or as the points of a plot.
constexpr qint64 MaxRangeElements = 100000;

// The number of values of range entry r (rgStart, rgStart + rgBy, ... up to rgEnd); -1 when the
// range cannot be counted or gives more than MaxRangeElements.
inline qint64 RangeCount(const TParseObj &r)
{
    // Every value start + i * by that does not pass the end (1 .. 12.6 ends at 12); an end missed
    // only by the rounding of the step (0, 0.1 .. 0.3) still counts.
    const double steps = (r.p.rgEnd - r.p.rgStart) / r.p.rgBy;
    const double count = std::floor(steps + 1e-9 * std::max(1.0, std::fabs(steps))) + 1;
    if (!std::isfinite(count) || count > double(MaxRangeElements))
        return -1;
    return count < 0 ? 0 : qint64(count);
}
