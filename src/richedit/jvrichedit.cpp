#include "richedit/jvrichedit.h"

#include <memory>
#include <utility>

#include <QAbstractTextDocumentLayout>
#include <QCursor>
#include <QFileDialog>
#include <QHelpEvent>
#include <QImageReader>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolTip>
#include <QUrl>

#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"
#include "richtext/textcontrast.h"
#include "richtext/textformat.h"

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
    setLinkFinder(nullptr);
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
    // Text without a colour of its own, and the caret, take the palette's text
    // colour: it follows the note's colour, never the desktop's theme, which
    // may be dark while the note is pale. Selections keep the desktop's colours.
    QPalette colours = palette();
    const QColor text = readableTextColor(Color());
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        colours.setColor(group, QPalette::Base, Color());
        colours.setColor(group, QPalette::Text, text);
    }
    colours.setColor(QPalette::Disabled, QPalette::Base, Color());
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
    // File managers' lists of files, which a data filter may take.
    static const QStringList fileLists = {QStringLiteral("x-special/gnome-copied-files"),
                                          QStringLiteral("application/x-kde4-urilist")};
    return QTextEdit::canInsertFromMimeData(source) || !rtfMimeTypeOf(source).isEmpty()
           || source->hasImage() || source->hasUrls()
           || std::any_of(fileLists.begin(), fileLists.end(),
                          [&](const QString &type) { return source->hasFormat(type); });
}

void TJvRichEdit::setLinkFinder(LinkFinder finder)
{
    if (!finder) {
        finder = [this](int position) {
            const QString text = anchorTextAt(position);
            return Link{text, text};
        };
    }
    m_linkFinder = std::move(finder);
}

void TJvRichEdit::installDataFilter(EditorDataFilter *filter)
{
    m_dataFilters.removeAll(filter);
    m_dataFilters.prepend(filter);
}

bool TJvRichEdit::OnQueryAcceptData(const QMimeData *data, bool really, bool isDrop)
{
    // A copy: a filter may install another or be deleted while it is asked.
    const QList<QPointer<EditorDataFilter>> filters = m_dataFilters;
    for (const QPointer<EditorDataFilter> &filter : filters) {
        if (filter && filter->queryAcceptData(data, really, isDrop))
            return true;
    }
    return false;
}

void TJvRichEdit::insertFromMimeData(const QMimeData *source)
{
    if (OnQueryAcceptData(source, true, m_dropping))
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
    OnQueryAcceptData(event->mimeData(), false, true);
    QTextEdit::dragEnterEvent(event);
}

void TJvRichEdit::dragMoveEvent(QDragMoveEvent *event)
{
    OnQueryAcceptData(event->mimeData(), false, true);
    QTextEdit::dragMoveEvent(event);
}

void TJvRichEdit::dropEvent(QDropEvent *event)
{
    m_dropping = true;
    QTextEdit::dropEvent(event);
    m_dropping = false;
}

void TJvRichEdit::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    const int picture = resizablePicture();
    if (event->button() == Qt::LeftButton && picture >= 0
        && resizeHandle(pictureRect(picture)).contains(point)) {
        m_resizedPicture = picture;
        m_resizeOrigin = point;
        m_resizeSize = pictureRect(picture).size();
        event->accept();
        return;
    }
    m_pressedLink.clear();
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier)) {
        // Ctrl+click opens a link and leaves the caret where it is.
        m_pressedLink = linkAt(point).text;
        if (!m_pressedLink.isEmpty()) {
            event->accept();
            return;
        }
    }
    QTextEdit::mousePressEvent(event);
}

void TJvRichEdit::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_resizedPicture >= 0) {
        resizePicture(std::exchange(m_resizedPicture, -1), m_resizeSize);
        event->accept();
        return;
    }
    const QString link = std::exchange(m_pressedLink, QString());
    if (link.isEmpty()) {
        QTextEdit::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    if (event->button() == Qt::LeftButton && linkAt(event->position().toPoint()).text == link)
        Q_EMIT OnURLClick(link, Qt::LeftButton);
}

void TJvRichEdit::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (m_resizedPicture >= 0) {
        const QSize original = pictureRect(m_resizedPicture).size();
        const QPoint moved = point - m_resizeOrigin;
        m_resizeSize
            = QSize(qMax(4, original.width() + moved.x()), qMax(4, original.height() + moved.y()));
        viewport()->update();
        event->accept();
        return;
    }
    QTextEdit::mouseMoveEvent(event);
    if (event->buttons() == Qt::NoButton)
        updatePointer(point, event->modifiers());
}

void TJvRichEdit::updatePointer(const QPoint &viewportPosition, Qt::KeyboardModifiers modifiers)
{
    const int picture = resizablePicture();
    if (picture >= 0 && resizeHandle(pictureRect(picture)).contains(viewportPosition))
        viewport()->setCursor(Qt::SizeFDiagCursor);
    else if ((modifiers & Qt::ControlModifier) && !linkAt(viewportPosition).text.isEmpty())
        viewport()->setCursor(Qt::PointingHandCursor);
    else
        viewport()->setCursor(Qt::IBeamCursor);
}

void TJvRichEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTextEdit::mouseDoubleClickEvent(event); // selects the word under the pointer
    Q_EMIT OnDblClick();
}

void TJvRichEdit::keyPressEvent(QKeyEvent *event)
{
    QTextEdit::keyPressEvent(event);
    // Ctrl pressed or let go with the pointer resting over a link.
    if (event->key() == Qt::Key_Control && viewport()->underMouse())
        updatePointer(viewport()->mapFromGlobal(QCursor::pos()), event->modifiers());
}

void TJvRichEdit::keyReleaseEvent(QKeyEvent *event)
{
    QTextEdit::keyReleaseEvent(event);
    if (event->key() == Qt::Key_Control && viewport()->underMouse())
        updatePointer(viewport()->mapFromGlobal(QCursor::pos()), event->modifiers());
}

bool TJvRichEdit::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip)
        return true; // note editors show no tooltip
    return QTextEdit::event(event);
}

bool TJvRichEdit::viewportEvent(QEvent *event)
{
    // The only tool tip a note editor shows: where the link under the pointer leads.
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString target = linkAt(help->pos()).target;
        if (target.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), target, viewport());
        return true;
    }
    return QTextEdit::viewportEvent(event);
}

void TJvRichEdit::paintEvent(QPaintEvent *event)
{
    QTextEdit::paintEvent(event);
    const int picture = m_resizedPicture >= 0 ? m_resizedPicture : resizablePicture();
    if (picture < 0)
        return;
    QRect frame = pictureRect(picture);
    if (m_resizedPicture >= 0)
        frame.setSize(m_resizeSize);
    QPainter painter(viewport());
    const QColor highlight = palette().color(QPalette::Highlight);
    painter.setPen(QPen(highlight, 1, Qt::DashLine));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    painter.fillRect(resizeHandle(frame), highlight);
}

int TJvRichEdit::resizablePicture() const
{
    const QTextCursor selection = textCursor();
    if (selection.selectionEnd() - selection.selectionStart() != 1)
        return -1;
    const int position = selection.selectionStart();
    QTextCursor behind(textDocument());
    behind.setPosition(position + 1);
    const QTextCharFormat format = behind.charFormat(); // the character at position
    if (!format.isImageFormat() || format.boolProperty(TextFormat::PictureFixedSize))
        return -1;
    return position;
}

QRect TJvRichEdit::pictureRect(int position) const
{
    const QTextBlock block = textDocument()->findBlock(position);
    const QTextLayout *layout = block.layout();
    const int inBlock = position - block.position();
    const QTextLine line = layout->lineForTextPosition(inBlock);
    if (!line.isValid())
        return {};
    QTextCursor behind(textDocument());
    behind.setPosition(position + 1);
    const QTextImageFormat format = behind.charFormat().toImageFormat();
    QSizeF size(format.width(), format.height());
    if (size.isEmpty()) {
        const QImage image = textDocument()
                                 ->resource(QTextDocument::ImageResource, QUrl(format.name()))
                                 .value<QImage>();
        size = image.size();
    }
    // Pictures stand on the line's baseline.
    const QPointF origin = layout->position();
    const qreal baseline = origin.y() + line.y() + line.ascent();
    const QRectF inDocument(origin.x() + line.cursorToX(inBlock), baseline - size.height(),
                            size.width(), size.height());
    return inDocument.translated(-horizontalScrollBar()->value(), -verticalScrollBar()->value())
        .toAlignedRect();
}

QRect TJvRichEdit::resizeHandle(const QRect &picture)
{
    return QRect(picture.right() - 3, picture.bottom() - 3, 7, 7);
}

void TJvRichEdit::resizePicture(int position, const QSize &size)
{
    QTextCursor picture(textDocument());
    picture.setPosition(position);
    picture.setPosition(position + 1, QTextCursor::KeepAnchor);
    QTextImageFormat format = picture.charFormat().toImageFormat();
    format.setWidth(size.width());
    format.setHeight(size.height());
    picture.setCharFormat(format);
    viewport()->update();
}

TJvRichEdit::Link TJvRichEdit::linkAt(const QPoint &viewportPosition) const
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
    return m_linkFinder(position);
}

QString TJvRichEdit::anchorTextAt(int position) const
{
    const QTextBlock block = textDocument()->findBlock(position);
    if (!block.isValid())
        return {};
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
    // The frame of a resizable picture comes and goes with its selection.
    const bool pictureFramed = resizablePicture() >= 0;
    if (pictureFramed || m_pictureFramed)
        viewport()->update();
    m_pictureFramed = pictureFramed;
    Q_EMIT OnSelectionChange();
}
