#include "board/notestorage.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "../platform/filesizelimit.h"
#include "storestop.h"

namespace {

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QByteArray note(const QByteArray &text)
{
    return "{\\rtf1\\ansi " + text + "\\par}";
}

QByteArray digest(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

// A journal line naming a file by its contents, as a store writes it.
QByteArray fileLine(const char *key, int number, const QByteArray &data)
{
    return key + QByteArray::number(number) + '\t' + QByteArray::number(data.size()) + '\t'
           + digest(data) + '\n';
}

// Two lists the killed writer stores in turn: different lengths, orders and texts.
QList<QByteArray> generation(int which)
{
    QList<QByteArray> notes;
    const int count = which == 0 ? 60 : 40;
    for (int i = 0; i < count; ++i) {
        const int number = which == 0 ? i : count - 1 - i;
        notes.append(note("generation " + QByteArray::number(which) + " note "
                          + QByteArray::number(number) + ' '
                          + QByteArray(4000, 'a' + number % 26)));
    }
    return notes;
}

const char *const WriterVariable = "QEL_TEST_STORE_FOREVER";

// The child process of the kill test: stores the two lists in turn until it
// is killed, telling the parent after each store.
int storeForever(const QString &folder)
{
    NoteStorage storage(folder);
    storage.load();
    for (int which = 1;; which = 1 - which) {
        if (!storage.store(generation(which)))
            return 1;
        fputs("stored\n", stdout);
        fflush(stdout);
    }
}

} // namespace

class TestNoteStorage : public QObject
{
    Q_OBJECT

private:
    QStringList filesIn(const QString &folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    }

private Q_SLOTS:
    void load_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("loaded");
        QTest::addColumn<QList<int>>("records");
        QTest::addColumn<int>("notLoaded"); // files behind a gap, which are reported
        QTest::newRow("fresh folder") << QStringList() << QStringList() << QList<int>() << 0;
        QTest::newRow("gap after 1")
            << QStringList{"QelNotes_0.rtf", "QelNotes_1.rtf", "QelNotes_3.rtf"}
            << QStringList{"QelNotes_0.rtf", "QelNotes_1.rtf"} << QList<int>{1, 2} << 1;
        QTest::newRow("rtf and txt at 0")
            << QStringList{"QelNotes_0.txt", "QelNotes_0.rtf"}
            << QStringList{"QelNotes_0.rtf", "QelNotes_0.txt"} << QList<int>{1, 1} << 0;
        QTest::newRow("series not starting at 0") << QStringList{"QelNotes_1.rtf", "QelNotes_2.txt"}
                                                  << QStringList() << QList<int>() << 2;
        QTest::newRow("other names ignored")
            << QStringList{"QelNotes_00.rtf", "QelNotes_unreadable_0_x.rtf", "QelNotes.ini"}
            << QStringList() << QList<int>() << 0;
    }

    void load()
    {
        QFETCH(QStringList, present);
        QFETCH(QStringList, loaded);
        QFETCH(QList<int>, records);
        QFETCH(int, notLoaded);
        QTemporaryDir folder;
        for (const QString &name : present)
            writeFile(folder.filePath(name), name.toUtf8());

        NoteStorage storage(folder.path());
        const NoteLoadResult result = storage.load();
        QStringList names;
        QList<int> numbers;
        for (const StoredNote &stored : result.notes) {
            names << QFileInfo(stored.fileName).fileName();
            numbers << stored.record;
            QCOMPARE(stored.data, names.last().toUtf8());
        }
        QCOMPARE(names, loaded);
        QCOMPARE(numbers, records);
        QCOMPARE(result.problems.size(), notLoaded);
        for (const QString &problem : result.problems)
            QVERIFY2(problem.contains(QStringLiteral("QelNotes_unloaded_")), qPrintable(problem));
    }

