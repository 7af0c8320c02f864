#include "board/notesboard.h"

#include "board/boardfilter.h"
#include "board/desktopicon.h"
#include "board/errormessage.h"
#include "board/notesavequeue.h"
#include "board/notestorage.h"
#include "board/placekeeper.h"
#include "commands/commandmodule.h"
#include "commands/imagelist.h"
#include "note/hovercount.h"
#include "note/noteframe.h"
#include "note/notewindow.h"
#include "note/transparenthint.h"
#include "platform/datafolder.h"
#include "platform/debugout.h"
#include "platform/intervaltimer.h"
#include "platform/desktopshortcut.h"
#include "platform/screenplace.h"
#include "platform/settingsfile.h"
#include "platform/systemtimer.h"
#include "platform/timesource.h"
#include "platform/windowrecord.h"
#include "richtext/richdocument.h"
#include "richedit/jvrichedit.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QScopedValueRollback>
#include <QSizeGrip>
#include <QTextDocument>
#include <QToolBar>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace {
constexpr int GripSize = 16;               // largest distance from the edges inside the grip
constexpr int MinimumSize = 100;           // while resizing
constexpr int MinimumClient = 96;          // client height of a board with few notes
constexpr QColor Highlight(166, 202, 240); // the hovered row
constexpr int Frame = 2;                   // one-pixel border plus one-pixel inner border
constexpr QSize DesignClient{183, 493};
// Typing in a note window reaches the disk within this time.
constexpr int SaveInterval = 3000;

// Room for a window manager's title bar and borders around a question.
constexpr QMargins QuestionFrame(8, 32, 8, 8);
constexpr int QuestionGap = 8;

const QString MainSection = QStringLiteral("Main");
const QString ShortcutName = QStringLiteral("QelNotes");
} // namespace

TFrmNote::TFrmNote(QWidget *parent)
    : TFrmNote(parent, TimeSource::system())
{}

TFrmNote::TFrmNote(QWidget *parent, const TimeSource &time)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
    , m_time(time)
{
    setWindowTitle(QStringLiteral("Qel Notes"));
    setObjectName(QStringLiteral("FrmNote"));
    // Hovering the icon must not take the keyboard from the window the user works in.
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Never active, the board would otherwise show no tool tips.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setMouseTracking(true);
    setAcceptDrops(true);
    setContentsMargins(Frame, Frame, Frame, Frame);
    resize(DesignClient.width() + 2 * Frame, DesignClient.height() + 2 * Frame);
    new PlaceKeeper(this);

    createActions();
    createControls();

    ApplyStayOnTop(true);
    m_readTimer = m_time.createTimer(this);
    m_readTimer->setInterval(0);
    connect(m_readTimer, &IntervalTimer::timeout, this, &TFrmNote::readNextNote);
    m_saveQueue = new NoteSaveQueue(this);
    // The note's file may be anywhere in between: a full store puts every
    // note in place, as after a failed synchronous save.
    connect(m_saveQueue, &NoteSaveQueue::saveFailed, this, [this] {
        QString error;
        const bool saved = storeAllNotes(&error);
        if (!saved) {
            for (TNoteFrame *frame : std::as_const(m_notes))
                frame->setWindowUnstored();
        }
        reportSaveResult(saved, error);
    });
    LoadNotes();
    LoadSettings();

    m_saveTimer = new SystemTimer(this);
    m_saveTimer->setInterval(SaveInterval);
    connect(m_saveTimer, &IntervalTimer::timeout, this, &TFrmNote::SaveEditedNotes);
    m_saveTimer->start();
}

TFrmNote::~TFrmNote()
{
    // The frames go before the rest of the board they report to.
    qDeleteAll(m_notes);
}

