#include "../note/manualtime.h"
#include "board/folderwatch.h"
#include "board/notesstore.h"
#include "note/colorvalue.h"
#include "note/noteitem.h"
#include "platform/settingsfile.h"
#include "richtext/notetitle.h"
#include "../faultwarnings.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

#include <memory>

namespace {

// A note as the store sees it: its bytes, its record and an open window's edits.
class FakeNote : public NoteItem
{
public:
    explicit FakeNote(const StoredNote &file)
        : m_fileName(file.fileName)
        , m_data(file.data)
        , m_idx(file.record)
    {}

    QByteArray noteData() const override { return m_data; }
    DocumentSnapshot noteSnapshot() const override
    {
        m_document.setPlainText(QString::fromUtf8(m_data));
        return DocumentSnapshot::take(m_document);
    }
    bool windowEdited() const override { return edited; }
    void setWindowStored() override { edited = false; }
    void setWindowUnstored() override { edited = true; }
    bool hasOpenWindow() const override { return edited; }
    bool unstoredChanges() const override { return edited; }
    QString fileName() const override { return m_fileName; }
    QByteArray fileData() const override { return m_data; }
    void forgetFileData() override { ++forgotten; }
    void readNote() override { read = true; }
    bool noteRead() const override { return read; }
    void reload(const QString &fileName, const QByteArray &data) override
    {
        m_fileName = fileName;
        m_data = data;
        ++reloaded;
    }
    QString caption() const override { return NoteTitleOfData(m_data); }
    QColor color() const override { return m_color; }
    void setNoteColor(const QColor &color) override { m_color = color; }
    int Idx() const override { return m_idx; }
    void setIdx(int idx) override { m_idx = idx; }
    bool SaveFormInfo(QString *) override { return true; }

    void type(const QByteArray &data)
    {
        m_data = data;
        edited = true;
    }

    bool edited = false;
    bool read = false;
    int forgotten = 0;
    int reloaded = 0;

private:
    QString m_fileName;
    QByteArray m_data;
    QColor m_color = Qt::yellow;
    int m_idx = 0;
    mutable QTextDocument m_document;
};

// A store over a temporary folder holding the given notes as files.
class StoreFixture
{
public:
    explicit StoreFixture(const QStringList &notes = {})
    {
        for (qsizetype i = 0; i < notes.size(); ++i)
            write(QString("QelNotes_%1.rtf").arg(i), notes.at(i).toUtf8());
        store = std::make_unique<NotesStore>(path(), path() + "QelNotes.ini", time);
        store->setClock([this] { return now; });
        watch = new FolderWatch;
        store->setFolderWatch(watch);
    }
    ~StoreFixture()
    {
        store.reset();
        qDeleteAll(made);
    }

    QString path() const { return folder.path() + u'/'; }
    void write(const QString &name, const QByteArray &data)
    {
        QFile file(path() + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
    QByteArray read(const QString &name) const
    {
        QFile file(path() + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }
    QStringList files(const QString &pattern) const
    {
        return QDir(path()).entryList({pattern}, QDir::Files, QDir::Name);
    }
    void load()
    {
        store->load([this](const StoredNote &file) {
            made.append(new FakeNote(file));
            return made.last();
        });
    }
    FakeNote *note(qsizetype index) const
    {
        return static_cast<FakeNote *>(store->notes().at(index));
    }
    SettingsFile ini() const { return SettingsFile(path() + "QelNotes.ini"); }
    QList<QByteArray> shown() const
    {
        QList<QByteArray> texts;
        for (NoteItem *note : store->notes())
            texts.append(note->noteData());
        return texts;
    }
    // The folder watch reports a change and the folder is quiet a moment later.
    void folderChanged()
    {
        Q_EMIT watch->changed();
        static_cast<ManualTimer *>(store->folderCheckTimer())->tick();
    }
    void tickAll() const
    {
        for (auto *timer : store->findChildren<ManualTimer *>())
            timer->tick();
    }

    QTemporaryDir folder;
    ManualTime time;
    QDateTime now{QDate(2026, 3, 10), QTime(12, 0)};
    std::unique_ptr<NotesStore> store;
    FolderWatch *watch = nullptr; // the store's
    QList<FakeNote *> made;
};

} // namespace

class TestNotesStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qRegisterMetaType<NoteItem *>(); }
    void init() { failOnFaultWarnings(); }