    void storeRenumbersAndRemovesTheRest()
    {
        QTemporaryDir folder;
        for (int i = 0; i < 3; ++i)
            writeFile(folder.filePath(QStringLiteral("QelNotes_%1.rtf").arg(i)), note("old"));
        writeFile(folder.filePath(QStringLiteral("QelNotes_0.txt")), "plain");
        writeFile(folder.filePath(QStringLiteral("QelNotes.ini")), "[Main]\n");

        NoteStorage storage(folder.path());
        QCOMPARE(storage.load().notes.size(), 4);
        QVERIFY(storage.store({note("a"), note("b")}));
        // The plain-text note, now in the ".rtf" series, keeps its original file as a copy.
        QStringList files = filesIn(folder.path());
        QCOMPARE(files.size(), 4);
        QCOMPARE(files.mid(0, 3),
                 (QStringList{"QelNotes.ini", "QelNotes_0.rtf", "QelNotes_1.rtf"}));
        QVERIFY2(files[3].startsWith(QStringLiteral("QelNotes_converted_0_"))
                     && files[3].endsWith(QStringLiteral(".txt")),
                 qPrintable(files[3]));
        QCOMPARE(readFile(folder.filePath(files[3])), QByteArray("plain"));
        QCOMPARE(readFile(folder.filePath(QStringLiteral("QelNotes_1.rtf"))), note("b"));

        QVERIFY(storage.store({}));
        QCOMPARE(filesIn(folder.path()), (QStringList{"QelNotes.ini", files[3]}));
    }

#ifdef Q_OS_UNIX
    void storeWritesOnlyWhatChanged_data()
    {
        QTest::addColumn<QList<int>>(
            "order");                    // the notes 0..4 as the store gets them; -1: a new one
        QTest::addColumn<int>("edited"); // the note given a new text; -1: none
        QTest::addColumn<QList<int>>("written");

        QTest::newRow("nothing changed") << QList<int>{0, 1, 2, 3, 4} << -1 << QList<int>{};
        QTest::newRow("one edited") << QList<int>{0, 1, 2, 3, 4} << 2 << QList<int>{2};
        QTest::newRow("one added") << QList<int>{0, 1, 2, 3, 4, -1} << -1 << QList<int>{5};
        QTest::newRow("last deleted") << QList<int>{0, 1, 2, 3} << -1 << QList<int>{};
        QTest::newRow("one deleted") << QList<int>{0, 2, 3, 4} << -1 << QList<int>{1, 2, 3};
        QTest::newRow("one moved") << QList<int>{0, 3, 1, 2, 4} << -1 << QList<int>{1, 2, 3};
    }

    // A sync tool carries every file a store touches to the other machines:
    // a store writes the files whose note changed and no other.
    void storeWritesOnlyWhatChanged()
    {
        QFETCH(QList<int>, order);
        QFETCH(int, edited);
        QFETCH(QList<int>, written);
        QTemporaryDir folder;
        const auto fileOf = [&folder](int number) {
            return folder.filePath(QStringLiteral("QelNotes_%1.rtf").arg(number));
        };
        const auto identity = [&fileOf](int number) {
            struct stat status;
            return ::stat(QFile::encodeName(fileOf(number)).constData(), &status) == 0
                       ? qint64(status.st_ino)
                       : qint64(-1);
        };
        for (int i = 0; i < 5; ++i)
            writeFile(fileOf(i), note("note " + QByteArray::number(i)));
        NoteStorage storage(folder.path());
        QCOMPARE(storage.load().notes.size(), 5);
        QList<qint64> before;
        for (int i = 0; i < 6; ++i)
            before.append(identity(i));

        QList<QByteArray> notes;
        for (int number : order)
            notes.append(note(number < 0 ? "new" : "note " + QByteArray::number(number)));
        if (edited >= 0)
            notes[edited] = note("edited");
        QVERIFY2(storage.store(notes), qPrintable(storage.errorString()));
        QList<int> rewritten;
        for (int i = 0; i < notes.size(); ++i) {
            QCOMPARE(readFile(fileOf(i)), notes[i]);
            if (identity(i) != before[i])
                rewritten.append(i);
        }
        QCOMPARE(rewritten, written);
        QCOMPARE(filesIn(folder.path()).size(), notes.size());
    }

    // A sync tool may rewrite a file in place and give it the other
    // machine's time back: its change is still seen, and seen once.
    void outsideChangeSeenWhateverTheTimes()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("QelNotes_1.rtf"));
        writeFile(folder.filePath(QStringLiteral("QelNotes_0.rtf")), note("zero"));
        writeFile(path, note("one"));
        NoteStorage storage(folder.path());
        QCOMPARE(storage.load().notes.size(), 2);
        QVERIFY(storage.outsideChanges().isEmpty());

        const QDateTime modified = QFileInfo(path).lastModified();
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            file.write(note("ONE"));
            file.close();
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
        }
        QList<NoteStorage::OutsideChange> changes = storage.outsideChanges();
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.first().number, 1);
        QCOMPARE(changes.first().data, std::optional(note("ONE")));
        storage.acceptOutsideChange(changes.first());
        QVERIFY(storage.outsideChanges().isEmpty());
        // Taken in, the file is the note's: a store replaces it without a copy.
        QVERIFY(storage.store({note("zero"), note("one again")}));
        QVERIFY(storage.takeNotices().isEmpty());

        QVERIFY(QFile::remove(path));
        changes = storage.outsideChanges();
        QCOMPARE(changes.size(), 1);
        QVERIFY(!changes.first().data);
        storage.acceptOutsideChange(changes.first());
        QVERIFY(storage.outsideChanges().isEmpty());
    }
