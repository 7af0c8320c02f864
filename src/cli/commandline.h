#pragma once

#include <QStringList>

// qelnote's command line: picks the subcommand named by the first argument and
// runs it with the rest, or prints the usage. Needs a QGuiApplication unless
// needsGui() says otherwise.
namespace CommandLine {

// Whether the subcommand the arguments name needs a QGuiApplication (a
// QApplication for plots), or a QCoreApplication will do.
bool needsGui(const QStringList &arguments);

// The exit status: the subcommand's, or 2 after printing the usage.
int run(QStringList arguments);

} // namespace CommandLine
