#include "cli/textprinter.h"

namespace {

constexpr qsizetype PieceSize = 64 * 1024;

} // namespace

void TextPrinter::text(QStringView text)
{
    m_empty = m_empty && text.isEmpty();
    for (const QChar c : text)
        add(c == QChar::LineSeparator ? QChar(u'\n') : c);
}

void TextPrinter::object(bool hidden)
{
    m_empty = false;
    if (!hidden)
        add(QChar::ObjectReplacementCharacter);
}

void TextPrinter::paragraphBreak()
{
    m_empty = false;
    add(u'\n');
}

bool TextPrinter::finish()
{
    if (!m_empty)
        add(u'\n');
    flush();
    return !m_failed && std::fflush(m_out) == 0;
}

void TextPrinter::add(QChar c)
{
    if (m_piece.size() >= PieceSize)
        flush();
    m_piece += c;
}

void TextPrinter::flush()
{
    // The encoder keeps a surrogate pair cut between two pieces whole.
    m_bytes.resize(m_utf8.requiredSpace(m_piece.size()));
    const char *const end = m_utf8.appendToBuffer(m_bytes.data(), m_piece);
    const size_t size = size_t(end - m_bytes.constData());
    m_failed = m_failed || std::fwrite(m_bytes.constData(), 1, size, m_out) != size;
    m_piece.resize(0);
}
