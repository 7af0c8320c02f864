#pragma once

#include <QWidget>

#include <memory>

class FindBar;
class QAction;
class QKeyEvent;
class QMenu;
class SpellMarks;
class SpellService;
class TCalcDriver;
class TJvRichEdit;
class ToolBarKeys;

// The editing side of a note window: the note's editor, its menu, the
// two-row tool bar above it, the editor's own keys and the note's
// calculator. From the keyboard, the Menu key and Shift+F10 open the menu at
// the caret, and F10 moves the focus into the tool bar (ToolBarKeys). The shared commands find the
// editor through the keyboard focus; code that works on one note (links, mail, encryption, the
// preview) is handed the pane and reaches the note through edit().
class NoteEditorPane : public QWidget
{
    Q_OBJECT

public:
    // selectAll is the board's Select All command, which the menu shows;
    // none takes the command module's own.
    // spelling is the shared spell checking; none takes the program's own.
    explicit NoteEditorPane(QAction *selectAll, QAction *saveAs, QWidget *parent = nullptr,
                            SpellService *spelling = nullptr);
    ~NoteEditorPane() override;

    TJvRichEdit *edit() const { return m_edit; }
    QMenu *PopupMenu1() const { return m_menu; }
    QWidget *ToolBar1() const { return m_toolBar; }
    ToolBarKeys *toolBarKeys() const { return m_toolBarKeys; }
    // The menu's entries that belong to this note rather than to the shared
    // commands.
    QAction *Calc1() const { return m_calc; }
    QAction *ClearResults1() const { return m_clearResults; }
    QAction *SendNote1() const { return m_sendNote; }
    // The menu's last entry, "Find...", opens the find bar under the editor.
    QAction *findAction() const { return m_find; }
    FindBar *findBar() const { return m_findBar; }
    SpellMarks *spellMarks() const { return m_spell; }
    // The menu's "Spell Check" switch and its languages for this note.
    QAction *spellCheckAction() const { return m_spellCheck; }
    QMenu *spellLanguageMenu() const { return m_spellLanguages; }
    // The menu shown for a right click at position: the note menu, below the
    // corrections of a misspelled word there.
    QMenu *contextMenu(int position);

    // The note's calculator: Calc and Clear Results.
    void tbCalcClick();
    void ClearResults1Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createMenu(QAction *selectAll, QAction *saveAs);
    void createToolBar();
    // The menu's shared commands act on the focused editor and show its
    // state: before the menu shows, its own editor takes the focus.
    void menuAboutToShow();
    void openMenuAtCaret();
    void createSpellMenu();
    // Runs the first entry of the menu that carries the key; true when one
    // carries it, whether or not it is enabled.
    bool runMenuShortcut(const QKeyEvent *event);
    // True when the key was consumed.
    bool editKeyDown(const QKeyEvent *event);
    bool editKeyUp(const QKeyEvent *event);

    TJvRichEdit *m_edit;
    std::unique_ptr<TCalcDriver> m_strParser;
    FindBar *m_findBar;
    SpellMarks *m_spell;
    QMenu *m_menu = nullptr;
    QAction *m_spellCheck = nullptr;
    QMenu *m_spellLanguages = nullptr;
    QWidget *m_toolBar = nullptr;
    ToolBarKeys *m_toolBarKeys = nullptr;
    QAction *m_calc = nullptr;
    QAction *m_clearResults = nullptr;
    QAction *m_sendNote = nullptr;
    QAction *m_find = nullptr;
    // The Delete key found nothing selected when pressed, so its release
    // removes the character after the caret.
    bool m_deleteOneCharacter = false;
};
