#include "filesizelimit.h"
#include "platform/programfoldernotes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Notes beside a program whose folder cannot be written: the writable check
// and the dialogs are injected, so every answer can be given.
class TestProgramFolderNotes : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_program;
    QString m_user;
    QStringList m_questions;
    QStringList m_messages;
    bool m_answer = false;

    static void write(const QString &path, const QByteArray &data)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(data), data.size());
    }

    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    static QStringList files(const QString &folder)
    {
        return QDir(folder).entryList(QDir::Files, QDir::Name);
    }

    void offer(bool programWritable)
    {
        ProgramFolderNotes notes(m_program, m_user,
                                 {QStringLiteral("QelNotes.ini"), QStringLiteral("qelnotes.ini")});
        notes.offer(
            [&](const QString &folder) {
                // Only the program folder is ever in question.
                return folder == m_program ? programWritable : true;
            },
            [this](const QString &question) {
                m_questions.append(question);
                return m_answer;
            },
            [this](const QString &text) { m_messages.append(text); });
    }

    // The program folder as a user left it: two notes, one from the plain
    // text series, a note file behind a gap, both settings files, and a file
    // that is no note.
    void fillProgramFolder()
    {
        write(m_program + QStringLiteral("QelNotes_0.rtf"), "{\\rtf1 first}");
        write(m_program + QStringLiteral("QelNotes_1.rtf"), "{\\rtf1 second}");
        write(m_program + QStringLiteral("QelNotes_0.txt"), "plain");
        write(m_program + QStringLiteral("QelNotes_5.rtf"), "{\\rtf1 behind a gap}");
        write(m_program + QStringLiteral("QelNotes.ini"), "[Note_1]\r\nColor=255\r\n");
        write(m_program + QStringLiteral("qelnotes.ini"), "[DM]\r\nMasterPassword=x\r\n");
        write(m_program + QStringLiteral("readme.txt"), "not a note");
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_root.isValid());
        QDir root(m_root.path());
        root.removeRecursively();
        QVERIFY(QDir().mkpath(m_root.filePath(QStringLiteral("program"))));
        QVERIFY(QDir().mkpath(m_root.filePath(QStringLiteral("user"))));
        m_program = m_root.filePath(QStringLiteral("program/"));
        m_user = m_root.filePath(QStringLiteral("user/"));
        m_questions.clear();
        m_messages.clear();
        fillProgramFolder();
    }

    void noQuestionWhenTheProgramFolderServes_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("notesBeside");
        QTest::newRow("writable") << true << true;
        QTest::newRow("no notes beside") << false << false;
    }

    void noQuestionWhenTheProgramFolderServes()
    {
        QFETCH(bool, writable);
        QFETCH(bool, notesBeside);
        if (!notesBeside) {
            for (const QString &name : ProgramFolderNotes::noteFiles(m_program))
                QVERIFY(QFile::remove(m_program + name));
        }
        offer(writable);
        QVERIFY(m_questions.isEmpty());
        QVERIFY(m_messages.isEmpty());
        QVERIFY(files(m_user).isEmpty());
    }

    void yesCopiesNotesAndSettings()
    {
        // Made by an earlier start in the user's folder, before any note.
        write(m_user + QStringLiteral("QelNotes.ini"), "[Main]\r\nLeft=5\r\n");
        const QStringList before = files(m_program);
        m_answer = true;
        offer(false);

        QCOMPARE(m_questions.size(), 1);
        QVERIFY(m_questions.first().contains(QDir::toNativeSeparators(QDir::cleanPath(m_program))));
        QVERIFY(m_questions.first().contains(QDir::toNativeSeparators(QDir::cleanPath(m_user))));
        QVERIFY(m_messages.isEmpty());
        for (const QString &name :
             {QStringLiteral("QelNotes_0.rtf"), QStringLiteral("QelNotes_1.rtf"),
              QStringLiteral("QelNotes_0.txt"), QStringLiteral("QelNotes_5.rtf"),
              QStringLiteral("qelnotes.ini")})
            QCOMPARE(contents(m_user + name), contents(m_program + name));
        QVERIFY(
            contents(m_user + QStringLiteral("QelNotes.ini")).startsWith("[Note_1]\r\nColor=255"));
        QVERIFY(!QFile::exists(m_user + QStringLiteral("readme.txt")));
        // The user's own settings are kept under another name, the originals
        // beside the program are untouched.
        const QStringList aside
            = QDir(m_user).entryList({QStringLiteral("QelNotes_before_copy_*.ini")});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(contents(m_user + aside.first()), QByteArray("[Main]\r\nLeft=5\r\n"));
        QCOMPARE(files(m_program), before);
        QCOMPARE(contents(m_program + QStringLiteral("QelNotes.ini")),
                 QByteArray("[Note_1]\r\nColor=255\r\n"));

        // The next start finds the copies and asks nothing.
        offer(false);
        QCOMPARE(m_questions.size(), 1);
        QVERIFY(m_messages.isEmpty());
    }

    void noCopiesNothingAndAsksAgain()
    {
        m_answer = false;
        offer(false);
        QCOMPARE(m_questions.size(), 1);
        QVERIFY(files(m_user).isEmpty());
        offer(false);
        QCOMPARE(m_questions.size(), 2);
    }

    void notesInTheUserFolderAreNeverOverwritten()
    {
        write(m_user + QStringLiteral("QelNotes_0.rtf"), "{\\rtf1 mine}");
        write(m_user + QStringLiteral("QelNotes.ini"), "[Note_1]\r\nColor=1\r\n");
        m_answer = true;
        offer(false);

        QVERIFY(m_questions.isEmpty());
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().contains(QDir::toNativeSeparators(QDir::cleanPath(m_program))));
        QVERIFY(m_messages.first().contains(QDir::toNativeSeparators(QDir::cleanPath(m_user))));
        QCOMPARE(contents(m_user + QStringLiteral("QelNotes_0.rtf")), QByteArray("{\\rtf1 mine}"));
        QVERIFY(!QFile::exists(m_user + QStringLiteral("QelNotes_1.rtf")));
        QVERIFY(contents(m_user + QStringLiteral("QelNotes.ini"))
                    .startsWith("[Note_1]\r\nColor=1\r\n"));
        // Told once, not at every start.
        offer(false);
        QCOMPARE(m_messages.size(), 1);
    }

    void interruptedCopy_data()
    {
        QTest::addColumn<bool>("whole"); // killed after every file was copied
        QTest::addColumn<QStringList>("movedBefore");
        QTest::addColumn<int>("questions");
        QTest::newRow("killed while copying") << false << QStringList() << 1;
        QTest::newRow("killed while moving into place")
            << true << QStringList{"QelNotes_0.rtf", "QelNotes.ini"} << 0;
    }

    // The program killed in the middle of a copy (with 201 notes it takes a
    // while): the next start never takes the part copied for the user's
    // notes. A copy not yet whole is asked for again and made anew; one
    // being moved into place is finished without a question.
    void interruptedCopy()
    {
        QFETCH(bool, whole);
        QFETCH(QStringList, movedBefore);
        QFETCH(int, questions);
        write(m_user + QStringLiteral("QelNotes.ini"), "[Main]\r\nLeft=5\r\n");
        const QString staging = m_user + QStringLiteral("QelNotes_copy_in_progress/");
        QVERIFY(QDir().mkpath(staging));
        const QStringList copied = whole ? ProgramFolderNotes::noteFiles(m_program)
                                               + QStringList{"QelNotes.ini", "qelnotes.ini"}
                                         : QStringList{"QelNotes_0.rtf", "QelNotes_1.rtf"};
        for (const QString &name : copied)
            write(staging + name, whole ? contents(m_program + name) : QByteArray("{\\rtf1 cut"));
        if (whole)
            write(staging + QStringLiteral("whole"), {});
        for (const QString &name : movedBefore) {
            if (name == QStringLiteral("QelNotes.ini"))
                QVERIFY(QFile::rename(m_user + name, m_user + "QelNotes_before_copy_x.ini"));
            QVERIFY(QFile::rename(staging + name, m_user + name));
        }
        m_answer = true;
        offer(false);

        QCOMPARE(m_questions.size(), questions);
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(u'\n')));
        QVERIFY(!QFileInfo::exists(staging));
        for (const QString &name : ProgramFolderNotes::noteFiles(m_program))
            QCOMPARE(contents(m_user + name), contents(m_program + name));
        QCOMPARE(contents(m_user + QStringLiteral("QelNotes.ini")).left(9), "[Note_1]\r");
        QCOMPARE(QDir(m_user).entryList({QStringLiteral("QelNotes_before_copy_*.ini")}).size(), 1);
    }

    // A copy cut short (the disk full) leaves the user's folder as it was
    // and says why.
    void failedCopyIsUndoneAndTold()
    {
        write(m_user + QStringLiteral("QelNotes.ini"), "[Main]\r\nLeft=5\r\n");
        write(m_program + QStringLiteral("QelNotes_1.rtf"), QByteArray(64 * 1024, 'x'));
        m_answer = true;
        {
            FileSizeLimit limit(4096);
            offer(false);
        }
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().contains(QStringLiteral("could not be copied")));
        QCOMPARE(files(m_user), QStringList{QStringLiteral("QelNotes.ini")});
        QCOMPARE(contents(m_user + QStringLiteral("QelNotes.ini")),
                 QByteArray("[Main]\r\nLeft=5\r\n"));
    }
};

QTEST_APPLESS_MAIN(TestProgramFolderNotes)
#include "tst_programfoldernotes.moc"
