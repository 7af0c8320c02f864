#include "board/boardfilter.h"

#include <QKeyEvent>

BoardFilter::BoardFilter(QWidget *parent)
    : QLineEdit(parent)
{
    setPlaceholderText(tr("Search notes"));
    setClearButtonEnabled(true);
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_query = NoteQuery(text);
        if (text.isEmpty())
            hide();
        Q_EMIT queryChanged();
    });
    hide();
}

bool BoardFilter::takeKey(const QKeyEvent *event)
{
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint()
        || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    show();
    setFocus(Qt::OtherFocusReason);
    insert(text);
    return true;
}

bool BoardFilter::matches(const QTextDocument *document)
{
    if (m_query.isEmpty())
        return true;
    CachedText &cached = m_texts[document];
    // A document made where a deleted one was is another note.
    if (cached.document != document || cached.revision != document->revision()) {
        cached.document = document;
        cached.revision = document->revision();
        cached.text = document->toRawText();
    }
    return m_query.matches(cached.text);
}

void BoardFilter::dismiss()
{
    clear();
    hide();
    m_texts.clear();
}

void BoardFilter::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        dismiss();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
