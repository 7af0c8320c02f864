#include "richtext/paraattributes.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include "richtext/richdocument.h"
#include "richtext/textformat.h"

namespace {

constexpr int BulletIndent = 10;

// Indents and spaces are kept like twentieths of a point; reading gives whole
// points, the fraction dropped (towards zero, as indents may be negative).
int pointsOf(qreal units)
{
    return qRound(TextFormat::unitsToTwips(units)) / 20;
}

qreal unitsOf(int points)
{
    return TextFormat::pointsToUnits(points);
}

int firstIndentOf(const QTextBlockFormat &format)
{
    return pointsOf(format.leftMargin() + format.textIndent());
}

int leftIndentOf(const QTextBlockFormat &format)
{
    return pointsOf(-format.textIndent());
}

void setLeftIndentOf(QTextBlockFormat &format, int points)
{
    const qreal first = format.leftMargin() + format.textIndent();
    format.setTextIndent(-unitsOf(points));
    format.setLeftMargin(first + unitsOf(points));
}

// The first paragraph the selection touches.
QTextBlock firstBlock(const RichDocument &document)
{
    return document.textDocument()->findBlock(document.SelStart());
}

} // namespace

TJvParaAttributes::TJvParaAttributes(RichDocument &document)
    : m_document(document)
{}

template <typename Change>
void TJvParaAttributes::change(Change &&change)
{
    QTextDocument *document = m_document.textDocument();
    const int start = m_document.SelStart();
    // A selection ending just behind a paragraph break does not touch the next paragraph.
    const int last = start + qMax(0, m_document.SelLength() - 1);
    const QTextBlock end = document->findBlock(last).next();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (QTextBlock block = document->findBlock(start); block.isValid() && block != end;
         block = block.next()) {
        cursor.setPosition(block.position());
        change(cursor);
    }
    cursor.endEditBlock();
}

TParaAlignment TJvParaAttributes::Alignment() const
{
    const Qt::Alignment alignment
        = firstBlock(m_document).blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    if (alignment & Qt::AlignJustify)
        return TParaAlignment::paJustify;
    if (alignment & Qt::AlignHCenter)
        return TParaAlignment::paCenter;
    if (alignment & (Qt::AlignRight | Qt::AlignTrailing))
        return TParaAlignment::paRightJustify;
    return TParaAlignment::paLeftJustify;
}

void TJvParaAttributes::setAlignment(TParaAlignment alignment)
{
    Qt::Alignment value = Qt::AlignLeft;
    switch (alignment) {
    case TParaAlignment::paLeftJustify:
        break;
    case TParaAlignment::paRightJustify:
        value = Qt::AlignRight;
        break;
    case TParaAlignment::paCenter:
        value = Qt::AlignHCenter;
        break;
    case TParaAlignment::paJustify:
        value = Qt::AlignJustify;
        break;
    }
    change([&](QTextCursor &cursor) {
        QTextBlockFormat format = cursor.blockFormat();
        format.setAlignment(value);
        cursor.setBlockFormat(format);
    });
}

TNumberingStyle TJvParaAttributes::Numbering() const
{
    return firstBlock(m_document).textList() ? TNumberingStyle::nsBullet : TNumberingStyle::nsNone;
}

void TJvParaAttributes::setNumbering(TNumberingStyle numbering)
{
    QTextList *bullets = nullptr;
    change([&](QTextCursor &cursor) {
        const QTextBlock block = cursor.block();
        QTextBlockFormat format = cursor.blockFormat();
        if (numbering == TNumberingStyle::nsNone) {
            if (QTextList *list = block.textList()) {
                // QTextList::remove would move the paragraph by the list's indent.
                const int indent = format.indent();
                list->remove(block);
                format = cursor.blockFormat();
                format.setIndent(indent);
            }
            setLeftIndentOf(format, 0);
            cursor.setBlockFormat(format);
            return;
        }
        if (leftIndentOf(format) < BulletIndent)
            setLeftIndentOf(format, BulletIndent);
        cursor.setBlockFormat(format);
        if (block.textList())
            return;
        if (bullets) {
            bullets->add(block);
        } else {
            QTextListFormat listFormat;
            listFormat.setStyle(QTextListFormat::ListDisc);
            listFormat.setIndent(1);
            bullets = cursor.createList(listFormat);
        }
    });
}

int TJvParaAttributes::FirstIndent() const
{
    return firstIndentOf(firstBlock(m_document).blockFormat());
}

void TJvParaAttributes::setFirstIndent(int points)
{
    change([&](QTextCursor &cursor) {
        QTextBlockFormat format = cursor.blockFormat();
        format.setLeftMargin(unitsOf(points) - format.textIndent());
        cursor.setBlockFormat(format);
    });
}

int TJvParaAttributes::LeftIndent() const
{
    return leftIndentOf(firstBlock(m_document).blockFormat());
}

void TJvParaAttributes::setLeftIndent(int points)
{
    change([&](QTextCursor &cursor) {
        QTextBlockFormat format = cursor.blockFormat();
        setLeftIndentOf(format, points);
        cursor.setBlockFormat(format);
    });
}

int TJvParaAttributes::SpaceBefore() const
{
    return pointsOf(firstBlock(m_document).blockFormat().topMargin());
}

void TJvParaAttributes::setSpaceBefore(int points)
{
    change([&](QTextCursor &cursor) {
        QTextBlockFormat format = cursor.blockFormat();
        format.setTopMargin(unitsOf(points));
        cursor.setBlockFormat(format);
    });
}

int TJvParaAttributes::SpaceAfter() const
{
    return pointsOf(firstBlock(m_document).blockFormat().bottomMargin());
}

void TJvParaAttributes::setSpaceAfter(int points)
{
    change([&](QTextCursor &cursor) {
        QTextBlockFormat format = cursor.blockFormat();
        format.setBottomMargin(unitsOf(points));
        cursor.setBlockFormat(format);
    });
}