void TFrmNote::createActions()
{
    auto action = [this](const QString &name, const QString &caption, int image) {
        auto *result = new QAction(caption, this);
        result->setObjectName(name);
        if (image >= 0)
            result->setIcon(ImageList::icon(image));
        return result;
    };
    New1 = action(QStringLiteral("New1"), QStringLiteral("New"), 58);
    Open1 = action(QStringLiteral("Open1"), QStringLiteral("Open"), 7);
    mnDesktop = action(QStringLiteral("mnDesktop"), QStringLiteral("Desktop"), -1);
    mnStartup = action(QStringLiteral("mnStartup"), QStringLiteral("Startup"), -1);
    mnStartup->setToolTip(QStringLiteral("QelClock at startup"));
    mnStayOnTop = action(QStringLiteral("mnStayOnTop"), QStringLiteral("Stay On top"), -1);
    mnShowHint = action(QStringLiteral("mnShowHint"), QStringLiteral("Show Hint"), -1);
    About2 = action(QStringLiteral("About2"), QStringLiteral("About..."), 61);
    Close2 = action(QStringLiteral("Close2"), QStringLiteral("Close"), 60);
    for (QAction *checkable : {mnDesktop, mnStartup, mnStayOnTop, mnShowHint})
        checkable->setCheckable(true);

    connect(New1, &QAction::triggered, this, &TFrmNote::New1Click);
    connect(Open1, &QAction::triggered, this, &TFrmNote::Open1Click);
    connect(mnDesktop, &QAction::triggered, this, &TFrmNote::mnDesktopClick);
    connect(mnStartup, &QAction::triggered, this, &TFrmNote::mnStartupClick);
    connect(mnStayOnTop, &QAction::triggered, this, &TFrmNote::mnStayOnTopClick);
    connect(mnShowHint, &QAction::triggered, this, &TFrmNote::mnShowHintClick);
    connect(About2, &QAction::triggered, this, &TFrmNote::About1Click);
    connect(Close2, &QAction::triggered, this, [this] { imCloseClick(Close2); });

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->setToolTipsVisible(true);
    PopupMenu1->addAction(New1);
    PopupMenu1->addAction(Open1);
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({mnDesktop, mnStartup, mnStayOnTop, mnShowHint});
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(About2);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(Close2);

    // The two board commands the note menu borrows.
    EditSelectAll1 = action(QStringLiteral("EditSelectAll1"), QStringLiteral("Select &All"), -1);
    EditSelectAll1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    EditSelectAll1->setShortcutContext(Qt::WidgetShortcut);
    connect(EditSelectAll1, &QAction::triggered, this, &TFrmNote::selectAllInFocusedEditor);
    FileSaveAs1 = action(QStringLiteral("FileSaveAs1"), QStringLiteral("Save &As..."), 46);
    // The note's own Save As does the saving: this entry is that command
    // under the board's name, enabled exactly when it is.
    if (TDM *dm = TDM::instance()) {
        FileSaveAs1->setEnabled(dm->FileSaveAs1->isEnabled());
        connect(dm->FileSaveAs1, &QAction::enabledChanged, FileSaveAs1, &QAction::setEnabled);
        connect(FileSaveAs1, &QAction::triggered, dm->FileSaveAs1, &QAction::trigger);
    } else {
        FileSaveAs1->setEnabled(false);
    }
}

