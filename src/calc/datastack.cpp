#include "calc/datastack.h"

#include <cstring>

#include <QtEndian>

TDataStack::TDataStack(quint16 AMaxStack)
    : data(AMaxStack, '\0')
    , MaxStack(AMaxStack)
{}

bool TDataStack::Check(int delta)
{
    const int end = int(eos) + delta;
    if (end >= 0 && end < int(MaxStack))
        return true;
    Error(StackOverflowError);
    return false;
}

void TDataStack::PushDouble(double x)
{
    if (!Check(8))
        return;
    qToLittleEndian(x, data.data() + eos);
    eos += 8;
}

void TDataStack::PushInt(qint32 x)
{
    if (!Check(4))
        return;
    qToLittleEndian(x, data.data() + eos);
    eos += 4;
}

void TDataStack::BoolToStack(bool x)
{
    if (!Check(1))
        return;
    data[eos] = x ? 1 : 0;
    eos += 1;
}

void TDataStack::PushStr(const QString &x)
{
    if (!Check(81))
        return;
    const QByteArray bytes = x.left(80).toLatin1();
    char *item = data.data() + eos;
    item[0] = char(bytes.size());
    std::memcpy(item + 1, bytes.constData(), size_t(bytes.size()));
    eos += 81;
}

const char *TDataStack::popItem(int size)
{
    if (eos < size) {
        eos = 0;
        Error(StackOverflowError);
        return nullptr;
    }
    eos -= size;
    return data.constData() + eos;
}

double TDataStack::PopDouble()
{
    const char *item = popItem(8);
    return item ? qFromLittleEndian<double>(item) : 0.0;
}

qint32 TDataStack::PopInt()
{
    const char *item = popItem(4);
    return item ? qFromLittleEndian<qint32>(item) : 0;
}

bool TDataStack::PopBool()
{
    const char *item = popItem(1);
    return item && *item != 0;
}

QString TDataStack::StrFromStack()
{
    const char *item = popItem(81);
    if (!item)
        return {};
    const int length = std::min(int(quint8(item[0])), 80);
    return QString::fromLatin1(item + 1, length);
}

quint16 TDataStack::GetSize() const
{
    return quint16(MaxStack - eos);
}

void TDataStack::Error(qint32 AnErrorCode)
{
    ErrorCode = AnErrorCode;
}
