#include "richtext/listlabel.h"

#include "richtext/textformat.h"

#include <QTextBlock>
#include <QTextList>

namespace {

// Letters as spreadsheet columns count them: a ... z, aa, ab, ...
QString letters(int number, char16_t first)
{
    QString text;
    for (; number > 0; number = (number - 1) / 26)
        text.prepend(QChar(char16_t(first + (number - 1) % 26)));
    return text;
}

QString roman(int number, bool upper)
{
    static constexpr std::pair<int, const char *> digits[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
        {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"},
    };
    if (number <= 0 || number >= 5000)
        return QString::number(number);
    QString text;
    for (const auto &[value, digit] : digits) {
        for (; number >= value; number -= value)
            text += QLatin1String(digit);
    }
    return upper ? text.toUpper() : text;
}

} // namespace

QString ListLabel::bullet(const QTextListFormat &format)
{
    switch (format.style()) {
    case QTextListFormat::ListDisc:
    case QTextListFormat::ListCircle:
    case QTextListFormat::ListSquare: {
        const QString bullet = format.stringProperty(TextFormat::ListBullet);
        return bullet.isEmpty() ? QStringLiteral("\u2022") : bullet;
    }
    default:
        return {};
    }
}

QString ListLabel::suffix(const QTextListFormat &format)
{
    return format.hasProperty(QTextFormat::ListNumberSuffix) ? format.numberSuffix()
                                                             : QStringLiteral(".");
}

QString ListLabel::of(const QTextListFormat &format, int number)
{
    const QString bullet = ListLabel::bullet(format);
    if (!bullet.isEmpty())
        return bullet;
    QString text;
    switch (format.style()) {
    case QTextListFormat::ListLowerAlpha:
    case QTextListFormat::ListUpperAlpha:
        text = number > 0 ? letters(number,
                                    format.style() == QTextListFormat::ListLowerAlpha ? u'a' : u'A')
                          : QString::number(number);
        break;
    case QTextListFormat::ListLowerRoman:
    case QTextListFormat::ListUpperRoman:
        text = roman(number, format.style() == QTextListFormat::ListUpperRoman);
        break;
    default:
        text = QString::number(number);
        break;
    }
    const QString suffix = format.hasProperty(QTextFormat::ListNumberSuffix) ? format.numberSuffix()
                                                                             : QStringLiteral(".");
    return format.numberPrefix() + text + suffix;
}

QString ListLabel::of(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    if (!list)
        return {};
    const QTextListFormat format = list->format();
    const int start
        = format.hasProperty(TextFormat::ListStart) ? format.intProperty(TextFormat::ListStart) : 1;
    return of(format, start + list->itemNumber(block));
}
