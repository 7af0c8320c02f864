#include "richtext/widget/jvrichedit.h"

#include <QAbstractTextDocumentLayout>
#include <QFileDialog>
#include <QImageReader>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPrinter>
#include <QScrollBar>
#include <QTextBlock>

#include <memory>

#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

namespace {

const QStringList RtfMimeTypes = {QStringLiteral("text/rtf"), QStringLiteral("application/rtf")};

QString rtfMimeTypeOf(const QMimeData *data)
{
    for (const QString &type : RtfMimeTypes) {
        if (data->hasFormat(type))
            return type;
    }
    return {};
}

QString pictureFilter()
{
    QStringList patterns;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        patterns += QStringLiteral("*.") + QString::fromLatin1(format);
    return QObject::tr("Pictures (%1)").arg(patterns.join(QLatin1Char(' ')));
}

} // namespace

TJvRichEdit::TJvRichEdit(QWidget *parent)
    : QTextEdit(parent)
    , RichDocument(QTextEdit::document())
{
    setAcceptRichText(true);
    setAutoFormatting(QTextEdit::AutoNone);
    setAcceptDrops(true);
    setToolTip(QString());
    viewport()->setMouseTracking(true);
    defaultAttributesChanged();
    colorChanged();
    connect(this, &QTextEdit::cursorPositionChanged, this, &TJvRichEdit::reportSelectionChange);
    connect(this, &QTextEdit::selectionChanged, this, &TJvRichEdit::reportSelectionChange);
}

TJvRichEdit::~TJvRichEdit() = default;

bool TJvRichEdit::Print(const QString &caption, QPrinter &printer)
{
    if (!printer.isValid())
        return false;
    printer.setDocName(caption);
    // QTextDocument::print lays out a copy for the page and prints every page as one job.
    textDocument()->print(&printer);
    return printer.printerState() != QPrinter::Error;
}

bool TJvRichEdit::Print(const QString &caption)
{
    QPrinter printer(QPrinter::HighResolution);
    return Print(caption, printer);
}

bool TJvRichEdit::InsertObjectDialog()
{
    const QString fileName
        = QFileDialog::getOpenFileName(this, tr("Insert Object"), QString(), pictureFilter());
    if (fileName.isEmpty())
        return false;
    QImageReader reader(fileName);
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        QMessageBox::warning(this, tr("Insert Object"),
                             tr("%1 cannot be inserted: %2")
                                 .arg(QDir::toNativeSeparators(fileName), reader.errorString()));
        return false;
    }
    InsertGraphic(picture, true);
    return true;
}

void TJvRichEdit::setScrollBars(TScrollStyle style)
{
    m_scrollBars = style;
    const Qt::ScrollBarPolicy policy
        = style == TScrollStyle::ssNone ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
    setVerticalScrollBarPolicy(policy);
    setHorizontalScrollBarPolicy(policy);
}

int TJvRichEdit::VerticalScrollPosition() const
{
    return verticalScrollBar()->value();
}

void TJvRichEdit::setVerticalScrollPosition(int position)
{
    verticalScrollBar()->setValue(position);
}

QTextCursor TJvRichEdit::currentCursor() const
{
    return textCursor();
}

void TJvRichEdit::applyCursor(const QTextCursor &cursor)
{
    setTextCursor(cursor);
}

void TJvRichEdit::colorChanged()
{
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Color());
    setPalette(colours);
}

void TJvRichEdit::defaultAttributesChanged()
{
    // QTextEdit hands its widget font to the document on every font change;
    // keeping both equal keeps the document's default font.
    QTextEdit::setFont(textDocument()->defaultFont());
}

void TJvRichEdit::setUpdatesSuspended(bool suspended)
{
    viewport()->setUpdatesEnabled(!suspended);
    if (!suspended)
        viewport()->update();
}

QMimeData *TJvRichEdit::createMimeDataFromSelection() const
{
    // QTextEdit's own data computes a fixed set of formats on demand and
    // hides any other; its formats are copied into plain data beside RTF.
    const std::unique_ptr<QMimeData> own(QTextEdit::createMimeDataFromSelection());
    auto *data = new QMimeData;
    for (const QString &type : own->formats())
        data->setData(type, own->data(type));
    const QTextCursor cursor = textCursor();
    // RTF keeps what HTML cannot: underline kinds and colours, pictures, objects.
    const QByteArray rtf
        = RtfWriter::write(*textDocument(), cursor.selectionStart(), cursor.selectionEnd());
    for (const QString &type : RtfMimeTypes)
        data->setData(type, rtf);
    return data;
}

bool TJvRichEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return QTextEdit::canInsertFromMimeData(source) || !rtfMimeTypeOf(source).isEmpty()
           || source->hasImage() || source->hasUrls();
}

