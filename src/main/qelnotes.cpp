#include "app/appicon.h"
#include "app/displaychoice.h"
#include "app/frmabout.h"
#include "app/iconwindow.h"
#include "board/errormessage.h"
#include "board/notesboard.h"
#include "commands/commandmodule.h"
#include "platform/datafolder.h"
#include "platform/instancelock.h"
#include "platform/interfacelanguage.h"
#include "platform/programfoldernotes.h"
#include "platform/terminationsignals.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QMessageBox>
#include <QSessionManager>
#include <QTimer>

int main(int argc, char **argv)
{
    chooseDisplayPlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QelNotes"));
    // No display name: the platform would append it to every window title.
    QApplication::setApplicationVersion(QStringLiteral(QEL_VERSION));
    QApplication::setWindowIcon(AppIcon());
    InstallInterfaceLanguage();
    // The icon window is the main window: the program ends when it closes,
    // whatever other windows are still about.
    QApplication::setQuitOnLastWindowClosed(false);

    // Being told to end (SIGTERM, the terminal closing) runs the Close command,
    // which stores notes and settings. Caught from before the lock is taken,
    // so that a copy holding the lock always stores on its way out.
    TerminationSignals termination;
    QWidget *closeOnTermination = nullptr;
    bool terminationPending = false;
    QObject::connect(&termination, &TerminationSignals::received, &app, [&] {
        if (closeOnTermination)
            closeOnTermination->close();
        else
            terminationPending = true;
    });

    // One copy per data folder; a second start brings up the running copy's board.
    InstanceLock lock(DataFolder());
    switch (lock.acquire()) {
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
    closeOnTermination = &noteMain;
    if (terminationPending)
        QTimer::singleShot(0, &noteMain, &QWidget::close);
    QObject::connect(&lock, &InstanceLock::activationRequested, &noteMain,
                     [&noteMain] { noteMain.showBoardOnRequest(QCursor::pos()); });
    return app.exec();
}
