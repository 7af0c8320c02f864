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

void BoardFilter::dismiss()
{
    clear();
    hide();
}

void BoardFilter::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        dismiss();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
