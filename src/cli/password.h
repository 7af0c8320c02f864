#pragma once

#include <QString>
#include <QStringList>

// The master password of the encrypt and decrypt subcommands. It never comes
// from the command line itself, where other users' process listings see it.
namespace Password {

// Takes "--password-file PW" out of arguments and reads the password from
// the first line of PW (UTF-8, without its line break), a regular file or a
// pipe of at most 64 KiB; without that option
// asks for it on the terminal without echoing it. False with a message when
// there is no password (a missing file, no terminal, a blank answer).
bool take(QStringList &arguments, QString *password, QString *error);

} // namespace Password
