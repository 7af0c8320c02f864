#include "app/globalshortcuts.h"

#include "app/globalkeysdialog.h"
#include "platform/datafolder.h"
#include "platform/globalkeys.h"
#include "platform/settingsfile.h"

#include <QMenu>

namespace {
const QString Section = QStringLiteral("Main");

QString settingsKey(GlobalShortcuts::Command command)
{
    return command == GlobalShortcuts::Command::ShowBoard ? QStringLiteral("ShowBoardKey")
                                                          : QStringLiteral("NewNoteKey");
}
} // namespace

GlobalShortcuts::GlobalShortcuts(GlobalKeys *keys, std::function<void(const QString &)> report,
                                 QObject *parent)
    : QObject(parent)
    , m_keys(keys)
    , m_report(std::move(report))
    , m_menu(std::make_unique<QMenu>(tr("Global Keys")))
{
    for (Command command : Commands) {
        m_key[index(command)] = defaultKey(command);
        m_entry[index(command)] = m_menu->addAction(QString());
    }
    if (m_keys) {
        connect(m_keys, &GlobalKeys::pressed, this, [this](QKeyCombination pressed) {
            // A key given to both commands (by hand, in the file) runs the first.
            for (Command command : Commands) {
                if (!key(command).isEmpty() && key(command)[0] == pressed) {
                    Q_EMIT triggered(command);
                    break;
                }
            }
        });
        m_menu->addSeparator();
        connect(m_menu->addAction(tr("Change Keys...")), &QAction::triggered, this,
                [this] { changeKeys(); });
        for (QAction *entry : m_entry)
            connect(entry, &QAction::triggered, this, [this] { changeKeys(); });
    } else {
        // The entries tell what a desktop shortcut should run.
        for (QAction *entry : m_entry)
            entry->setEnabled(false);
    }
    updateMenu();
}

GlobalShortcuts::~GlobalShortcuts()
{
    releaseAll();
}

QString GlobalShortcuts::commandName(Command command)
{
    return command == Command::ShowBoard ? tr("Show Board") : tr("New Note");
}

QKeySequence GlobalShortcuts::defaultKey(Command command)
{
    return command == Command::ShowBoard ? QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_N)
                                         : QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_M);
}

QString GlobalShortcuts::commandLine(Command command)
{
    return command == Command::ShowBoard ? QStringLiteral("qelnotes --show-board")
                                         : QStringLiteral("qelnotes --new-note");
}

void GlobalShortcuts::load()
{
    const SettingsFile ini(SettingsFilePath());
    for (Command command : Commands) {
        const QString stored = ini.readString(Section, settingsKey(command),
                                              key(command).toString(QKeySequence::PortableText));
        const QKeySequence read = QKeySequence::fromString(stored, QKeySequence::PortableText);
        // A value no key reads from keeps the key the command has.
        if (stored.trimmed().isEmpty() || (!read.isEmpty() && read[0].key() != Qt::Key_unknown))
            m_key[index(command)] = read.isEmpty() ? QKeySequence() : QKeySequence(read[0]);
    }
    releaseAll();
    grabAll(false);
    updateMenu();
}

void GlobalShortcuts::setKeys(const QKeySequence &showBoard, const QKeySequence &newNote)
{
    releaseAll();
    m_key = {showBoard.isEmpty() ? QKeySequence() : QKeySequence(showBoard[0]),
             newNote.isEmpty() ? QKeySequence() : QKeySequence(newNote[0])};
    SettingsFile ini(SettingsFilePath());
    for (Command command : Commands) {
        // The keys stay in use for this run when they cannot be stored.
        ini.writeString(Section, settingsKey(command),
                        key(command).toString(QKeySequence::PortableText));
    }
    grabAll(true);
    updateMenu();
}

void GlobalShortcuts::grabAll(bool reportAgain)
{
    m_held = {};
    if (!m_keys)
        return;
    for (Command command : Commands) {
        const QKeySequence sequence = key(command);
        if (sequence.isEmpty())
            continue;
        const GlobalKeys::Grab grab = m_keys->grab(sequence[0]);
        m_held[index(command)] = grab == GlobalKeys::Grab::Held;
        if (grab == GlobalKeys::Grab::Held || (m_reported.contains(sequence) && !reportAgain))
            continue;
        m_reported.insert(sequence);
        const QString name = sequence.toString(QKeySequence::NativeText);
        m_report(grab == GlobalKeys::Grab::Taken
                     ? tr("The key %1 for \"%2\" is held by another program. Choose another "
                          "key in the board's menu under \"Global Keys\".")
                           .arg(name, commandName(command))
                     : tr("The key %1 for \"%2\" is not on this keyboard.")
                           .arg(name, commandName(command)));
    }
}

void GlobalShortcuts::releaseAll()
{
    if (!m_keys)
        return;
    for (Command command : Commands) {
        if (isHeld(command))
            m_keys->release(key(command)[0]);
    }
    m_held = {};
}

void GlobalShortcuts::updateMenu()
{
    for (Command command : Commands) {
        QString shown;
        if (!available())
            shown = commandLine(command);
        else if (key(command).isEmpty())
            shown = tr("none");
        else if (!isHeld(command))
            shown = tr("%1 (not available)").arg(key(command).toString(QKeySequence::NativeText));
        else
            shown = key(command).toString(QKeySequence::NativeText);
        m_entry[index(command)]->setText(commandName(command) + u'\t' + shown);
    }
}

void GlobalShortcuts::changeKeys(QWidget *parent)
{
    // Held, the keys would not reach the dialog that asks for them.
    releaseAll();
    GlobalKeysDialog dialog(key(Command::ShowBoard), key(Command::NewNote), parent);
    if (dialog.exec() == QDialog::Accepted) {
        setKeys(dialog.showBoardKey(), dialog.newNoteKey());
    } else {
        grabAll(false);
        updateMenu();
    }
}
