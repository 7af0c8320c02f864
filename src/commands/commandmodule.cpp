#include "commands/commandmodule.h"

#include "commands/commanddialogs.h"
#include "commands/cryptcommands.h"
#include "commands/filecommands.h"
#include "commands/formatcommands.h"
#include "commands/imagelist.h"
#include "commands/linkcommands.h"
#include "richedit/jvrichedit.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCursor>
#include <QKeySequence>
#include <QTextDocument>

#include <array>
#include <functional>

namespace {

TDM *s_instance = nullptr;

enum Flag : unsigned {
    None = 0,
    AutoCheck = 0x1, // the menu entry's check mark flips each time the command runs
    Checked = 0x2,
    Hidden = 0x4,
    SizeGroup = 0x8, // Big, Normal and Small check one another out
};

using enum CommandId;

struct Command
{
    CommandId id;
    const char *name;
    const char *caption;
    const char *hint; // "short|long"
    const char *shortcut;
    int image; // -1: none
    unsigned flags;
};

// The module's commands in their order.
constexpr std::array Commands{
    Command{acBig, "acBig", QT_TRANSLATE_NOOP("TDM", "Big"), "", "Ctrl+Alt+B", -1,
            AutoCheck | SizeGroup},
    Command{acSendMail, "acSendMail", QT_TRANSLATE_NOOP("TDM", "Send Mail ..."), "", "Ctrl+Alt+M",
            -1, None},
    Command{acSendNote, "acSendNote", QT_TRANSLATE_NOOP("TDM", "Send Note .."), "", "Ctrl+Alt+N",
            -1, None},
    Command{BrowseURL1, "BrowseURL1", QT_TRANSLATE_NOOP("TDM", "&Browse URL"),
            QT_TRANSLATE_NOOP("TDM", "Browse URL"), "Ctrl+Alt+B", -1, None},
    Command{EditCut2, "EditCut2", QT_TRANSLATE_NOOP("TDM", "Cu&t"),
            QT_TRANSLATE_NOOP("TDM", "Cut|Cuts the selection and puts it on the Clipboard"),
            "Ctrl+X", 0, None},
    Command{EditCopy2, "EditCopy2", QT_TRANSLATE_NOOP("TDM", "&Copy"),
            QT_TRANSLATE_NOOP("TDM", "Copy|Copies the selection and puts it on the Clipboard"),
            "Ctrl+C", 1, None},
    Command{EditPaste2, "EditPaste2", QT_TRANSLATE_NOOP("TDM", "&Paste"),
            QT_TRANSLATE_NOOP("TDM", "Paste|Inserts Clipboard contents"), "Ctrl+V", 2, None},
    Command{EditSelectAll1, "EditSelectAll1", QT_TRANSLATE_NOOP("TDM", "Select &All"),
            QT_TRANSLATE_NOOP("TDM", "Select All|Selects the entire document"), "Ctrl+A", -1, None},
    Command{EditUndo1, "EditUndo1", QT_TRANSLATE_NOOP("TDM", "&Undo"),
            QT_TRANSLATE_NOOP("TDM", "Undo|Reverts the last action"), "Ctrl+Z", 3, None},
    Command{EditRedo1, "EditRedo1", QT_TRANSLATE_NOOP("TDM", "&Redo"),
            QT_TRANSLATE_NOOP("TDM", "Redo|Makes the last undone action again"), "Ctrl+Y", -1,
            None},
    Command{EditDelete1, "EditDelete1", QT_TRANSLATE_NOOP("TDM", "&Delete"),
            QT_TRANSLATE_NOOP("TDM", "Delete|Erases the selection"), "Del", 5, None},
    Command{RichEditBold1, "RichEditBold1", QT_TRANSLATE_NOOP("TDM", "&Bold"),
            QT_TRANSLATE_NOOP("TDM", "Bold"), "Ctrl+B", 31, AutoCheck},
    Command{RichEditItalic1, "RichEditItalic1", QT_TRANSLATE_NOOP("TDM", "&Italic"),
            QT_TRANSLATE_NOOP("TDM", "Italic"), "Ctrl+K", 29, AutoCheck},
    Command{RichEditUnderline1, "RichEditUnderline1", QT_TRANSLATE_NOOP("TDM", "&Underline"),
            QT_TRANSLATE_NOOP("TDM", "Underline"), "Ctrl+U", 28, AutoCheck},
    Command{RichEditStrikeOut1, "RichEditStrikeOut1", QT_TRANSLATE_NOOP("TDM", "&Strikeout"),
            QT_TRANSLATE_NOOP("TDM", "Strikeout"), "Ctrl+S", 44, AutoCheck},
    Command{RichEditBullets1, "RichEditBullets1", QT_TRANSLATE_NOOP("TDM", "&Bullets"),
            QT_TRANSLATE_NOOP("TDM", "Bullets|Inserts a bullet on the current line"), "Ctrl+N", 38,
            AutoCheck},
    Command{RichEditAlignLeft1, "RichEditAlignLeft1", QT_TRANSLATE_NOOP("TDM", "Align &Left"),
            QT_TRANSLATE_NOOP("TDM", "Align Left|Aligns text at the left indent"), "Ctrl+L", 35,
            AutoCheck},
    Command{RichEditAlignRight1, "RichEditAlignRight1", QT_TRANSLATE_NOOP("TDM", "Align &Right"),
            QT_TRANSLATE_NOOP("TDM", "Align Right|Aligns text at the right indent"), "Ctrl+R", 36,
            AutoCheck},
    Command{RichEditAlignCenter1, "RichEditAlignCenter1", QT_TRANSLATE_NOOP("TDM", "&Center"),
            QT_TRANSLATE_NOOP("TDM", "Center|Centers text between margins"), "Ctrl+M", 37,
            AutoCheck},
    Command{PrintDlg1, "PrintDlg1", QT_TRANSLATE_NOOP("TDM", "&Print..."), "", "Ctrl+P", 45, None},
    Command{FileOpen1, "FileOpen1", QT_TRANSLATE_NOOP("TDM", "O&pen..."),
            QT_TRANSLATE_NOOP("TDM", "Open|Open existing File"), "Ctrl+O", 65, None},
    Command{JvSaveFileAction1, "JvSaveFileAction1", QT_TRANSLATE_NOOP("TDM", "Save..."), "", "", 66,
            None},
    Command{FileSaveAs1, "FileSaveAs1", QT_TRANSLATE_NOOP("TDM", "Save &As..."),
            QT_TRANSLATE_NOOP("TDM", "Save As|Saves the active file with a new name"), "", 46,
            None},
    Command{acIndentInc, "acIndentInc", QT_TRANSLATE_NOOP("TDM", "Increase"), "", "Ctrl+I", 47,
            None},
    Command{acIndentDec, "acIndentDec", QT_TRANSLATE_NOOP("TDM", "Decrease"), "", "Ctrl+Alt+I", 48,
            None},
    Command{acNormal, "acNormal", QT_TRANSLATE_NOOP("TDM", "Normal"), "", "Ctrl+Alt+N", -1,
            AutoCheck | SizeGroup},
    Command{acSmall, "acSmall", QT_TRANSLATE_NOOP("TDM", "Small"), "", "Ctrl+Alt+S", -1,
            AutoCheck | SizeGroup},
    Command{acFontInc, "acFontInc", QT_TRANSLATE_NOOP("TDM", "Bigger"), "", "Ctrl+Alt+U", 57, None},
    Command{acFontSmaller, "acFontSmaller", QT_TRANSLATE_NOOP("TDM", "Smaller"), "", "Ctrl+Alt+D",
            56, None},
    Command{acSetFont, "acSetFont", QT_TRANSLATE_NOOP("TDM", "Set Font.."), "", "Ctrl+Alt+F", -1,
            None},
    Command{acBKRed, "acBKRed", QT_TRANSLATE_NOOP("TDM", "Red"), "", "", -1, None},
    Command{acBKYellow, "acBKYellow", QT_TRANSLATE_NOOP("TDM", "Yellow"), "", "", -1, None},
    Command{acBKBlue, "acBKBlue", QT_TRANSLATE_NOOP("TDM", "Blue"), "", "", -1, None},
    Command{acBKColor, "acBKColor", QT_TRANSLATE_NOOP("TDM", "Set Color .."), "", "Ctrl+Alt+C", -1,
            None},
    Command{acSetFontBKColor, "acSetFontBKColor", QT_TRANSLATE_NOOP("TDM", "Set Color .."), "", "",
            -1, None},
    Command{acResetColor, "acResetColor", QT_TRANSLATE_NOOP("TDM", "Reset Color"), "", "", -1,
            None},
    Command{JvEditCut2, "JvEditCut2", QT_TRANSLATE_NOOP("TDM", "&Cut"),
            QT_TRANSLATE_NOOP("TDM",
                              "Ausschneiden|Markiertes Objekt in die Zwischenablage verschieben"),
            "Ctrl+X", 50, None},
    Command{JvEditCopy1, "JvEditCopy1", QT_TRANSLATE_NOOP("TDM", "&Copy"),
            QT_TRANSLATE_NOOP("TDM", "Kopieren|Markiertes Objekt in die Zwischenablage kopieren"),
            "Ctrl+C", 51, None},
    Command{JvEditPaste1, "JvEditPaste1", QT_TRANSLATE_NOOP("TDM", "&Paste"),
            QT_TRANSLATE_NOOP("TDM", "Einfügen|Inhalt der Zwischenablage einfügen"), "Ctrl+V", 52,
            None},
    Command{JvEditSelectAll1, "JvEditSelectAll1", QT_TRANSLATE_NOOP("TDM", "Select &all"),
            QT_TRANSLATE_NOOP("TDM", "Alles markieren|Markiert das gesamte Dokument"), "Ctrl+A", -1,
            None},
    Command{JvEditUndo1, "JvEditUndo1", QT_TRANSLATE_NOOP("TDM", "&Undo"),
            QT_TRANSLATE_NOOP("TDM", "Rückgängig|Letzte Aktion rückgängig machen"), "Ctrl+Z", 53,
            None},
    Command{JvEditDelete1, "JvEditDelete1", QT_TRANSLATE_NOOP("TDM", "&Delete"),
            QT_TRANSLATE_NOOP("TDM", "Löschen|Auswahl löschen"), "Del", 54, None},
    Command{JvSendMailAction1, "JvSendMailAction1", QT_TRANSLATE_NOOP("TDM", "SendNote"), "", "",
            -1, None},
    Command{JvWebAction1, "JvWebAction1", QT_TRANSLATE_NOOP("TDM", "JvWebAction1"), "", "", -1,
            None},
    Command{BrowseURL2, "BrowseURL2", QT_TRANSLATE_NOOP("TDM", "&URL durchsuchen"),
            QT_TRANSLATE_NOOP("TDM", "URL durchsuchen"), "", -1, None},
    Command{acFormatReset, "acFormatReset", QT_TRANSLATE_NOOP("TDM", "Reset"), "", "Ctrl+Alt+R", -1,
            None},
    Command{acInsertObject, "acInsertObject", QT_TRANSLATE_NOOP("TDM", "Insert &Object"),
            QT_TRANSLATE_NOOP("TDM", "Insert &Object"), "Ctrl+O", 59, None},
    Command{acCalc, "acCalc", QT_TRANSLATE_NOOP("TDM", "Cal&c"), QT_TRANSLATE_NOOP("TDM", "Calc"),
            "Ctrl+Q", 64, None},
    Command{acSubScript, "acSubScript", QT_TRANSLATE_NOOP("TDM", "SubScript"),
            QT_TRANSLATE_NOOP("TDM", "SubScript"), "Ctrl+Alt+U", 62, None},
    Command{acSuperScript, "acSuperScript", QT_TRANSLATE_NOOP("TDM", "SuperScript"),
            QT_TRANSLATE_NOOP("TDM", "SuperScript"), "Ctrl+Alt+D", 63, None},
    Command{acClearResults, "acClearResults", QT_TRANSLATE_NOOP("TDM", "Clear Results"), "",
            "Ctrl+W", -1, AutoCheck | Checked},
    Command{acNew, "acNew", QT_TRANSLATE_NOOP("TDM", "New"), "", "", 58, None},
    Command{acCrypt, "acCrypt", QT_TRANSLATE_NOOP("TDM", "Crypt"),
            QT_TRANSLATE_NOOP("TDM", "Crypt Selection"), "", 68, None},
    Command{acDecrypt, "acDecrypt", QT_TRANSLATE_NOOP("TDM", "Decrypt"),
            QT_TRANSLATE_NOOP("TDM", "Decrypt Selection"), "", 67, None},
    Command{acTable, "acTable", QT_TRANSLATE_NOOP("TDM", "Tables"), "", "", 10, Hidden},
    Command{acCopyFormat, "acCopyFormat", QT_TRANSLATE_NOOP("TDM", "Copy Format"), "", "", 69,
            None},
    Command{acInsertImage, "acInsertImage", QT_TRANSLATE_NOOP("TDM", "acInsertImage"), "", "", -1,
            None},
    Command{acShellDocuments, "acShellDocuments", "", "", "", -1, None},
    Command{acAutoMouse, "acAutoMouse", QT_TRANSLATE_NOOP("TDM", "Auto Mouse"), "", "", -1,
            AutoCheck},
    Command{acMasterPasswordClear, "acMasterPasswordClear",
            QT_TRANSLATE_NOOP("TDM", "Clear Master Password"), "", "", 71, None},
    Command{acCreatePWD, "acCreatePWD", QT_TRANSLATE_NOOP("TDM", "Create Password"), "", "", 72,
            None},
};

// The table is indexed by CommandId.
constexpr bool inIdOrder()
{
    for (size_t i = 0; i < Commands.size(); ++i) {
        if (Commands[i].id != CommandId(i))
            return false;
    }
    return Commands.back().id == acCreatePWD;
}
static_assert(inIdOrder(), "the commands stand in the order of CommandId");

// The command's handler: runs operation on the note editor with the keyboard
// focus, and does nothing without one.
template <typename Operation>
auto onEditor(Operation operation)
{
    return [operation] {
        if (TJvRichEdit *editor = TDM::focusedEditor())
            operation(editor);
    };
}

// A formatting command's handler.
template <typename Operation>
auto formatting(Operation operation)
{
    return onEditor([operation](TJvRichEdit *editor) {
        FormatCommands commands(*editor);
        std::invoke(operation, commands);
    });
}

} // namespace