#endif

    // Files 0, 1 and 3 and a ".txt" series: file 3 was never loaded. The
    // two stores of a shutdown first make the series 0..3 and then shorten it:
    // file 3 must have gone aside before either.
    void fileBehindGapIsNeverDeleted()
    {
        QTemporaryDir folder;
        for (int i : {0, 1, 3})
            writeFile(folder.filePath(QStringLiteral("QelNotes_%1.rtf").arg(i)), note("old"));
        writeFile(folder.filePath(QStringLiteral("QelNotes_0.txt")), "plain");
        NoteStorage storage(folder.path());
        QCOMPARE(storage.load().notes.size(), 3);

        QVERIFY(storage.store({note("a"), note("b"), note("c")}));
        QVERIFY(storage.store({note("a"), note("b"), note("c")}));
        const QStringList aside = QDir(folder.path()).entryList({"QelNotes_unloaded_3_*.rtf"});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(readFile(folder.filePath(aside.first())), note("old"));
        QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("QelNotes_3.rtf"))));
        QCOMPARE(readFile(folder.filePath(QStringLiteral("QelNotes_2.rtf"))), note("c"));
    }

    // Any failure while writing leaves the previous series as it was, with
    // no leftovers, and says which file failed; the next store succeeds.
    void failedStoreKeepsPreviousNotes()
    {
        QTemporaryDir folder;
        NoteStorage storage(folder.path());
        QVERIFY(storage.store({note("a"), note("b"), note("c")}));
        const QStringList before = filesIn(folder.path());

        // The second note's temporary name is taken by a folder.
        const QString obstacle = folder.filePath(QStringLiteral("QelNotes_1.rtf.pending"));
        QVERIFY(QDir().mkdir(obstacle));
        QVERIFY(!storage.store({note("x"), note("y")}));
        QVERIFY2(storage.errorString().contains(QStringLiteral("QelNotes_1.rtf")),
                 qPrintable(storage.errorString()));
        QVERIFY(QDir().rmdir(obstacle));
        QCOMPARE(filesIn(folder.path()), before);
        QCOMPARE(readFile(folder.filePath(QStringLiteral("QelNotes_0.rtf"))), note("a"));
        QCOMPARE(readFile(folder.filePath(QStringLiteral("QelNotes_2.rtf"))), note("c"));

        QVERIFY(storage.store({note("x"), note("y")}));
        QCOMPARE(filesIn(folder.path()), (QStringList{"QelNotes_0.rtf", "QelNotes_1.rtf"}));
    }

    // A folder the program may read but not write: the notes load and the store fails, leaving
    // them as they were. Read-only permissions do not stop the superuser, so a folder in the way
    // of the first file the store makes refuses the write for every user.
    void readOnlyFolder()
    {
        QTemporaryDir folder;
        NoteStorage storage(folder.path());
        QVERIFY(storage.store({note("a")}));
        const QStringList before = filesIn(folder.path());
        const QString obstacle = folder.filePath(QStringLiteral("QelNotes_0.rtf.pending"));
        QVERIFY(QDir().mkdir(obstacle));
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
        QCOMPARE(storage.load().notes.size(), 1);
        QVERIFY(!storage.store({note("b")}));
        QVERIFY2(storage.errorString().contains(QStringLiteral("QelNotes_0.rtf")),
                 qPrintable(storage.errorString()));
        QFile::setPermissions(folder.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(QDir().rmdir(obstacle));
        QCOMPARE(filesIn(folder.path()), before);
        QCOMPARE(readFile(folder.filePath(QStringLiteral("QelNotes_0.rtf"))), note("a"));
    }

    void unreadableNoteIsKeptAside_data()
    {
        QTest::addColumn<bool>("folderInTheWay");
        QTest::newRow("read error") << true;
        QTest::newRow("parser rejects") << false;
    }

    // Note 1 of 0..2 cannot be read: the others load, the problem is told,
    // and the next store moves the file out of the series instead of
    // overwriting it. The load after that has nothing to tell.
    void unreadableNoteIsKeptAside()
    {
        QFETCH(bool, folderInTheWay);
        QTemporaryDir folder;
        writeFile(folder.filePath(QStringLiteral("QelNotes_0.rtf")), note("zero"));
        const QString broken = folder.filePath(QStringLiteral("QelNotes_1.rtf"));
        if (folderInTheWay)
            QVERIFY(QDir().mkdir(broken));
        else
            writeFile(broken, "{\\rtf1 broken");
        writeFile(folder.filePath(QStringLiteral("QelNotes_2.rtf")), note("two"));

        NoteStorage storage(folder.path());
        const auto parser = [](const StoredNote &stored, QString *error) {
            if (stored.data.endsWith('}'))
                return true;
            *error = QStringLiteral("truncated");
            return false;
        };
        NoteLoadResult result = storage.load(parser);
        QCOMPARE(result.notes.size(), 2);
        QCOMPARE(result.notes[1].data, note("two"));
        QCOMPARE(result.notes[1].record, 3);
        QCOMPARE(result.problems.size(), 1);
        QVERIFY(result.problems.first().contains(QStringLiteral("QelNotes_1.rtf")));

        QVERIFY(storage.store({result.notes[0].data, result.notes[1].data}));
        QCOMPARE(readFile(broken), note("two"));
        const QStringList aside
            = QDir(folder.path()).entryList({"QelNotes_unreadable_1_*.rtf"}, QDir::AllEntries);
        QCOMPARE(aside.size(), 1);
        if (!folderInTheWay)
            QCOMPARE(readFile(folder.filePath(aside.first())), QByteArray("{\\rtf1 broken"));

        result = storage.load(parser);
        QCOMPARE(result.notes.size(), 2);
        QVERIFY(result.problems.isEmpty());
    }

    void storeNoteReplacesOnlyItsFile()
    {
        QTemporaryDir folder;
        for (int i = 0; i < 3; ++i)
            writeFile(folder.filePath(QStringLiteral("QelNotes_%1.rtf").arg(i)), note("old"));
        NoteStorage storage(folder.path());
        QCOMPARE(storage.load().notes.size(), 3);

        QVERIFY(storage.storeNote(1, note("typed")));
        QCOMPARE(filesIn(folder.path()),
                 (QStringList{"QelNotes_0.rtf", "QelNotes_1.rtf", "QelNotes_2.rtf"}));
        QCOMPARE(readFile(folder.filePath(QStringLiteral("QelNotes_0.rtf"))), note("old"));
        QCOMPARE(readFile(folder.filePath(QStringLiteral("QelNotes_1.rtf"))), note("typed"));
        QVERIFY(!storage.storeNote(3, note("beyond the series")));
        QVERIFY(!storage.storeNote(-1, note("before it")));

        // After New or Delete the positions are not the file numbers: refused
        // until a store has numbered the files like the list again.
        storage.listChanged();
        QVERIFY(!storage.storeNote(0, note("x")));
        QVERIFY(!storage.errorString().isEmpty());
        QCOMPARE(readFile(folder.filePath(QStringLiteral("QelNotes_0.rtf"))), note("old"));
        QVERIFY(storage.store({note("a"), note("b")}));
        QVERIFY(storage.storeNote(1, note("c")));
        QCOMPARE(readFile(folder.filePath(QStringLiteral("QelNotes_1.rtf"))), note("c"));
    }

    void storeNoteRefusedAfterLoads_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::newRow("unreadable note") << QStringList{"QelNotes_0.rtf", "QelNotes_1.rtf"};
        QTest::newRow("plain-text series") << QStringList{"QelNotes_0.rtf", "QelNotes_0.txt"};
    }

    // The list does not match the file numbers: note 1 of the list is file 2
    // in the first case, the file QelNotes_0.txt in the second.
    void storeNoteRefusedAfterLoads()
    {
        QFETCH(QStringList, present);
        QTemporaryDir folder;
        for (const QString &name : present)
            writeFile(folder.filePath(name), note(name.toUtf8()));
        writeFile(folder.filePath(QStringLiteral("QelNotes_2.rtf")), note("two"));
        NoteStorage storage(folder.path());
        storage.load([](const StoredNote &stored, QString *) {
            return !stored.fileName.endsWith(QStringLiteral("QelNotes_1.rtf"));
        });
        QVERIFY(!storage.storeNote(1, note("x")));
        QVERIFY(!storage.storeNote(0, note("x")));
        QCOMPARE(readFile(folder.filePath(present.first())), note(present.first().toUtf8()));
    }

    void fullDisk_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("failing");
        // The notes' files are 40 bytes, the journal some 200.
        QTest::newRow("no room for the notes") << 30 << QStringLiteral("QelNotes_0.rtf");
        QTest::newRow("no room for the journal") << 100 << QStringLiteral("QelNotes_store.journal");
    }

    // The disk refuses part of a write: the store fails and says so, and the
    // notes stored before are all still there, as the next load shows.
    void fullDisk()
    {
        QFETCH(int, limit);
        QFETCH(QString, failing);
        QTemporaryDir folder;
        const QList<QByteArray> before{note("first note, stored"), note("second note, stored")};
        QVERIFY(NoteStorage(folder.path()).store(before));

        NoteStorage storage(folder.path());
        QCOMPARE(storage.load().notes.size(), 2);
        bool stored = true;
        {
            FileSizeLimit full(limit);
            if (!full.isActive())
                QSKIP("no file size limit on this platform");
            stored = storage.store(
                {note("first note, changed"), note("a new note"), note("third note, new")});
        }
        QVERIFY(!stored);
        QVERIFY2(storage.errorString().contains(failing), qPrintable(storage.errorString()));

        const NoteLoadResult result = NoteStorage(folder.path()).load();
        QVERIFY(result.problems.isEmpty());
        QList<QByteArray> loaded;
        for (const StoredNote &stored : result.notes)
            loaded << stored.data;
        QCOMPARE(loaded, before);
        QCOMPARE(filesIn(folder.path()), (QStringList{"QelNotes_0.rtf", "QelNotes_1.rtf"}));
    }

    void untrustedJournal_data()
    {
        const QByteArray zero = note("zero");
        const QByteArray two = note("two");
        QTest::addColumn<QByteArray>("journal");
        QTest::addColumn<QByteArray>("pending"); // QelNotes_0.rtf.pending
        QTest::newRow("old form, deleting every note")
            << QByteArray("count=0\nprevious=3\nprevioustext=0\n") << QByteArray();
        QTest::newRow("cut short")
            << QByteArray("count=1\n") + fileLine("put=", 0, "new") << QByteArray("new");
        QTest::newRow("removes other contents")
            << QByteArray("count=0\n") + fileLine("remove=", 2, two) + fileLine("remove=", 1, "x")
                   + fileLine("remove=", 0, zero) + "end\n"
            << QByteArray();
        QTest::newRow("pending file cut short")
            << QByteArray("count=1\n") + fileLine("put=", 0, note("new text")) + "end\n"
            << note("new");
        QTest::newRow("pending file missing")
            << QByteArray("count=1\n") + fileLine("put=", 0, note("new")) + "end\n"
            << QByteArray();
        QTest::newRow("moves onto a note")
            << QByteArray("count=3\nmove=QelNotes_1.rtf\tQelNotes_2.rtf\nend\n") << QByteArray();
        QTest::newRow("gap in the new series")
            << QByteArray("count=5\n") + fileLine("put=", 4, note("new")) + "end\n"
            << QByteArray();
    }

    // A journal that does not match the files is dropped at the next load,
    // which says so; the notes on disk stay as they are.
    void untrustedJournal()
    {
        QFETCH(QByteArray, journal);
        QFETCH(QByteArray, pending);
        QTemporaryDir folder;
        const QList<QByteArray> notes{note("zero"), note("one"), note("two")};
        for (int i = 0; i < notes.size(); ++i)
            writeFile(folder.filePath(QStringLiteral("QelNotes_%1.rtf").arg(i)), notes[i]);
        writeFile(folder.filePath(QStringLiteral("QelNotes_store.journal")), journal);
        if (!pending.isEmpty())
            writeFile(folder.filePath(QStringLiteral("QelNotes_0.rtf.pending")), pending);

        const NoteLoadResult result = NoteStorage(folder.path()).load();
        QList<QByteArray> loaded;
        for (const StoredNote &stored : result.notes)
            loaded << stored.data;
        QCOMPARE(loaded, notes);
        QCOMPARE(result.problems.size(), 1);
        QCOMPARE(filesIn(folder.path()),
                 (QStringList{"QelNotes_0.rtf", "QelNotes_1.rtf", "QelNotes_2.rtf"}));
    }

    // A journal whose files all match is carried out, also when a folder has
    // taken a note file's place since it was written.
    void matchingJournalIsCompleted()
    {
        QTemporaryDir folder;
        writeFile(folder.filePath(QStringLiteral("QelNotes_0.rtf")), note("zero"));
        writeFile(folder.filePath(QStringLiteral("QelNotes_2.rtf")), note("two"));
        QVERIFY(QDir().mkpath(folder.filePath(QStringLiteral("QelNotes_1.rtf/inside"))));
        writeFile(folder.filePath(QStringLiteral("QelNotes_1.rtf.pending")), note("new one"));
        writeFile(folder.filePath(QStringLiteral("QelNotes_store.journal")),
                  "count=2\n" + fileLine("put=", 1, note("new one"))
                      + fileLine("remove=", 2, note("two")) + "end\n");

        const NoteLoadResult result = NoteStorage(folder.path()).load();
        QVERIFY(result.problems.isEmpty());
        QCOMPARE(result.notes.size(), 2);
        QCOMPARE(result.notes[1].data, note("new one"));
        QCOMPARE(QDir(folder.path()).entryList({"QelNotes_unreadable_1_*.rtf"}, QDir::Dirs).size(),
                 1);
    }

    // A note file replaced by a folder while the program runs: the note's
    // own save fails, the full store moves the folder aside and writes the
    // note, and the next start finds every note.
    void folderInPlaceOfNoteFile()
    {
        QTemporaryDir folder;
        NoteStorage storage(folder.path());
        QVERIFY(storage.store({note("zero"), note("one"), note("two")}));
        const QString one = folder.filePath(QStringLiteral("QelNotes_1.rtf"));
        QVERIFY(QFile::remove(one));
        QVERIFY(QDir().mkpath(one + QStringLiteral("/inside")));

        QVERIFY(!storage.storeNote(1, note("one, typed")));
        QVERIFY(storage.store({note("zero"), note("one, typed"), note("two")}));
        QCOMPARE(readFile(one), note("one, typed"));
        QCOMPARE(QDir(folder.path()).entryList({"QelNotes_unreadable_1_*.rtf"}, QDir::Dirs).size(),
                 1);
        QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("QelNotes_store.journal"))));
        QCOMPARE(NoteStorage(folder.path()).load().notes.size(), 3);
    }

    void outsideChangeIsKept_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("save"); // "store", "store with a new note", "storeNote"
        QTest::addColumn<QString>("told"); // the file the notice names; empty: none
        QTest::addColumn<int>("notesNextStart");

        QTest::newRow("rewritten in place, stored") << "rewrite 1"
                                                    << "store"
                                                    << "QelNotes_1.rtf" << 4;
        QTest::newRow("rewritten by rename, stored") << "rename over 1"
                                                     << "store"
                                                     << "QelNotes_1.rtf" << 4;
        QTest::newRow("rewritten by rename, saved alone") << "rename over 1"
                                                          << "storeNote"
                                                          << "QelNotes_1.rtf" << 4;
        QTest::newRow("rewritten with this program's text") << "rewrite 1 alike"
                                                            << "store"
                                                            << "" << 3;
        QTest::newRow("rewritten above a shorter list") << "rewrite 2"
                                                        << "store without the last"
                                                        << "QelNotes_2.rtf" << 3;
        QTest::newRow("added after the series") << "add 3"
                                                << "store"
                                                << "QelNotes_3.rtf" << 4;
        QTest::newRow("added after the series, New on the board") << "add 3"
                                                                  << "store with a new note"
                                                                  << "QelNotes_3.rtf" << 5;
        QTest::newRow("added behind a gap") << "add 5"
                                            << "store"
                                            << "QelNotes_5.rtf" << 4;
        QTest::newRow("deleted") << "remove 1"
                                 << "store"
                                 << "QelNotes_1.rtf" << 3;
        QTest::newRow("deleted, saved alone") << "remove 1"
                                              << "storeNote"
                                              << "QelNotes_1.rtf" << 3;
    }

    // Notes 0..2 are loaded; another program changes the folder; then the
    // program stores. No text of either side is lost, the user is told once
    // naming the file, and the next start shows the outside text as a note.
    void outsideChangeIsKept()
    {
        QFETCH(QString, change);
        QFETCH(QString, save);
        QFETCH(QString, told);
        QFETCH(int, notesNextStart);
        QTemporaryDir folder;
        QList<QByteArray> notes{note("zero"), note("one"), note("two")};
        for (int i = 0; i < notes.size(); ++i)
            writeFile(folder.filePath(QStringLiteral("QelNotes_%1.rtf").arg(i)), notes[i]);
        NoteStorage storage(folder.path());
        QCOMPARE(storage.load().notes.size(), 3);

        const QStringList words = change.split(u' ');
        const QString number = words.last();
        const QString target = folder.filePath(QStringLiteral("QelNotes_%1.rtf").arg(number));
        const QByteArray outside = note("from the other machine");
        if (words.first() == QStringLiteral("rewrite") && words.size() == 3)
            writeFile(target, note("one, typed here"));
        else if (words.first() == QStringLiteral("rewrite") || words.first() == "add")
            writeFile(target, outside);
        else if (words.first() == QStringLiteral("rename")) {
            writeFile(target + ".sync-tmp", outside);
            QVERIFY(QFile::remove(target));
            QVERIFY(QFile::rename(target + ".sync-tmp", target));
        } else {
            QVERIFY(QFile::remove(target));
        }

        notes[1] = note("one, typed here");
        if (save == QStringLiteral("storeNote")) {
            QVERIFY2(storage.storeNote(1, notes[1]), qPrintable(storage.errorString()));
        } else {
            if (save == QStringLiteral("store with a new note"))
                notes.append(note("new here"));
            if (save == QStringLiteral("store without the last"))
                notes.removeLast();
            QVERIFY2(storage.store(notes), qPrintable(storage.errorString()));
        }

        const QStringList notices = storage.takeNotices();
        if (told.isEmpty()) {
            QVERIFY2(notices.isEmpty(), qPrintable(notices.join(u'\n')));
        } else {
            QCOMPARE(notices.size(), 1);
            QVERIFY2(notices.first().contains(told), qPrintable(notices.first()));
        }
        // Told once: storing the same again finds nothing new.
        QVERIFY(save == QStringLiteral("storeNote") ? storage.storeNote(1, notes[1])
                                                    : storage.store(notes));
        QVERIFY2(storage.takeNotices().isEmpty(), qPrintable(change));

        NoteStorage nextStart(folder.path());
        const NoteLoadResult result = nextStart.load();
        QList<QByteArray> loaded;
        for (const StoredNote &stored : result.notes)
            loaded << stored.data;
        QCOMPARE(loaded.size(), notesNextStart);
        for (const QByteArray &text : std::as_const(notes))
            QVERIFY2(loaded.contains(text), text.constData());
        if (words.first() != QStringLiteral("remove") && told.size())
            QVERIFY(loaded.contains(outside));
    }

    // Conflict copies that sync tools make are notes of their own at the end
    // of the board, reported at load; the next store takes them into the
    // series and removes the copies.
    void syncConflictCopiesBecomeNotes()
    {
        QTemporaryDir folder;
        writeFile(folder.filePath(QStringLiteral("QelNotes_0.rtf")), note("zero"));
        writeFile(folder.filePath(QStringLiteral("QelNotes_1.rtf")), note("one"));
        const QStringList copies{"QelNotes_1.sync-conflict-20261211-101010-ABCDEFG.rtf",
                                 "QelNotes_0 (conflicted copy).rtf",
                                 "QelNotes_conflict_1_20261211-101010.rtf"};
        for (const QString &name : copies)
            writeFile(folder.filePath(name), note(name.toUtf8()));
        // The same text kept twice, by the sync tool and by a store: one note.
        writeFile(folder.filePath("QelNotes_conflict_1_20261211-101011.rtf"),
                  note(copies[2].toUtf8()));
        writeFile(folder.filePath(QStringLiteral("QelNotes_1.rtf.pending")), note("not a copy"));

        NoteStorage storage(folder.path());
        NoteLoadResult result = storage.load();
        QList<QByteArray> loaded;
        for (const StoredNote &stored : result.notes)
            loaded << stored.data;
        QCOMPARE(loaded.size(), 5);
        QCOMPARE(result.notes.last().record, 0);
        QCOMPARE(result.problems.size(), 3);
        for (const QString &name : copies)
            QVERIFY(result.problems.join(u'\n').contains(name));
        QVERIFY(!storage.canStoreNote(0));

        QVERIFY(storage.store(loaded));
        QCOMPARE(filesIn(folder.path()).size(), 5);
        result = NoteStorage(folder.path()).load();
        QVERIFY(result.problems.isEmpty());
        QCOMPARE(result.notes.size(), 5);
    }

