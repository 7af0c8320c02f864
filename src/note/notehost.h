#pragma once

#include <QtGlobal>

class IntervalTimer;
class QAction;
class QString;
class QWidget;
class TimeSource;
class TNoteFrame;
class TTransparentHint;

// What a note frame needs of the window that lists the notes (the board) and of
// the desktop icon. The board implements it; frames only ever see this
// interface, so the note layer does not depend on the board layer.
class NoteHost
{
public:
    virtual ~NoteHost() = default;

    // The board as a window: owner of note windows and the preview.
    virtual QWidget *hostWindow() = 0;
    virtual void hideBoard() = 0;

    virtual void SelectNote(TNoteFrame *frame) = 0;
    virtual void DeleteNote(TNoteFrame *frame) = 0;
    virtual void StoreNotes() = 0;

    // The board's hint switch ("Show Hint") and stay-on-top option.
    virtual bool showHintEnabled() const = 0;
    virtual bool stayOnTop() const = 0;

    // Opening a note window switches the board's deactivation handling off for
    // the rest of the run.
    virtual void removeDeactivationHandler() = 0;

    // The desktop icon's auto-hide timer starts a full period anew.
    virtual void restartAutoHideTimer() = 0;

    // The hover preview, or none before the first is needed. A host without
    // previews keeps the defaults: none, and switching them does nothing.
    virtual TTransparentHint *HintWindow() const { return nullptr; }
    // The preview, created hidden on first use.
    virtual TTransparentHint *createHintWindow() { return nullptr; }
    // The one timer that drives the preview for every note, or none.
    virtual IntervalTimer *HintTimer() const { return nullptr; }
    // Starts or stops the preview timer; stopping also hides the preview and
    // selects no note. Nothing while there is no preview.
    virtual void ShowHints(bool enable) { Q_UNUSED(enable) }
    // The clock and timers of the preview timing.
    virtual const TimeSource &time() const;

    // The board's own commands used by the note menu; none leaves the
    // entry to the command module or out.
    virtual QAction *editSelectAllAction() = 0;
    virtual QAction *fileSaveAsAction() = 0;

    // A Yes/No question (Yes answers true); by default a message box over the
    // host window. Tests answer it themselves.
    virtual bool confirm(const QString &question);
    // An error that ended the user's action; by default a message box.
    virtual void reportError(const QString &text);
    // The frame's note file could be read only in part (damage says why). Its
    // file data stays what stores write until the host has kept it elsewhere
    // and called frame.forgetFileData(); by default it stays.
    virtual void noteDamaged(TNoteFrame &frame, const QString &damage)
    {
        Q_UNUSED(frame)
        Q_UNUSED(damage)
    }
};