TDM::TDM(QObject *parent)
    : QObject(parent)
    , m_dialogs(std::make_unique<CommandDialogs>())
{
    createActions();
    connectEditActions();
    connectFormatActions();
    connectFileActions();
    connectCryptActions();
    m_links = new LinkCommands(action(acSendMail), action(acSendNote), action(BrowseURL1), this);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { trackFocus(now); });
    trackFocus(QApplication::focusWidget());
    s_instance = this;
}

TDM::~TDM()
{
    if (m_copyFormat.holding())
        QGuiApplication::restoreOverrideCursor();
    if (s_instance == this)
        s_instance = nullptr;
}

TDM *TDM::instance()
{
    // Start-up makes the module first; whatever needs it before (a test
    // opening a note window, say) has it made on the spot.
    if (!s_instance)
        new TDM(qApp);
    return s_instance;
}

TJvRichEdit *TDM::focusedEditor()
{
    return qobject_cast<TJvRichEdit *>(QApplication::focusWidget());
}

QAction *TDM::action(const QString &name) const
{
    for (QAction *action : m_actions) {
        if (action->objectName() == name)
            return action;
    }
    return nullptr;
}

void TDM::createActions()
{
    m_sizeGroup = new QActionGroup(this);
    for (const Command &command : Commands) {
        auto *action = new QAction(tr(command.caption), this);
        action->setObjectName(QLatin1String(command.name));
        const QString hint = tr(command.hint);
        if (!hint.isEmpty()) {
            const qsizetype bar = hint.indexOf(u'|');
            action->setToolTip(bar < 0 ? hint : hint.left(bar));
            action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
        }
        action->setShortcut(QKeySequence(QLatin1String(command.shortcut)));
        action->setShortcutContext(Qt::WidgetShortcut);
        if (command.image >= 0)
            action->setIcon(ImageList::icon(command.image));
        action->setCheckable(command.flags & AutoCheck);
        action->setChecked(command.flags & Checked);
        action->setVisible(!(command.flags & Hidden));
        if (command.flags & SizeGroup)
            m_sizeGroup->addAction(action);
        // Enabled once its behaviour exists; the edit commands follow the editor.
        action->setEnabled(false);
        m_actions.append(action);
    }
}

