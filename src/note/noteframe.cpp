#include "note/noteframe.h"

#include "commands/commandmodule.h"
#include "links/marklinks.h"
#include "note/colorvalue.h"
#include "note/hovercount.h"
#include "note/notehost.h"
#include "note/notewindow.h"
#include "note/transparenthint.h"
#include "platform/datafolder.h"
#include "platform/settingsfile.h"
#include "platform/intervaltimer.h"
#include "platform/timesource.h"
#include "platform/windowrecord.h"
#include "richedit/jvrichedit.h"
#include "richtext/notetitle.h"
#include "richtext/snapshottracker.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QHelpEvent>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QTextDocument>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// The header's row: margins, the close picture's size and the space before it.
constexpr int LeftMargin = 2;
constexpr int RightMargin = 1;
constexpr int CloseSize = 14;
constexpr int Spacing = 2;
// The preview timer once the pointer moved over a header.
constexpr int HintMoveInterval = 200;
constexpr int MaxShownCaption = 300;
// A tool tip of a whole long note would cover the screen.
constexpr int MaxShownHint = 1000;

// The last pointer position seen over any note header, in that header's
// coordinates: a move to the same coordinates over another header is no move.
QPoint lastHeaderPosition(0, 0);

// The close picture's 16-pixel image at the screen's pixel ratio; the row
// shows it without its outermost pixels.
QPixmap closePicture(qreal ratio)
{
    const QString key = QStringLiteral("qel-note-close-%1").arg(ratio);
    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        picture = QIcon(QStringLiteral(":/note/icons/close.svg")).pixmap(QSize(16, 16), ratio);
        QPixmapCache::insert(key, picture);
    }
    return picture;
}

} // namespace

// This library's resources are only reachable by name, so they are
// registered explicitly.
static void registerNoteResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(noteimages);
        return true;
    }();
    Q_UNUSED(done);
}

TNoteFrame::TNoteFrame(NoteHost &host, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
    , m_color(RichDocument::standardColor())
{
    static const QFont font = [] {
        QFont tahoma(QStringLiteral("Tahoma"));
        tahoma.setPointSize(8);
        return tahoma;
    }();
    registerNoteResources();
    setObjectName(QStringLiteral("Panel1"));
    setMouseTracking(true);
    setFont(font);
    m_headerColor = color();
    updateCaption(QString());
}

TNoteFrame::~TNoteFrame()
{
    // A row deleted under the pointer (by its own close picture) gets no
    // leave event; without this the board would never hide again.
    if (underMouse())
        --HoverCount;
    // The window's close handler belongs to this frame; a window still open
    // when the frame goes goes with it.
    if (m_frm) {
        disconnect(m_frm, nullptr, this, nullptr);
        delete m_frm;
    }
}

QString TNoteFrame::NoteTitle(const QString &text)
{
    return ::NoteTitle(text);
}

void TNoteFrame::setHeaderColor(const QColor &color)
{
    // Painted by paintEvent: a palette of its own would cost every row at start.
    if (color == m_headerColor)
        return;
    m_headerColor = color;
    update();
}

QColor TNoteFrame::headerColor() const
{
    return m_headerColor;
}

int TNoteFrame::closeLeft() const
{
    return width() - RightMargin - CloseSize;
}

QRect TNoteFrame::closeRect() const
{
    // At the right margin, centred in the row's height.
    return {closeLeft(), (HeaderHeight - CloseSize) / 2, CloseSize, CloseSize};
}

void TNoteFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_headerColor);
    painter.setPen(Qt::black);
    // The caption runs from the left margin up to the close picture, cut off there.
    const QRect caption(LeftMargin, 0, std::max(0, closeLeft() - Spacing - LeftMargin),
                        HeaderHeight);
    painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter, m_shownCaption);
    const QPixmap picture = closePicture(devicePixelRatioF());
    const qreal ratio = picture.devicePixelRatio();
    painter.drawPixmap(QRectF(closeRect()), picture,
                       QRectF(ratio, ratio, CloseSize * ratio, CloseSize * ratio));
}

