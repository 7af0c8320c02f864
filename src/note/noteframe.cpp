#include "note/noteframe.h"

#include "commands/dm.h"
#include "note/colorvalue.h"
#include "note/hovercount.h"
#include "note/notecalculator.h"
#include "note/notehost.h"
#include "note/richform.h"
#include "platform/datafolder.h"
#include "platform/screenplace.h"
#include "platform/settingsfile.h"
#include "platform/systemtimer.h"
#include "richtext/widget/jvrichedit.h"

#include <QAction>
#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmapCache>
#include <QScreen>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int HeaderHeight = 16;
constexpr int CheckInterval = 2000;
constexpr int PreviewInterval = 1000;
constexpr int PreviewMovingInterval = 200;
constexpr int SingleLineTitleLength = 14;
constexpr int MaxShownCaption = 300;

// The last pointer position seen over any note header, in that header's
// coordinates: a move to the same coordinates over another header is no move.
QPoint lastHeaderPosition(0, 0);

QString settingsPath()
{
    return DataFolder() + QStringLiteral("QelNotes.ini");
}

QString recordName(int idx)
{
    return QStringLiteral("Note_%1").arg(idx);
}

QPixmap closePicture()
{
    static const QString key = QStringLiteral("qel-note-close");
    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        picture = QIcon(QStringLiteral(":/note/icons/close.svg")).pixmap(16, 16);
        QPixmapCache::insert(key, picture);
    }
    return picture;
}

// The entry of menu that owns key: menus are walked depth-first in their
// order, each submenu before the entries after it.
QAction *shortcutOwner(const QMenu *menu, const QKeySequence &key)
{
    for (QAction *action : menu->actions()) {
        if (action->isSeparator() || !action->isVisible())
            continue;
        if (const QMenu *submenu = action->menu()) {
            if (QAction *owner = shortcutOwner(submenu, key))
                return owner;
        } else if (!action->shortcut().isEmpty() && action->shortcut() == key) {
            return action;
        }
    }
    return nullptr;
}

bool isCtrlSpace(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Space && (event->modifiers() & Qt::ControlModifier);
}

// The header's caption, whose size never depends on its text: laying out a
// board of a thousand rows then measures no text at all.
class CaptionLabel : public QLabel
{
public:
    using QLabel::QLabel;
    QSize sizeHint() const override { return {0, HeaderHeight}; }
    QSize minimumSizeHint() const override { return {0, 0}; }
};

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

