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
#include <utility>

namespace {

constexpr int HeaderHeight = 16;
// The header's row: margins, the close picture's size and the space before it.
constexpr int LeftMargin = 2;
constexpr int RightMargin = 1;
constexpr int CloseSize = 14;
constexpr int Spacing = 2;
constexpr int CheckInterval = 2000;
// The preview timer until the pointer first moved over the header, and after.
constexpr int HintFirstInterval = 1000;
constexpr int HintMoveInterval = 200;
constexpr int MaxShownCaption = 300;
// A tool tip of a whole long note would cover the screen.
constexpr int MaxShownHint = 1000;

// The last pointer position seen over any note header, in that header's
// coordinates: a move to the same coordinates over another header is no move.
QPoint lastHeaderPosition(0, 0);

// The close picture's 16-pixel image without its outermost pixels.
QPixmap closePicture()
{
    static const QString key = QStringLiteral("qel-note-close");
    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        picture = QIcon(QStringLiteral(":/note/icons/close.svg"))
                      .pixmap(16, 16)
                      .copy(1, 1, CloseSize, CloseSize);
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
    registerNoteResources();
    createHeader();

    m_timer = host.time().createTimer(this);
    m_timer->setInterval(CheckInterval);
    connect(m_timer, &IntervalTimer::timeout, this, &TNoteFrame::Timer1Timer);
    m_timer->start();
    m_doubleClickWait = host.time().createTimer(this);
    m_doubleClickWait->setInterval(QApplication::doubleClickInterval());
    connect(m_doubleClickWait, &IntervalTimer::timeout, this, &TNoteFrame::doubleClickTimeOver);
    m_hintTimer = host.time().createTimer(this);
    m_hintTimer->setInterval(HintFirstInterval);
    connect(m_hintTimer, &IntervalTimer::timeout, this, &TNoteFrame::HintTimerTimer);
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
    // Painted by paintHeader: a palette of its own would cost every row at start.
    if (color == m_headerColor)
        return;
    m_headerColor = color;
    m_header->update();
}

QColor TNoteFrame::headerColor() const
{
    return m_headerColor;
}

void TNoteFrame::createHeader()
{
    static const QFont font = [] {
        QFont tahoma(QStringLiteral("Tahoma"));
        tahoma.setPointSize(8);
        return tahoma;
    }();
    m_header = new QWidget(this);
    m_header->setObjectName(QStringLiteral("Panel1"));
    m_header->setFixedHeight(HeaderHeight);
    m_header->setMouseTracking(true);
    m_header->installEventFilter(this);
    m_header->setFont(font);
    m_headerColor = color();

    // The caption is painted with the background (see paintHeader) and the
    // close picture placed by resizeEvent: a board of a thousand rows starts
    // without a thousand labels and layouts.
    m_close = new QLabel(m_header);
    m_close->setObjectName(QStringLiteral("imClose"));
    m_close->resize(CloseSize, CloseSize);
    m_close->setPixmap(closePicture());
    m_close->installEventFilter(this);
    updateCaption(QString());
}

void TNoteFrame::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The close picture sits at the right margin, centred in the row's height.
    m_header->setGeometry(0, 0, width(), HeaderHeight);
    m_close->move(closeLeft(), (HeaderHeight - CloseSize) / 2);
}

int TNoteFrame::closeLeft() const
{
    return width() - RightMargin - CloseSize;
}

void TNoteFrame::paintHeader()
{
    QPainter painter(m_header);
    painter.fillRect(m_header->rect(), m_headerColor);
    painter.setPen(Qt::black);
    // The caption runs from the left margin up to the close picture, cut off there.
    const QRect caption(LeftMargin, 0, std::max(0, closeLeft() - Spacing - LeftMargin),
                        HeaderHeight);
    painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter, m_shownCaption);
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
    m_header->update();
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
    if (m_doubleClickWait->isActive()) {
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
        m_host.ShowHints(!m_hintTimer->isActive());
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
    m_hintTimer->setInterval(HintMoveInterval);
    m_host.restartAutoHideTimer();
    m_host.SelectNote(this);
    if (m_host.showHintEnabled())
        showPreview(m_header->mapToGlobal(position));
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
        m_hintTimer->start();
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

void TNoteFrame::HintTimerTimer()
{
    if (TTransparentHint *hint = m_host.HintWindow())
        hint->HintTimerTimer();
}

void TNoteFrame::imCloseClick()
{
    const QString question
        = QStringLiteral("Do you want to delete following note?\r\n\r\n%1").arg(caption());
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
    QToolTip::showText(globalPos, text, m_header);
    return true;
}

bool TNoteFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_close) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return true;
        case QEvent::MouseButtonRelease: {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton
                && m_close->rect().contains(mouse->position().toPoint()))
                imCloseClick();
            return true;
        }
        default:
            return false;
        }
    }
    if (watched == m_header) {
        switch (event->type()) {
        case QEvent::Paint:
            paintHeader();
            return true;
        case QEvent::MouseButtonPress:
            Panel1MouseDown();
            return true;
        case QEvent::MouseButtonRelease: {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            // The release that ends a double click is no click of its own.
            const bool click = !std::exchange(m_doubleClicked, false);
            if (click && mouse->button() == Qt::LeftButton
                && m_header->rect().contains(mouse->position().toPoint()))
                Panel1Click();
            return true;
        }
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
                m_doubleClicked = true;
                Panel1DblClick();
            }
            return true;
        case QEvent::MouseMove:
            Panel1MouseMove(static_cast<QMouseEvent *>(event)->position().toPoint());
            return false;
        case QEvent::ToolTip:
            if (!showHeaderHint(static_cast<QHelpEvent *>(event)->globalPos()))
                QToolTip::hideText();
            return true;
        default:
            return false;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Qt's enter and leave events nest (entering the header from the frame leaves
// nothing), so the frame alone counts for the header and the close picture.
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