void TFrmNote::createControls()
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The rows may be cut off by a small board; they never hold its size up.
    layout->setSizeConstraint(QLayout::SetNoConstraint);

    pnWorkArea = new QWidget(this);
    pnWorkArea->setObjectName(QStringLiteral("pnWorkArea"));
    pnWorkArea->setMouseTracking(true);
    pnWorkArea->installEventFilter(this);
    layout->addWidget(pnWorkArea, 1);
    m_filter = new BoardFilter(pnWorkArea);
    connect(m_filter, &BoardFilter::queryChanged, this, &TFrmNote::applyFilter);

    tbRight = new QToolBar(this);
    tbRight->setObjectName(QStringLiteral("tbRight"));
    tbRight->setOrientation(Qt::Vertical);
    tbRight->setIconSize(QSize(ImageList::Size, ImageList::Size));
    tbRight->setMovable(false);
    tbRight->setFloatable(false);
    tbRight->setMouseTracking(true);
    tbRight->setStyleSheet(
        QStringLiteral("QToolBar#tbRight { border: 1px solid palette(mid); padding: 1px;"
                       " background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 palette(light),"
                       " stop:1 palette(button)); }"));
    tbRight->addAction(New1);
    tbRight->installEventFilter(this);
    if (QWidget *tbNew = tbRight->widgetForAction(New1)) {
        tbNew->setObjectName(QStringLiteral("tbNew"));
        tbNew->installEventFilter(this);
    }
    layout->addWidget(tbRight, 0);

    // Shows where the board is resized; the presses go through it to the
    // board's own handlers.
    m_gripMark = new QSizeGrip(this);
    m_gripMark->setAttribute(Qt::WA_TransparentForMouseEvents);
}

// --- storage -----------------------------------------------------------------

TNoteFrame *TFrmNote::createFrame()
{
    return new TNoteFrame(*this, pnWorkArea);
}

void TFrmNote::LoadNotes()
{
    m_storage = std::make_unique<NoteStorage>(DataFolder());
    const NoteLoadResult result = m_storage->load([&](const StoredNote &note, QString *) {
        TNoteFrame *frame = createFrame();
        frame->setIdx(note.record);
        frame->LoadFormInfo();
        frame->LoadLines(note.fileName, note.data);
        m_notes.append(frame);
        frame->show();
        return true;
    });
    ArrangeNotes();
    if (!result.problems.isEmpty())
        ShowErrorMessage(this, result.problems.join(u'\n'));
    // The rows show the titles; the notes are read one by one once the board is up.
    m_readNext = 0;
    m_readTimer->start();
}

void TFrmNote::readNextNote()
{
    while (m_readNext < m_notes.size() && m_notes.at(m_readNext)->noteRead())
        ++m_readNext;
    if (m_readNext == m_notes.size()) {
        m_readTimer->stop();
        return;
    }
    m_notes.at(m_readNext)->readNote();
}

void TFrmNote::noteDamaged(TNoteFrame &frame, const QString &damage)
{
    const QString title = TNoteFrame::NoteTitle(frame.edit().Text());
    const StoredNote file{frame.fileName(), frame.fileData()};
    const QString copy = keepDamagedCopy(frame, file);
    if (copy.isEmpty()) {
        m_uncopiedDamage.append({&frame, file});
        tellLater(tr("The note \"%1\" is damaged (%2). It shows the text that could be read; its "
                     "file stays as it is until a copy of it can be kept. %3")
                      .arg(title, damage, m_storage->errorString()));
    } else {
        tellLater(tr("The note \"%1\" is damaged (%2). It shows the text that could be read; the "
                     "file as it was is kept as %3.")
                      .arg(title, damage, copy));
    }
}

QString TFrmNote::keepDamagedCopy(TNoteFrame &frame, const StoredNote &file)
{
    // The next store writes only what could be read: the file as it is must be kept first.
    const QString copy = m_storage->keepDamagedCopy(file);
    if (!copy.isEmpty())
        frame.forgetFileData();
    return copy;
}

bool TFrmNote::keepDamagedCopies(QString *error)
{
    // A damaged note whose file could not be copied is stored as that file
    // until it changes; then the copy must be made before the store.
    for (qsizetype i = 0; i < m_uncopiedDamage.size();) {
        const auto &[frame, file] = m_uncopiedDamage.at(i);
        if (!frame || !m_notes.contains(frame) || !keepDamagedCopy(*frame, file).isEmpty()) {
            m_uncopiedDamage.removeAt(i);
            continue;
        }
        if (frame->Frm() || frame->fileData().isEmpty()) {
            *error = m_storage->errorString();
            return false;
        }
        ++i;
    }
    return true;
}

