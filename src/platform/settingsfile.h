#pragma once

#include <QList>
#include <QString>

#include <utility>

// One INI settings file with the classic private-profile rules: sections and
// keys are found without regard to case, integers are decimal (optional sign)
// or hexadecimal with "0x"/"0X" or "$", flags are "1"/"0" and any non-zero
// integer reads as true, text values are read up to 2047 characters.
//
// Every read looks at the file and every write replaces the whole file
// atomically before returning, so that other programs and other instances of
// this class see each change at once. A file unchanged since this process
// last read or wrote it (same size, modification and status-change time) is
// not read again: its parsed copy, shared by all instances, answers at once,
// so that reading a record of each of thousands of notes takes time in
// proportion to their number. Only a file changed within a tick of the file
// system's clock of when it was seen is read again and compared, since a
// change of the same size in the same tick leaves its stamp as it was. Files
// written by other programs (CR LF or LF, no final newline, blank lines,
// comments, spaces around "=") read correctly, and every line the write does
// not concern is kept byte for byte. A missing file reads as all defaults,
// and so does anything but a regular file or a file above 4 MB.
// A section given twice is found at its first place only, for reading and
// writing; the second stays as it stands. A symbolic link is written through
// only to a file in its own folder; any other link refuses the write.
class SettingsFile
{
public:
    explicit SettingsFile(QString path);

    QString path() const { return m_path; }

    // A missing key or a value that is not an integer gives defaultValue.
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    bool readBool(const QString &section, const QString &key, bool defaultValue) const;
    QString readString(const QString &section, const QString &key,
                       const QString &defaultValue) const;

    // On failure the file is unchanged, the result is false and errorString()
    // is "Unable to write to <path>", followed by the reason when the file
    // could not be read (not a regular file, above its size limit): a file
    // that cannot be read is never replaced by one of a few keys.
    bool writeInteger(const QString &section, const QString &key, int value);
    bool writeBool(const QString &section, const QString &key, bool value);
    bool writeString(const QString &section, const QString &key, const QString &value);

    // Gives each target section (second) the lines its source section (first)
    // holds before the call, all in one write, so that sections may trade
    // places; a source that is empty or missing empties the target. Other
    // sections stay as they are. On failure the file is unchanged.
    bool copySections(const QList<std::pair<QString, QString>> &copies);

    QString errorString() const { return m_error; }

    static constexpr int MaxValueLength = 2047;

private:
    // Sets the error of a write that failed; false.
    bool refuse(const QString &unreadable = {});

    QString m_path;
    QString m_error;
};
