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

struct Command
{
    QAction *TDM::*member;
    const char *name;
    const char *caption;
    const char *hint; // "short|long"
    const char *shortcut;
    int image; // -1: none
    unsigned flags;
};

// The module's commands in their order.
constexpr std::array Commands{
    Command{&TDM::acBig, "acBig", QT_TRANSLATE_NOOP("TDM", "Big"), "", "Ctrl+Alt+B", -1,
            AutoCheck | SizeGroup},
    Command{&TDM::acSendMail, "acSendMail", QT_TRANSLATE_NOOP("TDM", "Send Mail ..."), "",
            "Ctrl+Alt+M", -1, None},
    Command{&TDM::acSendNote, "acSendNote", QT_TRANSLATE_NOOP("TDM", "Send Note .."), "",
            "Ctrl+Alt+N", -1, None},
    Command{&TDM::BrowseURL1, "BrowseURL1", QT_TRANSLATE_NOOP("TDM", "&Browse URL"),
            QT_TRANSLATE_NOOP("TDM", "Browse URL"), "Ctrl+Alt+B", -1, None},
    Command{&TDM::EditCut2, "EditCut2", QT_TRANSLATE_NOOP("TDM", "Cu&t"),
            QT_TRANSLATE_NOOP("TDM", "Cut|Cuts the selection and puts it on the Clipboard"),
            "Ctrl+X", 0, None},
    Command{&TDM::EditCopy2, "EditCopy2", QT_TRANSLATE_NOOP("TDM", "&Copy"),
            QT_TRANSLATE_NOOP("TDM", "Copy|Copies the selection and puts it on the Clipboard"),
            "Ctrl+C", 1, None},
    Command{&TDM::EditPaste2, "EditPaste2", QT_TRANSLATE_NOOP("TDM", "&Paste"),
            QT_TRANSLATE_NOOP("TDM", "Paste|Inserts Clipboard contents"), "Ctrl+V", 2, None},
    Command{&TDM::EditSelectAll1, "EditSelectAll1", QT_TRANSLATE_NOOP("TDM", "Select &All"),
            QT_TRANSLATE_NOOP("TDM", "Select All|Selects the entire document"), "Ctrl+A", -1, None},
    Command{&TDM::EditUndo1, "EditUndo1", QT_TRANSLATE_NOOP("TDM", "&Undo"),
            QT_TRANSLATE_NOOP("TDM", "Undo|Reverts the last action"), "Ctrl+Z", 3, None},
    Command{&TDM::EditRedo1, "EditRedo1", QT_TRANSLATE_NOOP("TDM", "&Redo"),
            QT_TRANSLATE_NOOP("TDM", "Redo|Makes the last undone action again"), "Ctrl+Y", -1,
            None},
    Command{&TDM::EditDelete1, "EditDelete1", QT_TRANSLATE_NOOP("TDM", "&Delete"),
            QT_TRANSLATE_NOOP("TDM", "Delete|Erases the selection"), "Del", 5, None},
    Command{&TDM::RichEditBold1, "RichEditBold1", QT_TRANSLATE_NOOP("TDM", "&Bold"),
            QT_TRANSLATE_NOOP("TDM", "Bold"), "Ctrl+B", 31, AutoCheck},
    Command{&TDM::RichEditItalic1, "RichEditItalic1", QT_TRANSLATE_NOOP("TDM", "&Italic"),
            QT_TRANSLATE_NOOP("TDM", "Italic"), "Ctrl+K", 29, AutoCheck},
    Command{&TDM::RichEditUnderline1, "RichEditUnderline1", QT_TRANSLATE_NOOP("TDM", "&Underline"),
            QT_TRANSLATE_NOOP("TDM", "Underline"), "Ctrl+U", 28, AutoCheck},
    Command{&TDM::RichEditStrikeOut1, "RichEditStrikeOut1", QT_TRANSLATE_NOOP("TDM", "&Strikeout"),
            QT_TRANSLATE_NOOP("TDM", "Strikeout"), "Ctrl+S", 44, AutoCheck},
    Command{&TDM::RichEditBullets1, "RichEditBullets1", QT_TRANSLATE_NOOP("TDM", "&Bullets"),
            QT_TRANSLATE_NOOP("TDM", "Bullets|Inserts a bullet on the current line"), "Ctrl+N", 38,
            AutoCheck},
    Command{&TDM::RichEditAlignLeft1, "RichEditAlignLeft1", QT_TRANSLATE_NOOP("TDM", "Align &Left"),
            QT_TRANSLATE_NOOP("TDM", "Align Left|Aligns text at the left indent"), "Ctrl+L", 35,
            AutoCheck},
    Command{&TDM::RichEditAlignRight1, "RichEditAlignRight1",
            QT_TRANSLATE_NOOP("TDM", "Align &Right"),
            QT_TRANSLATE_NOOP("TDM", "Align Right|Aligns text at the right indent"), "Ctrl+R", 36,
            AutoCheck},
    Command{&TDM::RichEditAlignCenter1, "RichEditAlignCenter1", QT_TRANSLATE_NOOP("TDM", "&Center"),
            QT_TRANSLATE_NOOP("TDM", "Center|Centers text between margins"), "Ctrl+M", 37,
            AutoCheck},
    Command{&TDM::PrintDlg1, "PrintDlg1", QT_TRANSLATE_NOOP("TDM", "&Print..."), "", "Ctrl+P", 45,
            None},
    Command{&TDM::FileOpen1, "FileOpen1", QT_TRANSLATE_NOOP("TDM", "O&pen..."),
            QT_TRANSLATE_NOOP("TDM", "Open|Open existing File"), "Ctrl+O", 65, None},
    Command{&TDM::JvSaveFileAction1, "JvSaveFileAction1", QT_TRANSLATE_NOOP("TDM", "Save..."), "",
            "", 66, None},
    Command{&TDM::FileSaveAs1, "FileSaveAs1", QT_TRANSLATE_NOOP("TDM", "Save &As..."),
            QT_TRANSLATE_NOOP("TDM", "Save As|Saves the active file with a new name"), "", 46,
            None},
    Command{&TDM::acIndentInc, "acIndentInc", QT_TRANSLATE_NOOP("TDM", "Increase"), "", "Ctrl+I",
            47, None},
    Command{&TDM::acIndentDec, "acIndentDec", QT_TRANSLATE_NOOP("TDM", "Decrease"), "",
            "Ctrl+Alt+I", 48, None},
    Command{&TDM::acNormal, "acNormal", QT_TRANSLATE_NOOP("TDM", "Normal"), "", "Ctrl+Alt+N", -1,
            AutoCheck | SizeGroup},
    Command{&TDM::acSmall, "acSmall", QT_TRANSLATE_NOOP("TDM", "Small"), "", "Ctrl+Alt+S", -1,
            AutoCheck | SizeGroup},
    Command{&TDM::acFontInc, "acFontInc", QT_TRANSLATE_NOOP("TDM", "Bigger"), "", "Ctrl+Alt+U", 57,
            None},
    Command{&TDM::acFontSmaller, "acFontSmaller", QT_TRANSLATE_NOOP("TDM", "Smaller"), "",
            "Ctrl+Alt+D", 56, None},
    Command{&TDM::acSetFont, "acSetFont", QT_TRANSLATE_NOOP("TDM", "Set Font.."), "", "Ctrl+Alt+F",
            -1, None},
    Command{&TDM::acBKRed, "acBKRed", QT_TRANSLATE_NOOP("TDM", "Red"), "", "", -1, None},
    Command{&TDM::acBKYellow, "acBKYellow", QT_TRANSLATE_NOOP("TDM", "Yellow"), "", "", -1, None},
    Command{&TDM::acBKBlue, "acBKBlue", QT_TRANSLATE_NOOP("TDM", "Blue"), "", "", -1, None},
    Command{&TDM::acBKColor, "acBKColor", QT_TRANSLATE_NOOP("TDM", "Set Color .."), "",
            "Ctrl+Alt+C", -1, None},
    Command{&TDM::acSetFontBKColor, "acSetFontBKColor", QT_TRANSLATE_NOOP("TDM", "Set Color .."),
            "", "", -1, None},
    Command{&TDM::acResetColor, "acResetColor", QT_TRANSLATE_NOOP("TDM", "Reset Color"), "", "", -1,
            None},
    Command{&TDM::JvEditCut2, "JvEditCut2", QT_TRANSLATE_NOOP("TDM", "&Cut"),
            QT_TRANSLATE_NOOP("TDM",
                              "Ausschneiden|Markiertes Objekt in die Zwischenablage verschieben"),
            "Ctrl+X", 50, None},
    Command{&TDM::JvEditCopy1, "JvEditCopy1", QT_TRANSLATE_NOOP("TDM", "&Copy"),
            QT_TRANSLATE_NOOP("TDM", "Kopieren|Markiertes Objekt in die Zwischenablage kopieren"),
            "Ctrl+C", 51, None},
    Command{&TDM::JvEditPaste1, "JvEditPaste1", QT_TRANSLATE_NOOP("TDM", "&Paste"),
            QT_TRANSLATE_NOOP("TDM", "Einfügen|Inhalt der Zwischenablage einfügen"), "Ctrl+V", 52,
            None},
    Command{&TDM::JvEditSelectAll1, "JvEditSelectAll1", QT_TRANSLATE_NOOP("TDM", "Select &all"),
            QT_TRANSLATE_NOOP("TDM", "Alles markieren|Markiert das gesamte Dokument"), "Ctrl+A", -1,
            None},
    Command{&TDM::JvEditUndo1, "JvEditUndo1", QT_TRANSLATE_NOOP("TDM", "&Undo"),
            QT_TRANSLATE_NOOP("TDM", "Rückgängig|Letzte Aktion rückgängig machen"), "Ctrl+Z", 53,
            None},
    Command{&TDM::JvEditDelete1, "JvEditDelete1", QT_TRANSLATE_NOOP("TDM", "&Delete"),
            QT_TRANSLATE_NOOP("TDM", "Löschen|Auswahl löschen"), "Del", 54, None},
    Command{&TDM::JvSendMailAction1, "JvSendMailAction1", QT_TRANSLATE_NOOP("TDM", "SendNote"), "",
            "", -1, None},
    Command{&TDM::JvWebAction1, "JvWebAction1", QT_TRANSLATE_NOOP("TDM", "JvWebAction1"), "", "",
            -1, None},
    Command{&TDM::BrowseURL2, "BrowseURL2", QT_TRANSLATE_NOOP("TDM", "&URL durchsuchen"),
            QT_TRANSLATE_NOOP("TDM", "URL durchsuchen"), "", -1, None},
    Command{&TDM::acFormatReset, "acFormatReset", QT_TRANSLATE_NOOP("TDM", "Reset"), "",
            "Ctrl+Alt+R", -1, None},
    Command{&TDM::acInsertObject, "acInsertObject", QT_TRANSLATE_NOOP("TDM", "Insert &Object"),
            QT_TRANSLATE_NOOP("TDM", "Insert &Object"), "Ctrl+O", 59, None},
    Command{&TDM::acCalc, "acCalc", QT_TRANSLATE_NOOP("TDM", "Cal&c"),
            QT_TRANSLATE_NOOP("TDM", "Calc"), "Ctrl+Q", 64, None},
    Command{&TDM::acSubScript, "acSubScript", QT_TRANSLATE_NOOP("TDM", "SubScript"),
            QT_TRANSLATE_NOOP("TDM", "SubScript"), "Ctrl+Alt+U", 62, None},
    Command{&TDM::acSuperScript, "acSuperScript", QT_TRANSLATE_NOOP("TDM", "SuperScript"),
            QT_TRANSLATE_NOOP("TDM", "SuperScript"), "Ctrl+Alt+D", 63, None},
    Command{&TDM::acClearResults, "acClearResults", QT_TRANSLATE_NOOP("TDM", "Clear Results"), "",
            "Ctrl+W", -1, AutoCheck | Checked},
    Command{&TDM::acNew, "acNew", QT_TRANSLATE_NOOP("TDM", "New"), "", "", 58, None},
    Command{&TDM::acCrypt, "acCrypt", QT_TRANSLATE_NOOP("TDM", "Crypt"),
            QT_TRANSLATE_NOOP("TDM", "Crypt Selection"), "", 68, None},
    Command{&TDM::acDecrypt, "acDecrypt", QT_TRANSLATE_NOOP("TDM", "Decrypt"),
            QT_TRANSLATE_NOOP("TDM", "Decrypt Selection"), "", 67, None},
    Command{&TDM::acTable, "acTable", QT_TRANSLATE_NOOP("TDM", "Tables"), "", "", 10, Hidden},
    Command{&TDM::acCopyFormat, "acCopyFormat", QT_TRANSLATE_NOOP("TDM", "Copy Format"), "", "", 69,
            None},
    Command{&TDM::acInsertImage, "acInsertImage", QT_TRANSLATE_NOOP("TDM", "acInsertImage"), "", "",
            -1, None},
    Command{&TDM::acShellDocuments, "acShellDocuments", "", "", "", -1, None},
    Command{&TDM::acAutoMouse, "acAutoMouse", QT_TRANSLATE_NOOP("TDM", "Auto Mouse"), "", "", -1,
            AutoCheck},
    Command{&TDM::acMasterPasswordClear, "acMasterPasswordClear",
            QT_TRANSLATE_NOOP("TDM", "Clear Master Password"), "", "", 71, None},
    Command{&TDM::acCreatePWD, "acCreatePWD", QT_TRANSLATE_NOOP("TDM", "Create Password"), "", "",
            72, None},
};

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
    m_links = new LinkCommands(acSendMail, acSendNote, BrowseURL1, this);
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
        this->*command.member = action;
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
    connect(EditRedo1, &QAction::triggered, this,
            onEditor([](TJvRichEdit *editor) { editor->redo(); }));
    const auto remove = onEditor([](TJvRichEdit *editor) {
        QTextCursor cursor = editor->textCursor();
        cursor.removeSelectedText();
        editor->setTextCursor(cursor);
    });
    for (QAction *action : {EditCut2, JvEditCut2})
        connect(action, &QAction::triggered, this, cut);
    for (QAction *action : {EditCopy2, JvEditCopy1})
        connect(action, &QAction::triggered, this, copy);
    for (QAction *action : {EditPaste2, JvEditPaste1})
        connect(action, &QAction::triggered, this, paste);
    for (QAction *action : {EditSelectAll1, JvEditSelectAll1})
        connect(action, &QAction::triggered, this, selectAll);
    for (QAction *action : {EditUndo1, JvEditUndo1})
        connect(action, &QAction::triggered, this, undo);
    for (QAction *action : {EditDelete1, JvEditDelete1})
        connect(action, &QAction::triggered, this, remove);
    EditPaste2->setEnabled(true);
}

