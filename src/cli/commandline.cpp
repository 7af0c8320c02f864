#include "cli/commandline.h"

#include "cli/subcommand.h"
#include "cli/subcommands.h"

#include <cstdio>

#define QEL_DECLARE(name) extern const Subcommand name##Command;
QEL_SUBCOMMANDS(QEL_DECLARE)
#undef QEL_DECLARE

namespace {

#define QEL_ENTRY(name) &name##Command,
const Subcommand *const subcommands[] = {QEL_SUBCOMMANDS(QEL_ENTRY)};
#undef QEL_ENTRY

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

bool CommandLine::needsGui(const QStringList &arguments)
{
    for (const Subcommand *command : subcommands) {
        if (!arguments.isEmpty() && arguments.first() == QLatin1String(command->name))
            return !command->textOnly;
    }
    return false; // the usage
}

int CommandLine::run(QStringList arguments)
{
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
