#include "cli/notefile.h"
#include "cli/password.h"
#include "cli/subcommand.h"

#include "crypt/cryptmarker.h"
#include "richtext/richdocument.h"

#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>

namespace {

QString shortened(const QString &marker)
{
    constexpr int Shown = 24;
    return marker.size() <= Shown ? marker : marker.left(Shown) + QStringLiteral("...");
}

// Replaces every marker of the document that decrypts with password by its
// text, as the Decrypt command does; names the others on standard error.
// False when some marker stayed.
bool decryptMarkers(RichDocument &document, const QString &password)
{
    bool all = true;
    const QTextDocument &text = *document.textDocument();
    for (QTextCursor found = text.find(CryptMarker::pattern()); !found.isNull();
         found = text.find(CryptMarker::pattern(), found)) {
        const QString marker = found.selectedText();
        const CryptMarker::Decrypted decrypted = CryptMarker::decrypt(marker, password);
        if (decrypted.status != CryptMarker::Decrypted::Ok) {
            std::fprintf(stderr, "qelnote: line %d: %s %s\n", found.blockNumber() + 1,
                         qPrintable(shortened(marker)),
                         decrypted.status == CryptMarker::Decrypted::WrongPassword
                             ? "does not decrypt with this password"
                             : "is damaged");
            all = false;
            continue;
        }
        // The text goes in as typed text goes in, and the search goes on behind it.
        document.setSelStart(found.selectionStart());
        document.setSelLength(int(marker.size()));
        document.setSelText(decrypted.text);
        found.setPosition(document.SelStart());
    }
    return all;
}

int run(const QStringList &arguments)
{
    QStringList rest = arguments;
    if (rest.size() != (rest.contains(QLatin1String("--password-file")) ? 3 : 1))
        return Subcommand::BadArguments;
    QString password;
    QString error;
    if (!Password::take(rest, &password, &error))
        return NoteFile::fail(error);
    RichDocument document;
    if (!NoteFile::load(rest.first(), document, &error))
        return NoteFile::fail(error);
    const bool all = decryptMarkers(document, password);
    if (!NoteFile::writeOut(NoteFile::plainText(*document.textDocument())))
        return NoteFile::fail(QStringLiteral("cannot write the text to standard output"));
    return all ? 0 : 1;
}

} // namespace

extern const Subcommand decryptCommand
    = {"decrypt", "[--password-file PW] FILE",
       "print the note's text with every crypt marker decrypted (as qelnote text prints it)", run};