void TFrmNote::tellLater(const QString &message)
{
    // A note is read wherever it is first needed: the message box waits
    // until that is done, and says everything found meanwhile at once.
    if (m_untold.isEmpty()) {
        QMetaObject::invokeMethod(
            this, [this] { ShowErrorMessage(this, std::exchange(m_untold, {}).join(u'\n')); },
            Qt::QueuedConnection);
    }
    m_untold.append(message);
}

void TFrmNote::StoreNotes()
{
    if (!m_storage || m_closing)
        return;
    QString error;
    if (!storeAllNotes(&error))
        ShowErrorMessage(this, error);
}

bool TFrmNote::storeAllNotes(QString *error)
{
    // A store writes every note as it is now: saves still pending would put
    // older texts over it, their failures are made good by it.
    m_saveQueue->waitForPendingSave();
    m_saveQueue->discardFailures();
    if (!keepDamagedCopies(error))
        return false;
    // A window's working copy, not the text it opened with: the periodic
    // save may have written it already, and a store must not take it back.
    QList<QByteArray> notes;
    for (TNoteFrame *frame : std::as_const(m_notes))
        notes.append(frame->noteData());
    if (!m_storage->store(notes)) {
        *error = m_storage->errorString();
        return false;
    }
    if (!moveRecords(error))
        return false;
    for (TNoteFrame *frame : std::as_const(m_notes)) {
        frame->setWindowStored();
        if (!frame->SaveFormInfo(error))
            return false;
    }
    return true;
}

void TFrmNote::SaveEditedNotes()
{
    if (!m_storage)
        return;
    for (qsizetype i = 0; i < m_notes.size(); ++i) {
        TNoteFrame *frame = m_notes.at(i);
        if (!frame->windowEdited())
            continue;
        const bool copyOwed
            = std::any_of(m_uncopiedDamage.cbegin(), m_uncopiedDamage.cend(),
                          [frame](const auto &owed) { return owed.first == frame; });
        if (!m_storage->canStoreNote(int(i)) || copyOwed) {
            // The files are not numbered like the list (a note was added or
            // deleted since the last store), or a damaged note's file must be
            // copied first: only a full store is safe.
            QString error;
            reportSaveResult(storeAllNotes(&error), error);
            return;
        }
        m_saveQueue->save(m_storage->noteFileName(int(i)), frame->noteSnapshot());
        frame->setWindowStored();
    }
}

void TFrmNote::waitForPendingSave()
{
    m_saveQueue->waitForPendingSave();
}

void TFrmNote::reportSaveResult(bool saved, const QString &error)
{
    if (saved) {
        m_saveFailureShown = false;
    } else if (!m_saveFailureShown) {
        m_saveFailureShown = true;
        ShowErrorMessage(this, error);
    }
}

bool TFrmNote::moveRecords(QString *error)
{
    QList<std::pair<QString, QString>> copies;
    for (qsizetype i = 0; i < m_notes.size(); ++i) {
        const int idx = m_notes.at(i)->Idx();
        if (idx != i + 1)
            copies.append({idx > 0 ? TNoteFrame::recordName(idx) : QString(),
                           TNoteFrame::recordName(int(i) + 1)});
    }
    if (copies.isEmpty())
        return true;
    SettingsFile ini(SettingsFilePath());
    if (!ini.copySections(copies)) {
        *error = ini.errorString();
        return false;
    }
    for (qsizetype i = 0; i < m_notes.size(); ++i)
        m_notes.at(i)->setIdx(int(i) + 1);
    return true;
}

