#include "app/appicon.h"
#include "app/displaychoice.h"
#include "app/frmabout.h"
#include "app/globalshortcuts.h"
#include "app/iconwindow.h"
#include "app/menucheckstyle.h"
#include "app/trayicon.h"
#include "board/errormessage.h"
#include "board/notesboard.h"
#include "commands/commandmodule.h"
#include "platform/datafolder.h"
#include "platform/debugout.h"
#include "platform/instancelock.h"
#include "platform/interfacelanguage.h"
#include "platform/programfoldernotes.h"
#include "platform/terminationsignals.h"
#include "platform/x11globalkeys.h"
#include "qelversion.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCursor>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QSessionManager>
#include <QTimer>

#include <functional>
#include <memory>

namespace {
// What this start was asked for: a plain start, or one of the switches a
// desktop shortcut runs to reach the running copy.
InstanceLock::Request startRequest(const QApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "main", "A notes board behind a small desktop icon. Started again, the program "
                "brings up the board of the copy that runs already."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption showBoard(
        QStringLiteral("show-board"),
        QCoreApplication::translate("main", "Bring up the board, pinned, to type a filter."));
    const QCommandLineOption newNote(QStringLiteral("new-note"),
                                     QCoreApplication::translate("main", "Open a new note."));
    parser.addOptions({showBoard, newNote});
    parser.process(app);
    if (parser.isSet(newNote))
        return InstanceLock::Request::NewNote;
    return parser.isSet(showBoard) ? InstanceLock::Request::ShowBoard : InstanceLock::Request::Show;
}

// Told without stopping the program: a key another program holds.
void showNotice(const QString &text)
{
    DebugOut(QStringLiteral("Told: ") + text);
    auto *box
        = new QMessageBox(QMessageBox::Warning, QStringLiteral("QelNotes"), text, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}
} // namespace

int main(int argc, char **argv)
{
    chooseDisplayPlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QelNotes"));
    // No display name: the platform would append it to every window title.
    QApplication::setApplicationVersion(QStringLiteral(QEL_VERSION));
    QApplication::setWindowIcon(AppIcon());
    QApplication::setStyle(new MenuCheckStyle);
    InstallInterfaceLanguage();
    // The icon window is the main window: the program ends when it closes,
    // whatever other windows are still about.
    QApplication::setQuitOnLastWindowClosed(false);
    const InstanceLock::Request request = startRequest(app);

    // Being told to end (SIGTERM, the terminal closing) runs the Close command,
    // which stores notes and settings. Caught from before the lock is taken,
    // so that a copy holding the lock always stores on its way out.
    TerminationSignals termination;
    std::function<void()> closeOnTermination;
    bool terminationPending = false;
    QObject::connect(&termination, &TerminationSignals::received, &app, [&] {
        if (closeOnTermination)
            closeOnTermination();
        else
            terminationPending = true;
    });

    // One copy per data folder; a second start brings up the running copy's board.
    InstanceLock lock(DataFolder());
    switch (lock.acquire(request)) {
    case InstanceLock::Result::Acquired:
        break;
    case InstanceLock::Result::HandedOver:
        return 0;
    case InstanceLock::Result::Refused:
        ShowErrorMessage(nullptr, QApplication::translate(
                                      "main", "QelNotes is already running with the notes in %1.")
                                      .arg(DataFolder()));
        return 1;
    case InstanceLock::Result::Failed:
        ShowErrorMessage(nullptr, lock.errorString());
        break;
    }

    // Before the notes load, and only by the copy that holds the lock on the
    // folder the copies go to.
    if (!DataFolderIsProgramFolder()) {
        const QString title = QStringLiteral("QelNotes");
        ProgramFolderNotes(ProgramFolder(), DataFolder(),
                           {QFileInfo(SettingsFilePath()).fileName(),
                            QFileInfo(ProgramSettingsFilePath()).fileName()})
            .offer(
                isWritableFolder,
                [&title](const QString &question) {
                    return QMessageBox::question(nullptr, title, question) == QMessageBox::Yes;
                },
                [&title](const QString &text) { QMessageBox::information(nullptr, title, text); });
    }

    TDM dm;
    TNoteMain noteMain;
    // The icon is up before the notes load: with many notes, loading is most
    // of the start-up, and the icon shows at once that the program is there.
    // Its handlers wait for the board (events queue until it exists).
    noteMain.show();
    QCoreApplication::processEvents();
    TFrmNote board;
    noteMain.setBoard(&board);
    board.setDesktopIcon(&noteMain);
    TFrmAbout about;
    board.setAboutBox(&about);

    QObject::connect(&noteMain, &TNoteMain::closed, &app, &QCoreApplication::quit);
    // The session is ending and may still be cancelled: everything is stored,
    // the program goes on.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &board, [&board] {
        board.StoreNotes();
        board.StoreSettings();
    });
    // Whatever else ends the event loop runs the Close command first.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &noteMain, [&noteMain] {
        if (noteMain.isVisible())
            noteMain.close();
    });
    closeOnTermination = [&board, &noteMain] {
        board.setUnattendedClose();
        noteMain.close();
    };
    if (terminationPending)
        QTimer::singleShot(0, &noteMain, closeOnTermination);

    // A plain second start shows the board like --show-board: the user sees
    // the copy that runs.
    auto run = [&noteMain, &board](InstanceLock::Request request) {
        if (request == InstanceLock::Request::NewNote)
            board.New1Click();
        else
            noteMain.showBoardOnRequest(QCursor::pos());
    };
    QObject::connect(&lock, &InstanceLock::activationRequested, &noteMain, run);
    if (request != InstanceLock::Request::Show)
        QTimer::singleShot(0, &noteMain, [run, request] { run(request); });

    std::unique_ptr<X11GlobalKeys> x11Keys;
    if (xcb_connection_t *connection = X11GlobalKeys::applicationConnection())
        x11Keys = std::make_unique<X11GlobalKeys>(connection);
    GlobalShortcuts shortcuts(x11Keys.get(), showNotice);
    QObject::connect(&shortcuts, &GlobalShortcuts::triggered, &noteMain,
                     [run](GlobalShortcuts::Command command) {
                         run(command == GlobalShortcuts::Command::NewNote
                                 ? InstanceLock::Request::NewNote
                                 : InstanceLock::Request::ShowBoard);
                     });
    shortcuts.load();
    TrayIcon tray(noteMain, board.menu(), TrayIcon::onByDefault(QGuiApplication::platformName()));
    tray.load();
    board.addMenuEntries({tray.action(), shortcuts.menu()->menuAction()});
    return app.exec();
}