#ifdef Q_OS_UNIX
    void fileThatIsNoNoteIsSetAside_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("link out of the folder") << "link"
                                                << "symbolic link";
        QTest::newRow("fifo") << "fifo"
                              << "not a regular file";
        QTest::newRow("too large") << "large"
                                   << "larger than";
    }

    // A link to a private file (a sync peer may plant one), a FIFO or a huge
    // file in place of note 1: the load returns at once without reading it,
    // says why, and the store moves it aside without copying anything in.
    void fileThatIsNoNoteIsSetAside()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir outside;
        QTemporaryDir folder;
        const QString secret = outside.filePath(QStringLiteral("private"));
        writeFile(secret, "private text");
        writeFile(folder.filePath(QStringLiteral("QelNotes_0.rtf")), note("zero"));
        const QString one = folder.filePath(QStringLiteral("QelNotes_1.rtf"));
        if (kind == QStringLiteral("link")) {
            QVERIFY(QFile::link(secret, one));
        } else if (kind == QStringLiteral("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(one).constData(), 0600), 0);
        } else {
            QFile large(one);
            QVERIFY(large.open(QIODevice::WriteOnly));
            QVERIFY(large.resize(65 * 1024 * 1024)); // sparse: takes no room
        }
        writeFile(folder.filePath(QStringLiteral("QelNotes_2.rtf")), note("two"));

        NoteStorage storage(folder.path());
        const NoteLoadResult result = storage.load();
        QCOMPARE(result.notes.size(), 2);
        QCOMPARE(result.problems.size(), 1);
        QVERIFY2(result.problems.first().contains(reason)
                     && result.problems.first().contains(QStringLiteral("QelNotes_1.rtf")),
                 qPrintable(result.problems.first()));

        QVERIFY(storage.store({note("zero"), note("two")}));
        QCOMPARE(readFile(secret), QByteArray("private text"));
        QCOMPARE(QDir(folder.path())
                     .entryList({"QelNotes_unreadable_1_*"}, QDir::System | QDir::AllEntries)
                     .size(),
                 1);
        for (const QString &name : filesIn(folder.path()))
            QVERIFY(!readFile(folder.filePath(name)).contains("private text")
                    || QFileInfo(folder.filePath(name)).isSymLink());
        QCOMPARE(NoteStorage(folder.path()).load().notes.size(), 2);
    }