void TDM::connectEditActions()
{
    const auto cut = onEditor([](TJvRichEdit *editor) { editor->cut(); });
    const auto copy = onEditor([](TJvRichEdit *editor) { editor->copy(); });
    const auto paste = onEditor([](TJvRichEdit *editor) { editor->paste(); });
    const auto selectAll = onEditor([](TJvRichEdit *editor) { editor->selectAll(); });
    const auto undo = onEditor([](TJvRichEdit *editor) { editor->undo(); });
    connect(action(EditRedo1), &QAction::triggered, this,
            onEditor([](TJvRichEdit *editor) { editor->redo(); }));
    const auto remove = onEditor([](TJvRichEdit *editor) {
        QTextCursor cursor = editor->textCursor();
        cursor.removeSelectedText();
        editor->setTextCursor(cursor);
    });
    for (QAction *command : {action(EditCut2), action(JvEditCut2)})
        connect(command, &QAction::triggered, this, cut);
    for (QAction *command : {action(EditCopy2), action(JvEditCopy1)})
        connect(command, &QAction::triggered, this, copy);
    for (QAction *command : {action(EditPaste2), action(JvEditPaste1)})
        connect(command, &QAction::triggered, this, paste);
    for (QAction *command : {action(EditSelectAll1), action(JvEditSelectAll1)})
        connect(command, &QAction::triggered, this, selectAll);
    for (QAction *command : {action(EditUndo1), action(JvEditUndo1)})
        connect(command, &QAction::triggered, this, undo);
    for (QAction *command : {action(EditDelete1), action(JvEditDelete1)})
        connect(command, &QAction::triggered, this, remove);
    action(EditPaste2)->setEnabled(true);
}