void TFrmNote::LoadSettings()
{
    SettingsFile ini(SettingsFilePath());
    const QRect stored = readWindowRecord(ini, MainSection, QRect(pos(), size()));
    // A record that would make the board vanish (off every screen, or
    // shrunk below its resizing minimum) is brought back within reach, and
    // one stored with fewer notes than there are now grows to show them all.
    const QRect frame(stored.topLeft(), stored.size()
                                            .expandedTo(QSize(MinimumSize, MinimumSize))
                                            .expandedTo(QSize(0, arrangedHeight())));
    setGeometry(QRect(placeOnScreen(frame), frame.size()));
    m_showHint = ini.readBool(MainSection, QStringLiteral("ShowHint"), m_showHint);
    ApplyStayOnTop(ini.readBool(MainSection, QStringLiteral("StayOnTop"), FStayOnTop));
    mnDesktop->setChecked(ShortcutExists(ShortcutName, ShortcutFolder::Desktop));
    mnStartup->setChecked(ShortcutExists(ShortcutName, ShortcutFolder::Startup));
    mnShowHint->setChecked(m_showHint);
}

void TFrmNote::StoreSettings()
{
    // A failing write ends the record silently, as documented for the board.
    SettingsFile ini(SettingsFilePath());
    writeWindowRecord(ini, MainSection, QRect(pos(), size()))
        && ini.writeBool(MainSection, QStringLiteral("ShowHint"), m_showHint)
        && ini.writeBool(MainSection, QStringLiteral("StayOnTop"), FStayOnTop);
}

// --- rows --------------------------------------------------------------------

void TFrmNote::SelectNote(TNoteFrame *item)
{
    m_actNote = item;
    for (TNoteFrame *frame : std::as_const(m_notes))
        frame->setHeaderColor(frame == item ? Highlight : frame->color());
}

void TFrmNote::DeleteNote(TNoteFrame *item)
{
    if (!m_notes.removeOne(item))
        return;
    if (m_actNote == item)
        m_actNote = nullptr;
    // The preview may show the note that goes, and the note's timer may be
    // the one that would hide it; the timing goes on with another note's.
    if (m_hintWindow) {
        m_hintWindow->stop();
        const auto running = [](TNoteFrame *frame) { return frame->HintTimer()->isActive(); };
        if (running(item) && !m_notes.isEmpty()
            && std::none_of(m_notes.begin(), m_notes.end(), running))
            m_notes.first()->HintTimer()->start();
    }
    // The frame may be deleting itself from its own handler: it goes once
    // that handler has returned. Its note window, if any, goes with it.
    item->hide();
    item->deleteLater();
    m_readNext = 0; // the notes not yet read may have moved up
    if (m_storage)
        m_storage->listChanged();
    ArrangeNotes();
}

void TFrmNote::ArrangeNotes()
{
    resize(width(), arrangedHeight());
    layoutRows();
}

int TFrmNote::arrangedHeight() const
{
    const int rows = int(m_notes.size());
    const int rowHeight = rows ? m_notes.first()->Panel1()->height() : 0;
    return std::max(MinimumClient, rowHeight * rows) + 2 * Frame;
}

int TFrmNote::clientHeight() const
{
    return height() - 2 * Frame;
}

void TFrmNote::layoutRows()
{
    // Rows lie top-aligned in list order; a board too small for all of them
    // cuts the last ones off.
    int top = 0;
    if (m_filter->isVisibleTo(this)) {
        m_filter->setGeometry(0, 0, pnWorkArea->width(), m_filter->sizeHint().height());
        top = m_filter->height();
    }
    for (TNoteFrame *frame : std::as_const(m_notes)) {
        if (frame->isHidden())
            continue;
        const int height = frame->Panel1()->height();
        frame->setGeometry(0, top, pnWorkArea->width(), height);
        top += height;
    }
}

void TFrmNote::applyFilter()
{
    for (TNoteFrame *frame : std::as_const(m_notes)) {
        // An open note is matched as its window holds it.
        const QTextDocument *document
            = frame->Frm() ? frame->Frm()->editor()->document() : frame->edit().textDocument();
        frame->setVisible(m_filter->matches(document));
    }
    layoutRows();
    const auto shown = std::count_if(m_notes.begin(), m_notes.end(),
                                     [](const TNoteFrame *frame) { return !frame->isHidden(); });
    DebugOut(QStringLiteral("Board filter \"%1\": %2 of %3 notes shown")
                 .arg(m_filter->text())
                 .arg(shown)
                 .arg(m_notes.size()));
}

