#pragma once

#include <QString>
#include <QUrl>

class QFileInfo;

// What opening a piece of a note's text leads to. A note's text can come from
// anywhere (a paste, a shared note file), so nothing in it may run a program:
// a file that would run one when opened (an executable, a script with its run
// bit, a desktop launcher) only has its folder shown, and only web, mail and
// file addresses are opened.
struct LinkTarget
{
    enum class Kind {
        None,         // nothing to open
        Open,         // url (http, https or file) in the program the user has for it
        ShowInFolder, // path, a launcher: its folder, with it selected
        Mail          // a new mail to address
    };

    Kind kind = Kind::None;
    QUrl url;
    QString path;
    QString address;

    // What a double click on token, or a click on a link of that text, opens:
    // an existing file or folder, else a web, file or mail URL, else a mail
    // address, else an address beginning with "www.".
    static LinkTarget resolve(const QString &token);
};

// token is the absolute path of an existing file or folder, as written:
// letter case counts, as it does in the file system.
bool namesExistingPath(const QString &token);

// Opening the file would run a program rather than show a document.
bool isLauncher(const QFileInfo &file);
