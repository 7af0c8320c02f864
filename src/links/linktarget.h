#pragma once

#include <QString>
#include <QUrl>

class QFileInfo;

// What opening a piece of a note's text leads to. A note's text can come from
// anywhere (a paste, a shared note file), so nothing in it may run a program:
// only documents of kinds known to be safe (text, PDF, office documents,
// pictures, sound and video) are opened, and folders; any other file (a
// program, a script, a launcher, an archive, a web page) only has its folder
// shown. Only web, mail and file addresses are opened.
struct LinkTarget
{
    enum class Kind {
        None,         // nothing to open
        Open,         // url (http, https or file) in the program the user has for it
        ShowInFolder, // path, a file not known to be a document: its folder, with it selected
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

// The file is a document of a safe kind by its name and type (for a file
// without a telling name, by its content), its content is no program or
// launcher whatever the name says, and it has no run bit.
bool opensAsDocument(const QFileInfo &file);