TNoteFrame::TNoteFrame(NoteHost *host, EditorKind kind, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
{
    registerNoteResources();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    if (kind == EditorKind::Widget) {
        m_editor = new TJvRichEdit(this);
        m_document = m_editor;
        StrParser = createNoteCalculator(*m_editor);
        createMenu();
        createToolBar();
        layout->addWidget(ToolBar1);
    } else {
        m_ownDocument = std::make_unique<RichDocument>();
        m_document = m_ownDocument.get();
    }
    createHeader();
    layout->addWidget(Panel1);
    if (m_editor) {
        layout->addWidget(m_editor, 1);
        m_editor->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(m_editor, &QWidget::customContextMenuRequested, this,
                [this](const QPoint &position) {
                    PopupMenu1->popup(m_editor->viewport()->mapToGlobal(position));
                });
        connect(m_editor, &TJvRichEdit::OnKeyDown, this, [this](QKeyEvent *event, bool &handled) {
            if (runMenuShortcut(event))
                handled = true;
            else
                editKeyDown(event, handled);
        });
        connect(m_editor, &TJvRichEdit::OnKeyUp, this, &TNoteFrame::editKeyUp);
    } else {
        layout->addStretch(1);
    }

    Timer1 = new SystemTimer(this);
    Timer1->setInterval(CheckInterval);
    connect(Timer1, &IntervalTimer::timeout, this, &TNoteFrame::Timer1Timer);
    Timer1->start();
    HintTimer = new SystemTimer(this);
    HintTimer->setInterval(PreviewInterval);
}

TNoteFrame::~TNoteFrame()
{
    // A row deleted under the pointer (by its own close picture) gets no
    // leave event; without this the board would never hide again.
    if (!m_editor && underMouse())
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
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    const QStringView trimmed = QStringView(text).sliced(begin, end - begin);
    const qsizetype lineBreak = trimmed.indexOf(u'\r');
    const qsizetype length
        = lineBreak < 0 ? std::min<qsizetype>(trimmed.size(), SingleLineTitleLength) : lineBreak;
    return trimmed.first(length).toString() + QStringLiteral("..");
}

QString TNoteFrame::caption() const
{
    return m_captionText;
}

void TNoteFrame::setHeaderColor(const QColor &color)
{
    QPalette palette = Panel1->palette();
    palette.setColor(QPalette::Window, color);
    Panel1->setPalette(palette);
}

QColor TNoteFrame::headerColor() const
{
    return Panel1->palette().color(QPalette::Window);
}

void TNoteFrame::createHeader()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(HeaderHeight);
    Panel1->setAutoFillBackground(true);
    Panel1->setMouseTracking(true);
    Panel1->installEventFilter(this);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    Panel1->setFont(font);
    QPalette palette = Panel1->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    Panel1->setPalette(palette);
    setHeaderColor(edit().Color());

    auto *row = new QHBoxLayout(Panel1);
    row->setContentsMargins(2, 0, 1, 0);
    row->setSpacing(2);
    m_caption = new CaptionLabel(QStringLiteral(".."), Panel1);
    m_caption->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_caption->setMinimumWidth(0);
    m_caption->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(m_caption, 1);
    auto *Panel2 = new QWidget(Panel1);
    Panel2->setFixedSize(14, 14);
    imClose = new QLabel(Panel2);
    imClose->setObjectName(QStringLiteral("imClose"));
    imClose->setGeometry(-1, -1, 16, 16);
    imClose->setPixmap(closePicture());
    imClose->installEventFilter(this);
    row->addWidget(Panel2);
    updateCaption();
}

void TNoteFrame::createMenu()
{
    TDM *dm = TDM::instance();
    PopupMenu1 = new QMenu(this);
    connect(PopupMenu1, &QMenu::aboutToShow, this, &TNoteFrame::PopupMenu1Popup);
    QAction *selectAll = m_host && m_host->editSelectAllAction() ? m_host->editSelectAllAction()
                                                                 : dm->EditSelectAll1;
    PopupMenu1->addActions({dm->JvEditUndo1, dm->JvEditCut2, dm->JvEditCopy1, dm->EditPaste2,
                            dm->JvEditDelete1, selectAll});
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({dm->FileOpen1, dm->FileSaveAs1});
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({dm->acSetFont, dm->acBKColor});
    PopupMenu1->addMenu(tr("Align"))
        ->addActions({dm->RichEditAlignLeft1, dm->RichEditAlignCenter1, dm->RichEditAlignRight1});
    PopupMenu1->addMenu(tr("Format"))
        ->addActions({dm->RichEditBold1, dm->RichEditItalic1, dm->RichEditUnderline1,
                      dm->RichEditStrikeOut1, dm->RichEditBullets1, dm->acSubScript,
                      dm->acSuperScript, dm->acFormatReset});
    PopupMenu1->addMenu(tr("Size"))->addActions({dm->acFontInc, dm->acFontSmaller});
    PopupMenu1->addMenu(tr("Indent"))->addActions({dm->acIndentDec, dm->acIndentInc});
    PopupMenu1->addMenu(tr("BK Color"))
        ->addActions(
            {dm->acSetFontBKColor, dm->acBKRed, dm->acBKYellow, dm->acBKBlue, dm->acResetColor});
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(dm->PrintDlg1);
    if (m_host && m_host->fileSaveAsAction())
        PopupMenu1->addAction(m_host->fileSaveAsAction());
    PopupMenu1->addSeparator();

    // Calc carries the command's caption, picture and shortcut but runs this
    // frame's calculator; a shared command could not tell the notes apart.
    QMenu *calc = PopupMenu1->addMenu(tr("Calc"));
    Calc1 = calc->addAction(dm->acCalc->icon(), dm->acCalc->text());
    Calc1->setShortcut(dm->acCalc->shortcut());
    Calc1->setShortcutContext(Qt::WidgetShortcut);
    Calc1->setToolTip(dm->acCalc->toolTip());
    ClearResults1 = calc->addAction(tr("Clear Results"));
    for (QAction *action : {Calc1, ClearResults1})
        action->setEnabled(StrParser != nullptr);
    connect(Calc1, &QAction::triggered, this, &TNoteFrame::tbCalcClick);
    connect(ClearResults1, &QAction::triggered, this, &TNoteFrame::ClearResults1Click);
    PopupMenu1->addSeparator();

    // Sending the note by mail is not available yet.
    SendNote1 = PopupMenu1->addAction(tr("Send Note"));
    SendNote1->setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+N")));
    SendNote1->setShortcutContext(Qt::WidgetShortcut);
    SendNote1->setEnabled(false);
    PopupMenu1->addActions({dm->acSendMail, dm->BrowseURL1, dm->acInsertObject});
    PopupMenu1->addSeparator();
}

