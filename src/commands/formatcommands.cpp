#include "commands/formatcommands.h"

#include "richtext/richdocument.h"

namespace {
constexpr int SizeStep = 2;
constexpr int SmallestShrinkable = 8;
constexpr int IndentStep = 10;
} // namespace

FormatCommands::FormatCommands(RichDocument &editor)
    : m_editor(editor)
{}

void FormatCommands::setSize(int points)
{
    m_editor.SelAttributes().setSize(points);
}

void FormatCommands::bigger()
{
    setSize(m_editor.SelAttributes().Size() + SizeStep);
}

void FormatCommands::smaller()
{
    const int size = m_editor.SelAttributes().Size();
    if (size >= SmallestShrinkable)
        setSize(size - SizeStep);
}

void FormatCommands::toggleBold()
{
    TJvTextAttributes &attributes = m_editor.SelAttributes();
    attributes.setBold(!attributes.Bold());
}

void FormatCommands::toggleItalic()
{
    TJvTextAttributes &attributes = m_editor.SelAttributes();
    attributes.setItalic(!attributes.Italic());
}

void FormatCommands::toggleUnderline()
{
    TJvTextAttributes &attributes = m_editor.SelAttributes();
    attributes.setUnderline(!attributes.Underline());
}

void FormatCommands::toggleStrikeOut()
{
    TJvTextAttributes &attributes = m_editor.SelAttributes();
    attributes.setStrikeOut(!attributes.StrikeOut());
}

void FormatCommands::subscript()
{
    m_editor.SelAttributes().setSubscriptStyle(TSubscriptStyle::ssSubscript);
}

void FormatCommands::superscript()
{
    m_editor.SelAttributes().setSubscriptStyle(TSubscriptStyle::ssSuperscript);
}

void FormatCommands::toggleBullets()
{
    TJvParaAttributes &paragraph = m_editor.Paragraph();
    paragraph.setNumbering(paragraph.Numbering() == TNumberingStyle::nsBullet
                               ? TNumberingStyle::nsNone
                               : TNumberingStyle::nsBullet);
}

void FormatCommands::align(TParaAlignment alignment)
{
    m_editor.Paragraph().setAlignment(alignment);
}

void FormatCommands::increaseIndent()
{
    TJvParaAttributes &paragraph = m_editor.Paragraph();
    paragraph.setLeftIndent(paragraph.LeftIndent() + IndentStep);
    paragraph.setFirstIndent(paragraph.LeftIndent());
}

void FormatCommands::decreaseIndent()
{
    TJvParaAttributes &paragraph = m_editor.Paragraph();
    paragraph.setLeftIndent(std::max(0, paragraph.LeftIndent() - IndentStep));
    paragraph.setFirstIndent(paragraph.LeftIndent());
}

void FormatCommands::reset()
{
    m_editor.SelAttributes().Assign(m_editor.DefAttributes());
    m_editor.Paragraph().setSpaceAfter(0);
    m_editor.Paragraph().setSpaceBefore(0);
}

void FormatCommands::setHighlight(const QColor &color)
{
    m_editor.SelAttributes().setBackColor(color);
}

void FormatCommands::highlightInNoteColor()
{
    setHighlight(m_editor.Color());
}
