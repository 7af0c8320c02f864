#include "note/noteframe.h"

#include "commands/commandmodule.h"
#include "links/marklinks.h"
#include "note/colorvalue.h"
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
#include "richtext/textcontrast.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QPoint>
#include <QScopedValueRollback>
#include <QTextDocument>

namespace {

// The preview timer once the pointer moved over a header.
constexpr int HintMoveInterval = 200;
// A tool tip of a whole long note would cover the screen.
constexpr int MaxShownHint = 1000;

} // namespace

TNoteFrame::TNoteFrame(NoteHost &host, QObject *parent)
    : QObject(parent)
    , m_host(host)
    , m_color(RichDocument::standardColor())
{
    setObjectName(QStringLiteral("Panel1"));
    updateCaption(QString());
}

TNoteFrame::~TNoteFrame()
{
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
            // Reading the file changes the document too, and so does marking
            // the links its text holds; anything else is the user's.
            if (m_read && !m_markingLinks)
                forgetFileData();
        });
    }
    return *m_document;
}

void TNoteFrame::setColor(const QColor &color)
{
    if (m_document)
        m_document->setColor(color);
    if (color == m_color)
        return;
    m_color = color;
    Q_EMIT headerChanged();
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
    // A caption still to be read comes from the data going now.
    caption();
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

QString TNoteFrame::caption() const
{
    if (m_captionText.isNull())
        m_captionText = NoteTitleOfData(m_fileData) + QStringLiteral("..");
    return m_captionText;
}

void TNoteFrame::setCaption(const QString &title)
{
    const QString caption = title + QStringLiteral("..");
    if (caption == m_captionText)
        return;
    m_captionText = caption;
    Q_EMIT headerChanged();
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
    m_captionText = QString();
    Q_EMIT headerChanged();
}

void TNoteFrame::reload(const QString &fileName, const QByteArray &data)
{
    LoadLines(fileName, data);
    if (!m_frm) {
        LoadFormInfo();
        return;
    }
    // The window shows the new text as if it had just opened on it; its
    // place and colour are the user's until it closes.
    readNote();
    m_frm->loadNote(*m_document);
    m_frm->setWindowTitle(NoteTitle(m_document->Text()));
    m_windowEdited = false;
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
    // Colouring and showing the window touch its document: only what comes
    // after is an edit.
    m_windowEdited = false;
}

void TNoteFrame::NoteWindowClose()
{
    if (!m_frm)
        return;
    edit().setContent(*m_frm->editor());
    // What was typed since the last save is in the note now, until a store.
    m_unstored = m_unstored || m_windowEdited;
    updateCaption(m_document->Text());
    setColor(m_frm->editor()->Color());

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

void TNoteFrame::Panel1MouseMove(const QPoint &pointer, int rowWidth)
{
    if (IntervalTimer *timer = m_host.HintTimer())
        timer->setInterval(HintMoveInterval);
    m_host.restartAutoHideTimer();
    m_host.SelectNote(this);
    if (m_host.showHintEnabled())
        showPreview(pointer, rowWidth);
}

void TNoteFrame::showPreview(const QPoint &pointer, int rowWidth)
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
    hint->placeBelow(pointer, rowWidth);
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
    if (QString::compare(text, TextSave, Qt::CaseInsensitive) != 0) {
        const QScopedValueRollback marking(m_markingLinks, true);
        MarkLinks(edit());
    }
    TextSave = text;
    m_checked = true;
}

QString TNoteFrame::headerHint() const
{
    // The preview shows the note's text: a tool tip of it would only cover it.
    if (!m_host.showHintEnabled() || m_host.HintWindow())
        return {};
    const QString hint = Hint();
    QString text = hint.left(MaxShownHint);
    if (text.size() < hint.size())
        text += QChar(0x2026);
    return text;
}
