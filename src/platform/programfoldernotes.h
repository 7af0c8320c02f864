#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Notes left beside a program whose folder cannot be written: the program
// keeps its notes in the user's data folder instead, and without a word the
// board would come up empty. At start the user is told and offered a copy of
// them. The originals are never moved or changed, and nothing the user's
// folder holds is overwritten. The copy is made in a folder of its own and
// moved into place once whole: a copy interrupted before that is dropped and
// offered again at the next start, one interrupted while moving is finished.
class ProgramFolderNotes
{
public:
    // The question (true for yes) and the message shown to the user.
    using Ask = std::function<bool(const QString &question)>;
    using Tell = std::function<void(const QString &text)>;
    using IsWritable = std::function<bool(const QString &folder)>;

    // Both folders end in '/'; settingsNames are the settings files to take
    // along ("QelNotes.ini" and the program-named one).
    ProgramFolderNotes(QString programFolder, QString userFolder, QStringList settingsNames);

    // Asks when the program folder holds notes but cannot be written and the
    // user's folder holds none, and copies them on yes. When the user's folder
    // holds notes already, says that they are kept, once per program folder.
    void offer(const IsWritable &isWritable, const Ask &ask, const Tell &tell);

    // The note files of folder, whatever their number.
    static QStringList noteFiles(const QString &folder);

private:
    // Copies notes and settings; on failure removes the copies made so far
    // and sets *error.
    bool copyAll(QString *error) const;
    // Moves a whole copy into the user's folder; what is left on failure is
    // moved at the next start.
    bool putInPlace(QString *error) const;
    bool toldBefore() const;
    void rememberTold() const;

    QString m_program;
    QString m_user;
    QStringList m_settingsNames;
};
