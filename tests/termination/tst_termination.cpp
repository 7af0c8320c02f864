#include "board/notestorage.h"
#include "platform/settingsfile.h"
#include "richtext/richdocument.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

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
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, {});
        return process.waitForStarted();
    }

    bool waitForLock(QProcess &process) const
    {
        QElapsedTimer elapsed;
        elapsed.start();
        while (!QFile::exists(path(QStringLiteral("QelNotes.lock")))) {
            if (process.waitForFinished(5) || elapsed.hasExpired(20000))
                return false;
        }
        return true;
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

    // The program is started on a few hundred notes, told to end and killed
    // at random moments while it loads and stores them, many times. Before
    // each start some notes are rewritten as plain text and the last ones
    // moved to the plain-text series, so that every store rewrites files.
    // After each kill, the next load shows every note, in order.
    void killedAtRandomMomentsLosesNothing()
    {
        ProgramFolder app;
        const quint32 seed = QRandomGenerator::system()->generate();
        qInfo("seed %u", seed);
        QRandomGenerator random(seed);
        constexpr int Count = 300;
        QStringList expected;
        for (int i = 0; i < Count; ++i) {
            expected.append(QStringLiteral("note %1 start ").arg(i)
                            + QString(1500 + i * 10, QChar(char16_t(u'a' + i % 26))));
            writeFile(app.path(QStringLiteral("QelNotes_%1.rtf").arg(i)), expected.last().toUtf8());
        }

        // How long one run takes, start to end, sets the range of the
        // random moments.
        QElapsedTimer elapsed;
        elapsed.start();
        {
            QProcess process;
            QVERIFY(app.start(process));
            QVERIFY(app.waitForLock(process));
            terminate(process, SIGTERM);
            QVERIFY(process.waitForFinished(30000));
        }
        const int runTime = int(std::max<qint64>(20, elapsed.elapsed()));
        QStringList problems;
        QCOMPARE(app.load(&problems), expected);

        int killed = 0;
        int unfinished = 0; // kills that left a store to finish
        elapsed.restart();
        for (int cycle = 0; cycle < 60 && elapsed.elapsed() < 40000; ++cycle) {
            // Changed notes and an import make the next store write files.
            // A plain-text series that the last run did not store goes back
            // into the RTF series first.
            for (const QString &name : app.files("QelNotes_*.txt"))
                QFile::remove(app.path(name));
            for (int i = 0; i < Count; ++i) {
                const QString name = app.path(QStringLiteral("QelNotes_%1.rtf").arg(i));
                if (random.bounded(4) == 0)
                    expected[i] = QStringLiteral("note %1 cycle %2 ").arg(i).arg(cycle)
                                  + QString(random.bounded(500, 4000),
                                            QChar(char16_t(u'a' + random.bounded(26))));
                else if (QFile::exists(name))
                    continue;
                writeFile(name, expected[i].toUtf8());
            }
            const int imported = random.bounded(20);
            for (int k = 0; k < imported; ++k) {
                const int number = Count - imported + k;
                QFile::remove(app.path(QStringLiteral("QelNotes_%1.rtf").arg(number)));
                writeFile(app.path(QStringLiteral("QelNotes_%1.txt").arg(k)),
                          expected[number].toUtf8());
            }

            QProcess process;
            QVERIFY(app.start(process));
            if (!process.waitForFinished(random.bounded(runTime)))
                terminate(process, SIGTERM);
            if (!process.waitForFinished(random.bounded(runTime))) {
                process.kill();
                ++killed;
            }
            process.waitForFinished(30000);
            if (QFile::exists(app.path("QelNotes_store.journal"))
                || !app.files("QelNotes_*.pending").isEmpty())
                ++unfinished;

            const QStringList texts = app.load(&problems);
            QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
            QVERIFY2(texts == expected, qPrintable(QStringLiteral("cycle %1: %2 notes of %3")
                                                       .arg(cycle)
                                                       .arg(texts.size())
                                                       .arg(Count)));
            QVERIFY(app.files("QelNotes_un*").isEmpty());
        }
        qInfo("%d runs killed, %d of them in the middle of a store", killed, unfinished);
        QVERIFY(killed > 0);
    }
};

QTEST_MAIN(TestTermination)
#include "tst_termination.moc"
