#include "note/noteeditorpane.h"

#include "calcdriver/calcdriver.h"
#include "commands/commandmodule.h"
#include "note/findbar.h"
#include "note/notelinks.h"
#include "note/toolbarkeys.h"
#include "note/spellmarks.h"
#include "note/spellservice.h"
#include "plot/chartrenderer.h"
#include "richedit/jvrichedit.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QActionGroup>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QTextCursor>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

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

bool isKey(const QKeyEvent *event, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    return event->key() == key && (event->modifiers() & ~Qt::KeypadModifier) == modifiers;
}

} // namespace

NoteEditorPane::NoteEditorPane(QAction *selectAll, QAction *saveAs, QWidget *parent,
                               SpellService *spelling)
    : QWidget(parent)
    , m_edit(new TJvRichEdit(this))
    , m_strParser(std::make_unique<TCalcDriver>(m_edit))
    , m_findBar(new FindBar(m_edit, this))
    , m_spell(new SpellMarks(
          m_edit, spelling ? *spelling : SpellService::instance(),
          [this](const QTextCharFormat &format) { return m_strParser->isWritten(format); }, this))
{
    m_strParser->setPlotRenderer(&ChartRenderer::render);
    createMenu(selectAll, saveAs);
    createSpellMenu();
    createToolBar();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_findBar);

    m_edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_edit, &QWidget::customContextMenuRequested, this, [this](const QPoint &position) {
        contextMenu(m_edit->cursorForPosition(position).position())
            ->popup(m_edit->viewport()->mapToGlobal(position));
    });
    m_edit->installEventFilter(this);
    new NoteLinks(m_edit, m_sendNote, this);
}

// The calculator refers to the editor, which the widget tree deletes later.
NoteEditorPane::~NoteEditorPane() = default;

void NoteEditorPane::createMenu(QAction *selectAll, QAction *saveAs)
{
    TDM *dm = TDM::instance();
    using enum CommandId;
    m_menu = new QMenu(this);
    m_menu->addActions({dm->action(JvEditUndo1), dm->action(EditRedo1), dm->action(JvEditCut2),
                        dm->action(JvEditCopy1), dm->action(EditPaste2), dm->action(JvEditDelete1),
                        selectAll ? selectAll : dm->action(EditSelectAll1)});
    m_menu->addSeparator();
    m_menu->addActions({dm->action(FileOpen1), dm->action(FileSaveAs1)});
    m_menu->addSeparator();
    m_menu->addActions({dm->action(acSetFont), dm->action(acBKColor)});
    m_menu->addMenu(tr("Align"))
        ->addActions({dm->action(RichEditAlignLeft1), dm->action(RichEditAlignCenter1),
                      dm->action(RichEditAlignRight1)});
    m_menu->addMenu(tr("Format"))
        ->addActions(
            {dm->action(RichEditBold1), dm->action(RichEditItalic1), dm->action(RichEditUnderline1),
             dm->action(RichEditStrikeOut1), dm->action(RichEditBullets1), dm->action(acSubScript),
             dm->action(acSuperScript), dm->action(acFormatReset), dm->action(acCopyFormat)});
    m_menu->addMenu(tr("Size"))->addActions({dm->action(acFontInc), dm->action(acFontSmaller)});
    m_menu->addMenu(tr("Indent"))->addActions({dm->action(acIndentDec), dm->action(acIndentInc)});
    m_menu->addMenu(tr("BK Color"))
        ->addActions({dm->action(acSetFontBKColor), dm->action(acBKRed), dm->action(acBKYellow),
                      dm->action(acBKBlue), dm->action(acResetColor)});
    m_menu->addSeparator();
    m_menu->addAction(dm->action(PrintDlg1));
    if (saveAs)
        m_menu->addAction(saveAs);
    m_menu->addSeparator();

    // Calc carries the command's caption, picture and shortcut but runs this
    // note's calculator; a shared command could not tell the notes apart.
    QMenu *calc = m_menu->addMenu(tr("Calc"));
    m_calc = calc->addAction(dm->action(acCalc)->icon(), dm->action(acCalc)->text());
    m_calc->setShortcut(dm->action(acCalc)->shortcut());
    m_calc->setShortcutContext(Qt::WidgetShortcut);
    m_calc->setToolTip(dm->action(acCalc)->toolTip());
    m_clearResults = calc->addAction(tr("Clear Results"));
    connect(m_calc, &QAction::triggered, this, &NoteEditorPane::tbCalcClick);
    connect(m_clearResults, &QAction::triggered, this, &NoteEditorPane::ClearResults1Click);
    // The tool bar's encryption commands, so that the keyboard reaches them
    // from the menu too.
    m_menu->addMenu(tr("Encryption"))
        ->addActions({dm->action(acCrypt), dm->action(acDecrypt), dm->action(acMasterPasswordClear),
                      dm->action(acCreatePWD)});
    m_menu->addSeparator();

    // Its place in the menu owns Ctrl+Alt+N; NoteLinks runs it.
    m_sendNote = m_menu->addAction(tr("Send Note"));
    m_sendNote->setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+N")));
    m_sendNote->setShortcutContext(Qt::WidgetShortcut);
    m_menu->addActions(
        {dm->action(acSendMail), dm->action(BrowseURL1), dm->action(acInsertObject)});
    m_menu->addSeparator();

    m_find = m_menu->addAction(tr("Find..."), m_findBar, &FindBar::open);
    m_find->setShortcut(QKeySequence::Find);
    m_find->setShortcutContext(Qt::WidgetShortcut);

    connect(m_menu, &QMenu::aboutToShow, this, &NoteEditorPane::menuAboutToShow);
}