void TDM::connectFormatActions()
{
    const auto connectTo = [this](QAction *action, auto handler) {
        connect(action, &QAction::triggered, this, handler);
        // A command's own tick flip is replaced by what the format is now.
        connect(action, &QAction::triggered, this, &TDM::updateFormatActions);
        action->setEnabled(true);
    };
    connectTo(acBig, formatting([](FormatCommands &format) { format.setSize(12); }));
    connectTo(acNormal, formatting([](FormatCommands &format) { format.setSize(8); }));
    connectTo(acSmall, formatting([](FormatCommands &format) { format.setSize(7); }));
    connectTo(acFontInc, formatting(&FormatCommands::bigger));
    connectTo(acFontSmaller, formatting(&FormatCommands::smaller));
    connectTo(RichEditBold1, formatting(&FormatCommands::toggleBold));
    connectTo(RichEditItalic1, formatting(&FormatCommands::toggleItalic));
    connectTo(RichEditUnderline1, formatting(&FormatCommands::toggleUnderline));
    connectTo(RichEditStrikeOut1, formatting(&FormatCommands::toggleStrikeOut));
    connectTo(acSubScript, formatting(&FormatCommands::subscript));
    connectTo(acSuperScript, formatting(&FormatCommands::superscript));
    connectTo(RichEditBullets1, formatting(&FormatCommands::toggleBullets));
    connectTo(RichEditAlignLeft1, formatting([](FormatCommands &format) {
                  format.align(TParaAlignment::paLeftJustify);
              }));
    connectTo(RichEditAlignRight1, formatting([](FormatCommands &format) {
                  format.align(TParaAlignment::paRightJustify);
              }));
    connectTo(RichEditAlignCenter1,
              formatting([](FormatCommands &format) { format.align(TParaAlignment::paCenter); }));
    connectTo(acIndentInc, formatting(&FormatCommands::increaseIndent));
    connectTo(acIndentDec, formatting(&FormatCommands::decreaseIndent));
    connectTo(acFormatReset, formatting(&FormatCommands::reset));
    for (const auto &[action, color] :
         {std::pair{acBKRed, QColor(255, 128, 128)}, std::pair{acBKYellow, QColor(255, 255, 106)},
          std::pair{acBKBlue, QColor(191, 205, 219)}}) {
        connectTo(action, formatting([color = color](FormatCommands &format) {
                      format.setHighlight(color);
                  }));
    }
    connectTo(acResetColor, formatting(&FormatCommands::highlightInNoteColor));

    connectTo(acSetFont, onEditor([this](TJvRichEdit *editor) { setFontFromDialog(editor); }));
    connectTo(acSetFontBKColor, onEditor([this](TJvRichEdit *editor) {
                  QPointer<TJvRichEdit> target(editor);
                  const std::optional<QColor> color = m_dialogs->chooseColor(
                      editor->window(), editor->SelAttributes().BackColor());
                  if (color && target)
                      FormatCommands(*target).setHighlight(*color);
              }));
    connectTo(acBKColor, onEditor([this](TJvRichEdit *editor) {
                  QPointer<TJvRichEdit> target(editor);
                  const std::optional<QColor> color
                      = m_dialogs->chooseColor(editor->window(), editor->Color());
                  if (color && target)
                      target->setColor(*color);
              }));
    connectTo(acCopyFormat, onEditor([this](TJvRichEdit *editor) { runCopyFormat(editor); }));
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
        acCopyFormat->setIcon(ImageList::icon(70));
        // The pointer shows that a format is held until it is given away.
        QGuiApplication::setOverrideCursor(
            QCursor(ImageList::icon(70).pixmap(ImageList::Size, ImageList::Size), 0, 0));
    } else {
        acCopyFormat->setIcon(ImageList::icon(69));
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
    for (const auto &[action, command] :
         {std::pair{FileOpen1, &FileCommands::open}, std::pair{FileSaveAs1, &FileCommands::saveAs},
          std::pair{PrintDlg1, &FileCommands::print}}) {
        connect(action, &QAction::triggered, this, fileCommand(command));
        action->setEnabled(true);
    }
    connect(acInsertObject, &QAction::triggered, this,
            onEditor([](TJvRichEdit *editor) { editor->InsertObjectDialog(); }));
    acInsertObject->setEnabled(true);
}

