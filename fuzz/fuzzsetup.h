#pragma once

#include <QGuiApplication>

#include <cstdlib>

// The harnesses' common start: the document layer needs a GUI application
// for fonts (offscreen, no screen), and library warnings about bad input are
// expected output of fuzzing, not findings. Plots drawn by qelnote calc need a
// QApplication.
template <class Application = QGuiApplication>
inline void startGuiApplication()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &) {
        if (type == QtFatalMsg)
            std::abort();
    });
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    // Never destroyed: tearing the application down at exit orphans the glyph
    // caches of the font engines that text drawing made, which the leak check
    // at exit would report as the last input's leak.
    static const Application *const app = new Application(argc, argv);
    Q_UNUSED(app);
}
