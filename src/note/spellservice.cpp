#include "note/spellservice.h"

#include "platform/datafolder.h"
#include "platform/settingsfile.h"

namespace {

const QString MainSection = QStringLiteral("Main");
const QString EnabledKey = QStringLiteral("SpellCheck");

} // namespace

SpellService::SpellService(const QStringList &dictionaryFolders, const QString &personalWordsPath,
                           QString settingsPath, QObject *parent)
    : QObject(parent)
    , m_checker(dictionaryFolders, personalWordsPath)
    , m_settingsPath(std::move(settingsPath))
    , m_enabled(SettingsFile(m_settingsPath).readBool(MainSection, EnabledKey, true))
{}

SpellService &SpellService::instance()
{
    static SpellService service(SpellChecker::systemDictionaryFolders(),
                                DataFolder() + QStringLiteral("QelNotesWords.txt"),
                                SettingsFilePath());
    return service;
}

void SpellService::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    // A settings file that refuses the write keeps the switch for this run.
    SettingsFile(m_settingsPath).writeBool(MainSection, EnabledKey, enabled);
    Q_EMIT enabledChanged(enabled);
}

bool SpellService::addWord(const QString &word, QString *error)
{
    const bool written = m_checker.addWord(word, error);
    Q_EMIT wordsChanged();
    return written;
}