// --- commands ----------------------------------------------------------------

void TFrmNote::New1Click()
{
    TNoteFrame *frame = createFrame();
    m_notes.append(frame);
    if (m_storage)
        m_storage->listChanged();
    frame->show();
    frame->Panel1DblClick();
    ArrangeNotes();
}

void TFrmNote::Open1Click()
{
    if (m_actNote)
        m_actNote->Panel1DblClick();
}

void TFrmNote::About1Click()
{
    WMAbout();
}

void TFrmNote::WMAbout()
{
    if (m_aboutBox)
        m_aboutBox->exec();
    if (m_notes.isEmpty())
        New1Click();
}

void TFrmNote::imCloseClick(QObject *sender)
{
    if (sender == this)
        return;
    // Text being edited in note windows is taken back first, not lost. Every
    // note and the settings are then stored once, by the board's close event:
    // each window storing all notes on its way out, and the Close command
    // before the close event again, made closing grow with the notes times
    // the windows.
    {
        const QScopedValueRollback closing(m_closing, true);
        for (TNoteFrame *frame : std::as_const(m_notes))
            frame->closeNoteWindow();
    }
    close();
    if (m_icon)
        m_icon->Close2Click(this);
}

void TFrmNote::mnDesktopClick()
{
    ToggleShortcut(QCoreApplication::applicationFilePath(), ShortcutName, ShortcutDescription(),
                   ShortcutFolder::Desktop);
    mnDesktop->setChecked(ShortcutExists(ShortcutName, ShortcutFolder::Desktop));
}

void TFrmNote::mnStartupClick()
{
    ToggleShortcut(QCoreApplication::applicationFilePath(), ShortcutName, ShortcutDescription(),
                   ShortcutFolder::Startup);
    mnStartup->setChecked(ShortcutExists(ShortcutName, ShortcutFolder::Startup));
}

void TFrmNote::mnStayOnTopClick()
{
    ApplyStayOnTop(!FStayOnTop);
}

void TFrmNote::mnShowHintClick()
{
    m_showHint = !m_showHint;
    mnShowHint->setChecked(m_showHint);
    StoreSettings();
}

void TFrmNote::ApplyStayOnTop(bool value)
{
    FStayOnTop = value;
    mnStayOnTop->setChecked(value);
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) == value)
        return;
    // Changing a window flag hides a shown window; it stays where it was.
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, value);
    if (shown)
        show();
}

void TFrmNote::FormDeactivate()
{
    // The stay-on-top flag keeps the board in its band; within the top band
    // it goes back to the top, except over its own question or box.
    if (FStayOnTop && !QApplication::activeModalWidget())
        raise();
}

void TFrmNote::restartAutoHideTimer()
{
    if (m_icon)
        m_icon->restartAutoHideTimer();
}

void TFrmNote::selectAllInFocusedEditor()
{
    if (TJvRichEdit *editor = TDM::focusedEditor())
        editor->selectAll();
}

bool TFrmNote::confirm(const QString &question)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), question,
                    QMessageBox::Yes | QMessageBox::No, this);
    // In the board's band of windows, above the board.
    box.setWindowFlag(Qt::WindowStaysOnTopHint, FStayOnTop);
    m_question = &box;
    m_questionFrame = QMargins();
    placeQuestion();
    box.installEventFilter(this);
    const bool yes = box.exec() == QMessageBox::Yes;
    m_question = nullptr;
    // While the question was open the board and its rows were told of no
    // pointer leaving them; Qt tells the windows under the pointer of its
    // entering once the question is gone, and the count starts from there.
    HoverCount = 0;
    return yes;
}

