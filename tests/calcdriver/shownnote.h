#pragma once

#include <QTextBlock>
#include <QTextDocument>

#include "calcdriver/calcdriver.h"
#include "richtext/richdocument.h"

// The note's text with CR LF breaks shown as "\n", every result in braces and every error in
// brackets, so a table row shows text, places and fonts at once.
inline QString shown(RichDocument &document, const TCalcDriver &driver)
{
    const auto fontOf = [&](const QTextCharFormat &format) -> QChar {
        const QColor color = format.foreground().color();
        if (format.hasProperty(QTextFormat::ForegroundBrush) && color == driver.ResultFont().color)
            return u'r';
        if (format.hasProperty(QTextFormat::ForegroundBrush) && color == driver.ErrorFont().color)
            return u'e';
        return u'u';
    };
    QString text;
    QString kinds;
    for (QTextBlock block = document.textDocument()->begin(); block.isValid();
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            text += it.fragment().text();
            kinds += QString(it.fragment().length(), fontOf(it.fragment().charFormat()));
        }
        if (block.next().isValid()) {
            text += u'\n';
            kinds += fontOf(block.next().charFormat());
        }
    }
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar kind = kinds.at(i);
        const bool opens = i == 0 || kinds.at(i - 1) != kind;
        const bool closes = i + 1 == text.size() || kinds.at(i + 1) != kind;
        if (opens && kind != u'u')
            result += kind == u'r' ? u'{' : u'[';
        result += text.at(i);
        if (closes && kind != u'u')
            result += kind == u'r' ? u'}' : u']';
    }
    return result;
}
