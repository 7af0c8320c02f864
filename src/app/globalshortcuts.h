#pragma once

#include <QKeySequence>
#include <QObject>
#include <QSet>

#include <array>
#include <functional>
#include <memory>

class GlobalKeys;
class QAction;
class QMenu;
class QWidget;

// The two commands a key reaches from anywhere on the desktop: "Show Board"
// (Ctrl+Alt+N) and "New Note" (Ctrl+Alt+M). Their keys live in the record
// "Main" ("ShowBoardKey", "NewNoteKey"; empty for none) and show in the
// "Global Keys" menu, whose last entry changes them. A key another program
// holds is reported once, naming it. Without global keys (a Wayland desktop)
// the menu tells which command line a desktop shortcut should run instead.
class GlobalShortcuts : public QObject
{
    Q_OBJECT

public:
    enum class Command { ShowBoard, NewNote };
    Q_ENUM(Command)
    static constexpr std::array<Command, 2> Commands{Command::ShowBoard, Command::NewNote};

    // keys: where the desktop's global keys come from, none where it has none.
    // report tells the user of a key another program holds.
    GlobalShortcuts(GlobalKeys *keys, std::function<void(const QString &)> report,
                    QObject *parent = nullptr);
    ~GlobalShortcuts() override;

    static QString commandName(Command command);
    static QKeySequence defaultKey(Command command);
    // The switch of qelnotes that runs command in the running copy.
    static QString commandLine(Command command);

    bool available() const { return m_keys != nullptr; }
    QKeySequence key(Command command) const { return m_key[index(command)]; }
    // Held here, not by another program.
    bool isHeld(Command command) const { return m_held[index(command)]; }

    // Reads the keys from the settings file and takes them.
    void load();
    // Stores and takes new keys; an empty one frees its command's key.
    void setKeys(const QKeySequence &showBoard, const QKeySequence &newNote);

    QMenu *menu() const { return m_menu.get(); }
    // Asks for new keys in a dialog over parent.
    void changeKeys(QWidget *parent = nullptr);

Q_SIGNALS:
    void triggered(GlobalShortcuts::Command command);

private:
    static int index(Command command) { return command == Command::ShowBoard ? 0 : 1; }
    // Takes every key; a taken one is reported unless it was before and
    // reportAgain is false.
    void grabAll(bool reportAgain);
    void releaseAll();
    void updateMenu();

    GlobalKeys *m_keys;
    std::function<void(const QString &)> m_report;
    std::array<QKeySequence, 2> m_key;
    std::array<bool, 2> m_held{};
    // Taken keys already reported, so that a key is reported once.
    QSet<QKeySequence> m_reported;
    std::unique_ptr<QMenu> m_menu;
    std::array<QAction *, 2> m_entry{};
};