void TJvRichEdit::insertFromMimeData(const QMimeData *source)
{
    bool handled = false;
    Q_EMIT OnQueryAcceptData(source, true, m_dropping, handled);
    if (handled)
        return;
    const QString rtfType = rtfMimeTypeOf(source);
    if (!rtfType.isEmpty()) {
        QTextCursor cursor = textCursor();
        if (RtfReader::read(source->data(rtfType), cursor)) {
            cursor.clearSelection();
            setTextCursor(cursor);
            return;
        }
    }
    if (source->hasImage() && !source->hasHtml() && !source->hasText()) {
        InsertGraphic(qvariant_cast<QImage>(source->imageData()), true);
        setSelStart(SelStart() + 1); // the caret goes behind the pasted picture
        return;
    }
    QTextEdit::insertFromMimeData(source);
}

void TJvRichEdit::dragEnterEvent(QDragEnterEvent *event)
{
    bool handled = false;
    Q_EMIT OnQueryAcceptData(event->mimeData(), false, true, handled);
    QTextEdit::dragEnterEvent(event);
}

void TJvRichEdit::dragMoveEvent(QDragMoveEvent *event)
{
    bool handled = false;
    Q_EMIT OnQueryAcceptData(event->mimeData(), false, true, handled);
    QTextEdit::dragMoveEvent(event);
}

void TJvRichEdit::dropEvent(QDropEvent *event)
{
    m_dropping = true;
    QTextEdit::dropEvent(event);
    m_dropping = false;
}

void TJvRichEdit::keyPressEvent(QKeyEvent *event)
{
    bool handled = false;
    Q_EMIT OnKeyDown(event, handled);
    if (handled) {
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void TJvRichEdit::keyReleaseEvent(QKeyEvent *event)
{
    bool handled = false;
    Q_EMIT OnKeyUp(event, handled);
    if (handled) {
        event->accept();
        return;
    }
    QTextEdit::keyReleaseEvent(event);
}

void TJvRichEdit::mousePressEvent(QMouseEvent *event)
{
    m_pressedLink = linkTextAt(event->position().toPoint());
    m_pressedButton = event->button();
    QTextEdit::mousePressEvent(event);
    if (!m_pressedLink.isEmpty())
        event->accept(); // the release completes a link click, whatever the button
}

void TJvRichEdit::mouseReleaseEvent(QMouseEvent *event)
{
    QTextEdit::mouseReleaseEvent(event);
    const QString link = std::exchange(m_pressedLink, QString());
    if (!link.isEmpty() && event->button() == m_pressedButton
        && linkTextAt(event->position().toPoint()) == link)
        Q_EMIT OnURLClick(link, event->button());
}

void TJvRichEdit::mouseMoveEvent(QMouseEvent *event)
{
    QTextEdit::mouseMoveEvent(event);
    if (event->buttons() == Qt::NoButton) {
        const bool overLink = !linkTextAt(event->position().toPoint()).isEmpty();
        viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
    }
}

void TJvRichEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTextEdit::mouseDoubleClickEvent(event); // selects the word under the pointer
    Q_EMIT OnDblClick();
}

bool TJvRichEdit::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip)
        return true; // note editors show no tooltip
    return QTextEdit::event(event);
}

QString TJvRichEdit::linkTextAt(const QPoint &viewportPosition) const
{
    const QPointF contentsPosition
        = QPointF(viewportPosition)
          + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
    int position = textDocument()->documentLayout()->hitTest(contentsPosition, Qt::ExactHit);
    if (position < 0)
        return {};
    // The hit is a caret position; the character under the pointer is the one
    // before it when the pointer is left of that caret position.
    const QTextBlock block = textDocument()->findBlock(position);
    const QTextLayout *layout = block.layout();
    const int inBlock = position - block.position();
    const QTextLine line = layout->lineForTextPosition(inBlock);
    if (line.isValid() && inBlock > 0
        && contentsPosition.x() < layout->position().x() + line.cursorToX(inBlock))
        --position;
    // The link is the whole run of neighbouring link characters with one target.
    QString run;
    QString runTarget;
    bool runHasPosition = false;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        const bool continues
            = format.isAnchor() && !run.isEmpty() && format.anchorHref() == runTarget;
        if (!continues) {
            if (runHasPosition)
                return run;
            run.clear();
            runTarget = format.anchorHref();
        }
        if (format.isAnchor()) {
            run += fragment.text();
            runHasPosition = runHasPosition || fragment.contains(position);
        }
    }
    return runHasPosition ? run : QString();
}

void TJvRichEdit::reportSelectionChange()
{
    const QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int length = cursor.selectionEnd() - start;
    if (start == m_lastSelectionStart && length == m_lastSelectionLength)
        return;
    m_lastSelectionStart = start;
    m_lastSelectionLength = length;
    Q_EMIT OnSelectionChange();
}
