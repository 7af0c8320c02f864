#include "calcdriver/calcdriver.h"

#include <algorithm>
#include <vector>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "calcdriver/writtenfont.h"
#include "richtext/richdocument.h"
#include "richtext/textattributes.h"

namespace {

// Editor positions of a text written with CR LF line breaks.
int positionsOf(const QString &text)
{
    return int(text.size() - text.count(QStringLiteral("\r\n")));
}

} // namespace

// Redrawing is suspended and the caret and the scroll position are put back afterwards; the
// caret returns to the position it had, collapsed.
class TCalcDriver::Guard
{
public:
    explicit Guard(RichDocument &document)
        : m_document(document)
        , m_caret(document.SelStart())
        , m_scroll(document.VerticalScrollPosition())
    {
        m_document.Lines().BeginUpdate();
    }
    ~Guard()
    {
        // The caret first: placing it may scroll it into view.
        m_document.setSelStart(m_caret);
        m_document.Lines().EndUpdate();
        m_document.setVerticalScrollPosition(m_scroll);
    }
    Guard(const Guard &) = delete;
    Guard &operator=(const Guard &) = delete;

private:
    RichDocument &m_document;
    int m_caret;
    int m_scroll;
};

TCalcDriver::TCalcDriver(RichDocument *ASource)
    : src(ASource)
    , FResultFont(WrittenFont::result())
    , FErrorFont(WrittenFont::error())
{
    m_parser.OnDisplayResult
        = [this](TStrParser &, int StartPos, int EndPos, const QString &AResult) {
              DisplayResult(StartPos, EndPos, AResult);
          };
    m_parser.OnDisplayError
        = [this](TStrParser &, int APos, const QString &AnError) { DisplayError(APos, AnError); };
    m_parser.OnPlot
        = [this](const TPlotData &data, int position) { return DisplayPlot(data, position); };
}

void TCalcDriver::Parse()
{
    m_parser.reset();
    if (!src)
        return;
    Guard guard(*src);
    // The whole run is one step to undo.
    QTextCursor editBlock(src->textDocument());
    editBlock.beginEditBlock();
    ClearResults();
    m_running = true;
    m_parser.Run(src->Text());
    m_running = false;
    writePending();
    editBlock.endEditBlock();
}

bool TCalcDriver::isWritten(const QTextCharFormat &format) const
{
    if (!src)
        return false;
    const QString family = src->DefAttributes().Name();
    const int size = src->DefAttributes().Size();
    return WrittenFont(FResultFont, family, size).matches(format)
           || WrittenFont(FErrorFont, family, size).matches(format);
}

