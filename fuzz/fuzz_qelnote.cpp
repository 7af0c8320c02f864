// Any argument list for qelnote (arguments separated by NUL bytes), run in a
// folder of its own that holds a note, a password file and standard input.
//
// Arguments are kept inside that folder: one that holds a "/" is skipped, so
// that "calc FILE --write" can write nothing else. Runs that would ask for a
// password on the terminal are skipped too: a fuzzer has nobody to answer.

#include "fuzzsetup.h"

#include "cli/commandline.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const QByteArray note = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 x := 3\\par x * 4 =\\par "
                        "QelCrypt:#8#35#75#122#186#121#18#33#13\\par}";

void writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(bytes);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    startGuiApplication<QApplication>();
    static QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    writeFile(QStringLiteral("input"), "some text\n");
    writeFile(QStringLiteral("pw"), "secret\n");
    if (!std::freopen("input", "r", stdin) || !std::freopen("/dev/null", "w", stdout))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList arguments;
    for (const QByteArray &argument : bytes.split('\0')) {
        if (argument.contains('/'))
            return 0;
        arguments.append(QString::fromLocal8Bit(argument));
    }
    const bool crypt = arguments.value(0) == QLatin1String("encrypt")
                       || arguments.value(0) == QLatin1String("decrypt");
    if (crypt && !arguments.contains(QLatin1String("--password-file")))
        return 0;

    writeFile(QStringLiteral("note.rtf"), note);
    std::rewind(stdin);
    CommandLine::run(arguments);
    return 0;
}