RichDocument &TNoteFrame::edit() const
{
    // Reading leaves the note as it is to every caller: only when it happens changes.
    auto *self = const_cast<TNoteFrame *>(this);
    self->readNote();
    return self->document();
}

RichDocument &TNoteFrame::document()
{
    // A board of many notes starts before any of them has a document.
    if (!m_document) {
        m_document = std::make_unique<RichDocument>();
        m_document->setColor(m_color);
        connect(m_document->textDocument(), &QTextDocument::contentsChanged, this, [this] {
            m_checked = false;
            // Reading the file changes the document too; anything after that is the user's.
            if (m_read)
                forgetFileData();
        });
    }
    return *m_document;
}

void TNoteFrame::setColor(const QColor &color)
{
    m_color = color;
    if (m_document)
        m_document->setColor(color);
}

void TNoteFrame::readNote()
{
    if (m_read)
        return;
    QBuffer buffer(&m_fileData);
    buffer.open(QIODevice::ReadOnly);
    QString error;
    // A note in memory always reads; what it could not read whole says the damage.
    // Until m_read is set the document's changes are the reading's: the file data stays current.
    document().Lines().LoadFromStream(buffer, &error);
    m_read = true;
    updateCaption(m_document->Text());
    const QString damage = m_document->Lines().loadDamage();
    if (!damage.isEmpty())
        m_host.noteDamaged(*this, damage);
}

void TNoteFrame::forgetFileData()
{
    m_fileDataCurrent = false;
    m_fileData.clear();
}

QColor TNoteFrame::color() const
{
    return m_color;
}

void TNoteFrame::setNoteColor(const QColor &color)
{
    setColor(color);
    setHeaderColor(color);
}

QString TNoteFrame::Hint() const
{
    edit();
    return m_hint;
}

void TNoteFrame::updateCaption(const QString &text)
{
    setCaption(NoteTitle(text));
    m_hint = text;
}

void TNoteFrame::setCaption(const QString &title)
{
    m_captionText = title + QStringLiteral("..");
    // The row shows one line of a few dozen characters; laying out a long
    // first paragraph for it would make every start slow with many notes.
    m_shownCaption = m_captionText.left(MaxShownCaption);
    update();
}

