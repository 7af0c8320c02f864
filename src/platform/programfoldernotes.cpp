#include "platform/programfoldernotes.h"

#include "platform/notefilename.h"
#include "platform/settingsfile.h"
#include "platform/wholefile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString SettingsName = QStringLiteral("QelNotes.ini");
// The copy is made in this folder inside the user's, and moved into place
// only once it is whole: a copy cut short is never taken for the notes.
const QString StagingName = QStringLiteral("QelNotes_copy_in_progress/");
// Written into it once every file is there: from then on, the copy is finished.
const QString WholeMark = QStringLiteral("whole");
const QString ToldSection = QStringLiteral("ProgramFolder");
const QString ToldKey = QStringLiteral("Told");

QString tr(const char *text)
{
    return QCoreApplication::translate("ProgramFolderNotes", text);
}

// A folder as the user reads it: without the trailing separator, which
// looks odd before a full stop or a question mark.
QString native(const QString &folder)
{
    return QDir::toNativeSeparators(QDir::cleanPath(folder));
}

} // namespace

ProgramFolderNotes::ProgramFolderNotes(QString programFolder, QString userFolder,
                                       QStringList settingsNames)
    : m_program(std::move(programFolder))
    , m_user(std::move(userFolder))
    , m_settingsNames(std::move(settingsNames))
{
    m_settingsNames.removeDuplicates();
}

QStringList ProgramFolderNotes::noteFiles(const QString &folder)
{
    QStringList files = QDir(folder).entryList({QStringLiteral("QelNotes_*")}, QDir::Files);
    files.removeIf([](const QString &file) {
        const std::optional<NoteFileNumber> note = ParseNoteFileName(file);
        return !note || (note->extension != u"rtf" && note->extension != u"txt");
    });
    return files;
}

void ProgramFolderNotes::offer(const IsWritable &isWritable, const Ask &ask, const Tell &tell)
{
    if (m_user.isEmpty() || m_user == m_program)
        return;
    // A copy interrupted (the program killed) is finished when it was whole,
    // and otherwise dropped: then the user is asked again.
    QString error;
    if (QFileInfo::exists(m_user + StagingName + WholeMark)) {
        if (putInPlace(&error))
            rememberTold();
        else
            tell(tr("The notes could not be copied from %1 to %2: %3")
                     .arg(native(m_program), native(m_user), error));
        return;
    }
    QDir(m_user + StagingName).removeRecursively();
    if (isWritable(m_program) || noteFiles(m_program).isEmpty())
        return;
    const QString reason = tr("QelNotes cannot write to its own folder %1, so it keeps the notes "
                              "in %2.")
                               .arg(native(m_program), native(m_user));
    if (!noteFiles(m_user).isEmpty()) {
        if (toldBefore())
            return;
        tell(reason
             + tr("\n%1 holds notes already: they are shown and kept. The notes in %2 were not "
                  "copied; they stay where they are.")
                   .arg(native(m_user), native(m_program)));
        rememberTold();
        return;
    }
    if (!ask(reason
             + tr("\nThe notes in %1 are not shown. Copy them to %2? The originals stay where "
                  "they are.")
                   .arg(native(m_program), native(m_user))))
        return;
    if (copyAll(&error))
        rememberTold();
    else
        tell(tr("The notes could not be copied from %1 to %2: %3")
                 .arg(native(m_program), native(m_user), error));
}

bool ProgramFolderNotes::copyAll(QString *error) const
{
    const QString staging = m_user + StagingName;
    QDir(staging).removeRecursively();
    if (!QDir().mkpath(staging)) {
        *error = tr("%1 could not be made").arg(native(staging));
        return false;
    }
    QStringList names = noteFiles(m_program);
    for (const QString &name : m_settingsNames) {
        if (QFileInfo::exists(m_program + name))
            names.append(name);
    }
    for (const QString &name : std::as_const(names)) {
        QFile source(m_program + name);
        if (!source.copy(staging + name)) {
            *error = QStringLiteral("%1: %2").arg(native(source.fileName()), source.errorString());
            QDir(staging).removeRecursively();
            return false;
        }
    }
    if (!writeWholeFile(staging + WholeMark, {}, error)) {
        QDir(staging).removeRecursively();
        return false;
    }
    return putInPlace(error);
}

bool ProgramFolderNotes::putInPlace(QString *error) const
{
    const QString staging = m_user + StagingName;
    // The user's settings, made while that folder held no notes, describe no
    // note of these: they give way to the program folder's, and are kept.
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (const QString &name : m_settingsNames) {
        if (!QFileInfo::exists(staging + name))
            continue;
        if (QFileInfo::exists(m_user + name) || QFileInfo(m_user + name).isSymLink()) {
            const QFileInfo info(name);
            const QString aside = QStringLiteral("%1_before_copy_%2.%3")
                                      .arg(info.completeBaseName(), stamp, info.suffix());
            if (!QFile::rename(m_user + name, m_user + aside)) {
                *error = tr("%1 could not be renamed").arg(native(m_user + name));
                return false;
            }
        }
    }
    const QStringList names = QDir(staging).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (name != WholeMark && !QFile::rename(staging + name, m_user + name)) {
            *error = tr("%1 could not be moved to %2").arg(native(staging + name), native(m_user));
            return false;
        }
    }
    QDir(staging).removeRecursively();
    return true;
}

bool ProgramFolderNotes::toldBefore() const
{
    return SettingsFile(m_user + SettingsName).readString(ToldSection, ToldKey, {}) == m_program;
}

void ProgramFolderNotes::rememberTold() const
{
    // Not being able to remember means being told again next time, no more.
    SettingsFile(m_user + SettingsName).writeString(ToldSection, ToldKey, m_program);
}
