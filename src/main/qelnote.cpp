// qelnote: the command-line companion of QelNotes, working on note files
// without a window.

#include "cli/commandline.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <memory>

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
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const std::unique_ptr<QCoreApplication> app(CommandLine::needsGui(arguments)
                                                    ? new QApplication(argc, argv)
                                                    : new QCoreApplication(argc, argv));
    return CommandLine::run(app->arguments().mid(1));
}