void TDM::connectFormatActions()
{
    const auto connectTo = [this](QAction *action, auto handler) {
        connect(action, &QAction::triggered, this, handler);
        // A command's own tick flip is replaced by what the format is now.
        connect(action, &QAction::triggered, this, &TDM::updateFormatActions);
        action->setEnabled(true);
    };
    connectTo(action(acBig), formatting([](FormatCommands &format) { format.setSize(12); }));
    connectTo(action(acNormal), formatting([](FormatCommands &format) { format.setSize(8); }));
    connectTo(action(acSmall), formatting([](FormatCommands &format) { format.setSize(7); }));
    connectTo(action(acFontInc), formatting(&FormatCommands::bigger));
    connectTo(action(acFontSmaller), formatting(&FormatCommands::smaller));
    connectTo(action(RichEditBold1), formatting(&FormatCommands::toggleBold));
    connectTo(action(RichEditItalic1), formatting(&FormatCommands::toggleItalic));
    connectTo(action(RichEditUnderline1), formatting(&FormatCommands::toggleUnderline));
    connectTo(action(RichEditStrikeOut1), formatting(&FormatCommands::toggleStrikeOut));
    connectTo(action(acSubScript), formatting(&FormatCommands::subscript));
    connectTo(action(acSuperScript), formatting(&FormatCommands::superscript));
    connectTo(action(RichEditBullets1), formatting(&FormatCommands::toggleBullets));
    connectTo(action(RichEditAlignLeft1), formatting([](FormatCommands &format) {
                  format.align(TParaAlignment::paLeftJustify);
              }));
    connectTo(action(RichEditAlignRight1), formatting([](FormatCommands &format) {
                  format.align(TParaAlignment::paRightJustify);
              }));
    connectTo(action(RichEditAlignCenter1),
              formatting([](FormatCommands &format) { format.align(TParaAlignment::paCenter); }));
    connectTo(action(acIndentInc), formatting(&FormatCommands::increaseIndent));
    connectTo(action(acIndentDec), formatting(&FormatCommands::decreaseIndent));
    connectTo(action(acFormatReset), formatting(&FormatCommands::reset));
    for (const auto &[command, color] : {std::pair{action(acBKRed), QColor(255, 128, 128)},
                                         std::pair{action(acBKYellow), QColor(255, 255, 106)},
                                         std::pair{action(acBKBlue), QColor(191, 205, 219)}}) {
        connectTo(command, formatting([color = color](FormatCommands &format) {
                      format.setHighlight(color);
                  }));
    }
    connectTo(action(acResetColor), formatting(&FormatCommands::highlightInNoteColor));

    connectTo(action(acSetFont),
              onEditor([this](TJvRichEdit *editor) { setFontFromDialog(editor); }));
    connectTo(action(acSetFontBKColor), onEditor([this](TJvRichEdit *editor) {
                  QPointer<TJvRichEdit> target(editor);
                  const std::optional<QColor> color = m_dialogs->chooseColor(
                      editor->window(), editor->SelAttributes().BackColor());
                  if (color && target)
                      FormatCommands(*target).setHighlight(*color);
              }));
    connectTo(action(acBKColor), onEditor([this](TJvRichEdit *editor) {
                  QPointer<TJvRichEdit> target(editor);
                  const std::optional<QColor> color
                      = m_dialogs->chooseColor(editor->window(), editor->Color());
                  if (color && target)
                      target->setColor(*color);
              }));
    connectTo(action(acCopyFormat),
              onEditor([this](TJvRichEdit *editor) { runCopyFormat(editor); }));
}

