#include "board/notesboard.h"

#include "board/boardfilter.h"
#include "board/boardplace.h"
#include "board/boardquestion.h"
#include "board/desktopicon.h"
#include "board/errormessage.h"
#include "board/hovercount.h"
#include "board/notesmodel.h"
#include "board/notesstore.h"
#include "board/notesview.h"
#include "commands/commandmodule.h"
#include "commands/imagelist.h"
#include "note/noteframe.h"
#include "note/notewindow.h"
#include "note/transparenthint.h"
#include "platform/datafolder.h"
#include "platform/intervaltimer.h"
#include "platform/desktopshortcut.h"
#include "platform/settingsfile.h"
#include "platform/timesource.h"
#include "richtext/richdocument.h"
#include "richedit/jvrichedit.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextDocument>
#include <QToolBar>

#include <algorithm>
#include <utility>

namespace {
constexpr int MinimumClient = 96; // client height of a board with few notes
constexpr int RowHeight = NotesView::RowHeight;
// The preview timer until the pointer first moved over a header.
constexpr int HintFirstInterval = 1000;
// The notes' periodic check.
constexpr int CheckInterval = 2000;
constexpr int Frame = 2; // one-pixel border plus one-pixel inner border
constexpr QSize DesignClient{183, 493};
// The deleted notes the restore menu lists, the latest first.
constexpr qsizetype RestoreShown = 20;

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
    setObjectName(QStringLiteral("FrmNote"));
    // Hovering the icon must not take the keyboard from the window the user works in.
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Never active, the board would otherwise show no tool tips.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setMouseTracking(true);
    setAcceptDrops(true);
    setContentsMargins(Frame, Frame, Frame, Frame);
    resize(DesignClient.width() + 2 * Frame, DesignClient.height() + 2 * Frame);

    m_store = new NotesStore(DataFolder(), SettingsFilePath(), m_time, this);
    m_model = new NotesModel(*m_store, this);
    createActions();
    createControls();
    m_place = new BoardPlace(this);
    // Presses beside the rows and the New button move and resize the board.
    for (QWidget *part : {pnWorkArea, static_cast<QWidget *>(tbRight), m_rowsArea->viewport()})
        m_place->takePresses(part);

    ApplyStayOnTop(true);
    // One timer each for the preview and the notes' periodic check, however
    // many notes there are.
    m_hintTimer = m_time.createTimer(this);
    m_hintTimer->setInterval(HintFirstInterval);
    connect(m_hintTimer, &IntervalTimer::timeout, this, [this] {
        if (m_hintWindow)
            m_hintWindow->HintTimerTimer();
    });
    m_checkTimer = m_time.createTimer(this);
    m_checkTimer->setInterval(CheckInterval);
    connect(m_checkTimer, &IntervalTimer::timeout, this, [this] {
        for (TNoteFrame *frame : NotesList())
            frame->Timer1Timer();
    });
    m_checkTimer->start();
    connect(m_store, &NotesStore::message, this,
            [this](const QString &text) { ShowErrorMessage(this, text); });
    connect(m_store, &NotesStore::listChanged, this, &TFrmNote::ArrangeNotes);
    connect(m_store, &NotesStore::noteDropped, this,
            [this](NoteItem *note) { dropFrame(static_cast<TNoteFrame *>(note)); });
    LoadNotes();
    LoadSettings();
}

