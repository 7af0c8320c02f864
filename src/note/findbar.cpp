#include "note/findbar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>

#include <algorithm>

namespace {

// Marks this bar puts among the editor's extra selections carry this
// property, so that marks others put there stay.
constexpr int FindMarkProperty = QTextFormat::UserProperty + 0x46;
// A word found thousands of times is marked that often and no more: the
// editor repaints every mark.
constexpr int MaxMarks = 2000;

const QColor MatchColor(255, 235, 110);
const QColor CurrentMatchColor(255, 150, 50);
const QColor NotFoundColor(255, 170, 170);

bool isFindMark(const QTextEdit::ExtraSelection &selection)
{
    return selection.format.hasProperty(FindMarkProperty);
}

QTextEdit::ExtraSelection findMark(const QTextCursor &cursor, const QColor &color)
{
    QTextEdit::ExtraSelection mark;
    mark.cursor = cursor;
    mark.format.setBackground(color);
    mark.format.setProperty(FindMarkProperty, true);
    return mark;
}

QToolButton *button(const QString &text, const QString &toolTip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

FindBar::FindBar(QTextEdit *editor, QWidget *parent)
    : QWidget(parent)
    , m_editor(editor)
    , m_field(new QLineEdit(this))
    , m_matchCase(new QCheckBox(tr("Match case"), this))
{
    m_field->setPlaceholderText(tr("Find"));
    m_field->setClearButtonEnabled(true);
    m_field->installEventFilter(this);
    // F3 and Esc work in the note too while the bar is open.
    m_editor->installEventFilter(this);
    m_matchCase->setFocusPolicy(Qt::NoFocus);
    QToolButton *previous = button(QStringLiteral("\u25B2"), tr("Previous match (Shift+F3)"), this);
    QToolButton *next = button(QStringLiteral("\u25BC"), tr("Next match (F3)"), this);
    QToolButton *close = button(QStringLiteral("\u2715"), tr("Close (Esc)"), this);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(m_field, 1);
    layout->addWidget(previous);
    layout->addWidget(next);
    layout->addWidget(m_matchCase);
    layout->addWidget(close);

    connect(m_field, &QLineEdit::textChanged, this, [this] { find(m_origin, Direction::Forward); });
    connect(m_matchCase, &QCheckBox::toggled, this,
            [this] { find(m_editor->textCursor().selectionStart(), Direction::Forward); });
    connect(previous, &QToolButton::clicked, this, &FindBar::findPrevious);
    connect(next, &QToolButton::clicked, this, &FindBar::findNext);
    connect(close, &QToolButton::clicked, this, &FindBar::close);
    // Typing in the note moves matches and makes new ones.
    connect(m_editor->document(), &QTextDocument::contentsChanged, this, [this] {
        if (isVisible())
            markMatches();
    });
    hide();
}

void FindBar::open()
{
    const QTextCursor selection = m_editor->textCursor();
    m_origin = selection.selectionStart();
    const QString selected = selection.selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator)) {
        const QSignalBlocker quiet(m_field);
        m_field->setText(selected);
    }
    show();
    find(m_origin, Direction::Forward);
    m_field->selectAll();
    m_field->setFocus(Qt::ShortcutFocusReason);
}

void FindBar::findNext()
{
    find(m_editor->textCursor().selectionEnd(), Direction::Forward);
}

void FindBar::findPrevious()
{
    find(m_editor->textCursor().selectionStart(), Direction::Backward);
}

void FindBar::close()
{
    clearMarks();
    setNotFound(false);
    hide();
    m_editor->setFocus(Qt::OtherFocusReason);
}

QTextDocument::FindFlags FindBar::flags() const
{
    return m_matchCase->isChecked() ? QTextDocument::FindCaseSensitively
                                    : QTextDocument::FindFlags();
}

void FindBar::find(int from, Direction direction)
{
    const QString text = m_field->text();
    QTextDocument *document = m_editor->document();
    QTextCursor match;
    if (!text.isEmpty()) {
        QTextDocument::FindFlags findFlags = flags();
        if (direction == Direction::Backward)
            findFlags |= QTextDocument::FindBackward;
        match = document->find(text, from, findFlags);
        if (match.isNull()) // wrap around the note's end
            match = document->find(
                text, direction == Direction::Forward ? 0 : document->characterCount() - 1,
                findFlags);
    }
    setNotFound(!text.isEmpty() && match.isNull());
    if (!match.isNull()) {
        m_editor->setTextCursor(match);
    } else {
        QTextCursor caret(document);
        caret.setPosition(std::min(m_origin, document->characterCount() - 1));
        m_editor->setTextCursor(caret);
    }
    markMatches();
}

void FindBar::markMatches()
{
    QList<QTextEdit::ExtraSelection> marks = m_editor->extraSelections();
    marks.erase(std::remove_if(marks.begin(), marks.end(), isFindMark), marks.end());
    const QString text = m_field->text();
    const QTextCursor current = m_editor->textCursor();
    if (!text.isEmpty()) {
        QTextDocument *document = m_editor->document();
        int count = 0;
        for (QTextCursor match = document->find(text, 0, flags());
             !match.isNull() && count < MaxMarks; match = document->find(text, match, flags())) {
            const bool isCurrent = match.selectionStart() == current.selectionStart()
                                   && match.selectionEnd() == current.selectionEnd();
            marks.append(findMark(match, isCurrent ? CurrentMatchColor : MatchColor));
            ++count;
        }
    }
    m_editor->setExtraSelections(marks);
}

void FindBar::clearMarks()
{
    QList<QTextEdit::ExtraSelection> marks = m_editor->extraSelections();
    marks.erase(std::remove_if(marks.begin(), marks.end(), isFindMark), marks.end());
    m_editor->setExtraSelections(marks);
}

void FindBar::setNotFound(bool notFound)
{
    m_notFound = notFound;
    QPalette palette = m_field->palette();
    palette.setColor(QPalette::Base,
                     notFound ? NotFoundColor : QWidget::palette().color(QPalette::Base));
    m_field->setPalette(palette);
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    const bool fromField = watched == m_field;
    if (event->type() != QEvent::KeyPress || !(fromField || (watched == m_editor && isVisible())))
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool shift = key->modifiers() & Qt::ShiftModifier;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!fromField)
            break;
        [[fallthrough]];
    case Qt::Key_F3:
        shift ? findPrevious() : findNext();
        return true;
    case Qt::Key_Escape:
        close();
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
