#pragma once

#include "richedit/editordatafilter.h"
#include "richtext/richdocument.h"

#include <QList>
#include <QPointer>
#include <QTextEdit>

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

    // Pasted and dropped data goes to filter before the editor inserts it;
    // the filter installed last is asked first. A destroyed filter drops out.
    void installDataFilter(EditorDataFilter *filter);

Q_SIGNALS:
    // A mouse button was pressed and released on text with the link effect.
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
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // True when an installed filter took the data over.
    bool OnQueryAcceptData(const QMimeData *data, bool really, bool isDrop);
    QString linkTextAt(const QPoint &viewportPosition) const;
    void reportSelectionChange();
    // The one selected picture when the user may resize it, else -1.
    int resizablePicture() const;
    // Where the picture at position is drawn, in viewport coordinates.
    QRect pictureRect(int position) const;
    static QRect resizeHandle(const QRect &picture);
    void resizePicture(int position, const QSize &size);

    TScrollStyle m_scrollBars = TScrollStyle::ssBoth;
    QString m_pressedLink;
    Qt::MouseButton m_pressedButton = Qt::NoButton;
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