#endif

#ifdef Q_OS_UNIX
    // A link in place of a pending file never lets a store or a note's own
    // save write out of the folder.
    void pendingLinkIsNotFollowed()
    {
        QTemporaryDir outside;
        QTemporaryDir folder;
        const QString dangling = outside.filePath(QStringLiteral("created"));
        const QString existing = outside.filePath(QStringLiteral("existing"));
        writeFile(existing, "keep");
        NoteStorage storage(folder.path());
        QVERIFY(storage.store({note("zero"), note("one")}));

        QVERIFY(QFile::link(dangling, folder.filePath(QStringLiteral("QelNotes_2.rtf.pending"))));
        QVERIFY(QFile::link(existing, folder.filePath(QStringLiteral("QelNotes_0.rtf.pending"))));
        QVERIFY(storage.storeNote(0, note("zero, typed")));
        QVERIFY(QFile::link(existing, folder.filePath(QStringLiteral("QelNotes_1.rtf.pending"))));
        QVERIFY(storage.store({note("zero, typed"), note("one, typed"), note("two")}));

        QVERIFY(!QFileInfo::exists(dangling));
        QCOMPARE(readFile(existing), QByteArray("keep"));
        for (int i = 0; i < 3; ++i)
            QVERIFY(
                !QFileInfo(folder.filePath(QStringLiteral("QelNotes_%1.rtf").arg(i))).isSymLink());
        QCOMPARE(readFile(folder.filePath(QStringLiteral("QelNotes_1.rtf"))), note("one, typed"));
    }