void TDM::setFontFromDialog(TJvRichEdit *editor)
{
    QPointer<TJvRichEdit> target(editor);
    const TJvTextAttributes &current = editor->SelAttributes();
    QFont preset(current.Name());
    preset.setPointSize(std::max(1, current.Size()));
    const TFontStyles style = current.Style();
    preset.setBold(style.testFlag(TFontStyle::fsBold));
    preset.setItalic(style.testFlag(TFontStyle::fsItalic));
    preset.setUnderline(style.testFlag(TFontStyle::fsUnderline));
    preset.setStrikeOut(style.testFlag(TFontStyle::fsStrikeOut));
    const std::optional<TextFont> font
        = m_dialogs->chooseFont(editor->window(), TextFont{preset, current.Color()});
    if (!font || !target)
        return;
    // Everything the dialog offers is applied: face, colour, size, styles
    // and effects.
    TJvRichEdit &edit = *target;
    TJvTextAttributes &attributes = edit.SelAttributes();
    attributes.setName(font->font.family());
    attributes.setColor(font->color);
    if (font->font.pointSize() > 0)
        attributes.setSize(font->font.pointSize());
    TFontStyles chosen;
    chosen.setFlag(TFontStyle::fsBold, font->font.bold());
    chosen.setFlag(TFontStyle::fsItalic, font->font.italic());
    chosen.setFlag(TFontStyle::fsUnderline, font->font.underline());
    chosen.setFlag(TFontStyle::fsStrikeOut, font->font.strikeOut());
    attributes.setStyle(chosen);
}

