#pragma once

#include "richtext/notetext.h"

#include <QByteArray>
#include <QString>

class QTextCursor;

// Reads RTF (the rich-edit control's dialect, what RtfWriter writes and what
// word processors write) into a QTextDocument. Hostile or damaged input never
// crashes: a document cut short is read up to where it ends and reported as
// damaged.
class RtfReader
{
public:
    struct Result
    {
        // False only when there was no document to read into; the document is
        // then unchanged.
        bool read = false;
        // Why the data could be read only in part (a file cut short), or why
        // nothing was read; empty for a whole document.
        QString message;
        // Why a picture of the document could not be shown: it is kept as it
        // was, drawn as a box. Empty when every picture could be decoded.
        QString pictureMessage;

        bool damaged() const { return read && !message.isEmpty(); }
        explicit operator bool() const { return read; }
    };

    // RTF of at least this size read whole into an empty document is parsed on a second thread
    // while the calling thread builds the document from what is parsed so far.
    static constexpr qsizetype StreamingSize = 256 * 1024;

    enum class Threads {
        UpToTwo, // a second thread where the rule above allows it
        One      // all on the calling thread, whatever the size
    };

    // Inserts data at cursor, replacing the cursor's selection, as one undo step.
    // Data that does not begin with "{\rtf" is plain text
    // (CodePage::decodePlainText). A paragraph limit above 0 reads no more
    // than that many paragraphs of RTF, all on the calling thread.
    static Result read(const QByteArray &data, QTextCursor &cursor, int paragraphLimit = 0,
                       Threads threads = Threads::UpToTwo);

    struct Opening
    {
        // The text of the first paragraphs as read() would put it into a
        // document, with a CR for each paragraph or line break (the breaks of
        // a plain text may be CR LF).
        QString text;
        // More paragraphs follow.
        bool cut = false;
    };
    // The text of no more than the first paragraphs of RTF data (all of a plain text),
    // read without a document: what a note's title is made of.
    static Opening readOpening(const QByteArray &data, int paragraphs);

    // The whole text of data as read() puts it into an empty document, read without a
    // document: pictures are not decoded. See NoteText::FormatFilter for leaveOut.
    static NoteText readText(const QByteArray &data, const NoteText::FormatFilter &leaveOut = {});
    // The same handed to sink piece by piece; returns why the data could be read only in part,
    // empty for a whole note.
    static QString readText(const QByteArray &data, TextSink &sink,
                            const NoteText::FormatFilter &leaveOut = {});
};