void TNoteFrame::createToolBar()
{
    TDM *dm = TDM::instance();
    ToolBar1 = new QWidget(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    auto *rows = new QVBoxLayout(ToolBar1);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    const auto makeRow = [&](const QList<QAction *> &actions) {
        auto *row = new QToolBar(ToolBar1);
        row->setIconSize(QSize(16, 16));
        row->setToolButtonStyle(Qt::ToolButtonIconOnly);
        for (QAction *action : actions) {
            if (action)
                row->addAction(action);
            else
                row->addSeparator();
        }
        rows->addWidget(row);
        return row;
    };
    QToolBar *first = makeRow({dm->acNew, dm->FileOpen1, dm->FileSaveAs1, nullptr, dm->acIndentDec,
                               dm->acIndentInc, nullptr, dm->RichEditBold1, dm->RichEditUnderline1,
                               dm->RichEditItalic1});
    makeRow({dm->RichEditAlignLeft1, dm->RichEditAlignCenter1, dm->RichEditAlignRight1, nullptr,
             dm->acFontInc, dm->acFontSmaller, nullptr, dm->acCrypt, dm->acDecrypt,
             dm->acMasterPasswordClear, dm->acCreatePWD, nullptr, dm->acCopyFormat});
    if (auto *underline
        = qobject_cast<QToolButton *>(first->widgetForAction(dm->RichEditUnderline1))) {
        underline->setMenu(PopupMenu1);
        underline->setPopupMode(QToolButton::MenuButtonPopup);
    }
    ToolBar1->hide();
}

void TNoteFrame::updateCaption()
{
    const QString text = edit().Text();
    m_captionText = NoteTitle(text) + QStringLiteral("..");
    // The row shows one line of a few dozen characters; laying out a long
    // first paragraph for it would make every start slow with many notes.
    m_caption->setText(m_captionText.left(MaxShownCaption));
    m_hint = text;
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
    return LoadLines(AFileName, file.readAll(), error);
}

bool TNoteFrame::LoadLines(const QString &AFileName, const QByteArray &data, QString *error)
{
    QByteArray bytes = data;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    if (!edit().Lines().LoadFromStream(buffer, error))
        return false;
    FFileName = AFileName;
    updateCaption();
    return true;
}

void TNoteFrame::LoadFormInfo()
{
    SettingsFile ini(settingsPath());
    const QString section = recordName(Idx);
    const qint32 color
        = ini.readInteger(section, QStringLiteral("Color"), ColorValue::fromColor(edit().Color()));
    edit().setColor(ColorValue::toColor(color));
    setHeaderColor(edit().Color());
    if (!m_frm)
        return;
    m_frm->nf->edit().setColor(edit().Color());
    const QRect place(ini.readInteger(section, QStringLiteral("Left"), m_frm->x()),
                      ini.readInteger(section, QStringLiteral("Top"), m_frm->y()),
                      ini.readInteger(section, QStringLiteral("Width"), m_frm->width()),
                      ini.readInteger(section, QStringLiteral("Height"), m_frm->height()));
    m_frm->move(placeOnScreen(place));
    m_frm->resize(place.size());
}

bool TNoteFrame::SaveFormInfo(QString *error)
{
    if (!m_frm)
        return true;
    SettingsFile ini(settingsPath());
    const QString section = recordName(Idx);
    const bool written = ini.writeInteger(section, QStringLiteral("Color"),
                                          ColorValue::fromColor(m_frm->nf->edit().Color()))
                         && ini.writeInteger(section, QStringLiteral("Left"), m_frm->x())
                         && ini.writeInteger(section, QStringLiteral("Top"), m_frm->y())
                         && ini.writeInteger(section, QStringLiteral("Width"), m_frm->width())
                         && ini.writeInteger(section, QStringLiteral("Height"), m_frm->height());
    if (!written && error)
        *error = ini.errorString();
    return written;
}

void TNoteFrame::tbCalcClick()
{
    if (StrParser)
        StrParser->Parse();
}

void TNoteFrame::ClearResults1Click()
{
    if (StrParser)
        StrParser->ClearResults();
}

void TNoteFrame::copyInto(TJvRichEdit &target) const
{
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    edit().Lines().SaveToStream(stream);
    stream.seek(0);
    target.Lines().LoadFromStream(stream);
}

void TNoteFrame::Panel1DblClick()
{
    if (m_host) {
        m_host->ShowHints(false);
        m_host->hideBoard();
    }
    if (m_frm) {
        if (m_frm->isMinimized())
            m_frm->showNormal();
        else if (!m_frm->isMaximized())
            m_frm->showMinimized();
        return;
    }

    m_frm = new TRichForm(m_host);
    connect(m_frm, &TRichForm::closing, this, &TNoteFrame::NoteWindowClose);
    if (m_host)
        m_host->removeDeactivationHandler();
    m_frm->setWindowTitle(NoteTitle(edit().Text()));

    TNoteFrame *inner = m_frm->nf;
    TJvRichEdit *innerEditor = inner->editor();
    inner->ToolBar1->show();
    inner->Timer1->stop();
    innerEditor->DefAttributes().Assign(edit().DefAttributes());
    innerEditor->SelAttributes().Assign(edit().SelAttributes());
    innerEditor->setStreamFormat(TStreamFormat::sfRichText);
    innerEditor->setStreamMode(TStreamMode::smSelection | TStreamMode::smPlainRtf
                               | TStreamMode::smUnicode);
    inner->Panel1->hide();

    // The selection mode inserts the whole note at the empty selection of the
    // new editor.
    copyInto(*innerEditor);
    // Undoing the copy would empty the window, and closing it then would
    // store an empty note.
    innerEditor->document()->clearUndoRedoStacks();
    m_windowEdited = false;
    connect(innerEditor->document(), &QTextDocument::contentsChanged, this,
            [this] { m_windowEdited = true; });

    const QScreen *screen = QGuiApplication::primaryScreen();
    const int limit = screen ? screen->geometry().height() * 7 / 8 : 0;
    m_frm->resize(m_frm->width(),
                  std::min(limit, innerEditor->MeasureTextHeight(150, m_frm.data())));
    LoadFormInfo();
    m_frm->show();
    m_frm->activateWindow();
    innerEditor->setFocus(Qt::OtherFocusReason);
}

void TNoteFrame::NoteWindowClose()
{
    if (!m_frm)
        return;
    TJvRichEdit *innerEditor = m_frm->nf->editor();
    edit().setRtf(noteData());
    updateCaption();
    edit().setColor(innerEditor->Color());
    setHeaderColor(edit().Color());

    if (m_host)
        m_host->StoreNotes();
    QString error;
    if (!SaveFormInfo(&error) && m_host)
        m_host->reportError(error);
    m_frm = nullptr;
}

QByteArray TNoteFrame::noteData() const
{
    return (m_frm ? m_frm->nf->edit() : edit()).toRtf();
}

void TNoteFrame::closeNoteWindow()
{
    if (m_frm)
        m_frm->close();
}

void TNoteFrame::Panel1Click()
{
    if (!m_host)
        return;
    if (!m_host->hintWindow())
        Panel1DblClick();
    else
        m_host->ShowHints(!HintTimer->isActive());
}

void TNoteFrame::Panel1MouseDown()
{
    if (QWidget *preview = m_host ? m_host->hintWindow() : nullptr)
        preview->hide();
}

void TNoteFrame::Panel1MouseMove(const QPoint &position)
{
    if (position == lastHeaderPosition)
        return;
    lastHeaderPosition = position;
    HintTimer->setInterval(PreviewMovingInterval);
    if (!m_host)
        return;
    m_host->restartAutoHideTimer();
    m_host->SelectNote(this);
    // Showing the preview follows here once the preview window exists.
}

void TNoteFrame::imCloseClick()
{
    if (!m_host)
        return;
    const QString question
        = QStringLiteral("Do you want to delete following note?\r\n\r\n%1").arg(caption());
    if (!m_host->confirm(question))
        return;
    // The window's close handler belongs to this frame: the window closes
    // first, taking its text back, and only then does the note go.
    closeNoteWindow();
    m_host->DeleteNote(this);
}

void TNoteFrame::Timer1Timer()
{
    if (!TDM::focusedEditor())
        return;
    // Saving the note from here is left to the board's stores: after a
    // deletion and a store, the file this note was loaded from may hold
    // another note by now.
    m_hint = edit().Text();
}

void TNoteFrame::PopupMenu1Popup()
{
    Timer1->stop();
}

bool TNoteFrame::runMenuShortcut(QKeyEvent *event)
{
    if (!PopupMenu1)
        return false;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const QKeySequence key(QKeyCombination(modifiers, Qt::Key(event->key())));
    QAction *owner = shortcutOwner(PopupMenu1, key);
    if (!owner)
        return false;
    if (event->key() == Qt::Key_Delete)
        m_deleteOneCharacter = edit().SelLength() == 0;
    if (owner->isEnabled())
        owner->trigger();
    return true;
}

void TNoteFrame::editKeyDown(QKeyEvent *event, bool &handled)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Timer1Timer();
    } else if (isCtrlSpace(event)) {
        edit().SelAttributes().Assign(edit().DefAttributes());
        handled = true;
    }
}

