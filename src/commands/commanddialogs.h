#pragma once

#include "richtext/textfont.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>

class QPrinter;
class QWidget;

// The dialogs the commands ask the user with: font, colour, file names, the
// printer and the master password, and the messages that tell the user of a
// mistake or a failure. The program shows
// Qt's dialogs (platform-native where the desktop offers them); tests answer
// in their place, as modal dialogs cannot be driven from a test.
//
// Every question returns nothing (or an empty name, or false) when the user
// cancels.
class CommandDialogs
{
public:
    virtual ~CommandDialogs() = default;

    // Face, size and text colour.
    virtual std::optional<TextFont> chooseFont(QWidget *parent, const TextFont &initial);
    virtual std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial);
    // A file to open into a note, or the file to save the note's selection in.
    virtual QString openFileName(QWidget *parent);
    virtual QString saveFileName(QWidget *parent);
    // The print dialog: true when the user confirmed; printer then holds the
    // chosen printer or PDF file.
    virtual bool setUpPrinter(QWidget *parent, QPrinter &printer);
    virtual void showError(QWidget *parent, const QString &title, const QString &text);
    // The master password prompt (MasterPasswordPrompt): the entry when the
    // user chose OK.
    virtual std::optional<QString> askMasterPassword(QWidget *parent);
    // A plain message box, for a command the user cannot run on what is selected.
    virtual void showMessage(QWidget *parent, const QString &text);

private:
    QString askFileName(QWidget *parent, bool saving, const QStringList &filters);

    // Where the last file dialog was left.
    QString m_folder;
};
