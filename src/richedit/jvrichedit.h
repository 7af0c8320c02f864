#pragma once

#include "richedit/editordatafilter.h"
#include "richtext/richdocument.h"

#include <QList>
#include <QPointer>
#include <QTextEdit>

#include <functional>

class QMimeData;
class QPrinter;

enum class TScrollStyle { ssNone, ssBoth };

// The note editor widget: a QTextEdit whose document is a RichDocument, so it
// offers the whole note interface (Text, SelStart, SelAttributes, Paragraph,
// Lines, ...) on what it shows, plus what needs a screen or a printer.
//
// It starts configured as a note editor: default font TextFont::standard(),
// background the info-tip colour, rich text, undo limit 1000, no automatic
// link detection, accepting drops, no tooltip.
//
// The widget keeps the document it was created with: never call setDocument().
class TJvRichEdit : public QTextEdit, public RichDocument
{
    Q_OBJECT

public:
    explicit TJvRichEdit(QWidget *parent = nullptr);
    ~TJvRichEdit() override;

    // The names both bases have: the RichDocument meaning for text,
    // QWidget's and RichDocument's overloads for the font.
    using QTextEdit::setFont;
    using RichDocument::setFont;
    using RichDocument::setText;

    // Prints the whole document as one job titled caption, page after page,
    // on printer (on the default printer without one). False when the printer
    // cannot be used.
    bool Print(const QString &caption, QPrinter &printer);
    bool Print(const QString &caption);

    // Asks for a picture file and inserts the picture in place of the
    // selection, selected afterwards. False when cancelled or unreadable.
    bool InsertObjectDialog();

    TScrollStyle ScrollBars() const { return m_scrollBars; }
    void setScrollBars(TScrollStyle style);

    int VerticalScrollPosition() const override;
    void setVerticalScrollPosition(int position) override;
    QSize EditorSize() const override { return size(); }

    // A link in the text: what a Ctrl+click hands to OnURLClick, and where it
    // leads, shown as its tool tip. No text: no link.
    struct Link
    {
        QString text;
        QString target;
    };
    // Finds the link at a character position. By default only text with the
    // link effect is a link, leading to its own text.
    using LinkFinder = std::function<Link(int position)>;
    void setLinkFinder(LinkFinder finder);
    // The run of text with the link effect at position, or empty.
    QString anchorTextAt(int position) const;

    // Pasted and dropped data goes to filter before the editor inserts it;
    // the filter installed last is asked first. A destroyed filter drops out.
    void installDataFilter(EditorDataFilter *filter);

Q_SIGNALS:
    // A left click with Ctrl held on a link (a plain click places the caret).
    void OnURLClick(const QString &text, Qt::MouseButton button);
    // After every change of the selection or of the caret position.
    void OnSelectionChange();
    // After a double click has selected the word under the pointer.
    void OnDblClick();

protected:
    QTextCursor currentCursor() const override;
    void applyCursor(const QTextCursor &cursor) override;
    void colorChanged() override;
    void defaultAttributesChanged() override;
    void setUpdatesSuspended(bool suspended) override;

    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // True when an installed filter took the data over.
    bool OnQueryAcceptData(const QMimeData *data, bool really, bool isDrop);
    // The link under the pointer at viewportPosition.
    Link linkAt(const QPoint &viewportPosition) const;
    // The pointer's shape over the viewport: a hand over a link while Ctrl is
    // held, a resize arrow over a selected picture's handle, else the I-beam.
    void updatePointer(const QPoint &viewportPosition, Qt::KeyboardModifiers modifiers);
    void reportSelectionChange();
    // The one selected picture when the user may resize it, else -1.
    int resizablePicture() const;
    // Where the picture at position is drawn, in viewport coordinates.
    QRect pictureRect(int position) const;
    static QRect resizeHandle(const QRect &picture);
    void resizePicture(int position, const QSize &size);

    TScrollStyle m_scrollBars = TScrollStyle::ssBoth;
    LinkFinder m_linkFinder;
    // The link a Ctrl+press went down on; its release there is a click.
    QString m_pressedLink;
    bool m_dropping = false;
    QList<QPointer<EditorDataFilter>> m_dataFilters;
    int m_lastSelectionStart = -1;
    int m_lastSelectionLength = -1;
    bool m_pictureFramed = false;
    // A picture being resized by its handle: its position and its new size.
    int m_resizedPicture = -1;
    QPoint m_resizeOrigin;
    QSize m_resizeSize;
};
