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

    QAction *acBig = nullptr;
    QAction *acSendMail = nullptr;
    QAction *acSendNote = nullptr;
    QAction *BrowseURL1 = nullptr;
    QAction *EditCut2 = nullptr;
    QAction *EditCopy2 = nullptr;
    QAction *EditPaste2 = nullptr;
    QAction *EditSelectAll1 = nullptr;
    QAction *EditUndo1 = nullptr;
    // Takes back an undo; Ctrl+Shift+Z does the same in the editor itself.
    QAction *EditRedo1 = nullptr;
    QAction *EditDelete1 = nullptr;
    QAction *RichEditBold1 = nullptr;
    QAction *RichEditItalic1 = nullptr;
    QAction *RichEditUnderline1 = nullptr;
    QAction *RichEditStrikeOut1 = nullptr;
    QAction *RichEditBullets1 = nullptr;
    QAction *RichEditAlignLeft1 = nullptr;
    QAction *RichEditAlignRight1 = nullptr;
    QAction *RichEditAlignCenter1 = nullptr;
    QAction *PrintDlg1 = nullptr;
    QAction *FileOpen1 = nullptr;
    QAction *JvSaveFileAction1 = nullptr;
    QAction *FileSaveAs1 = nullptr;
    QAction *acIndentInc = nullptr;
    QAction *acIndentDec = nullptr;
    QAction *acNormal = nullptr;
    QAction *acSmall = nullptr;
    QAction *acFontInc = nullptr;
    QAction *acFontSmaller = nullptr;
    QAction *acSetFont = nullptr;
    QAction *acBKRed = nullptr;
    QAction *acBKYellow = nullptr;
    QAction *acBKBlue = nullptr;
    QAction *acBKColor = nullptr;
    QAction *acSetFontBKColor = nullptr;
    QAction *acResetColor = nullptr;
    QAction *JvEditCut2 = nullptr;
    QAction *JvEditCopy1 = nullptr;
    QAction *JvEditPaste1 = nullptr;
    QAction *JvEditSelectAll1 = nullptr;
    QAction *JvEditUndo1 = nullptr;
    QAction *JvEditDelete1 = nullptr;
    QAction *JvSendMailAction1 = nullptr;
    QAction *JvWebAction1 = nullptr;
    QAction *BrowseURL2 = nullptr;
    QAction *acFormatReset = nullptr;
    QAction *acInsertObject = nullptr;
    QAction *acCalc = nullptr;
    QAction *acSubScript = nullptr;
    QAction *acSuperScript = nullptr;
    QAction *acClearResults = nullptr;
    QAction *acNew = nullptr;
    QAction *acCrypt = nullptr;
    QAction *acDecrypt = nullptr;
    QAction *acTable = nullptr;
    QAction *acCopyFormat = nullptr;
    QAction *acInsertImage = nullptr;
    QAction *acShellDocuments = nullptr;
    QAction *acAutoMouse = nullptr;
    QAction *acMasterPasswordClear = nullptr;
    QAction *acCreatePWD = nullptr;

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
