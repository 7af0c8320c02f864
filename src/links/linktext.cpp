#include "links/linktext.h"

#include <algorithm>

namespace {

bool isDelimiter(const QString &text, int index, QStringView extraDelimiters)
{
    if (index < 1 || index > text.size())
        return true;
    const QChar c = text.at(index - 1);
    return c.unicode() < 32 || extraDelimiters.contains(c);
}

// Addresses are runs of characters between these.
bool endsAddress(QChar c)
{
    return c.unicode() <= 32 || c.isSpace() || c == QChar::ObjectReplacementCharacter || c == u'"'
           || c == u'<' || c == u'>';
}

bool isSentencePunctuation(QChar c)
{
    static const QStringView marks = u".,;:!?'\u2019\u201d";
    return marks.contains(c);
}

// The address in run[0, end) without the punctuation of the sentence around
// it: the new end.
qsizetype withoutTrailingPunctuation(QStringView run, qsizetype end)
{
    static const QStringView closing = u")]}";
    static const QStringView opening = u"([{";
    while (end > 0) {
        const QChar last = run.at(end - 1);
        if (isSentencePunctuation(last)) {
            --end;
            continue;
        }
        const qsizetype bracket = closing.indexOf(last);
        if (bracket < 0)
            break;
        // "(see https://a.org/x)" ends before ")", "https://a.org/a_(b)" after it.
        const QStringView address = run.first(end);
        if (address.count(opening.at(bracket)) >= address.count(last))
            break;
        --end;
    }
    return end;
}

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// A web address in run beginning at start, or an empty span.
AddressSpan webAddressAt(QStringView run, qsizetype start)
{
    for (const QLatin1StringView prefix :
         {QLatin1StringView("http:/"), QLatin1StringView("https:/"), QLatin1StringView("www.")}) {
        if (!run.sliced(start).startsWith(prefix, Qt::CaseInsensitive))
            continue;
        const QStringView address = run.sliced(start);
        const qsizetype length = withoutTrailingPunctuation(address, address.size());
        // A name must follow the prefix: "www." or "http://" alone is no address.
        const QStringView rest = address.first(length).sliced(prefix.size());
        if (!std::any_of(rest.begin(), rest.end(), [](QChar c) { return c.isLetterOrNumber(); }))
            return {};
        return {start, length};
    }
    return {};
}

bool isMailLocalCharacter(QChar c)
{
    static const QStringView others = u".!#$%&'*+/=?^_`{|}~-";
    return c.isLetterOrNumber() || others.contains(c);
}

bool isDomainCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'.' || c == u'-';
}

// The mail address around the "@" at index at of run, or an empty span.
AddressSpan mailAddressAround(QStringView run, qsizetype at)
{
    qsizetype start = at;
    while (start > 0 && isMailLocalCharacter(run.at(start - 1)))
        --start;
    // "('bob@a.org')" begins at the name's first letter.
    while (start < at && !isWordCharacter(run.at(start)))
        ++start;
    qsizetype end = at + 1;
    while (end < run.size() && isDomainCharacter(run.at(end)))
        ++end;
    while (end > at + 1 && (run.at(end - 1) == u'.' || run.at(end - 1) == u'-'))
        --end;
    const QStringView domain = run.sliced(at + 1, end - at - 1);
    const qsizetype dot = domain.indexOf(u'.');
    if (start == at || dot <= 0 || dot == domain.size() - 1)
        return {};
    return {start, end - start};
}

void findInRun(QStringView run, qsizetype offset, QList<AddressSpan> &found)
{
    qsizetype index = 0;
    while (index < run.size()) {
        // A web address begins a word: "xwww.a.org" holds none.
        if (index == 0 || !isWordCharacter(run.at(index - 1))) {
            const AddressSpan web = webAddressAt(run, index);
            if (web.length > 0) {
                // It runs to the run's end; an "@" in it belongs to it.
                found.append({offset + web.start, web.length});
                return;
            }
        }
        if (run.at(index) == u'@') {
            const AddressSpan mail = mailAddressAround(run, index);
            if (mail.length > 0) {
                found.append({offset + mail.start, mail.length});
                index = mail.start + mail.length;
                continue;
            }
        }
        ++index;
    }
}

} // namespace

QList<AddressSpan> FindAddresses(QStringView line)
{
    QList<AddressSpan> found;
    qsizetype start = 0;
    while (start < line.size()) {
        if (endsAddress(line.at(start))) {
            ++start;
            continue;
        }
        qsizetype end = start;
        while (end < line.size() && !endsAddress(line.at(end)))
            ++end;
        findInRun(line.sliced(start, end - start), start, found);
        start = end;
    }
    return found;
}

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