bool TNoteFrame::LoadLines(const QString &AFileName, QString *error)
{
    if (!QFile::exists(AFileName))
        return true;
    QFile file(AFileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    LoadLines(AFileName, data);
    return true;
}

void TNoteFrame::LoadLines(const QString &AFileName, const QByteArray &data)
{
    FFileName = AFileName;
    m_fileData = data;
    // Plain text from the older series is stored as RTF from the document.
    m_fileDataCurrent = data.startsWith("{\\rtf");
    m_read = false;
    setCaption(NoteTitleOfData(data));
}

void TNoteFrame::LoadFormInfo()
{
    // A new note has no record until a store gives it one: the defaults.
    if (m_idx <= 0)
        return;
    const SettingsFile ini(SettingsFilePath());
    const QString section = recordName(m_idx);
    const qint32 color
        = ini.readInteger(section, QStringLiteral("Color"), ColorValue::fromColor(this->color()));
    setColor(ColorValue::toColor(color));
    setHeaderColor(this->color());
    if (!m_frm)
        return;
    m_frm->editor()->setColor(this->color());
    m_frm->setPlace(readWindowRecord(ini, section, QRect(m_frm->pos(), m_frm->size())));
}

bool TNoteFrame::SaveFormInfo(QString *error)
{
    if (!m_frm || m_idx <= 0)
        return true;
    SettingsFile ini(SettingsFilePath());
    const QString section = recordName(m_idx);
    const bool written = ini.writeInteger(section, QStringLiteral("Color"),
                                          ColorValue::fromColor(m_frm->editor()->Color()))
                         && writeWindowRecord(ini, section, QRect(m_frm->pos(), m_frm->size()));
    if (!written && error)
        *error = ini.errorString();
    return written;
}

void TNoteFrame::Panel1DblClick()
{
    m_host.ShowHints(false);
    if (m_doubleClickWait && m_doubleClickWait->isActive()) {
        doubleClickTimeOver();
        return;
    }
    m_host.hideBoard();
    if (!m_frm) {
        openNoteWindow();
        return;
    }
    if (m_frm->isMinimized())
        m_frm->showNormal();
    else if (!m_frm->isMaximized())
        m_frm->showMinimized();
}

void TNoteFrame::openNoteWindow()
{
    m_frm = new TRichForm(m_host);
    connect(m_frm, &TRichForm::closing, this, &TNoteFrame::NoteWindowClose);
    m_host.removeDeactivationHandler();
    m_frm->setWindowTitle(NoteTitle(edit().Text()));
    m_openedNew = FFileName.isEmpty() && edit().Text().isEmpty();
    m_frm->loadNote(edit());
    m_windowEdited = false;
    QTextDocument *document = m_frm->editor()->document();
    connect(document, &QTextDocument::contentsChanged, this, [this] { m_windowEdited = true; });
    m_windowSnapshot = new SnapshotTracker(*document, document);
    m_frm->fitHeightToText();
    LoadFormInfo();
    m_frm->showActive();
}

void TNoteFrame::NoteWindowClose()
{
    if (!m_frm)
        return;
    edit().setContent(*m_frm->editor());
    updateCaption(m_document->Text());
    setColor(m_frm->editor()->Color());
    setHeaderColor(color());

    // A new note closed still empty is no note. It goes once this handler is
    // over: the board may be walking its notes to close their windows.
    if (m_openedNew && m_document->Text().isEmpty()) {
        m_frm = nullptr;
        QMetaObject::invokeMethod(
            this, [this] { m_host.DeleteNote(this); }, Qt::QueuedConnection);
        return;
    }
    m_host.StoreNotes();
    QString error;
    if (!SaveFormInfo(&error))
        m_host.reportError(error);
    m_frm = nullptr;
}

QByteArray TNoteFrame::noteData() const
{
    if (m_frm)
        return m_frm->editor()->toRtf();
    return m_fileDataCurrent ? m_fileData : edit().toRtf();
}

DocumentSnapshot TNoteFrame::noteSnapshot() const
{
    return m_frm ? m_windowSnapshot->snapshot() : DocumentSnapshot::take(*edit().textDocument());
}

void TNoteFrame::closeNoteWindow()
{
    if (m_frm)
        m_frm->close();
}

void TNoteFrame::Panel1Click()
{
    // Once previews exist, a click switches them instead of opening the note.
    if (m_host.HintWindow()) {
        const IntervalTimer *timer = m_host.HintTimer();
        m_host.ShowHints(!(timer && timer->isActive()));
        return;
    }
    if (m_frm) {
        Panel1DblClick();
        return;
    }
    // The window opens at once, and the board stays up for the time of a
    // double click: the second click then lands on this header, not on
    // whatever lies below the board, and does not toggle the new window.
    openNoteWindow();
    if (!m_doubleClickWait) {
        m_doubleClickWait = m_host.time().createTimer(this);
        m_doubleClickWait->setInterval(QApplication::doubleClickInterval());
        connect(m_doubleClickWait, &IntervalTimer::timeout, this, &TNoteFrame::doubleClickTimeOver);
    }
    m_doubleClickWait->start();
}

void TNoteFrame::doubleClickTimeOver()
{
    m_doubleClickWait->stop();
    m_host.hideBoard();
    if (m_frm)
        m_frm->showActive();
}

void TNoteFrame::Panel1MouseMove(const QPoint &position)
{
    if (position == lastHeaderPosition)
        return;
    lastHeaderPosition = position;
    if (IntervalTimer *timer = m_host.HintTimer())
        timer->setInterval(HintMoveInterval);
    m_host.restartAutoHideTimer();
    m_host.SelectNote(this);
    if (m_host.showHintEnabled())
        showPreview(mapToGlobal(position));
}

void TNoteFrame::showPreview(const QPoint &pointer)
{
    TTransparentHint *hint = m_host.HintWindow();
    const bool first = !hint;
    if (first) {
        // The first preview is not made for a note that is open in its window.
        if (m_frm)
            return;
        hint = m_host.createHintWindow();
        if (!hint)
            return;
        if (IntervalTimer *timer = m_host.HintTimer())
            timer->start();
    } else {
        hint->setTransparency(255);
    }
    // While the note window is open, the note is what the window holds.
    hint->SetRichEdit(m_frm ? *m_frm->editor() : edit());
    hint->restartTiming();
    hint->placeBelow(pointer, width());
    // A hidden preview that existed stays hidden: the timers show it after a rest.
    if (first)
        hint->show();
}

void TNoteFrame::Panel1MouseDown()
{
    if (TTransparentHint *hint = m_host.HintWindow())
        hint->buttonPressed();
}

void TNoteFrame::imCloseClick()
{
    const QString question = tr("Do you want to delete following note?\r\n\r\n%1").arg(caption());
    if (!m_host.confirm(question))
        return;
    // The window's close handler belongs to this frame: the window closes
    // first, taking its text back, and only then does the note go.
    closeNoteWindow();
    m_host.DeleteNote(this);
}

void TNoteFrame::Timer1Timer()
{
    // Taking and comparing the text of a long note holds up typing in any
    // note: done only after the note changed.
    if (!TDM::focusedEditor() || m_checked)
        return;
    // Saving the note from here is left to the board's stores: after a
    // deletion and a store, the file this note was loaded from may hold
    // another note by now.
    const QString text = edit().Text();
    m_hint = text;
    if (QString::compare(text, TextSave, Qt::CaseInsensitive) != 0)
        MarkLinks(edit());
    TextSave = text;
    m_checked = true;
}

bool TNoteFrame::showHeaderHint(const QPoint &globalPos)
{
    // The preview shows the note's text: a tool tip of it would only cover it.
    if (!m_host.showHintEnabled() || m_host.HintWindow())
        return false;
    const QString hint = Hint();
    if (hint.isEmpty())
        return false;
    QString text = hint.left(MaxShownHint);
    if (text.size() < hint.size())
        text += QChar(0x2026);
    QToolTip::showText(globalPos, text, this);
    return true;
}

bool TNoteFrame::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        mouseEvent(static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        // A row pulled up or down with the button held moves to where it is let go.
        if (m_pressPoint && (mouse->buttons() & Qt::LeftButton)
            && std::abs(mouse->position().y() - m_pressPoint->y())
                   >= QApplication::startDragDistance())
            m_dragging = true;
        Panel1MouseMove(mouse->position().toPoint());
        return true;
    }
    case QEvent::ToolTip:
        if (!showHeaderHint(static_cast<QHelpEvent *>(event)->globalPos()))
            QToolTip::hideText();
        return true;
    default:
        return QWidget::event(event);
    }
}

