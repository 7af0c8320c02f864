#pragma once

#include "note/noteitem.h"
#include "richtext/documentsnapshot.h"

#include <QByteArray>
#include <QColor>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

class IntervalTimer;
class NoteHost;
class RichDocument;
class SnapshotTracker;
class TRichForm;

// One note as a row of the notes board: the 16-pixel header with the note's
// title and its close picture, painted by the row itself, over a headless
// RichDocument that holds the note. A board of a thousand notes costs a
// thousand rows without child widgets or timers, and no text widgets. The note is read and edited
// in its note window (TRichForm), which this frame opens and takes the text back from.
//
// The frame reaches the board only through NoteHost. Storage is touched only by
// LoadLines (a note file), LoadFormInfo and SaveFormInfo (the record
// "Note_" + Idx of the settings file).
class TNoteFrame : public QWidget, public NoteItem
{
    Q_OBJECT

public:
    explicit TNoteFrame(NoteHost &host, QWidget *parent = nullptr);
    ~TNoteFrame() override;

    // The title of a note's text: trimmed, up to its first line break, or its
    // first 14 characters when it has a single line, followed by "..".
    static QString NoteTitle(const QString &text);

    // The note's document as last stored or taken back from its window. A
    // loaded note is read into it here, when first needed.
    RichDocument &edit() const;
    // Reads the loaded note file into the document unless that is done.
    void readNote() override;
    bool noteRead() const override { return m_read; }
    // The loaded file's bytes while the note is not read yet, else empty: what needs only
    // the text reads it from them.
    QByteArray unreadData() const { return m_read ? QByteArray() : m_fileData; }
    // The note colour, known without reading the note.
    QColor color() const override;
    // Takes the colour for the note and its header.
    void setNoteColor(const QColor &color) override;
    // The note file's data as loaded while the document holds just what was
    // read from it (stores then write the file as it is), else empty.
    QByteArray fileData() const override { return m_fileDataCurrent ? m_fileData : QByteArray(); }
    // The document's text replaces the file at the next store.
    void forgetFileData() override;
    // The open note window, or none.
    TRichForm *Frm() const { return m_frm; }
    bool hasOpenWindow() const override { return !m_frm.isNull(); }
    // The note file this frame was loaded from; empty for a new note.
    QString fileName() const override { return FFileName; }
    // The header's caption: NoteTitle of the text followed by "..".
    QString caption() const override { return m_captionText; }
    // The header's hint: the note's text at the last periodic check.
    QString Hint() const;

    // The note's record number: its settings record is "Note_" + Idx; 0 for
    // a note that has none yet (a new one). Stores move records so that
    // note k of the list owns record k + 1, as the next load will give it.
    int Idx() const override { return m_idx; }
    void setIdx(int idx) override { m_idx = idx; }

    // The row is the header: this many pixels high, the caption painted over
    // the note colour and the close picture at the right end.
    static constexpr int HeaderHeight = 16;
    // Where the close picture lies in the row.
    QRect closeRect() const;
    // Runs while the second click of a double click may still come after a
    // click opened the note window; made at the first click.
    IntervalTimer *doubleClickWait() const { return m_doubleClickWait; }

    // The header's background: the note colour, or the board's highlight.
    void setHeaderColor(const QColor &color);
    QColor headerColor() const;

    // Loads the note file when it exists: FFileName and caption follow at once,
    // the document when first needed (a note read only in part is then
    // reported to the host). A missing file changes nothing and is no error;
    // an unreadable one returns false with *error.
    bool LoadLines(const QString &AFileName, QString *error = nullptr);
    // The same with the file's bytes already read (RTF, or plain text).
    void LoadLines(const QString &AFileName, const QByteArray &data);
    // Reads the note's record: its colour, and while the note window is open
    // the window's place and size (moved wholly onto a screen).
    void LoadFormInfo();
    // While the note window is open, writes the note's record from it; without
    // an open window writes nothing. False with *error when the file refuses.
    bool SaveFormInfo(QString *error = nullptr) override;

    // Opens the note window, active with the focus in its editor; with it
    // open, toggles it between minimised and normal (a maximised window is
    // left alone).
    void Panel1DblClick();
    // The note window's close handler: takes text, title and colour back, then
    // stores all notes and the window's record. A new note closed without any
    // text is deleted instead (one emptied by the user stays).
    void NoteWindowClose();
    // Closes the note window if it is open, which runs NoteWindowClose. The
    // board uses it before a note goes away or the program stores and ends.
    void closeNoteWindow();

    // The note as a store writes it now (the whole document as RTF): the open
    // window's working copy, else the frame's own document.
    QByteArray noteData() const override;
    // What noteData() would write, taken cheaply and written out elsewhere.
    DocumentSnapshot noteSnapshot() const override;
    // The open window's text changed since the window opened or since
    // setWindowStored(); the board's periodic save writes such notes.
    bool windowEdited() const override { return m_frm && m_windowEdited; }
    void setWindowStored() override { m_windowEdited = false; }
    // Its text did not reach the disk after all: the next periodic save tries again.
    void setWindowUnstored() override { m_windowEdited = true; }

    void Panel1Click();
    // A button went down on the header: the preview hides.
    void Panel1MouseDown();
    // position in header coordinates.
    void Panel1MouseMove(const QPoint &position);
    // Asks, then has the board delete the note.
    void imCloseClick();
    // The periodic check; the board runs it for every note from one timer.
    void Timer1Timer();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void mouseEvent(QMouseEvent *event);
    RichDocument &document();
    void setColor(const QColor &color);
    // Where the close picture begins in the header.
    int closeLeft() const;
    void openNoteWindow();
    void doubleClickTimeOver();
    // Caption and hint from the note's text.
    void updateCaption(const QString &text);
    void setCaption(const QString &title);
    bool showHeaderHint(const QPoint &globalPos);
    // Loads this note into the preview, creating it on first use, and
    // places it below pointer (global).
    void showPreview(const QPoint &pointer);

    NoteHost &m_host;
    // Made when first needed; the note colour is kept here until then.
    std::unique_ptr<RichDocument> m_document;
    QColor m_color;
    QColor m_headerColor;
    IntervalTimer *m_doubleClickWait = nullptr;
    QString m_captionText;
    QString m_shownCaption; // the part of it the row has room for
    QPointer<TRichForm> m_frm;
    // The open window's note as the periodic save writes it.
    QPointer<SnapshotTracker> m_windowSnapshot;
    QString FFileName;
    QByteArray m_fileData;
    bool m_fileDataCurrent = false;
    bool m_read = true;
    QString m_hint;
    // The text at the last periodic check: links are marked when it changes.
    QString TextSave;
    // The note has not changed since the last periodic check.
    bool m_checked = false;
    int m_idx = 0;
    bool m_windowEdited = false;
    // The window opened on a note New made, still without text or file.
    bool m_openedNew = false;
    bool m_doubleClicked = false;
    // The button went down on the close picture: its release is the picture's.
    bool m_pressOnClose = false;
    // Where the left button went down on the row, while it is held.
    std::optional<QPointF> m_pressPoint;
    bool m_dragging = false;
};