    void movedNotesTakeTheirRecordsAlong()
    {
        StoreFixture fixture({"first", "second", "third"});
        SettingsFile ini = fixture.ini();
        for (int record = 1; record <= 3; ++record)
            QVERIFY(ini.writeInteger(NoteItem::recordName(record), "Color", record * 100));
        fixture.load();
        QSignalSpy changed(fixture.store.get(), &NotesStore::listChanged);
        fixture.store->move(0, 2);
        QCOMPARE(changed.count(), 1);

        QString error;
        QVERIFY2(fixture.store->store(&error), qPrintable(error));
        QCOMPARE(fixture.read("QelNotes_0.rtf"), "second");
        QCOMPARE(fixture.read("QelNotes_2.rtf"), "first");
        const SettingsFile after = fixture.ini();
        QCOMPARE(after.readInteger("Note_1", "Color", 0), 200);
        QCOMPARE(after.readInteger("Note_3", "Color", 0), 100);
        QCOMPARE(fixture.note(2)->Idx(), 3);
    }

    void notesAreReadOnePerTickAfterLoad()
    {
        StoreFixture fixture({"a", "b"});
        fixture.load();
        QVERIFY(!fixture.note(0)->read && !fixture.note(1)->read);
        fixture.tickAll();
        QVERIFY(fixture.note(0)->read && !fixture.note(1)->read);
        fixture.tickAll();
        fixture.tickAll();
        QVERIFY(fixture.note(1)->read);
    }

    void deletedNoteIsKeptAndComesBack()
    {
        StoreFixture fixture({"keep", "gone\nsecond line", "last"});
        fixture.load();
        fixture.note(1)->setNoteColor(QColor("#80ff40"));
        QVERIFY(fixture.store->remove(fixture.note(1)));
        QVERIFY(!fixture.store->remove(fixture.made.at(1)));
        QString error;
        QVERIFY2(fixture.store->store(&error), qPrintable(error));
        QCOMPARE(fixture.files("QelNotes_?.rtf"),
                 QStringList({"QelNotes_0.rtf", "QelNotes_1.rtf"}));
        QCOMPARE(fixture.files("QelNotes_deleted_*"),
                 QStringList{"QelNotes_deleted_20260310-120000_80ff40.rtf"});

        const QList<DeletedNote> deleted = fixture.store->deletedNotes();
        QCOMPARE(deleted.size(), 1);
        QCOMPARE(deleted.first().title, "gone..");
        QCOMPARE(deleted.first().color, QColor("#80ff40"));
        QCOMPARE(deleted.first().deleted, fixture.now);

        QVERIFY2(fixture.store->restore(deleted.first(), &error), qPrintable(error));
        QCOMPARE(fixture.store->notes().size(), 3);
        QVERIFY(fixture.store->deletedNotes().isEmpty());
        // The kept copy stays until the note is stored under its number.
        QCOMPARE(fixture.files("QelNotes_deleted_*").size(), 1);
        QVERIFY2(fixture.store->store(&error), qPrintable(error));
        QCOMPARE(fixture.read("QelNotes_2.rtf"), "gone\nsecond line");
        QCOMPARE(fixture.ini().readInteger("Note_3", "Color", 0),
                 ColorValue::fromColor(QColor("#80ff40")));
        QVERIFY(fixture.files("QelNotes_deleted_*").isEmpty());
    }

    void deletionsInOneSecondKeepEveryCopy()
    {
        StoreFixture fixture({"one", "two"});
        fixture.load();
        QVERIFY(fixture.store->remove(fixture.note(0)));
        QVERIFY(fixture.store->remove(fixture.note(0)));
        QCOMPARE(fixture.files("QelNotes_deleted_*").size(), 2);
        QStringList titles;
        for (const DeletedNote &note : fixture.store->deletedNotes())
            titles << note.title;
        titles.sort();
        QCOMPARE(titles, QStringList({"one..", "two.."}));
    }

    void oldDeletedCopiesGoAtLoad_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("kept");
        QTest::newRow("31 days") << "QelNotes_deleted_20260207-115959_ffff00.rtf" << false;
        QTest::newRow("29 days") << "QelNotes_deleted_20260209-120000_ffff00.rtf" << true;
        QTest::newRow("not ours") << "QelNotes_deleted_old.rtf" << true;
        QTest::newRow("other kind") << "QelNotes_damaged_0_20250101-000000.rtf" << true;
    }
    void oldDeletedCopiesGoAtLoad()
    {
        QFETCH(QString, name);
        QFETCH(bool, kept);
        StoreFixture fixture;
        fixture.write(name, "text");
        fixture.load();
        QCOMPARE(QFile::exists(fixture.path() + name), kept);
    }

