#include "richtext/notetext.h"

#include "richtext/textformat.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace {

// The text without the characters at the positions left out, every break made breakTo
// (followed by after, if any).
QString textWithBreaks(const QString &text, const std::vector<qsizetype> &leftOut,
                       char16_t breakTo, char16_t after)
{
    QString result(text.size() + (after ? text.size() / 8 : 0) + 1, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(result.data());
    qsizetype used = 0;
    auto left = leftOut.cbegin();
    const auto append = [&](char16_t c) {
        if (used == result.size()) {
            result.resize(result.size() * 2);
            out = reinterpret_cast<char16_t *>(result.data());
        }
        out[used++] = c;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (left != leftOut.cend() && *left == i) {
            ++left;
            continue;
        }
        // Every break lies at or above the line separator: one comparison passes over almost
        // every character.
        if (c >= QChar::LineSeparator && TextFormat::isBreak(c)) {
            append(breakTo);
            if (after)
                append(after);
        } else {
            append(c.unicode());
        }
    }
    result.resize(used);
    return result;
}

} // namespace

NoteText NoteText::ofDocument(const QTextDocument &document)
{
    NoteText note;
    note.text = document.toRawText();
    // A note has few formats: one without hidden text (almost every note) is not searched.
    const QList<QTextFormat> formats = document.allFormats();
    if (std::none_of(formats.cbegin(), formats.cend(), [](const QTextFormat &format) {
            return format.objectType() == TextFormat::HiddenTextType;
        }))
        return note;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().objectType() != TextFormat::HiddenTextType)
                continue;
            for (int i = 0; i < fragment.length(); ++i)
                note.hidden.push_back(fragment.position() + i);
        }
    }
    return note;
}

QString NoteText::plainText() const
{
    if (text.isEmpty())
        return {};
    QString result = textWithBreaks(text, hidden, u'\n', 0);
    result += u'\n';
    return result;
}

QString NoteText::withCrLf() const
{
    return textWithBreaks(text, {}, u'\r', u'\n');
}