void TDM::setDialogs(std::unique_ptr<CommandDialogs> dialogs)
{
    m_dialogs = std::move(dialogs);
}

void TDM::connectCryptActions()
{
    m_cryptCommands = new CryptCommands(this);
    const std::pair<QAction *, void (CryptCommands::*)()> handlers[] = {
        {acCrypt, &CryptCommands::acCryptExecute},
        {acDecrypt, &CryptCommands::acDecryptExecute},
        {acMasterPasswordClear, &CryptCommands::acMasterPasswordClearExecute},
        {acCreatePWD, &CryptCommands::acCreatePWDExecute},
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
    RichEditBold1->setChecked(text.Bold());
    RichEditItalic1->setChecked(text.Italic());
    RichEditUnderline1->setChecked(text.Underline());
    RichEditStrikeOut1->setChecked(text.StrikeOut());
    const TJvParaAttributes &paragraph = editor->Paragraph();
    RichEditBullets1->setChecked(paragraph.Numbering() == TNumberingStyle::nsBullet);
    const TParaAlignment alignment = paragraph.Alignment();
    RichEditAlignLeft1->setChecked(alignment == TParaAlignment::paLeftJustify);
    RichEditAlignCenter1->setChecked(alignment == TParaAlignment::paCenter);
    RichEditAlignRight1->setChecked(alignment == TParaAlignment::paRightJustify);
}

void TDM::updateEditActions()
{
    TJvRichEdit *editor = m_editor;
    const bool selected = editor && editor->textCursor().hasSelection();
    const bool writable = editor && !editor->isReadOnly();
    for (QAction *action : {EditCut2, JvEditCut2, EditDelete1, JvEditDelete1})
        action->setEnabled(selected && writable);
    for (QAction *action : {EditCopy2, JvEditCopy1})
        action->setEnabled(selected);
    for (QAction *action : {EditUndo1, JvEditUndo1})
        action->setEnabled(editor && writable && editor->document()->isUndoAvailable());
    EditRedo1->setEnabled(editor && writable && editor->document()->isRedoAvailable());
    JvEditPaste1->setEnabled(writable);
    for (QAction *action : {EditSelectAll1, JvEditSelectAll1})
        action->setEnabled(editor != nullptr);
}