    void periodicSaveWritesEditedNoteOrStoresAll()
    {
        StoreFixture fixture({"a", "b"});
        fixture.load();
        fixture.note(1)->type("b typed");
        fixture.store->saveEdited();
        fixture.store->waitForPendingSave();
        QVERIFY(fixture.read("QelNotes_1.rtf").contains("b typed"));
        QVERIFY(!fixture.note(1)->edited);

        // Once the list no longer matches the files, only a full store is safe.
        fixture.store->move(1, 0);
        fixture.note(0)->type("moved");
        static_cast<ManualTimer *>(fixture.store->saveTimer())->tick();
        QCOMPARE(fixture.read("QelNotes_0.rtf"), "moved");
        QCOMPARE(fixture.read("QelNotes_1.rtf"), "a");
    }

    // While the program runs, a sync tool brings a note added on the other
    // machine and a conflict copy, and a note's own save keeps the text
    // another program wrote over its file: all three appear on the board,
    // the user is told, and the next store takes them into the series.
    void notesFromOutsideAppearWhileRunning()
    {
        StoreFixture fixture({"a", "b"});
        FolderWatch *watch = fixture.watch;
        fixture.load();
        QSignalSpy told(fixture.store.get(), &NotesStore::message);
        fixture.write("QelNotes_2.rtf", "c from the other machine");
        fixture.write("QelNotes_0.sync-conflict-20261211-101010-XYZ.rtf", "a on the other machine");
        fixture.write("QelNotes_1.rtf", "b rewritten outside");
        fixture.note(1)->type("b typed here");
        fixture.store->saveEdited();
        fixture.store->waitForPendingSave();
        QVERIFY(fixture.read("QelNotes_1.rtf").contains("b typed here"));

        Q_EMIT watch->changed();
        QCOMPARE(fixture.store->notes().size(), 2); // not before the folder is quiet
        static_cast<ManualTimer *>(fixture.store->folderCheckTimer())->tick();
        QList<QByteArray> shown;
        for (NoteItem *note : fixture.store->notes())
            shown.append(note->noteData());
        QCOMPARE(shown, (QList<QByteArray>{"a", "b typed here", "c from the other machine",
                                           "a on the other machine", "b rewritten outside"}));
        QCoreApplication::sendPostedEvents();
        QCOMPARE(told.count(), 1);
        const QString message = told.first().first().toString();
        QVERIFY2(message.contains("QelNotes_2.rtf") && message.contains("sync-conflict")
                     && message.contains("QelNotes_conflict_1_"),
                 qPrintable(message));

        // Nothing new the second time; the store puts them in the series.
        Q_EMIT watch->changed();
        static_cast<ManualTimer *>(fixture.store->folderCheckTimer())->tick();
        QCOMPARE(fixture.store->notes().size(), 5);
        QString error;
        QVERIFY2(fixture.store->store(&error), qPrintable(error));
        QCOMPARE(fixture.files("QelNotes_*"),
                 (QStringList{"QelNotes_0.rtf", "QelNotes_1.rtf", "QelNotes_2.rtf",
                              "QelNotes_3.rtf", "QelNotes_4.rtf"}));
        QCOMPARE(fixture.read("QelNotes_4.rtf"), "b rewritten outside");
    }

    void outsideChangeWhileRunning_data()
    {
        QTest::addColumn<QString>("outside"); // what another program does to the files of a, b, c
        QTest::addColumn<bool>("typedHere");  // b has changes made here, not yet saved
        QTest::addColumn<QByteArrayList>("shown");
        QTest::addColumn<int>("reloaded");
        QTest::addColumn<int>("dropped");
        QTest::addColumn<QByteArrayList>("keptDeleted");
        QTest::addColumn<QString>("told"); // part of what the user is told; empty: nothing

        QTest::newRow("rewritten") << "rewrite b" << false << QByteArrayList{"a", "b'", "c"} << 1
                                   << 0 << QByteArrayList{} << "";
        QTest::newRow("rewritten, typed here")
            << "rewrite b" << true << QByteArrayList{"a", "b here", "c", "b'"} << 0 << 0
            << QByteArrayList{} << "QelNotes_conflict_1_";
        QTest::newRow("deleted") << "delete b" << false << QByteArrayList{"a", "c"} << 0 << 1
                                 << QByteArrayList{"b"} << "Restore Deleted Note";
        QTest::newRow("deleted, typed here")
            << "delete b" << true << QByteArrayList{"a", "b here", "c"} << 0 << 0
            << QByteArrayList{} << "QelNotes_1.rtf was removed";
        // The other machine deleted b: c moved down to file 1, file 2 went,
        // and its kept copy of b came along.
        QTest::newRow("deleted on a peer") << "peer deletes b" << false << QByteArrayList{"a", "c"}
                                           << 1 << 1 << QByteArrayList{"b"} << "\"c..\"";
    }

