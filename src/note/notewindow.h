#pragma once

#include <QMargins>
#include <QWidget>

class NoteEditorPane;
class NoteHost;
class RichDocument;
class TJvRichEdit;

// The note window: an ordinary window with a title bar in which a note is read
// and edited. Its editor pane (the editor, its menu and tool bar) fills it.
// The board's frame opens it, loads the note into it and takes the note back
// when it closes. The window has no parent window; the frame that opened it
// deletes it, and a closed window is never shown again.
//
// It stays above other windows exactly while the board's stay-on-top option
// is on, and accepts drops outside its editor without taking anything. Its
// title is the note's title as the note is typed, and it grows with its text
// (up to 7/8 of the screen's height) until the user resizes it.
class TRichForm : public QWidget
{
    Q_OBJECT

public:
    explicit TRichForm(NoteHost &host);

    NoteEditorPane *editorPane() const { return m_pane; }
    TJvRichEdit *editor() const;
    // The board's option: copied when the window is made, and followed at
    // once when the option changes.
    bool StayOnTop() const { return m_stayOnTop; }
    // Into or out of the band above other programs' windows now, not only
    // when the window next loses activation.
    void setStayOnTop(bool stayOnTop);

    // Takes the note into the empty editor: its default and typing formats,
    // then its whole content, copied directly (a long note's RTF would take
    // seconds to write and read). Nothing is left to undo: undoing the copy
    // would empty the window, and closing it would store an empty note.
    void loadNote(const RichDocument &note);
    // Makes the window as high as its text needs at the note width, at most
    // 7/8 of the screen.
    void fitHeightToText();
    // Moves and sizes the window; the whole window, frame and title bar
    // included, is kept on the screen.
    void setPlace(const QRect &place);
    // Shows the window raised and active, with the keyboard focus in the
    // editor.
    void showActive();
    // The user has resized the window since it was shown: it no longer grows
    // with its text.
    bool userSized() const { return m_userSized; }

Q_SIGNALS:
    // The window is closing; its note is still in the editor.
    void closing();

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void FormShow();
    void FormDeactivate();
    // Into or out of the band of windows above all others, without moving,
    // resizing or activating the window.
    void setTopmost(bool topmost);
    // Moves the window so that its frame lies on the screen; the window
    // manager tells the frame's size only after the window is shown.
    void keepFrameOnScreen();
    // Every size the program gives the window goes through here, so that a
    // size the window system reports otherwise is the user's.
    void resizeTo(const QSize &size);
    int heightLimit() const;
    void textChanged();
    // Makes the window as large as its text needs to be shown whole, never
    // smaller than it is.
    void growToText();

    NoteHost &m_host;
    NoteEditorPane *m_pane;
    bool m_stayOnTop;
    bool m_deactivationHandler = false;
    QMargins m_frameMargins;
    QSize m_givenSize;
    bool m_userSized = false;
};
