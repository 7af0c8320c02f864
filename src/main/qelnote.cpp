// qelnote: the command-line companion of QelNotes, working on note files
// without a window.

#include "cli/subcommand.h"
#include "cli/subcommands.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

#define QEL_DECLARE(name) extern const Subcommand name##Command;
QEL_SUBCOMMANDS(QEL_DECLARE)
#undef QEL_DECLARE

namespace {

#define QEL_ENTRY(name) &name##Command,
const Subcommand *const subcommands[] = {QEL_SUBCOMMANDS(QEL_ENTRY)};
#undef QEL_ENTRY

// Library chatter (platform set-up, damaged pictures) is no output of the tool:
// it reports its own errors in one line.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "qelnote: %s\n", qPrintable(message));
}

int usage()
{
    std::fprintf(stderr, "usage: qelnote COMMAND ARGUMENTS\n\ncommands:\n");
    for (const Subcommand *command : subcommands) {
        const QByteArray call = QByteArray(command->name) + ' ' + command->arguments;
        std::fprintf(stderr, "  %-20s %s\n", call.constData(), command->summary);
    }
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(quietMessages);
    // A note document's fonts need the GUI library, never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    if (arguments.isEmpty())
        return usage();
    const QString name = arguments.takeFirst();
    for (const Subcommand *command : subcommands) {
        if (name == QLatin1String(command->name)) {
            const int status = command->run(arguments);
            return status == Subcommand::BadArguments ? usage() : status;
        }
    }
    return usage();
}
