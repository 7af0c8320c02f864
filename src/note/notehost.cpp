#include "note/notehost.h"

#include "platform/timesource.h"

#include <QApplication>
#include <QMessageBox>

bool NoteHost::confirm(const QString &question)
{
    return QMessageBox::question(hostWindow(), QApplication::applicationDisplayName(), question,
                                 QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

void NoteHost::reportError(const QString &text)
{
    QMessageBox::critical(hostWindow(), QApplication::applicationDisplayName(), text);
}

const TimeSource &NoteHost::time() const
{
    return TimeSource::system();
}