void NoteEditorPane::menuAboutToShow()
{
    // Shown for a window that is not the active one (a right click into it
    // before the window manager has activated it, or without one), or from
    // the tool bar, the entries would show and act on whatever editor had the
    // focus. Activation reported while the menu is open comes too late: the
    // application ignores it then, so the window is made active here.
    if (QApplication::focusWidget() == m_edit)
        return;
    m_edit->activateWindow();
    QApplication::setActiveWindow(m_edit->window());
    m_edit->setFocus(Qt::OtherFocusReason);
}

void NoteEditorPane::openMenuAtCaret()
{
    // Through the editor's own context menu event, as the Menu key goes.
    const QPoint caret = m_edit->cursorRect().bottomLeft();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, caret,
                            m_edit->viewport()->mapToGlobal(caret));
    QCoreApplication::sendEvent(m_edit->viewport(), &event);
}

void NoteEditorPane::createSpellMenu()
{
    // Above Find..., which stays the menu's last entry.
    SpellService &service = m_spell->service();
    m_spellCheck = new QAction(tr("Spell Check"), m_menu);
    m_menu->insertAction(m_find, m_spellCheck);
    m_spellCheck->setCheckable(true);
    m_spellCheck->setChecked(service.isEnabled());
    connect(m_spellCheck, &QAction::toggled, &service, &SpellService::setEnabled);
    connect(&service, &SpellService::enabledChanged, m_spellCheck, &QAction::setChecked);

    m_spellLanguages = new QMenu(tr("Spelling Language"), m_menu);
    m_menu->insertMenu(m_find, m_spellLanguages);
    m_menu->insertSeparator(m_find);
    auto *group = new QActionGroup(m_spellLanguages);
    for (const QString &language : service.checker().languages()) {
        const QLocale locale(language);
        QString name = locale.nativeLanguageName();
        if (language.contains(QLatin1Char('_')))
            name += QStringLiteral(" (%1)").arg(locale.nativeTerritoryName());
        QAction *choice = m_spellLanguages->addAction(name);
        choice->setData(language);
        choice->setCheckable(true);
        group->addAction(choice);
        connect(choice, &QAction::triggered, this,
                [this, language] { m_spell->setLanguage(language); });
    }
    m_spellLanguages->setEnabled(!group->actions().isEmpty());
    // The check mark follows the language guessed for the note.
    connect(m_spellLanguages, &QMenu::aboutToShow, this, [this, group] {
        for (QAction *choice : group->actions())
            choice->setChecked(choice->data().toString() == m_spell->language());
    });
}