void TFrmNote::placeQuestion()
{
    if (!m_icon)
        return;
    // The window manager's title bar and borders are known once it has
    // framed the shown question; until then room is left for them. A window
    // manager may also have placed the question itself.
    QWindow *window = m_question->isVisible() ? m_question->windowHandle() : nullptr;
    m_questionFrame = window ? window->frameMargins() : QMargins();
    const QSize frame
        = window ? window->frameGeometry().size() : m_question->sizeHint().grownBy(QuestionFrame);
    const QRect board(pos(), size());
    const QPoint place
        = questionPlace(frame, board, m_icon->iconFrame(), availableAreaAt(board.center()));
    const QPoint now = window ? window->frameGeometry().topLeft() : m_question->pos();
    // Moved by the difference: platforms differ in whether a window's
    // position counts its frame.
    m_question->move(m_question->pos() + place - now);
}

QPoint TFrmNote::questionPlace(const QSize &question, const QRect &board, const QRect &icon,
                               const QRect &area)
{
    QRect place(board.center() - QPoint(question.width() / 2, question.height() / 2), question);
    if (place.intersects(icon)) {
        // Below the icon, or above it where the screen ends below.
        place.moveTop(icon.bottom() + 1 + QuestionGap);
        if (place.bottom() > area.bottom())
            place.moveBottom(icon.top() - 1 - QuestionGap);
    }
    if (!area.isEmpty())
        place.moveTopLeft(fitIntoArea(place, area));
    if (place.intersects(icon)) {
        // The screen has no room above or below: beside the icon instead.
        place.moveRight(icon.left() - 1 - QuestionGap);
        if (place.left() < area.left())
            place.moveLeft(icon.right() + 1 + QuestionGap);
    }
    return place.topLeft();
}

TTransparentHint *TFrmNote::createHintWindow()
{
    if (!m_hintWindow)
        m_hintWindow = new TTransparentHint(this, m_time);
    return m_hintWindow;
}

void TFrmNote::ShowHints(bool enable)
{
    if (!m_hintWindow)
        return;
    if (!enable) {
        m_hintWindow->hide();
        SelectNote(nullptr);
    }
    for (TNoteFrame *frame : std::as_const(m_notes)) {
        IntervalTimer *timer = frame->HintTimer();
        if (!enable)
            timer->stop();
        else if (!timer->isActive())
            timer->start();
    }
}

void TFrmNote::reportError(const QString &text)
{
    ShowErrorMessage(this, text);
}

void TFrmNote::popupMenuAt(const QPoint &globalPos)
{
    PopupMenu1->popup(globalPos - QPoint(PopupMenu1->sizeHint().width(), 0));
}

// --- moving and resizing -----------------------------------------------------

bool TFrmNote::InResizeGrip(int x, int y) const
{
    const int dx = width() - x;
    const int dy = height() - y;
    return dx >= 0 && dx <= GripSize && dy >= 0 && dy <= GripSize;
}

void TFrmNote::pnClientMouseDown(const QPoint &point, const QPoint &globalPoint)
{
    if (InResizeGrip(point.x(), point.y()))
        m_resizePoint = point;
    else
        m_movePoint = point;
    m_pressGlobal = globalPoint;
    m_pressPlace = QRect(pos(), size());
}

// The new place follows from the pointer's way on the screen since the press
// and the place at the press: a point in board coordinates would shift with
// every move and resize, which a window manager applies only later.
void TFrmNote::pnClientMouseMove(const QPoint &point, const QPoint &globalPoint)
{
    if (InResizeGrip(point.x(), point.y()))
        setCursor(Qt::SizeFDiagCursor);
    else
        unsetCursor();
    const QPoint way = globalPoint - m_pressGlobal;
    if (m_resizePoint.x() != -1) {
        resize(std::max(MinimumSize, m_pressPlace.width() + way.x()),
               std::max(MinimumSize, m_pressPlace.height() + way.y()));
    }
    if (m_movePoint.x() != -1)
        move(m_pressPlace.topLeft() + way);
}

void TFrmNote::pnClientMouseUp()
{
    m_movePoint = QPoint(-1, -1);
    m_resizePoint = QPoint(-1, -1);
}

