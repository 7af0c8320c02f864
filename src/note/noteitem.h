#pragma once

#include "richtext/documentsnapshot.h"

#include <QByteArray>
#include <QColor>
#include <QString>

// What the notes store needs of one note in its list: the note as a store
// writes it, the file it was loaded from, its settings record and whether an
// open window holds changes. Widget-free, so the store is tested headless.
class NoteItem
{
public:
    virtual ~NoteItem() = default;

    // The note as a store writes it now: an open window's working copy first.
    virtual QByteArray noteData() const = 0;
    // What noteData() would write, taken cheaply and written out elsewhere.
    virtual DocumentSnapshot noteSnapshot() const = 0;
    // The open window's text changed since it was last written.
    virtual bool windowEdited() const = 0;
    virtual void setWindowStored() = 0;
    // Its text did not reach the disk after all: the next periodic save tries again.
    virtual void setWindowUnstored() = 0;
    virtual bool hasOpenWindow() const = 0;
    // Changes made here that no store or save has written yet: an outside
    // rewrite of the note's file must not replace them.
    virtual bool unstoredChanges() const = 0;

    // The note file this note was loaded from; empty for a new note.
    virtual QString fileName() const = 0;
    // The loaded file's bytes while the note holds just what was read from
    // them (stores then write the file as it is), else empty.
    virtual QByteArray fileData() const = 0;
    // The note's text replaces the file at the next store.
    virtual void forgetFileData() = 0;
    // Reads the loaded file into the note unless that is done.
    virtual void readNote() = 0;
    virtual bool noteRead() const = 0;
    // Another program rewrote the note's file (fileName, now holding data)
    // and nothing here changed the note since it was stored: the note, and
    // its open window, show the file.
    virtual void reload(const QString &fileName, const QByteArray &data) = 0;

    // The one-line title the board shows.
    virtual QString caption() const = 0;
    virtual QColor color() const = 0;
    virtual void setNoteColor(const QColor &color) = 0;

    // The note's settings record is recordName(Idx()); 0 for a note that has
    // none yet. Stores move records so that note k owns record k + 1, as the
    // next load gives it.
    virtual int Idx() const = 0;
    virtual void setIdx(int idx) = 0;
    static QString recordName(int idx) { return QStringLiteral("Note_%1").arg(idx); }
    // Writes the record from the open window; false with *error when refused.
    virtual bool SaveFormInfo(QString *error) = 0;
};
