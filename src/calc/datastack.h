#pragma once

#include <QByteArray>
#include <QString>

// The byte stack that carries the typed arguments of a built-in procedure from the parser to the
// procedure: little-endian doubles (8 bytes), integers (4), booleans (1) and short strings
// (81: a length byte and up to 80 8-bit characters). A push that does not fit sets error 16.
class TDataStack
{
public:
    static constexpr qint32 StackOverflowError = 16;

    explicit TDataStack(quint16 AMaxStack);

    bool Check(int delta);
    void PushDouble(double x);
    void PushInt(qint32 x);
    void BoolToStack(bool x);
    // Texts longer than 80 characters are cut; characters outside Latin-1 become "?".
    void PushStr(const QString &x);
    // A pop needs the matching push before it; popping more than was pushed returns 0, false or
    // an empty text, leaves the stack empty and sets error 16 instead of reading outside.
    double PopDouble();
    qint32 PopInt();
    bool PopBool();
    QString StrFromStack();
    quint16 GetSize() const;
    void Error(qint32 AnErrorCode);

    QByteArray data;
    quint16 eos = 0;
    quint16 MarkPos = 0;
    quint16 MaxStack = 0;
    qint32 ErrorCode = 0;

private:
    // The start of the item of size bytes on top, after moving eos below it; nullptr if missing.
    const char *popItem(int size);
};
