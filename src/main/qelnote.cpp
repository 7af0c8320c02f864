// qelnote: the command-line companion of QelNotes, working on note files
// without a window.

#include "cli/commandline.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>

namespace {

// Library chatter (platform set-up, damaged pictures) is no output of the tool:
// it reports its own errors in one line.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "qelnote: %s\n", qPrintable(message));
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(quietMessages);
    // A note document's fonts need the GUI library and the charts of plots the widget library,
    // never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return CommandLine::run(app.arguments().mid(1));
}