QMenu *NoteEditorPane::contextMenu(int position)
{
    auto *menu = new QMenu(m_edit);
    const QList<QAction *> corrections = m_spell->corrections(position, menu);
    if (corrections.isEmpty()) {
        delete menu;
        return m_menu;
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addActions(corrections);
    menu->addSeparator();
    menu->addActions(m_menu->actions());
    return menu;
}

void NoteEditorPane::createToolBar()
{
    TDM *dm = TDM::instance();
    using enum CommandId;
    m_toolBar = new QWidget(this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    auto *rows = new QVBoxLayout(m_toolBar);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    const auto makeRow = [&](const QList<QAction *> &actions) {
        auto *row = new QToolBar(m_toolBar);
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
    QToolBar *first = makeRow({dm->action(acNew), dm->action(FileOpen1), dm->action(FileSaveAs1),
                               nullptr, dm->action(acIndentDec), dm->action(acIndentInc), nullptr,
                               dm->action(RichEditBold1), dm->action(RichEditUnderline1),
                               dm->action(RichEditItalic1)});
    QToolBar *second = makeRow({dm->action(RichEditAlignLeft1), dm->action(RichEditAlignCenter1),
                                dm->action(RichEditAlignRight1), nullptr, dm->action(acFontInc),
                                dm->action(acFontSmaller), nullptr, dm->action(acCrypt),
                                dm->action(acDecrypt), dm->action(acMasterPasswordClear),
                                dm->action(acCreatePWD), nullptr, dm->action(acCopyFormat)});
    m_toolBarKeys = new ToolBarKeys({first, second}, m_edit, this);
    if (auto *underline
        = qobject_cast<QToolButton *>(first->widgetForAction(dm->action(RichEditUnderline1)))) {
        underline->setMenu(m_menu);
        underline->setPopupMode(QToolButton::MenuButtonPopup);
    }
}

void NoteEditorPane::tbCalcClick()
{
    // A cursor in the document moves with the results taken out and written
    // in, so the caret comes back to the same place in the user's text.
    QTextCursor caret = m_edit->textCursor();
    m_strParser->Parse();
    caret.clearSelection();
    m_edit->setTextCursor(caret);
}

void NoteEditorPane::ClearResults1Click()
{
    m_strParser->ClearResults();
}

bool NoteEditorPane::runMenuShortcut(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const QKeySequence key(QKeyCombination(modifiers, Qt::Key(event->key())));
    QAction *owner = shortcutOwner(m_menu, key);
    if (!owner)
        return false;
    if (event->key() == Qt::Key_Delete)
        m_deleteOneCharacter = m_edit->SelLength() == 0;
    if (owner->isEnabled())
        owner->trigger();
    return true;
}

bool NoteEditorPane::editKeyDown(const QKeyEvent *event)
{
    if (isKey(event, Qt::Key_F10, Qt::ShiftModifier)) {
        openMenuAtCaret();
        return true;
    }
    if (isKey(event, Qt::Key_F10, Qt::NoModifier)) {
        m_toolBarKeys->enter();
        return true;
    }
    if (runMenuShortcut(event))
        return true;
    if (!isCtrlSpace(event))
        return false;
    m_edit->SelAttributes().Assign(m_edit->DefAttributes());
    return true;
}

bool NoteEditorPane::editKeyUp(const QKeyEvent *event)
{
    if (isCtrlSpace(event)) {
        m_edit->SelAttributes().Assign(m_edit->DefAttributes());
        return true;
    }
    if (event->key() != Qt::Key_Delete)
        return false;
    // The press removed a selection; with nothing selected it removed
    // nothing and the character after the caret goes now.
    if (m_deleteOneCharacter && m_edit->SelLength() == 0) {
        m_edit->setSelLength(1);
        m_edit->setSelText(QString());
    }
    m_deleteOneCharacter = false;
    return true;
}

bool NoteEditorPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit) {
        if (event->type() == QEvent::KeyPress)
            return editKeyDown(static_cast<QKeyEvent *>(event));
        if (event->type() == QEvent::KeyRelease)
            return editKeyUp(static_cast<QKeyEvent *>(event));
    }
    return QWidget::eventFilter(watched, event);
}