void TCalcDriver::ClearResults()
{
    if (!src)
        return;
    Guard guard(*src);
    const QString family = src->DefAttributes().Name();
    const int size = src->DefAttributes().Size();
    const WrittenFont result(FResultFont, family, size);
    const WrittenFont error(FErrorFont, family, size);
    // A note has few distinct formats: each is tested once, and a note none of whose formats
    // is one of ours (a note never calculated) is not searched at all.
    QTextDocument *document = src->textDocument();
    const QList<QTextFormat> formats = document->allFormats();
    std::vector<bool> writtenByFormat;
    writtenByFormat.reserve(formats.size());
    for (const QTextFormat &format : formats) {
        writtenByFormat.push_back(
            format.isCharFormat()
            && (result.matches(format.toCharFormat()) || error.matches(format.toCharFormat())));
    }
    if (std::find(writtenByFormat.cbegin(), writtenByFormat.cend(), true) == writtenByFormat.cend())
        return;
    const auto written = [&](int formatIndex) {
        return formatIndex >= 0 && formatIndex < int(writtenByFormat.size())
               && writtenByFormat[size_t(formatIndex)];
    };

    // One pass over the runs of equal format; adjoining pieces are joined into one range.
    struct Range
    {
        int from;
        int to;
    };
    std::vector<Range> ranges;
    const auto add = [&ranges](int from, int to) {
        if (!ranges.empty() && ranges.back().to == from)
            ranges.back().to = to;
        else
            ranges.push_back({from, to});
    };
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (written(fragment.charFormatIndex()))
                add(fragment.position(), fragment.position() + fragment.length());
        }
        // The paragraph break ending this block carries the next block's character format.
        const QTextBlock next = block.next();
        if (next.isValid() && written(next.charFormatIndex()))
            add(next.position() - 1, next.position());
    }
    if (ranges.empty())
        return;

    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (auto it = ranges.rbegin(); it != ranges.rend(); ++it) {
        cursor.setPosition(it->from);
        cursor.setPosition(it->to, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    cursor.endEditBlock();
}

// The parser writes every result at one position: EndPos is always StartPos.
void TCalcDriver::DisplayResult(int StartPos, int /*EndPos*/, const QString &AResult)
{
    m_pending.push_back({StartPos, AResult, false});
    if (!m_running)
        writePending();
}

void TCalcDriver::DisplayError(int APos, const QString &AnError)
{
    m_pending.push_back({APos, AnError, true});
    if (!m_running)
        writePending();
}

// Texts inserted one by one through the document's selection cost a hundred thousand
// selections and font conversions on a long note; here each distinct format next to a text is
// converted once, and the selection is left alone. Each text is written as InsertFormatText
// writes it; an error is then underlined as the selection's attributes would underline it.
void TCalcDriver::writePending()
{
    if (m_pending.empty())
        return;
    const int selStart = src->SelStart();
    const int selLength = src->SelLength();
    QTextDocument *document = src->textDocument();
    // Texts written into paragraphs without spacing make none: a note none of whose paragraph
    // formats has spacing (the common note) is not searched paragraph by paragraph.
    const QList<QTextFormat> allFormats = document->allFormats();
    const bool spaced
        = std::any_of(allFormats.cbegin(), allFormats.cend(), [](const QTextFormat &format) {
              return format.isBlockFormat()
                     && (format.toBlockFormat().topMargin() != 0
                         || format.toBlockFormat().bottomMargin() != 0);
          });

    struct Converted
    {
        QTextCharFormat before;
        bool error;
        QTextCharFormat written;
    };
    std::vector<Converted> formats;
    const auto formatAt = [&](const QTextCursor &cursor, bool error) {
        const QTextCharFormat before = cursor.charFormat();
        for (const Converted &known : formats) {
            if (known.error == error && known.before == before)
                return known.written;
        }
        QTextCharFormat written
            = RichDocument::insertedFormat(cursor, error ? FErrorFont : FResultFont);
        if (error) {
            TJvTextAttributes::applyUnderlineType(written, TUnderlineType::utWave);
            TJvTextAttributes::applyUnderlineColor(written, TUnderlineColor::ucRed);
        }
        formats.push_back({before, error, written});
        return written;
    };

    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (const PendingText &pending : m_pending) {
        const int position = qBound(0, pending.position, document->characterCount() - 1);
        cursor.setPosition(position);
        cursor.insertText(RichDocument::insertedText(pending.text),
                          formatAt(cursor, pending.error));
        if (spaced)
            clearParagraphSpacing(pending.position, positionsOf(pending.text));
    }
    cursor.endEditBlock();
    m_pending.clear();
    src->setSelStart(selStart);
    src->setSelLength(selLength);
}

int TCalcDriver::DisplayPlot(const TPlotData &data, int position)
{
    writePending();
    if (!m_plotRenderer)
        return 0;
    const QImage picture = m_plotRenderer(data, PlotSize(src->EditorSize()), src->Font().font);
    if (picture.isNull())
        return 0;
    return InsertPlot(position, picture);
}

QSize TCalcDriver::PlotSize(const QSize &editor)
{
    // Smaller than this a chart has no room for its axes; larger, its picture would hold more
    // memory than a note should (an editor is never that large on a screen).
    static constexpr QSize smallest(120, 80);
    static constexpr QSize largest(4000, 4000);
    return QSize(editor.width() * 9 / 10, editor.height() / 2)
        .expandedTo(smallest)
        .boundedTo(largest);
}

int TCalcDriver::InsertPlot(int position, const QImage &picture)
{
    const int selStart = src->SelStart();
    const int selLength = src->SelLength();
    int growth = 0;
    // A call on the note's last line gets a line of its own for the picture.
    const int end = src->textDocument()->characterCount() - 1;
    if (position > end) {
        position = end;
        src->setSelStart(position);
        src->setSelText(QStringLiteral("\r\n"));
        ++position;
        ++growth;
    }
    // Only a picture followed by its line break is one an earlier run put there: a picture
    // the user placed beside others stays.
    src->setSelStart(position);
    src->setSelLength(2);
    if (src->SelText() == QString(QChar::ObjectReplacementCharacter) + u'\r') {
        src->setSelText(QString());
        growth -= 2;
    }
    src->setSelStart(position);
    src->InsertGraphic(picture, true);
    src->setSelStart(position + 1);
    src->setSelText(QStringLiteral("\r\n"));
    growth += 2;
    src->setSelStart(selStart);
    src->setSelLength(selLength);
    return growth;
}

void TCalcDriver::clearParagraphSpacing(int from, int length)
{
    // Most paragraphs have no spacing: reading it is much cheaper than selecting and writing.
    const QTextDocument *document = src->textDocument();
    bool spaced = false;
    const QTextBlock last = document->findBlock(from + length);
    for (QTextBlock block = document->findBlock(from); block.isValid() && !spaced;
         block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        spaced = format.topMargin() != 0 || format.bottomMargin() != 0;
        if (block == last)
            break;
    }
    if (!spaced)
        return;
    const int selStart = src->SelStart();
    const int selLength = src->SelLength();
    src->setSelStart(from);
    src->setSelLength(length);
    src->Paragraph().setSpaceAfter(0);
    src->Paragraph().setSpaceBefore(0);
    src->setSelStart(selStart);
    src->setSelLength(selLength);
}
