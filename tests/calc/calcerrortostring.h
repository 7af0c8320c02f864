#pragma once

#include <QTest>

#include "calc/calcerror.h"

// QCOMPARE on calculator errors prints their text.
inline char *toString(const TCalcError &error)
{
    return QTest::toString(error.text());
}
