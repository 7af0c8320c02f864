#include "crypt/textroutines.h"

namespace {

bool isControlOrBlank(QChar c)
{
    return c.unicode() <= 32;
}

QStringView trimmed(QStringView text)
{
    while (!text.isEmpty() && isControlOrBlank(text.front()))
        text = text.mid(1);
    while (!text.isEmpty() && isControlOrBlank(text.back()))
        text.chop(1);
    return text;
}

} // namespace

bool IsBlank(const QString &text)
{
    return trimmed(text).isEmpty();
}

bool NextIntToken(QString &text, QChar separator, int &value)
{
    qsizetype start = 0;
    while (start < text.size() && text.at(start) == u' ')
        ++start;
    text.remove(0, start);
    if (text.isEmpty())
        return false;
    const qsizetype end = text.indexOf(separator);
    const QStringView field = trimmed(QStringView(text).left(end < 0 ? text.size() : end));
    bool ok = false;
    const int number = field.toInt(&ok);
    text.remove(0, end < 0 ? text.size() : end + 1);
    if (ok)
        value = number;
    return ok;
}
