#pragma once

#include "commands/copyformat.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <memory>

class QAction;
class QActionGroup;
class CommandDialogs;
class CryptCommands;
class LinkCommands;
class TJvRichEdit;

// The module's commands in its order; each one's name is its action's object name.
enum class CommandId {
    acBig,
    acSendMail,
    acSendNote,
    BrowseURL1,
    EditCut2,
    EditCopy2,
    EditPaste2,
    EditSelectAll1,
    EditUndo1,
    // Takes back an undo; Ctrl+Shift+Z does the same in the editor itself.
    EditRedo1,
    EditDelete1,
    RichEditBold1,
    RichEditItalic1,
    RichEditUnderline1,
    RichEditStrikeOut1,
    RichEditBullets1,
    RichEditAlignLeft1,
    RichEditAlignRight1,
    RichEditAlignCenter1,
    PrintDlg1,
    FileOpen1,
    JvSaveFileAction1,
    FileSaveAs1,
    acIndentInc,
    acIndentDec,
    acNormal,
    acSmall,
    acFontInc,
    acFontSmaller,
    acSetFont,
    acBKRed,
    acBKYellow,
    acBKBlue,
    acBKColor,
    acSetFontBKColor,
    acResetColor,
    JvEditCut2,
    JvEditCopy1,
    JvEditPaste1,
    JvEditSelectAll1,
    JvEditUndo1,
    JvEditDelete1,
    JvSendMailAction1,
    JvWebAction1,
    BrowseURL2,
    acFormatReset,
    acInsertObject,
    acCalc,
    acSubScript,
    acSuperScript,
    acClearResults,
    acNew,
    acCrypt,
    acDecrypt,
    acTable,
    acCopyFormat,
    acInsertImage,
    acShellDocuments,
    acAutoMouse,
    acMasterPasswordClear,
    acCreatePWD,
};

// The command module: the program's one set of named commands (QActions) that
// every note shares, with caption, hint ("short|long": tool tip and status
// tip), shortcut and picture from ImageList. Created first at start-up and
// owned by the program; instance() reaches it from the note frames.
//
// Every command acts on the note editor that has the keyboard focus and on
// nothing else. The ticks of the style and alignment commands follow the
// format at that editor's caret. Commands whose behaviour is not built yet are present with
// caption, shortcut and picture, and disabled. The commands ask the user
// through dialogs(), which tests replace.
//
// Shortcuts are not dispatched by Qt's shortcut map: two commands of the note
// menu share a key (Ctrl+O, Ctrl+Alt+U, ...), which Qt would treat as
// ambiguous. The shortcuts carry Qt::WidgetShortcut so that they only label
// menu entries, and the note frame hands a key to the first menu entry that
// carries it.
class TDM : public QObject
{
    Q_OBJECT

public:
    explicit TDM(QObject *parent = nullptr);
    ~TDM() override;

    // The module of the running program, made (owned by the application)
    // if start-up has not made it yet.
    static TDM *instance();

    // The note editor with the keyboard focus, or none.
    static TJvRichEdit *focusedEditor();

    // Every command in the module's order.
    QList<QAction *> actions() const { return m_actions; }
    // The command of that id.
    QAction *action(CommandId id) const { return m_actions.at(int(id)); }
    // The command of that name (QObject::objectName), or none.
    QAction *action(const QString &name) const;

    CommandDialogs &dialogs() const { return *m_dialogs; }
    void setDialogs(std::unique_ptr<CommandDialogs> dialogs);
    // The format Copy Format holds, shared by all notes.
    const CopyFormat &copyFormat() const { return m_copyFormat; }
    // The encryption commands and the master password they share.
    CryptCommands *cryptCommands() const { return m_cryptCommands; }
    // Opening links and sending mail: Send Note, Send Mail, Browse URL.
    LinkCommands &links() const { return *m_links; }

private:
    void createActions();
    void connectEditActions();
    void connectFormatActions();
    void connectFileActions();
    void setFontFromDialog(TJvRichEdit *editor);
    void runCopyFormat(TJvRichEdit *editor);
    void connectCryptActions();
    // Follows the focused editor so that the edit commands' enabled states
    // match what it can do.
    void trackFocus(QWidget *now);
    void updateEditActions();
    // The style and alignment commands' ticks show the format at the focused
    // editor's caret (or selection), as the tool bar's pressed buttons.
    void updateFormatActions();

    QList<QAction *> m_actions;
    QActionGroup *m_sizeGroup = nullptr;
    QPointer<TJvRichEdit> m_editor;
    std::unique_ptr<CommandDialogs> m_dialogs;
    CopyFormat m_copyFormat;
    CryptCommands *m_cryptCommands = nullptr;
    LinkCommands *m_links = nullptr;
};