void TNoteFrame::editKeyUp(QKeyEvent *event, bool &handled)
{
    if (isCtrlSpace(event)) {
        edit().SelAttributes().Assign(edit().DefAttributes());
        handled = true;
    } else if (event->key() == Qt::Key_Delete) {
        // The press removed a selection; with nothing selected it removed
        // nothing and the character after the caret goes now.
        if (m_deleteOneCharacter && edit().SelLength() == 0) {
            edit().setSelLength(1);
            edit().setSelText(QString());
        }
        m_deleteOneCharacter = false;
        handled = true;
    }
}

bool TNoteFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == imClose) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return true;
        case QEvent::MouseButtonRelease: {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton
                && imClose->rect().contains(mouse->position().toPoint()))
                imCloseClick();
            return true;
        }
        default:
            return false;
        }
    }
    if (watched == Panel1) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            Panel1MouseDown();
            return true;
        case QEvent::MouseButtonRelease: {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton
                && Panel1->rect().contains(mouse->position().toPoint()))
                Panel1Click();
            return true;
        }
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
                Panel1DblClick();
            return true;
        case QEvent::MouseMove:
            Panel1MouseMove(static_cast<QMouseEvent *>(event)->position().toPoint());
            return false;
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
    if (!m_editor)
        ++HoverCount;
    QWidget::enterEvent(event);
}

void TNoteFrame::leaveEvent(QEvent *event)
{
    if (!m_editor)
        --HoverCount;
    QWidget::leaveEvent(event);
}
