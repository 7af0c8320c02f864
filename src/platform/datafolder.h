#pragma once

#include <QString>

// The folder that holds the notes and the settings, ending in '/'. It is the
// folder of the program file; when nothing can be written there, or the program
// is installed (its folder is a "bin" folder), it is the user's application
// data folder, created on first use.
// Resolved once per run.
QString DataFolder();

// The program's settings file, "QelNotes.ini" in the data folder.
QString SettingsFilePath();

// The command module's settings file: the program file's name with its
// extension replaced by ".ini", in the data folder. It is the same file as
// SettingsFilePath() only when the program is named QelNotes.
QString ProgramSettingsFilePath();

// True when DataFolder() is the program's own folder, false when the user's
// data folder stands in for it (the About box tells the user which).
bool DataFolderIsProgramFolder();

// False when neither folder can be written: notes and settings will not be
// kept, and the program must say so instead of pretending.
bool DataFolderIsWritable();

// A folder the program may create and replace files in.
bool isWritableFolder(const QString &folder);

// The folder of the program file, ending in '/'.
QString ProgramFolder();

// The choice DataFolder() makes, for a given program folder.
QString resolveDataFolder(const QString &programFolder);

// Makes DataFolder() return folder (with a trailing '/' added) from now on;
// an empty folder resolves it anew.
void setDataFolderForTesting(const QString &folder);