void TDM::runCopyFormat(TJvRichEdit *editor)
{
    m_copyFormat.run(*editor);
    if (m_copyFormat.holding()) {
        action(acCopyFormat)->setIcon(ImageList::icon(70));
        // The pointer shows that a format is held until it is given away.
        QGuiApplication::setOverrideCursor(
            QCursor(ImageList::icon(70).pixmap(ImageList::Size, ImageList::Size), 0, 0));
    } else {
        action(acCopyFormat)->setIcon(ImageList::icon(69));
        QGuiApplication::restoreOverrideCursor();
    }
}

void TDM::connectFileActions()
{
    const auto fileCommand = [this](void (FileCommands::*command)()) {
        return onEditor([this, command](TJvRichEdit *editor) {
            FileCommands commands(*editor, *m_dialogs);
            (commands.*command)();
        });
    };
    for (const auto &[command, operation] : {std::pair{action(FileOpen1), &FileCommands::open},
                                             std::pair{action(FileSaveAs1), &FileCommands::saveAs},
                                             std::pair{action(PrintDlg1), &FileCommands::print}}) {
        connect(command, &QAction::triggered, this, fileCommand(operation));
        command->setEnabled(true);
    }
    connect(action(acInsertObject), &QAction::triggered, this,
            onEditor([](TJvRichEdit *editor) { editor->InsertObjectDialog(); }));
    action(acInsertObject)->setEnabled(true);
}

