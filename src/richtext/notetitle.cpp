#include "richtext/notetitle.h"

#include <QStringView>

#include <algorithm>

namespace {
constexpr qsizetype SingleLineTitleLength = 14;
}

QString NoteTitle(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    const QStringView trimmed = QStringView(text).sliced(begin, end - begin);
    const qsizetype lineBreak = trimmed.indexOf(u'\r');
    const qsizetype length
        = lineBreak < 0 ? std::min<qsizetype>(trimmed.size(), SingleLineTitleLength) : lineBreak;
    return trimmed.first(length).toString() + QStringLiteral("..");
}
