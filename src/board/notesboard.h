#pragma once

#include "board/notestorage.h"
#include "note/notehost.h"

#include <QDialog>
#include <QEvent>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <memory>

class BoardFilter;
class BoardPlace;
class DesktopIcon;
class IntervalTimer;
class NotesModel;
class NotesStore;
class NotesView;
struct DeletedNote;
class QAction;

class QMenu;
class QScrollArea;
class QToolBar;
class TNoteFrame;
class TimeSource;
class TTransparentHint;

// The notes board: a borderless tool window listing every note as a 16-pixel
// row, with the "New" button down its right edge and the settings menu. It
// shows the notes of a NotesStore, which loads and stores them, through one
// NotesView over a NotesModel of the store: the board makes and deletes the
// note frames, keeps the view in a scroll area no taller than the screen,
// applies the filter and keeps its own record "Main"; its BoardPlace moves
// and resizes it. The desktop icon shows and hides it; note frames reach it through
// NoteHost.
class TFrmNote : public QWidget, public NoteHost
{
    Q_OBJECT

public:
    // Creation loads the notes and the settings; the board starts hidden.
    // time clocks the hover preview (the system's clock and timers by default).
    explicit TFrmNote(QWidget *parent = nullptr);
    TFrmNote(QWidget *parent, const TimeSource &time);
    ~TFrmNote() override;

    // Wiring made by the start-up once the icon and the About box exist.
    void setDesktopIcon(DesktopIcon *icon) { m_icon = icon; }
    void setAboutBox(QDialog *box) { m_aboutBox = box; }

    void LoadNotes();
    // Writes every note under its list position; a note whose window is open
    // is written as the window holds it.
    void StoreNotes() override;
    // The periodic save: the notes whose open window changed since they were
    // last written go to disk, each as its own file written in the background
    // while the files on disk are numbered like the list, else with all notes
    // in one store.
    void SaveEditedNotes();
    // Returns once the files of the periodic save are written. Every store
    // waits for them first.
    void waitForPendingSave();
    void LoadSettings();
    void StoreSettings();

    void SelectNote(TNoteFrame *item) override;
    void DeleteNote(TNoteFrame *item) override;
    // The program is being ended from outside (a termination signal): nobody
    // may be there to close a box, so what the last store found about other
    // programs' changes is not shown; the next start reports the copies kept.
    void setUnattendedClose() { m_unattendedClose = true; }

    void New1Click();
    void Open1Click();
    void About1Click();
    // Shows the About box modally; with no notes left, starts a new one.
    void WMAbout();
    // The Close command. A sender other than the board stores everything,
    // closes the board and has the icon end the program.
    void imCloseClick(QObject *sender);
    void mnDesktopClick();
    void mnStartupClick();
    void mnStayOnTopClick();
    void mnShowHintClick();

    void ArrangeNotes();
    // Shows the rows of the notes that hold every word typed into the filter
    // field, all rows when it is empty.
    void applyFilter();
    BoardFilter *filter() const { return m_filter; }
    // The height inside the border, which ArrangeNotes sets.
    int clientHeight() const;

    TNoteFrame *actNote() const;
    // The rows, one view over the notes.
    NotesView *rowsView() const { return m_rows; }
    // The note frames in list order, which is the stored order.
    QList<TNoteFrame *> NotesList() const;
    // Pinned open by a click on the desktop icon.
    bool StayOpen() const { return m_stayOpen; }
    void setStayOpen(bool stayOpen) { m_stayOpen = stayOpen; }
    // Runs SaveEditedNotes every few seconds.
    IntervalTimer *SaveTimer() const;
    // Where the board lies, and its moves and resizes by the pointer.
    const BoardPlace &place() const { return *m_place; }

    // NoteHost
    QWidget *hostWindow() override { return this; }
    void hideBoard() override { hide(); }
    bool showHintEnabled() const override { return m_showHint; }
    bool stayOnTop() const override { return FStayOnTop; }
    void removeDeactivationHandler() override { m_deactivationHandler = false; }
    void restartAutoHideTimer() override;
    QAction *editSelectAllAction() override { return EditSelectAll1; }
    QAction *fileSaveAsAction() override { return FileSaveAs1; }
    void reportError(const QString &text) override;
    bool confirm(const QString &question) override;
    // Keeps a copy of the damaged note's file and tells the user.
    void noteDamaged(TNoteFrame &frame, const QString &damage) override;

    TTransparentHint *HintWindow() const override { return m_hintWindow; }
    TTransparentHint *createHintWindow() override;
    void ShowHints(bool enable) override;
    IntervalTimer *HintTimer() const override { return m_hintTimer; }
    // Runs every note's periodic check.
    IntervalTimer *CheckTimer() const { return m_checkTimer; }
    const TimeSource &time() const override { return m_time; }

    // Where the menu opens for a request at globalPos: its right edge there.
    void popupMenuAt(const QPoint &globalPos);
    QMenu *menu() const { return PopupMenu1; }
    // Adds entries of the program's other parts to the menu's switches.
    void addMenuEntries(const QList<QAction *> &entries);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createActions();
    void createControls();
    TNoteFrame *createFrame();
    // The frame of a note file found at load or restored.
    TNoteFrame *makeFrame(const StoredNote &file);
    // The frame's note has left the store's list: the frame goes.
    void dropFrame(TNoteFrame *item);
    // A key that walks the rows (NotesView::takeKey), a page being the rows
    // in sight; the highlighted row then scrolls into sight. True when key
    // was one of them.
    bool rowKey(const QKeyEvent *event);
    void fillRestoreMenu();
    void restoreNote(const DeletedNote &note);
    // The pointer entered (Enter) or left (Leave) the board or one of its parts.
    void countPointer(QEvent::Type type);
    void ApplyStayOnTop(bool value);
    void FormDeactivate();
    void layoutRows();
    // The title (and so the accessible name) tells how many rows are shown.
    void countRowsInTitle();
    // The outer height ArrangeNotes gives the board: every row, and at least
    // the least client height.
    int arrangedHeight() const;
    void selectAllInFocusedEditor();

    const TimeSource &m_time;
    TTransparentHint *m_hintWindow = nullptr;
    bool m_stayOpen = false;
    QMenu *PopupMenu1 = nullptr;
    QAction *New1 = nullptr;
    QAction *Open1 = nullptr;
    QMenu *mnRestore = nullptr;
    QAction *mnDesktop = nullptr;
    QAction *mnStartup = nullptr;
    QAction *mnStayOnTop = nullptr;
    QAction *mnShowHint = nullptr;
    QAction *About2 = nullptr;
    QAction *Close2 = nullptr;
    QAction *EditSelectAll1 = nullptr;
    QAction *FileSaveAs1 = nullptr;
    QToolBar *tbRight = nullptr;
    QWidget *pnWorkArea = nullptr;
    QScrollArea *m_rowsArea = nullptr;
    NotesView *m_rows = nullptr; // inside m_rowsArea
    BoardFilter *m_filter = nullptr;
    BoardPlace *m_place = nullptr;
    bool FStayOnTop = false;
    bool m_showHint = false;
    bool m_deactivationHandler = true;
    DesktopIcon *m_icon = nullptr;
    QPointer<QDialog> m_aboutBox;
    IntervalTimer *m_hintTimer = nullptr;
    IntervalTimer *m_checkTimer = nullptr;
    NotesStore *m_store = nullptr;
    NotesModel *m_model = nullptr;
    // While the board closes, the note windows it closes leave storing to it.
    bool m_closing = false;
    bool m_unattendedClose = false;
};
