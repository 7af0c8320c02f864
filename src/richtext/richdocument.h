#pragma once

#include "richtext/paraattributes.h"
#include "richtext/richlines.h"
#include "richtext/textattributes.h"
#include "richtext/textfont.h"

#include <QColor>
#include <QFlags>
#include <QSize>
#include <QString>
#include <QTextCursor>

#include <memory>

class QImage;
class QPaintDevice;
class QTextDocument;

enum class TStreamFormat { sfDefault, sfRichText, sfPlainText };

enum class TStreamMode { smSelection = 0x1, smPlainRtf = 0x2, smNoObjects = 0x4, smUnicode = 0x8 };
Q_DECLARE_FLAGS(TStreamModes, TStreamMode)
Q_DECLARE_OPERATORS_FOR_FLAGS(TStreamModes)

enum class TSelectionType { stText = 0x1, stObject = 0x2, stMultiChar = 0x4, stMultiObject = 0x8 };
Q_DECLARE_FLAGS(TSelectionTypes, TSelectionType)
Q_DECLARE_OPERATORS_FOR_FLAGS(TSelectionTypes)

// A note document with a selection: everything the rest of the program reads
// and changes in a note, without a widget. Board notes, the calculator and the
// command-line tool use it directly; the editor widget TJvRichEdit is a
// RichDocument over its own QTextDocument and text cursor.
//
// Positions count from 0, a paragraph break and a picture each being one
// position. Text() holds every paragraph break as CR LF, SelText() as CR.
// Colours are QColor; see TJvTextAttributes for the automatic colours.
//
// Fonts need a QGuiApplication (the offscreen platform will do).
//
// A new document is configured as a note editor: default attributes
// TextFont::standard(), background the info-tip colour, StreamFormat
// sfRichText, no StreamMode, UndoLimit 1000.
class RichDocument
{
public:
    RichDocument();
    virtual ~RichDocument();
    RichDocument(const RichDocument &) = delete;
    RichDocument &operator=(const RichDocument &) = delete;

    QTextDocument *textDocument() const { return m_document; }

    QString Text() const;
    // Replaces the whole document with plain text in the default attributes.
    void setText(const QString &text);

    int SelStart() const;
    void setSelStart(int position); // collapses the selection there
    int SelLength() const;
    void setSelLength(int length); // the start stays
    QString SelText() const;
    // Replaces the selection with text in the insertion point's attributes
    // (CR LF, CR and LF each break a paragraph) and leaves the caret behind
    // it; an empty text deletes the selection.
    void setSelText(const QString &text);

    TJvTextAttributes &SelAttributes() { return m_selAttributes; }
    const TJvTextAttributes &SelAttributes() const { return m_selAttributes; }
    TJvTextAttributes &DefAttributes() { return m_defAttributes; }
    const TJvTextAttributes &DefAttributes() const { return m_defAttributes; }
    TJvParaAttributes &Paragraph() { return m_paragraph; }
    const TJvParaAttributes &Paragraph() const { return m_paragraph; }
    RichLines &Lines() { return m_lines; }

    // The whole document as RTF, and the whole document replaced by RTF (or by
    // plain text where data is not RTF), whatever StreamMode says: for copying
    // notes between documents and for storing them. Errors as for Lines().
    QByteArray toRtf() const;
    bool setRtf(const QByteArray &data, QString *error = nullptr);
    // The whole document replaced by source's text, formats and pictures, as
    // setRtf(source.toRtf()) would leave it, but copied directly: no RTF in
    // between, and an editor lays out at once only what it shows first.
    void setContent(const RichDocument &source);

    TStreamFormat StreamFormat() const { return m_streamFormat; }
    void setStreamFormat(TStreamFormat format) { m_streamFormat = format; }
    TStreamModes StreamMode() const { return m_streamMode; }
    void setStreamMode(TStreamModes mode) { m_streamMode = mode; }

    // Inserts text at index (at the selection's start when index is negative)
    // in the font's attributes; the selection keeps its start and length as
    // they were, whatever was inserted before it. Empty text does nothing.
    void InsertFormatText(int index, const QString &text, const TextFont &font);
    // What InsertFormatText inserts for text, and in which format when it
    // inserts it at a cursor placed there: for inserting many texts in one go.
    static QString insertedText(const QString &text);
    static QTextCharFormat insertedFormat(const QTextCursor &at, const TextFont &font);
    // Inserts a picture at the caret (in place of a selection) and selects its
    // one position; the editor widget lets the user resize it when sizeable.
    void InsertGraphic(const QImage &graphic, bool sizeable);
    // Empty when nothing is selected.
    TSelectionTypes SelectionType() const;

    QString Title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }
    bool Modified() const;
    void setModified(bool modified);
    // The background colour: the note colour.
    QColor Color() const { return m_color; }
    // The colour of a new document.
    static QColor standardColor();
    void setColor(const QColor &color);
    // The default attributes as a font; setting copies name, size, colour,
    // style and weight into DefAttributes.
    TextFont Font() const;
    void setFont(const TextFont &font);
    // 0 turns undo off. QTextDocument cannot drop its oldest steps, so a
    // positive limit keeps at least that many steps, not at most.
    int UndoLimit() const { return m_undoLimit; }
    void setUndoLimit(int limit);

    // The height in pixels the whole document needs laid out at width pixels on
    // surface, at most the primary screen's height, plus 10. Only as much of a
    // long document is laid out as reaches that height.
    int MeasureTextHeight(int width, QPaintDevice *surface) const;

    // The vertical scroll position of the editor showing the document (0 and
    // kept as given without one), so that callers can restore it after changes.
    virtual int VerticalScrollPosition() const { return m_scrollPosition; }
    virtual void setVerticalScrollPosition(int position) { m_scrollPosition = position; }

    // The size in pixels of the editor showing the document; without one, a
    // note window's editor of ordinary size, for what is drawn to fit it.
    static constexpr QSize DefaultEditorSize{600, 400};
    virtual QSize EditorSize() const { return DefaultEditorSize; }

protected:
    // An editor widget's document: works on document and on the selection
    // given by currentCursor()/applyCursor().
    explicit RichDocument(QTextDocument *document);

    // The selection. A widget hands out and takes back its own text cursor.
    virtual QTextCursor currentCursor() const;
    virtual void applyCursor(const QTextCursor &cursor);
    // Called after Color changed, after DefAttributes changed and around
    // BeginUpdate/EndUpdate.
    virtual void colorChanged() {}
    virtual void defaultAttributesChanged() {}
    virtual void setUpdatesSuspended(bool suspended) { Q_UNUSED(suspended) }

private:
    friend class TJvTextAttributes;
    friend class TJvParaAttributes;
    friend class RichLines;

    void configure();
    // The character format new text receives at the selection (see SelAttributes).
    QTextCharFormat insertionFormat() const;
    // The format of the character at position (of the paragraph break there).
    QTextCharFormat formatAt(int position) const;
    // The position behind the last character.
    int endPosition() const;
    void setDefaultFormat(const QTextCharFormat &format);

    std::unique_ptr<QTextDocument> m_ownDocument;
    QTextDocument *m_document;
    QTextCursor m_cursor;
    QTextCharFormat m_defaultFormat;
    TJvTextAttributes m_selAttributes;
    TJvTextAttributes m_defAttributes;
    TJvParaAttributes m_paragraph;
    RichLines m_lines;
    TStreamFormat m_streamFormat = TStreamFormat::sfRichText;
    TStreamModes m_streamMode;
    QString m_title;
    QColor m_color;
    int m_undoLimit = 1000;
    int m_scrollPosition = 0;
};