// --- events ------------------------------------------------------------------

void TFrmNote::closeEvent(QCloseEvent *event)
{
    if (m_hintWindow)
        m_hintWindow->stop();
    StoreNotes();
    StoreSettings();
    event->accept();
}

void TFrmNote::keyPressEvent(QKeyEvent *event)
{
    // Typing on the pinned board searches the notes.
    if (m_stayOpen && m_filter->takeKey(event))
        return;
    if (event->key() == Qt::Key_Escape && m_filter->isVisibleTo(this)) {
        m_filter->dismiss();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TFrmNote::resizeEvent(QResizeEvent *event)
{
    const QSize mark = m_gripMark->sizeHint();
    m_gripMark->setGeometry(QRect(
        contentsRect().bottomRight() - QPoint(mark.width(), mark.height()) + QPoint(1, 1), mark));
    m_gripMark->raise();
    QWidget::resizeEvent(event);
}

void TFrmNote::hideEvent(QHideEvent *event)
{
    // No preview stays up, or comes up, over a board that is gone.
    if (m_hintWindow)
        m_hintWindow->stop();
    // Shown again, the board lists every note.
    m_filter->dismiss();
    QWidget::hideEvent(event);
}

void TFrmNote::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && m_deactivationHandler)
        FormDeactivate();
    QWidget::changeEvent(event);
}

void TFrmNote::contextMenuEvent(QContextMenuEvent *event)
{
    // The menu takes the release of the press that opened it.
    pnClientMouseUp();
    popupMenuAt(event->globalPos());
}

void TFrmNote::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().button());
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

// Drops are welcome on the board, so that dragging something across it shows
// the copy pointer, but they change nothing.
void TFrmNote::dragEnterEvent(QDragEnterEvent *event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void TFrmNote::dragMoveEvent(QDragMoveEvent *event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void TFrmNote::dropEvent(QDropEvent *event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

bool TFrmNote::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter:
        ++HoverCount;
        break;
    case QEvent::Leave:
        --HoverCount;
        break;
    case QEvent::MouseButtonPress: {
        // Presses that the controls on the board pass up are not the board's.
        const QPoint point = static_cast<QMouseEvent *>(event)->position().toPoint();
        if (childAt(point))
            break;
        pnClientMouseDown(point, static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        return true;
    }
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        pnClientMouseMove(mouse->position().toPoint(), mouse->globalPosition().toPoint());
        return true;
    }
    case QEvent::MouseButtonRelease:
        pnClientMouseUp();
        return true;
    case QEvent::ToolTip:
        if (!m_showHint)
            return true;
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

bool TFrmNote::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_question) {
        const bool framed = event->type() == QEvent::Show
                            || (m_question->isVisible() && m_question->windowHandle()
                                && m_question->windowHandle()->frameMargins() != m_questionFrame);
        if (framed)
            placeQuestion();
        return false;
    }
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return false;
    switch (event->type()) {
    case QEvent::Enter:
        ++HoverCount;
        break;
    case QEvent::Leave:
        --HoverCount;
        break;
    case QEvent::ToolTip:
        return !m_showHint;
    case QEvent::Resize:
        if (widget == pnWorkArea)
            layoutRows();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
        // Presses on the rows and on the New button are theirs, not the board's.
        if (widget != pnWorkArea && widget != tbRight)
            break;
        auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint local = mouse->position().toPoint();
        if (widget->childAt(local) && event->type() == QEvent::MouseButtonPress)
            return true;
        const QPoint point = widget->mapTo(this, local);
        const QPoint globalPoint = mouse->globalPosition().toPoint();
        if (event->type() == QEvent::MouseButtonPress)
            pnClientMouseDown(point, globalPoint);
        else if (event->type() == QEvent::MouseMove)
            pnClientMouseMove(point, globalPoint);
        else
            pnClientMouseUp();
        return true;
    }
    default:
        break;
    }
    return false;
}