    // While the program runs, another program rewrites or deletes the file
    // of note b. A note unchanged here follows the file; one with changes
    // made here keeps them and the other side's text is kept too. The next
    // start shows the same notes.
    void outsideChangeWhileRunning()
    {
        QFETCH(QString, outside);
        QFETCH(bool, typedHere);
        QFETCH(QByteArrayList, shown);
        QFETCH(int, reloaded);
        QFETCH(int, dropped);
        QFETCH(QByteArrayList, keptDeleted);
        QFETCH(QString, told);
        StoreFixture fixture({"a", "b", "c"});
        fixture.load();
        QSignalSpy changed(fixture.store.get(), &NotesStore::noteChanged);
        QSignalSpy droppedNotes(fixture.store.get(), &NotesStore::noteDropped);
        QSignalSpy messages(fixture.store.get(), &NotesStore::message);
        if (typedHere)
            fixture.note(1)->type("b here");
        if (outside == "rewrite b") {
            fixture.write("QelNotes_1.rtf", "b'");
        } else if (outside == "delete b") {
            QVERIFY(QFile::remove(fixture.path() + "QelNotes_1.rtf"));
        } else {
            fixture.write("QelNotes_deleted_20260310-115500_ffff00.rtf", "b");
            fixture.write("QelNotes_1.rtf", "c");
            QVERIFY(QFile::remove(fixture.path() + "QelNotes_2.rtf"));
        }

        fixture.folderChanged();
        // The periodic save writes what was typed; its own write is no outside change.
        fixture.store->saveEdited();
        fixture.folderChanged();
        fixture.folderChanged();
        QCOMPARE(fixture.shown(), shown);
        int reloads = 0;
        for (FakeNote *note : std::as_const(fixture.made))
            reloads += note->reloaded;
        QCOMPARE(reloads, reloaded);
        QCOMPARE(changed.count(), reloaded);
        QCOMPARE(droppedNotes.count(), dropped);
        QByteArrayList deleted;
        for (const DeletedNote &note : fixture.store->deletedNotes())
            deleted.append(fixture.read(QFileInfo(note.fileName).fileName()));
        QCOMPARE(deleted, keptDeleted);
        QCoreApplication::sendPostedEvents();
        const QString messageText
            = messages.isEmpty() ? QString() : messages.first().first().toString();
        QCOMPARE(messages.size(), told.isEmpty() ? 0 : 1);
        QVERIFY2(messageText.contains(told), qPrintable(messageText));

        QString error;
        QVERIFY2(fixture.store->store(&error), qPrintable(error));
        QCoreApplication::sendPostedEvents();
        QCOMPARE(messages.size(), told.isEmpty() ? 0 : 1); // told once
        QByteArrayList nextStart;
        for (const StoredNote &note : NoteStorage(fixture.path()).load().notes)
            nextStart.append(note.data);
        QCOMPARE(nextStart, shown);
    }

    // A kept deleted note that is a link (a sync peer may plant one to a
    // private file) is never restored into the notes.
    void linkedDeletedNoteIsNotRestored()
    {
        QTemporaryDir outside;
        const QString secret = outside.filePath("private");
        {
            QFile file(secret);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("private text");
        }
        StoreFixture fixture({"a"});
        QVERIFY(
            QFile::link(secret, fixture.path() + "QelNotes_deleted_20260310-110000_ffff00.rtf"));
        fixture.load();
        const QList<DeletedNote> deleted = fixture.store->deletedNotes();
        QCOMPARE(deleted.size(), 1);
        QString error;
        QVERIFY(!fixture.store->restore(deleted.first(), &error));
        QVERIFY2(error.contains("symbolic link"), qPrintable(error));
        QCOMPARE(fixture.store->notes().size(), 1);
    }

    void damagedNoteIsCopiedAndTold()
    {
        StoreFixture fixture({"{\\rtf1 half"});
        fixture.load();
        QSignalSpy told(fixture.store.get(), &NotesStore::message);
        fixture.store->noteDamaged(*fixture.note(0), "half", "cut short");
        QCOMPARE(fixture.note(0)->forgotten, 1);
        const QStringList copies = fixture.files("QelNotes_damaged_*");
        QCOMPARE(copies.size(), 1);
        QCOMPARE(fixture.read(copies.first()), "{\\rtf1 half");
        QCoreApplication::sendPostedEvents();
        QCOMPARE(told.count(), 1);
        QVERIFY(told.first().first().toString().contains(copies.first()));
    }
};

QTEST_MAIN(TestNotesStore)
#include "tst_notesstore.moc"