#endif

    // A writer storing forty notes over sixty, then sixty over forty, is
    // stopped and killed at chosen stages of those stores: before a store is
    // decided the next load finds the list stored before, after that the new
    // one, always whole and in order, with nothing of the killed store left.
    void killedStoreLosesNothing()
    {
        const struct
        {
            const char *stage;
            int ordinal;
            int expected; // the list the next load finds
        } kills[] = {
            {"pending", 1, 0},  {"pending", 40, 0}, {"decided", 1, 1},
            {"put", 1, 1},      {"put", 40, 1},     {"removed", 1, 1},
            {"removed", 20, 1}, {"pending", 41, 1}, {"decided", 2, 0},
        };
        const QList<QByteArray> lists[2] = {generation(0), generation(1)};
        const QString journal = QStringLiteral("QelNotes_store.journal");
        QTemporaryDir folder;
        QMap<QString, int> interrupted;
        for (const auto &kill : kills) {
            const QString stage = QString::fromLatin1(kill.stage);
            {
                NoteStorage start(folder.path());
                start.load();
                QVERIFY(start.store(lists[0]));
            }
            QProcess writer;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QString::fromLatin1(WriterVariable), folder.path());
            const StoreStop stop(stage, kill.ordinal);
            stop.start(writer, QCoreApplication::applicationFilePath(), environment);
            QVERIFY(writer.waitForStarted());
            if (stop.waitForStop(writer))
                ++interrupted[stage];
            writer.kill();
            QVERIFY(writer.state() == QProcess::NotRunning || writer.waitForFinished());

            const QString at = stage + u' ' + QString::number(kill.ordinal);
            QVERIFY2(filesIn(folder.path()).contains(journal)
                         == (stage != QLatin1String("pending")),
                     qPrintable(at));
            NoteStorage storage(folder.path());
            const NoteLoadResult result = storage.load();
            QVERIFY(result.problems.isEmpty());
            QList<QByteArray> loaded;
            for (const StoredNote &stored : result.notes)
                loaded << stored.data;
            QVERIFY2(loaded == lists[kill.expected],
                     qPrintable(QStringLiteral("%1: %2 notes, not list %3")
                                    .arg(at)
                                    .arg(loaded.size())
                                    .arg(kill.expected)));
            // The load has also cleared away what the killed store left.
            QCOMPARE(filesIn(folder.path())
                         .filter(QRegularExpression(QStringLiteral("^QelNotes_\\d+\\.rtf$")))
                         .size(),
                     filesIn(folder.path()).size());
        }
        const QMap<QString, int> expected{
            {"pending", 3}, {"decided", 2}, {"put", 2}, {"removed", 2}};
        QCOMPARE(interrupted, expected);
    }
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(WriterVariable))
        return storeForever(qEnvironmentVariable(WriterVariable));
    QCoreApplication application(argc, argv);
    TestNoteStorage test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_notestorage.moc"
