#include "cli/notefile.h"
#include "cli/password.h"
#include "cli/subcommand.h"

#include "crypt/cryptmarker.h"

#include <QFile>
#include <QStringDecoder>

#include <cstdio>

namespace {

// The text as a note editor's selection holds it: every line break is a
// paragraph break (CR), and a last line's break ends it rather than starting
// an empty paragraph.
QString selectionText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (text.endsWith(u'\n'))
        text.chop(1);
    text.replace(u'\n', u'\r');
    return text;
}

int run(const QStringList &arguments)
{
    QStringList rest = arguments;
    QString password;
    QString error;
    // The usage comes before any question for a password.
    if (rest.size() != (rest.contains(QLatin1String("--password-file")) ? 2 : 0))
        return Subcommand::BadArguments;
    if (!Password::take(rest, &password, &error))
        return NoteFile::fail(error);

    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return NoteFile::fail(QStringLiteral("cannot read standard input"));
    const QByteArray bytes = input.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return NoteFile::fail(QStringLiteral("standard input is not UTF-8 text"));

    const QString marker = CryptMarker::encrypt(selectionText(text), password);
    if (!NoteFile::writeOut(marker.toUtf8() + '\n'))
        return NoteFile::fail(QStringLiteral("cannot write the marker to standard output"));
    return 0;
}

} // namespace

extern const Subcommand encryptCommand
    = {"encrypt", "[--password-file PW]",
       "print the crypt marker of the UTF-8 text on standard input, as the Crypt command makes it",
       run};
