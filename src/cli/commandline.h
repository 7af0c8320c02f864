#pragma once

#include <QStringList>

// qelnote's command line: picks the subcommand named by the first argument and
// runs it with the rest, or prints the usage. Needs a QGuiApplication.
namespace CommandLine {

// The exit status: the subcommand's, or 2 after printing the usage.
int run(QStringList arguments);

} // namespace CommandLine