TFrmNote::~TFrmNote()
{
    // The frames go before the rest of the board they report to.
    qDeleteAll(m_store->notes());
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
    New1 = action(QStringLiteral("New1"), tr("New"), 58);
    Open1 = action(QStringLiteral("Open1"), tr("Open"), 7);
    mnDesktop = action(QStringLiteral("mnDesktop"), tr("Desktop"), -1);
    mnStartup = action(QStringLiteral("mnStartup"), tr("Startup"), -1);
    mnStartup->setToolTip(tr("QelClock at startup"));
    mnStayOnTop = action(QStringLiteral("mnStayOnTop"), tr("Stay On top"), -1);
    mnShowHint = action(QStringLiteral("mnShowHint"), tr("Show Hint"), -1);
    About2 = action(QStringLiteral("About2"), tr("About..."), 61);
    Close2 = action(QStringLiteral("Close2"), tr("Close"), 60);
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
    mnRestore = PopupMenu1->addMenu(tr("Restore Deleted Note"));
    mnRestore->setObjectName(QStringLiteral("mnRestore"));
    connect(mnRestore, &QMenu::aboutToShow, this, &TFrmNote::fillRestoreMenu);
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({mnDesktop, mnStartup, mnStayOnTop, mnShowHint});
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(About2);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(Close2);

    // The two board commands the note menu borrows.
    EditSelectAll1 = action(QStringLiteral("EditSelectAll1"), tr("Select &All"), -1);
    EditSelectAll1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    EditSelectAll1->setShortcutContext(Qt::WidgetShortcut);
    connect(EditSelectAll1, &QAction::triggered, this, &TFrmNote::selectAllInFocusedEditor);
    FileSaveAs1 = action(QStringLiteral("FileSaveAs1"), tr("Save &As..."), 46);
    // The note's own Save As does the saving: this entry is that command
    // under the board's name, enabled exactly when it is.
    if (TDM *dm = TDM::instance()) {
        FileSaveAs1->setEnabled(dm->action(CommandId::FileSaveAs1)->isEnabled());
        connect(dm->action(CommandId::FileSaveAs1), &QAction::enabledChanged, FileSaveAs1,
                &QAction::setEnabled);
        connect(FileSaveAs1, &QAction::triggered, dm->action(CommandId::FileSaveAs1),
                &QAction::trigger);
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
    // More rows than the screen holds scroll under the filter field.
    m_rowsArea = new QScrollArea(pnWorkArea);
    m_rowsArea->setObjectName(QStringLiteral("rowsArea"));
    m_rowsArea->setFrameShape(QFrame::NoFrame);
    m_rowsArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_rowsArea->setWidgetResizable(false);
    // The board's keys walk the rows; the scroll area must not take them.
    m_rowsArea->setFocusPolicy(Qt::NoFocus);
    m_rowsArea->viewport()->setAutoFillBackground(false);
    m_rows = new NotesView(*m_model);
    m_rows->setObjectName(QStringLiteral("pnRows"));
    m_rowsArea->setWidget(m_rows);
    m_rowsArea->viewport()->setMouseTracking(true);
    m_rowsArea->viewport()->installEventFilter(this);
    // The rows take their own presses; the board counts the pointer on them.
    m_rows->installEventFilter(this);

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
}

// --- storage -----------------------------------------------------------------

TNoteFrame *TFrmNote::createFrame()
{
    auto *frame = new TNoteFrame(*this, this);
    connect(frame, &TNoteFrame::headerChanged, m_model,
            [this, frame] { m_model->noteChanged(frame); });
    return frame;
}

QList<TNoteFrame *> TFrmNote::NotesList() const
{
    // Every note in the store is a frame made by this board.
    QList<TNoteFrame *> frames;
    frames.reserve(m_store->notes().size());
    for (NoteItem *note : m_store->notes())
        frames.append(static_cast<TNoteFrame *>(note));
    return frames;
}

TNoteFrame *TFrmNote::makeFrame(const StoredNote &file)
{
    TNoteFrame *frame = createFrame();
    frame->setIdx(file.record);
    frame->LoadFormInfo();
    frame->LoadLines(file.fileName, file.data);
    return frame;
}

void TFrmNote::LoadNotes()
{
    const QStringList problems
        = m_store->load([this](const StoredNote &file) { return makeFrame(file); });
    if (!problems.isEmpty())
        ShowErrorMessage(this, problems.join(u'\n'));
}

void TFrmNote::noteDamaged(TNoteFrame &frame, const QString &damage)
{
    m_store->noteDamaged(frame, TNoteFrame::NoteTitle(frame.edit().Text()), damage);
}

void TFrmNote::StoreNotes()
{
    if (m_closing)
        return;
    QString error;
    if (!m_store->store(&error))
        ShowErrorMessage(this, error);
}

void TFrmNote::SaveEditedNotes()
{
    m_store->saveEdited();
}

void TFrmNote::waitForPendingSave()
{
    m_store->waitForPendingSave();
}

IntervalTimer *TFrmNote::SaveTimer() const
{
    return m_store->saveTimer();
}

void TFrmNote::LoadSettings()
{
    SettingsFile ini(SettingsFilePath());
    m_place->read(ini, MainSection, arrangedHeight());
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
    m_place->write(ini, MainSection)
        && ini.writeBool(MainSection, QStringLiteral("ShowHint"), m_showHint)
        && ini.writeBool(MainSection, QStringLiteral("StayOnTop"), FStayOnTop);
}

// --- rows --------------------------------------------------------------------

void TFrmNote::SelectNote(TNoteFrame *item)
{
    m_rows->setHighlighted(item);
}

TNoteFrame *TFrmNote::actNote() const
{
    return m_rows->highlighted();
}

void TFrmNote::DeleteNote(TNoteFrame *item)
{
    if (m_store->remove(item))
        dropFrame(item);
}

void TFrmNote::dropFrame(TNoteFrame *item)
{
    // The preview may show the note that goes.
    if (m_hintWindow)
        m_hintWindow->stop();
    // The frame may be deleting itself from its own handler: it goes once
    // that handler has returned. Its note window, if any, goes with it.
    item->deleteLater();
}

void TFrmNote::ArrangeNotes()
{
    resize(width(), arrangedHeight());
    m_place->keepOnScreen();
    // The view shows every row of a changed list; a filter typed stays applied.
    if (m_filter->query().isEmpty()) {
        layoutRows();
        countRowsInTitle();
    } else {
        applyFilter();
    }
}

int TFrmNote::arrangedHeight() const
{
    const QList<NoteItem *> &notes = m_store->notes();
    const int rows = int(notes.size());
    // Beyond the screen's height the rows scroll.
    return m_place->heightOnScreen(std::max(MinimumClient, RowHeight * rows) + 2 * Frame);
}

int TFrmNote::clientHeight() const
{
    return height() - 2 * Frame;
}

void TFrmNote::layoutRows()
{
    // The filter field, while open, stays at the top above the rows; the
    // rows lie top-aligned in list order and scroll when the board is too
    // small for all of them.
    int top = 0;
    if (m_filter->isVisibleTo(this)) {
        m_filter->setGeometry(0, 0, pnWorkArea->width(), m_filter->sizeHint().height());
        m_filter->raise();
        top = m_filter->height();
    }
    m_rowsArea->setGeometry(0, top, pnWorkArea->width(), std::max(0, pnWorkArea->height() - top));
    const int rowsHeight = m_rows->rowsHeight();
    // The scroll bar, when the rows need one, takes its width from them.
    const int viewportHeight = m_rowsArea->height();
    const int barWidth
        = rowsHeight > viewportHeight ? m_rowsArea->verticalScrollBar()->sizeHint().width() : 0;
    const int width = std::max(0, pnWorkArea->width() - barWidth);
    m_rows->resize(width, rowsHeight);
}

void TFrmNote::applyFilter()
{
    // Once the field closes, the keys are the board's again.
    if (m_filter->isHidden() && isActiveWindow())
        setFocus(Qt::OtherFocusReason);
    const QList<TNoteFrame *> notes = NotesList();
    QList<int> shown;
    for (int row = 0; row < int(notes.size()); ++row) {
        TNoteFrame *frame = notes.at(row);
        // An open note is matched as its window holds it; one not read yet by its file's text.
        const bool matches = frame->Frm() ? m_filter->matches(frame->Frm()->editor()->document())
                             : !frame->noteRead() ? m_filter->matches(frame, frame->unreadData())
                                                  : m_filter->matches(frame->edit().textDocument());
        if (matches)
            shown.append(row);
    }
    m_rows->setShownRows(shown);
    layoutRows();
    countRowsInTitle();
}

void TFrmNote::countRowsInTitle()
{
    // The title is the board's name for screen readers (it has no caption
    // bar): it tells how many notes the rows show, and of how many while a
    // filter narrows them.
    const int shown = m_rows->shownCount();
    setWindowTitle(
        m_filter->query().isEmpty()
            ? tr("Qel Notes — notes: %1").arg(shown)
            : tr("Qel Notes — notes shown: %1 of %2").arg(shown).arg(m_store->notes().size()));
}

// --- commands ----------------------------------------------------------------

void TFrmNote::New1Click()
{
    TNoteFrame *frame = createFrame();
    m_store->append(frame);
    frame->Panel1DblClick();
}

void TFrmNote::fillRestoreMenu()
{
    mnRestore->clear();
    const QList<DeletedNote> deleted = m_store->deletedNotes();
    for (const DeletedNote &note :
         deleted.first(std::min<qsizetype>(deleted.size(), RestoreShown))) {
        const QString caption = QStringLiteral("%1\t%2").arg(
            note.title, QLocale().toString(note.deleted, QLocale::ShortFormat));
        connect(mnRestore->addAction(caption), &QAction::triggered, this,
                [this, note] { restoreNote(note); });
    }
    if (deleted.isEmpty())
        mnRestore->addAction(tr("(none)"))->setEnabled(false);
}

void TFrmNote::restoreNote(const DeletedNote &note)
{
    QString error;
    if (!m_store->restore(note, &error)) {
        ShowErrorMessage(this, error);
        return;
    }
    // Stored at once: the note is back in the series and its kept copy goes.
    StoreNotes();
}

void TFrmNote::Open1Click()
{
    if (TNoteFrame *note = actNote())
        note->Panel1DblClick();
}

void TFrmNote::About1Click()
{
    WMAbout();
}

void TFrmNote::WMAbout()
{
    if (m_aboutBox)
        m_aboutBox->exec();
    if (m_store->notes().isEmpty())
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
        for (TNoteFrame *frame : NotesList())
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

void TFrmNote::countPointer(QEvent::Type type)
{
    // The icon hides the board by this count; a board without one stays.
    if (!m_icon)
        return;
    if (type == QEvent::Enter)
        m_icon->hoverCount().enter();
    else
        m_icon->hoverCount().leave();
}

void TFrmNote::ApplyStayOnTop(bool value)
{
    FStayOnTop = value;
    mnStayOnTop->setChecked(value);
    // Every open note window follows at once, also those of deleted notes.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *note = qobject_cast<TRichForm *>(window))
            note->setStayOnTop(value);
    }
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
    const bool yes = BoardQuestion(*this, m_icon, FStayOnTop).ask(question);
    // While the question was open the board and its rows were told of no
    // pointer leaving them; Qt tells the windows under the pointer of its
    // entering once the question is gone, and the count starts from there.
    if (m_icon)
        m_icon->hoverCount().restart(0);
    return yes;
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
    if (!enable)
        m_hintTimer->stop();
    else if (!m_hintTimer->isActive())
        m_hintTimer->start();
}

void TFrmNote::reportError(const QString &text)
{
    ShowErrorMessage(this, text);
}

void TFrmNote::popupMenuAt(const QPoint &globalPos)
{
    PopupMenu1->popup(globalPos - QPoint(PopupMenu1->sizeHint().width(), 0));
}

void TFrmNote::addMenuEntries(const QList<QAction *> &entries)
{
    const QList<QAction *> actions = PopupMenu1->actions();
    PopupMenu1->insertActions(actions.value(actions.indexOf(mnShowHint) + 1), entries);
}

// --- events ------------------------------------------------------------------

void TFrmNote::closeEvent(QCloseEvent *event)
{
    if (m_hintWindow)
        m_hintWindow->stop();
    StoreNotes();
    StoreSettings();
    // What the store found of other programs' changes is told before the
    // program ends, not lost with it.
    if (!m_unattendedClose)
        m_store->tellNow();
    event->accept();
}

void TFrmNote::keyPressEvent(QKeyEvent *event)
{
    // Typing on the pinned board searches the notes; the other keys walk
    // the rows shown.
    if (m_stayOpen && (m_filter->takeKey(event) || rowKey(event)))
        return;
    if (event->key() == Qt::Key_Escape && m_filter->isVisibleTo(this)) {
        m_filter->dismiss();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TFrmNote::rowKey(const QKeyEvent *event)
{
    const int page = std::max(1, m_rowsArea->viewport()->height() / RowHeight);
    if (!m_rows->takeKey(event, page))
        return false;
    // The whole highlighted row, with no margin beyond it.
    const int shown = m_rows->shownIndexOf(actNote());
    if (shown >= 0)
        m_rowsArea->ensureVisible(0, m_rows->rowRect(shown).top() + RowHeight / 2, 0,
                                  RowHeight / 2);
    return true;
}

void TFrmNote::showEvent(QShowEvent *event)
{
    // Wherever it was put, the board comes up wholly on its screen.
    m_place->keepOnScreen();
    QWidget::showEvent(event);
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
    m_place->pnClientMouseUp();
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
    case QEvent::Leave:
        countPointer(event->type());
        break;
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
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return false;
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::Leave:
        countPointer(event->type());
        break;
    case QEvent::ToolTip:
        return !m_showHint;
    case QEvent::Resize:
        if (widget == pnWorkArea)
            layoutRows();
        break;
    default:
        break;
    }
    return false;
}
