#include "links/linktext.h"

namespace {

bool isDelimiter(const QString &text, int index, QStringView extraDelimiters)
{
    if (index < 1 || index > text.size())
        return true;
    const QChar c = text.at(index - 1);
    return c.unicode() < 32 || extraDelimiters.contains(c);
}

} // namespace

int CountLineFeeds(const QString &text, int n)
{
    n = std::min<int>(n, text.size());
    if (n <= 1)
        return 0;
    return int(QStringView(text).first(n - 1).count(u'\n'));
}

TokenAt TokenAround(const QString &text, int p, QStringView extraDelimiters)
{
    TokenAt at;
    at.lf = CountLineFeeds(text, p);
    if (text.isEmpty())
        return at;
    int i = p;
    while (i > 0 && !isDelimiter(text, i, extraDelimiters))
        --i;
    int j = i + 1;
    while (j <= text.size() && !isDelimiter(text, j, extraDelimiters))
        ++j;
    at.i = i;
    at.j = j;
    at.token = text.mid(i, j - i - 1);
    return at;
}

bool IsMailAddress(const QString &text)
{
    const qsizetype at = text.indexOf(u'@');
    return at >= 0 && text.indexOf(u'.', at + 1) >= 0;
}

bool HasLinkPrefix(const QString &text)
{
    for (const QLatin1String prefix :
         {QLatin1String("http:/"), QLatin1String("https:/"), QLatin1String("www.")}) {
        if (text.contains(prefix, Qt::CaseInsensitive))
            return true;
    }
    return false;
}
