#pragma once

#include "note/noteitem.h"
#include "richtext/documentsnapshot.h"

#include <QByteArray>
#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class IntervalTimer;
class NoteHost;
class QPoint;
class RichDocument;
class SnapshotTracker;
class TRichForm;

// One note of the notes board over a headless RichDocument that holds it: its
// header's caption and colour, what a click, a double click, the pointer or
// the close picture on its row does, and its note window (TRichForm), which
// this frame opens and takes the text back from. The board's one view paints
// the rows and hands their events here: a note costs no widget and no timer
// until its window opens.
//
// The frame reaches the board only through NoteHost. Storage is touched only by
// LoadLines (a note file), LoadFormInfo and SaveFormInfo (the record
// "Note_" + Idx of the settings file).
class TNoteFrame : public QObject, public NoteItem
{
    Q_OBJECT

public:
    explicit TNoteFrame(NoteHost &host, QObject *parent = nullptr);
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
    bool unstoredChanges() const override { return windowEdited() || m_unstored; }
    // The file was rewritten from outside: the row, the record's colour and
    // an open window show it now.
    void reload(const QString &fileName, const QByteArray &data) override;
    // The note file this frame was loaded from; empty for a new note.
    QString fileName() const override { return FFileName; }
    // The header's caption: NoteTitle of the text followed by "..". A note
    // not read yet takes it from its file's opening when first asked: a
    // board of thousands of notes starts without reading a title for the
    // rows out of sight.
    QString caption() const override;
    // The header's hint: the note's text at the last periodic check.
    QString Hint() const;

    // The note's record number: its settings record is "Note_" + Idx; 0 for
    // a note that has none yet (a new one). Stores move records so that
    // note k of the list owns record k + 1, as the next load will give it.
    int Idx() const override { return m_idx; }
    void setIdx(int idx) override { m_idx = idx; }

    // Runs while the second click of a double click may still come after a
    // click opened the note window; made at the first click.
    IntervalTimer *doubleClickWait() const { return m_doubleClickWait; }

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
    void setWindowStored() override
    {
        m_windowEdited = false;
        m_unstored = false;
    }
    // Its text did not reach the disk after all: the next periodic save tries again.
    void setWindowUnstored() override { m_windowEdited = true; }

    void Panel1Click();
    // A button went down on the header: the preview hides.
    void Panel1MouseDown();
    // The pointer moved over the row to pointer (global); the row is
    // rowWidth wide, which the preview is centred on.
    void Panel1MouseMove(const QPoint &pointer, int rowWidth);
    // Asks, then has the board delete the note.
    void imCloseClick();
    // The periodic check; the board runs it for every note from one timer.
    void Timer1Timer();
    // The tool tip of the row: the note's text, cut off when long; empty
    // while "Show Hint" is off or the preview shows the note instead.
    QString headerHint() const;

Q_SIGNALS:
    // The caption or the colour the row shows changed.
    void headerChanged();

private:
    RichDocument &document();
    void setColor(const QColor &color);
    void openNoteWindow();
    void doubleClickTimeOver();
    // Caption and hint from the note's text.
    void updateCaption(const QString &text);
    void setCaption(const QString &title);
    // Loads this note into the preview, creating it on first use, and
    // places it below pointer (global), centred on a row rowWidth wide.
    void showPreview(const QPoint &pointer, int rowWidth);

    NoteHost &m_host;
    // Made when first needed; the note colour is kept here until then.
    std::unique_ptr<RichDocument> m_document;
    QColor m_color;
    IntervalTimer *m_doubleClickWait = nullptr;
    // Null while it waits to be read from m_fileData.
    mutable QString m_captionText;
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
    bool m_markingLinks = false;
    int m_idx = 0;
    bool m_windowEdited = false;
    // The document took text typed in the window that no save or store has
    // written yet.
    bool m_unstored = false;
    // The window opened on a note New made, still without text or file.
    bool m_openedNew = false;
};
