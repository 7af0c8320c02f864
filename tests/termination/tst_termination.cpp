#include "board/notestorage.h"
#include "platform/settingsfile.h"
#include "richtext/richdocument.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include "../board/storestop.h"

namespace {

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A copy of the program in a folder of its own, which is its data folder.
class ProgramFolder
{
public:
    ProgramFolder()
    {
        program = folder.filePath(QStringLiteral("qelnotes"));
        if (!QFile::copy(QStringLiteral(QELNOTES_PATH), program))
            qFatal("cannot copy the program");
    }

    QString path(const QString &name) const { return folder.filePath(name); }

    // Starts the program; true once it holds the data folder's lock, by which
    // time it handles SIGTERM.
    bool start(QProcess &process) const
    {
        process.setProcessEnvironment(environment());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, {});
        return process.waitForStarted();
    }

    // Starts the program to be stopped at a stage of a store.
    bool start(QProcess &process, const StoreStop &stop) const
    {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        stop.start(process, program, environment());
        return process.waitForStarted();
    }

    // A lock left by a killed run does not count: the lock must name process.
    bool waitForLock(QProcess &process) const
    {
        QElapsedTimer elapsed;
        elapsed.start();
        const QByteArray owner = QByteArray::number(process.processId());
        for (;;) {
            QFile lock(path(QStringLiteral("QelNotes.lock")));
            if (lock.open(QIODevice::ReadOnly) && lock.readLine().trimmed() == owner)
                return true;
            if (process.waitForFinished(5) || elapsed.hasExpired(20000))
                return false;
        }
    }

    // The note texts as the next start of the program will show them.
    QStringList load(QStringList *problems) const
    {
        NoteStorage storage(folder.path());
        QStringList texts;
        const NoteLoadResult result = storage.load([&](const StoredNote &note, QString *error) {
            RichDocument document;
            if (!document.setRtf(note.data, error))
                return false;
            texts.append(document.Text());
            return true;
        });
        *problems = result.problems;
        return texts;
    }

    QStringList files(const QString &pattern) const
    {
        return QDir(folder.path()).entryList({pattern}, QDir::Files, QDir::Name);
    }

    QTemporaryDir folder;
    QString program;

private:
    static QProcessEnvironment environment()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return environment;
    }
};

void terminate(QProcess &process, int signalNumber)
{
    ::kill(pid_t(process.processId()), signalNumber);
}

} // namespace

class TestTermination : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // SIGTERM runs the Close command: the plain-text notes are stored into
    // the RTF series, their files kept as copies, and the board's record is
    // written.
    void sigtermStoresNotesAndSettings()
    {
        ProgramFolder app;
        writeFile(app.path("QelNotes_0.rtf"), "first");
        writeFile(app.path("QelNotes_0.txt"), "second");
        QProcess process;
        QVERIFY(app.start(process));
        QVERIFY(app.waitForLock(process));
        terminate(process, SIGTERM);
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);

        QCOMPARE(app.files("QelNotes_?.*"), (QStringList{"QelNotes_0.rtf", "QelNotes_1.rtf"}));
        QCOMPARE(app.files("QelNotes_converted_0_*.txt").size(), 1);
        QStringList problems;
        QCOMPARE(app.load(&problems), (QStringList{"first", "second"}));
        QVERIFY(problems.isEmpty());
        const SettingsFile ini(app.path("QelNotes.ini"));
        QVERIFY(ini.readInteger("Main", "Width", -1) > 0);
        QVERIFY(!QFile::exists(app.path("QelNotes.lock")));
    }

    // The program is started on a few hundred notes, told to end, and killed
    // at a chosen stage of the store that follows, many times. Before each
    // start a quarter of the notes are rewritten as plain text and the last
    // ones moved to the plain-text series, so that every store writes those
    // as new files and moves the plain-text series aside. After each kill, the next
    // load shows every note, in order.
    void killedInTheMiddleOfAStoreLosesNothing()
    {
        ProgramFolder app;
        constexpr int Count = 300;
        constexpr int Imported = 20; // the files every store writes at least
        QStringList expected;
        for (int i = 0; i < Count; ++i) {
            expected.append(QStringLiteral("note %1 start ").arg(i)
                            + QString(1500 + i * 10, QChar(char16_t(u'a' + i % 26))));
            writeFile(app.path(QStringLiteral("QelNotes_%1.rtf").arg(i)), expected.last().toUtf8());
        }
        const struct
        {
            const char *stage;
            int ordinal;
        } kills[] = {{"pending", 1}, {"pending", Imported}, {"decided", 1}, {"moved", 1},
                     {"put", 1},     {"put", Imported}};

        QMap<QString, int> interrupted;
        for (int cycle = 0; cycle < int(std::size(kills)); ++cycle) {
            // Changed notes and an import make the next store write files.
            // A plain-text series that the last run did not store goes back
            // into the RTF series first.
            for (const QString &name : app.files("QelNotes_*.txt"))
                QFile::remove(app.path(name));
            for (int i = 0; i < Count; ++i) {
                const QString name = app.path(QStringLiteral("QelNotes_%1.rtf").arg(i));
                if (i % 4 == cycle % 4)
                    expected[i] = QStringLiteral("note %1 cycle %2 ").arg(i).arg(cycle)
                                  + QString(500 + (i * 37 + cycle * 101) % 3500,
                                            QChar(char16_t(u'a' + (i + cycle) % 26)));
                else if (QFile::exists(name))
                    continue;
                writeFile(name, expected[i].toUtf8());
            }
            for (int k = 0; k < Imported; ++k) {
                const int number = Count - Imported + k;
                QFile::remove(app.path(QStringLiteral("QelNotes_%1.rtf").arg(number)));
                writeFile(app.path(QStringLiteral("QelNotes_%1.txt").arg(k)),
                          expected[number].toUtf8());
            }

            const QString stage = QString::fromLatin1(kills[cycle].stage);
            const QString at = stage + u' ' + QString::number(kills[cycle].ordinal);
            const StoreStop stop(stage, kills[cycle].ordinal);
            QProcess process;
            QVERIFY(app.start(process, stop));
            QVERIFY(app.waitForLock(process));
            terminate(process, SIGTERM);
            if (stop.waitForStop(process))
                ++interrupted[stage];
            process.kill();
            QVERIFY(process.state() == QProcess::NotRunning || process.waitForFinished());
            QVERIFY2(QFile::exists(app.path("QelNotes_store.journal"))
                         == (stage != QLatin1String("pending")),
                     qPrintable(at));

            QStringList problems;
            const QStringList texts = app.load(&problems);
            QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
            QVERIFY2(
                texts == expected,
                qPrintable(
                    QStringLiteral("%1: %2 notes of %3").arg(at).arg(texts.size()).arg(Count)));
            QVERIFY(app.files("QelNotes_un*").isEmpty());
        }
        const QMap<QString, int> all{{"pending", 2}, {"decided", 1}, {"moved", 1}, {"put", 2}};
        QCOMPARE(interrupted, all);
    }
};

QTEST_MAIN(TestTermination)
#include "tst_termination.moc"