void TDM::setDialogs(std::unique_ptr<CommandDialogs> dialogs)
{
    m_dialogs = std::move(dialogs);
}

void TDM::connectCryptActions()
{
    m_cryptCommands = new CryptCommands(this);
    const std::pair<QAction *, void (CryptCommands::*)()> handlers[] = {
        {action(acCrypt), &CryptCommands::acCryptExecute},
        {action(acDecrypt), &CryptCommands::acDecryptExecute},
        {action(acMasterPasswordClear), &CryptCommands::acMasterPasswordClearExecute},
        {action(acCreatePWD), &CryptCommands::acCreatePWDExecute},
    };
    for (const auto &[action, handler] : handlers) {
        connect(action, &QAction::triggered, m_cryptCommands, handler);
        action->setEnabled(true);
    }
}

void TDM::trackFocus(QWidget *now)
{
    auto *editor = qobject_cast<TJvRichEdit *>(now);
    if (m_editor != editor) {
        if (m_editor) {
            disconnect(m_editor, nullptr, this, nullptr);
            // Else every return of the focus would add one more connection.
            disconnect(m_editor->document(), nullptr, this, nullptr);
        }
        m_editor = editor;
        if (editor) {
            connect(editor, &QTextEdit::copyAvailable, this, &TDM::updateEditActions);
            connect(editor, &QTextEdit::undoAvailable, this, &TDM::updateEditActions);
            connect(editor, &QTextEdit::redoAvailable, this, &TDM::updateEditActions);
            connect(editor, &TJvRichEdit::OnSelectionChange, this, &TDM::updateFormatActions);
            connect(editor, &QTextEdit::currentCharFormatChanged, this, &TDM::updateFormatActions);
            // Undo and redo change formats without moving the caret.
            connect(editor->document(), &QTextDocument::contentsChanged, this,
                    &TDM::updateFormatActions);
            connect(editor, &QObject::destroyed, this, &TDM::updateEditActions,
                    Qt::QueuedConnection);
        }
    }
    updateEditActions();
    updateFormatActions();
}

void TDM::updateFormatActions()
{
    TJvRichEdit *editor = m_editor;
    if (!editor)
        return;
    const TJvTextAttributes &text = editor->SelAttributes();
    action(RichEditBold1)->setChecked(text.Bold());
    action(RichEditItalic1)->setChecked(text.Italic());
    action(RichEditUnderline1)->setChecked(text.Underline());
    action(RichEditStrikeOut1)->setChecked(text.StrikeOut());
    const TJvParaAttributes &paragraph = editor->Paragraph();
    action(RichEditBullets1)->setChecked(paragraph.Numbering() == TNumberingStyle::nsBullet);
    const TParaAlignment alignment = paragraph.Alignment();
    action(RichEditAlignLeft1)->setChecked(alignment == TParaAlignment::paLeftJustify);
    action(RichEditAlignCenter1)->setChecked(alignment == TParaAlignment::paCenter);
    action(RichEditAlignRight1)->setChecked(alignment == TParaAlignment::paRightJustify);
}

void TDM::updateEditActions()
{
    TJvRichEdit *editor = m_editor;
    const bool selected = editor && editor->textCursor().hasSelection();
    const bool writable = editor && !editor->isReadOnly();
    for (QAction *command :
         {action(EditCut2), action(JvEditCut2), action(EditDelete1), action(JvEditDelete1)})
        command->setEnabled(selected && writable);
    for (QAction *command : {action(EditCopy2), action(JvEditCopy1)})
        command->setEnabled(selected);
    for (QAction *command : {action(EditUndo1), action(JvEditUndo1)})
        command->setEnabled(editor && writable && editor->document()->isUndoAvailable());
    action(EditRedo1)->setEnabled(editor && writable && editor->document()->isRedoAvailable());
    action(JvEditPaste1)->setEnabled(writable);
    for (QAction *command : {action(EditSelectAll1), action(JvEditSelectAll1)})
        command->setEnabled(editor != nullptr);
}