void TNoteFrame::mouseEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    const bool left = event->button() == Qt::LeftButton;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        // The close picture takes its presses; the rest of the row hides the preview.
        m_pressOnClose = closeRect().contains(point);
        if (!m_pressOnClose)
            Panel1MouseDown();
        if (left && !m_pressOnClose)
            m_pressPoint = event->position();
        break;
    case QEvent::MouseButtonRelease:
        m_pressPoint.reset();
        if (std::exchange(m_dragging, false)) {
            m_host.dropRow(*this, event->globalPosition().toPoint());
            break;
        }
        if (std::exchange(m_pressOnClose, false)) {
            if (left && closeRect().contains(point))
                imCloseClick();
            break;
        }
        // The release that ends a double click is no click of its own.
        if (!std::exchange(m_doubleClicked, false) && left && rect().contains(point))
            Panel1Click();
        break;
    case QEvent::MouseButtonDblClick:
        m_pressOnClose = closeRect().contains(point);
        if (left && !m_pressOnClose) {
            m_doubleClicked = true;
            Panel1DblClick();
        }
        break;
    default:
        break;
    }
}

// The row counts once for its header and its close picture.
void TNoteFrame::enterEvent(QEnterEvent *event)
{
    ++HoverCount;
    QWidget::enterEvent(event);
}

void TNoteFrame::leaveEvent(QEvent *event)
{
    --HoverCount;
    QWidget::leaveEvent(event);
}
