#pragma once

#include "note/richform.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class IntervalTimer;
class NoteCalculator;
class NoteHost;
class QAction;
class QByteArray;
class QKeyEvent;
class QLabel;
class QMenu;
class RichDocument;
class TJvRichEdit;

// One note. The same class serves as a row of the notes board, where only the
// 16-pixel header with the note's title shows, and inside the note window and
// the hover preview, where the note's editor, menu and tool bar are wanted.
//
// A board row holds its note as a headless RichDocument and never an editor
// widget: a board of a thousand notes costs a thousand documents and no text
// widgets. Frames of the note window and the preview hold a TJvRichEdit (which
// is a RichDocument too); edit() is the note's document either way.
//
// The frame reaches the board only through NoteHost. Storage is touched only by
// LoadLines (a note file), LoadFormInfo and SaveFormInfo (the record
// "Note_" + Idx of QelNotes.ini in the data folder).
class TNoteFrame : public QWidget
{
    Q_OBJECT

public:
    enum class EditorKind {
        Headless, // a board row: header and document
        Widget,   // note window or preview: editor widget, menu and tool bar, header hidden by them
    };

    // host may be none (a frame outside any board).
    TNoteFrame(NoteHost *host, EditorKind kind, QWidget *parent = nullptr);
    ~TNoteFrame() override;

    // The title of a note's text: trimmed, up to its first line break, or its
    // first 14 characters when it has a single line, followed by "..".
    static QString NoteTitle(const QString &text);

    // The note's document: the board's stored copy, or the editor's.
    RichDocument &edit() const { return *m_document; }
    // The editor widget; none on a board row.
    TJvRichEdit *editor() const { return m_editor; }
    NoteHost *host() const { return m_host; }
    // The open note window, or none.
    TRichForm *Frm() const { return m_frm; }
    // The note file this frame was loaded from; empty for a new note.
    QString fileName() const { return FFileName; }
    // The header's caption: NoteTitle of the text followed by "..".
    QString caption() const;
    // The text at the last periodic check (the frame's hint).
    QString Hint() const { return m_hint; }

    // The header's background: the note colour, or the board's highlight.
    void setHeaderColor(const QColor &color);
    QColor headerColor() const;

    // Loads the note file into the document when it exists: FFileName, caption
    // and hint follow. A missing file changes nothing and is no error; an
    // unreadable one returns false with *error.
    bool LoadLines(const QString &AFileName, QString *error = nullptr);
    // The same with the file's bytes already read (RTF, or plain text).
    bool LoadLines(const QString &AFileName, const QByteArray &data, QString *error = nullptr);
    // Reads the note's record: its colour, and while the note window is open
    // the window's place and size (brought back onto a screen when the stored
    // place lies outside all of them).
    void LoadFormInfo();
    // While the note window is open, writes the note's record from it; without
    // an open window writes nothing. False with *error when the file refuses.
    bool SaveFormInfo(QString *error = nullptr);

    // The note's calculator: Calc and Clear Results.
    void tbCalcClick();
    void ClearResults1Click();

    // Opens the note window; with it open, toggles it between minimised and
    // normal (a maximised window is left alone).
    void Panel1DblClick();
    // The note window's close handler: takes text, title and colour back, then
    // stores all notes and the window's record.
    void NoteWindowClose();
    // Closes the note window if it is open, which runs NoteWindowClose. The
    // board uses it before a note goes away or the program stores and ends.
    void closeNoteWindow();

    // The note as a store writes it now (the whole document as RTF): the open
    // window's working copy, else the frame's own document.
    QByteArray noteData() const;
    // The open window's text changed since the window opened or since
    // setWindowStored(); the board's periodic save writes such notes.
    bool windowEdited() const { return m_frm && m_windowEdited; }
    void setWindowStored() { m_windowEdited = false; }

    void Panel1Click();
    void Panel1MouseDown();
    // position in header coordinates.
    void Panel1MouseMove(const QPoint &position);
    // Asks, then has the board delete the note.
    void imCloseClick();
    // The periodic check; also run by the Enter key.
    void Timer1Timer();
    void PopupMenu1Popup();
    void editKeyDown(QKeyEvent *event, bool &handled);
    void editKeyUp(QKeyEvent *event, bool &handled);

    // The note's record number: its settings record is "Note_" + Idx.
    int Idx = 0;

    // The parts of the frame. Tool bar, menu and the menu's own entries exist
    // in frames with an editor widget only.
    QWidget *ToolBar1 = nullptr;
    QWidget *Panel1 = nullptr;
    QLabel *imClose = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *Calc1 = nullptr;
    QAction *ClearResults1 = nullptr;
    QAction *SendNote1 = nullptr;
    IntervalTimer *Timer1 = nullptr;
    IntervalTimer *HintTimer = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void createHeader();
    void createMenu();
    void createToolBar();
    void updateCaption();
    // Runs the first entry of the note menu that carries the key; true when
    // one carries it, whether or not it is enabled.
    bool runMenuShortcut(QKeyEvent *event);
    void copyInto(TJvRichEdit &target) const;

    NoteHost *m_host;
    std::unique_ptr<RichDocument> m_ownDocument; // a board row's note
    TJvRichEdit *m_editor = nullptr;
    RichDocument *m_document = nullptr;
    std::unique_ptr<NoteCalculator> StrParser;
    QLabel *m_caption = nullptr;
    QString m_captionText;
    QPointer<TRichForm> m_frm;
    QString FFileName;
    QString m_hint;
    // The Delete key found nothing selected when pressed, so its release
    // removes the character after the caret.
    bool m_deleteOneCharacter = false;
    bool m_windowEdited = false;
};
