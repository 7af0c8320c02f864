#include "note/spellmarks.h"

#include "note/spellservice.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QEvent>
#include <QLocale>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>

namespace {

// Marks of this kind among the editor's extra selections carry this
// property, so that the find bar's marks stay.
constexpr int SpellMarkProperty = QTextFormat::UserProperty + 0x53;
const QColor MarkColor(150, 0, 220);
// A note with fewer words may still change its language as it is written.
constexpr int SettledWordCount = 40;
// Suggestions beyond these are seldom what the user meant.
constexpr int MaxSuggestions = 8;

} // namespace

SpellMarks::SpellMarks(QTextEdit *editor, SpellService &service, FormatTest skip, QObject *parent)
    : QObject(parent)
    , m_editor(editor)
    , m_service(service)
    , m_skip(std::move(skip))
{
    connect(editor->document(), &QTextDocument::contentsChange, this, &SpellMarks::contentsChange);
    connect(editor->verticalScrollBar(), &QScrollBar::valueChanged, this, &SpellMarks::schedule);
    connect(editor, &QTextEdit::cursorPositionChanged, this, [this] {
        if (m_typingAt >= 0 && m_editor->textCursor().position() != m_typingAt)
            schedule();
    });
    connect(&service, &SpellService::enabledChanged, this, &SpellMarks::schedule);
    connect(&service, &SpellService::wordsChanged, this, &SpellMarks::schedule);
    editor->viewport()->installEventFilter(this);
    schedule();
}

bool SpellMarks::isSpellMark(const QTextEdit::ExtraSelection &selection)
{
    return selection.format.hasProperty(SpellMarkProperty);
}

void SpellMarks::setLanguage(const QString &language)
{
    m_language = language;
    m_languageChosen = true;
    schedule();
}

void SpellMarks::schedule()
{
    if (m_scheduled)
        return;
    m_scheduled = true;
    QMetaObject::invokeMethod(this, &SpellMarks::refresh, Qt::QueuedConnection);
}

void SpellMarks::contentsChange(int position, int removed, int added)
{
    Q_UNUSED(removed)
    m_typingAt = added > 0 ? position + added : -1;
    schedule();
}

void SpellMarks::guessLanguage()
{
    const QString text = m_editor->document()->toPlainText();
    m_language = m_service.checker().guessLanguage(text, QLocale());
    m_wordsGuessedFrom = int(SpellChecker::checkedWords(text).size());
}

void SpellMarks::refresh()
{
    m_scheduled = false;
    QList<QTextEdit::ExtraSelection> marks = m_editor->extraSelections();
    marks.erase(std::remove_if(marks.begin(), marks.end(), isSpellMark), marks.end());
    if (m_service.isEnabled()) {
        if (!m_languageChosen && m_wordsGuessedFrom < SettledWordCount)
            guessLanguage();
        marks += marksInView();
    }
    m_editor->setExtraSelections(marks);
}

QList<QTextEdit::ExtraSelection> SpellMarks::marksInView()
{
    QList<QTextEdit::ExtraSelection> marks;
    if (m_language.isEmpty())
        return marks;
    // Found from the block in view last time: the editor's own hit test
    // walks the note from its start, which a long note feels at each key.
    QAbstractTextDocumentLayout *layout = m_editor->document()->documentLayout();
    const qreal top = m_editor->verticalScrollBar()->value();
    const qreal bottom = top + m_editor->viewport()->height();
    QTextBlock block = m_editor->document()->findBlockByNumber(m_firstInView);
    if (!block.isValid())
        block = m_editor->document()->lastBlock();
    while (block.previous().isValid() && layout->blockBoundingRect(block).top() > top)
        block = block.previous();
    while (block.next().isValid() && layout->blockBoundingRect(block).bottom() < top)
        block = block.next();
    m_firstInView = block.blockNumber();
    const int caret = m_editor->textCursor().position();
    QTextCharFormat format;
    format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    format.setUnderlineColor(MarkColor);
    format.setProperty(SpellMarkProperty, true);
    for (; block.isValid() && layout->blockBoundingRect(block).top() < bottom;
         block = block.next()) {
        // Skipped text takes part as blanks, so that positions stay.
        QString text = block.text();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat fragmentFormat = fragment.charFormat();
            if (fragmentFormat.isAnchor() || (m_skip && m_skip(fragmentFormat)))
                text.replace(fragment.position() - block.position(), fragment.length(),
                             QString(fragment.length(), QLatin1Char(' ')));
        }
        for (const SpellChecker::Word &word :
             m_service.checker().misspelledWords(m_language, text)) {
            const int start = block.position() + word.position;
            const int end = start + word.length;
            if (end == m_typingAt && caret == m_typingAt)
                continue;
            QTextEdit::ExtraSelection mark;
            mark.cursor = QTextCursor(m_editor->document());
            mark.cursor.setPosition(start);
            mark.cursor.setPosition(end, QTextCursor::KeepAnchor);
            mark.format = format;
            marks.append(mark);
        }
    }
    return marks;
}

QList<QAction *> SpellMarks::corrections(int position, QObject *parent)
{
    QList<QAction *> actions;
    if (!m_service.isEnabled())
        return actions;
    const QList<QTextEdit::ExtraSelection> marks = m_editor->extraSelections();
    const auto mark = std::find_if(marks.cbegin(), marks.cend(), [position](const auto &mark) {
        return isSpellMark(mark) && mark.cursor.selectionStart() <= position
               && position <= mark.cursor.selectionEnd();
    });
    if (mark == marks.cend())
        return actions;
    const QTextCursor word = mark->cursor;
    const QString text = word.selectedText();
    const QStringList suggestions
        = m_service.checker().suggestions(m_language, text).mid(0, MaxSuggestions);
    for (const QString &suggestion : suggestions) {
        auto *replace = new QAction(suggestion, parent);
        connect(replace, &QAction::triggered, this, [word, text, suggestion] {
            QTextCursor cursor = word;
            // The word may have changed since the menu opened.
            if (cursor.selectedText() != text)
                return;
            // The replacement takes the format of the word's first letter.
            QTextCursor first(cursor.document());
            first.setPosition(cursor.selectionStart() + 1);
            cursor.insertText(suggestion, first.charFormat());
        });
        actions.append(replace);
    }
    if (suggestions.isEmpty()) {
        auto *none = new QAction(tr("No Suggestions"), parent);
        none->setEnabled(false);
        actions.append(none);
    }
    auto *add = new QAction(tr("Add to Dictionary"), parent);
    connect(add, &QAction::triggered, this, [this, text] {
        QString error;
        if (!m_service.addWord(text, &error))
            QMessageBox::warning(m_editor, tr("Spell Check"), error);
    });
    actions.append(add);
    return actions;
}

bool SpellMarks::eventFilter(QObject *watched, QEvent *event)
{
    // Only the editor's viewport is watched, and it may be asked while the
    // editor is being destroyed: the editor itself is not touched here.
    if (event->type() == QEvent::Resize)
        schedule();
    return QObject::eventFilter(watched, event);
}
