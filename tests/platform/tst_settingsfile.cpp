#include "platform/settingsfile.h"

#include <QDateTime>
#include <QFileInfo>
#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include "filesizelimit.h"

class TestSettingsFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString fileWith(const QByteArray &contents)
    {
        const QString path = m_dir.filePath(QStringLiteral("QelNotes.ini"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(contents) < 0)
            qFatal("cannot write fixture");
        return path;
    }

    QByteArray contentsOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }

    void integers_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("decimal") << QByteArray("42") << 42;
        QTest::newRow("negative colour") << QByteArray("-16777192") << -16777192;
        QTest::newRow("plus sign") << QByteArray("+7") << 7;
        QTest::newRow("0x") << QByteArray("0x1F") << 31;
        QTest::newRow("0X lower digits") << QByteArray("0X1f") << 31;
        QTest::newRow("dollar") << QByteArray("$20") << 32;
        QTest::newRow("hex 32-bit pattern") << QByteArray("$FFFFFFFF") << -1;
        QTest::newRow("system colour in hex") << QByteArray("0xFF000018") << -16777192;
        QTest::newRow("blanks around") << QByteArray("  12  ") << 12;
        QTest::newRow("quoted") << QByteArray("\"5\"") << 5;
        QTest::newRow("text") << QByteArray("abc") << -99;
        QTest::newRow("empty") << QByteArray("") << -99;
        QTest::newRow("trailing text") << QByteArray("12abc") << -99;
        QTest::newRow("0x alone") << QByteArray("0x") << -99;
        QTest::newRow("dollar alone") << QByteArray("$") << -99;
        QTest::newRow("hex too wide") << QByteArray("$1FFFFFFFF") << -99;
        QTest::newRow("decimal too wide") << QByteArray("4294967296") << -99;
        QTest::newRow("fraction") << QByteArray("1.5") << -99;
    }

    void integers()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        const SettingsFile settings(fileWith("[Main]\nLeft=" + value + "\n"));
        QCOMPARE(settings.readInteger(QStringLiteral("Main"), QStringLiteral("Left"), -99),
                 expected);
    }

    void flags_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("defaultValue");
        QTest::addColumn<bool>("expected");
        QTest::newRow("1") << QByteArray("ShowHint=1") << false << true;
        QTest::newRow("0") << QByteArray("ShowHint=0") << true << false;
        QTest::newRow("2 is true") << QByteArray("ShowHint=2") << false << true;
        QTest::newRow("-1 is true") << QByteArray("ShowHint=-1") << false << true;
        QTest::newRow("text keeps default on") << QByteArray("ShowHint=yes") << true << true;
        QTest::newRow("text keeps default off") << QByteArray("ShowHint=yes") << false << false;
        QTest::newRow("missing") << QByteArray("Other=0") << true << true;
    }

    void flags()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, defaultValue);
        QFETCH(bool, expected);
        const SettingsFile settings(fileWith("[Main]\n" + line + "\n"));
        QCOMPARE(
            settings.readBool(QStringLiteral("Main"), QStringLiteral("ShowHint"), defaultValue),
            expected);
    }

    void namesIgnoreCaseAndSectionsStaySeparate()
    {
        const SettingsFile settings(fileWith("[NOTE_1]\ncolor=5\n[Note_2]\nColor=6\n"));
        QCOMPARE(settings.readInteger(QStringLiteral("Note_1"), QStringLiteral("Color"), 0), 5);
        QCOMPARE(settings.readInteger(QStringLiteral("note_2"), QStringLiteral("COLOR"), 0), 6);
        QCOMPARE(settings.readInteger(QStringLiteral("Note_3"), QStringLiteral("Color"), 7), 7);
    }

    void missingFileReadsDefaultsAndWriteCreatesIt()
    {
        const QString path = m_dir.filePath(QStringLiteral("fresh/none.ini"));
        SettingsFile settings(path);
        QCOMPARE(settings.readString(QStringLiteral("DM"), QStringLiteral("MasterPassword"),
                                     QStringLiteral("x")),
                 QStringLiteral("x"));
        QDir().mkpath(m_dir.filePath(QStringLiteral("fresh")));
        QVERIFY(settings.writeInteger(QStringLiteral("NotesMain"), QStringLiteral("Left"), -3));
        QVERIFY(settings.writeBool(QStringLiteral("NotesMain"), QStringLiteral("Top"), true));
        QCOMPARE(contentsOf(path), QByteArray("[NotesMain]\nLeft=-3\nTop=1\n"));
    }

    // A file from another editor: CR LF, comments, blanks, spaces around "=",
    // no final line end. Writing one key changes that line and nothing else.
    void foreignFileKeptIntact()
    {
        const QByteArray original = "; written by hand\r\n"
                                    "[Main]\r\n"
                                    "Left = 10\r\n"
                                    "  Top=20  \r\n"
                                    "\r\n"
                                    "[Note_1]\r\n"
                                    "Color=-16777192";
        const QString path = fileWith(original);
        SettingsFile settings(path);
        QCOMPARE(settings.readInteger(QStringLiteral("main"), QStringLiteral("left"), 0), 10);
        QCOMPARE(settings.readInteger(QStringLiteral("Main"), QStringLiteral("Top"), 0), 20);
        QCOMPARE(settings.readInteger(QStringLiteral("Note_1"), QStringLiteral("Color"), 0),
                 -16777192);

        QVERIFY(settings.writeInteger(QStringLiteral("MAIN"), QStringLiteral("top"), 25));
        QByteArray expected = original;
        expected.replace("  Top=20  ", "Top=25");
        QCOMPARE(contentsOf(path), expected);

        // A new key goes to the end of its section, before the blank line.
        QVERIFY(settings.writeInteger(QStringLiteral("Main"), QStringLiteral("Width"), 300));
        expected.replace("Top=25\r\n", "Top=25\r\nWidth=300\r\n");
        QCOMPARE(contentsOf(path), expected);

        // A new section is appended, the last line getting its line end.
        QVERIFY(settings.writeInteger(QStringLiteral("Note_2"), QStringLiteral("Left"), 1));
        expected += "\r\n[Note_2]\r\nLeft=1\r\n";
        QCOMPARE(contentsOf(path), expected);
    }

    // Storing a record that holds those values already leaves the file alone
    // (a thousand notes' records are stored at every close).
    void unchangedValuesRewriteNothing()
    {
        const QString path = fileWith("[Main]\r\nLeft=10\r\n[Note_1]\r\nColor=5\r\n");
        const QDateTime old = QDateTime::currentDateTime().addDays(-1);
        const auto age = [&path](const QDateTime &time) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
        };
        age(old);
        SettingsFile settings(path);
        QVERIFY(settings.writeInteger(QStringLiteral("Main"), QStringLiteral("Left"), 10));
        QVERIFY(settings.copySections({{QStringLiteral("Note_1"), QStringLiteral("Note_1")}}));
        QCOMPARE(QFileInfo(path).lastModified(), old);

        QVERIFY(settings.writeInteger(QStringLiteral("Main"), QStringLiteral("Left"), 11));
        QVERIFY(QFileInfo(path).lastModified() > old);
        QCOMPARE(settings.readInteger(QStringLiteral("Main"), QStringLiteral("Left"), 0), 11);
    }

    void legacyEncodingReadAndKept()
    {
        const QByteArray original = "[DM]\nMasterPassword=caf\xE9\x80\n[Main]\nLeft=1\n";
        const QString path = fileWith(original);
        SettingsFile settings(path);
        QCOMPARE(settings.readString(QStringLiteral("DM"), QStringLiteral("MasterPassword"), {}),
                 QStringLiteral("caf\u00E9\u20AC"));
        QVERIFY(settings.writeInteger(QStringLiteral("Main"), QStringLiteral("Left"), 2));
        QCOMPARE(contentsOf(path), QByteArray(original).replace("Left=1", "Left=2"));
    }

    void unicodeFileReadAndKept()
    {
        const QString text
            = QStringLiteral("[DM]\r\nMasterPassword=\u00FCber\r\n[Main]\r\nLeft=1\r\n");
        QStringEncoder encoder(QStringEncoder::Utf16LE);
        const QByteArray original = "\xFF\xFE" + QByteArray(encoder(text));
        const QString path = fileWith(original);
        SettingsFile settings(path);
        QCOMPARE(settings.readString(QStringLiteral("DM"), QStringLiteral("MasterPassword"), {}),
                 QStringLiteral("\u00FCber"));
        QVERIFY(settings.writeInteger(QStringLiteral("Main"), QStringLiteral("Left"), 2));
        QCOMPARE(contentsOf(path),
                 "\xFF\xFE" + QByteArray(encoder(QString(text).replace("Left=1", "Left=2"))));
    }

    void stringsRoundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("empty") << QString();
        QTest::newRow("plain") << QStringLiteral("secret word");
        QTest::newRow("outer blanks") << QStringLiteral("  padded ");
        QTest::newRow("outer quotes") << QStringLiteral("\"quoted\"");
        QTest::newRow("equals and brackets") << QStringLiteral("a=b [c]");
        QTest::newRow("non-Latin") << QStringLiteral("\u043F\u0430\u0440\u043E\u043B\u044C");
    }

    void stringsRoundTrip()
    {
        QFETCH(QString, value);
        SettingsFile settings(fileWith("[DM]\nMasterPassword=old\n"));
        QVERIFY(
            settings.writeString(QStringLiteral("DM"), QStringLiteral("MasterPassword"), value));
        QCOMPARE(settings.readString(QStringLiteral("DM"), QStringLiteral("MasterPassword"),
                                     QStringLiteral("default")),
                 value);
    }

    void longValuesAreCut()
    {
        const QByteArray value(3000, 'v');
        const SettingsFile settings(fileWith("[DM]\nMasterPassword=" + value + "\n"));
        QCOMPARE(settings.readString(QStringLiteral("DM"), QStringLiteral("MasterPassword"), {}),
                 QString(SettingsFile::MaxValueLength, u'v'));
    }

    void refusedWrite_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("reason"); // follows "Unable to write to <path>"
        const QString blocker = m_dir.filePath(QStringLiteral("blocker"));
        QTest::newRow("folder is a file") << blocker + QStringLiteral("/QelNotes.ini")
                                          << QStringLiteral("Left") << QStringLiteral("1") << "";
        QTest::newRow("file is a folder")
            << m_dir.path() << QStringLiteral("Left") << QStringLiteral("1")
            << ": it could not be read (it is a folder)";
        QTest::newRow("line break in value")
            << m_dir.filePath(QStringLiteral("ok.ini")) << QStringLiteral("Left")
            << QStringLiteral("1\n[X]") << "";
        QTest::newRow("equals in key") << m_dir.filePath(QStringLiteral("ok.ini"))
                                       << QStringLiteral("a=b") << QStringLiteral("1") << "";
    }

    void refusedWrite()
    {
        QFETCH(QString, path);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, reason);
        fileWith("");
        QFile::copy(m_dir.filePath(QStringLiteral("QelNotes.ini")),
                    m_dir.filePath(QStringLiteral("blocker")));
        SettingsFile settings(path);
        QVERIFY(!settings.writeString(QStringLiteral("Main"), key, value));
        QCOMPARE(settings.errorString(), QStringLiteral("Unable to write to ") + path + reason);
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("ok.ini"))));
    }

#ifdef Q_OS_UNIX
    void unreadableFileIsKept_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("fifo") << "fifo"
                              << "not a regular file";
        QTest::newRow("above the size limit") << "large"
                                              << "larger than 4 MB";
    }

    // A FIFO (opening it would wait for a writer forever) or a huge file in
    // place of the settings: reads give the defaults at once, and a write
    // says why it is refused instead of replacing the file with one key.
    void unreadableFileIsKept()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("QelNotes.ini"));
        if (kind == QStringLiteral("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[Main]\nLeft=5\n");
            QVERIFY(file.resize(5 * 1024 * 1024)); // sparse: takes no room
        }
        SettingsFile settings(path);
        QCOMPARE(settings.readInteger(QStringLiteral("Main"), QStringLiteral("Left"), -1), -1);
        QVERIFY(!settings.writeInteger(QStringLiteral("Main"), QStringLiteral("Left"), 2));
        QVERIFY2(settings.errorString().startsWith(QStringLiteral("Unable to write to ") + path)
                     && settings.errorString().contains(reason),
                 qPrintable(settings.errorString()));
        QCOMPARE(QFileInfo(path).size(), kind == QStringLiteral("fifo") ? 0 : 5 * 1024 * 1024);
    }
#endif

    // The disk takes the first bytes of the new file and refuses the rest:
    // the write fails and the old file stays whole.
    void fullDiskKeepsTheFile()
    {
        const QByteArray original = "[Note_1]\nColor=-16777192\n[Main]\nLeft=1\nTop=2\n";
        const QString path = fileWith(original);
        SettingsFile settings(path);
        bool written = true;
        {
            FileSizeLimit limit(original.size() - 10);
            if (!limit.isActive())
                QSKIP("no file size limit on this platform");
            written = settings.writeInteger(QStringLiteral("Main"), QStringLiteral("Left"), 123);
        }
        QVERIFY(!written);
        QCOMPARE(settings.errorString(), QStringLiteral("Unable to write to ") + path);
        QCOMPARE(contentsOf(path), original);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files).filter(QStringLiteral("QelNotes")),
                 QStringList{QStringLiteral("QelNotes.ini")});
    }

    void symbolicLinks_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("writable");
        QTest::newRow("into the same folder") << QStringLiteral("real.ini") << true;
        QTest::newRow("out of the folder") << QStringLiteral("../outside.ini") << false;
        QTest::newRow("dangling, out of the folder")
            << QStringLiteral("/nonexistent/x.ini") << false;
    }

    // A link is written through to a file beside it, never out of its folder.
    void symbolicLinks()
    {
        QFETCH(QString, target);
        QFETCH(bool, writable);
        QTemporaryDir outer;
        const QString folder = outer.filePath(QStringLiteral("data"));
        QVERIFY(QDir().mkpath(folder));
        const QString targetPath = QDir(folder).absoluteFilePath(target);
        {
            QFile file(targetPath);
            if (file.open(QIODevice::WriteOnly))
                file.write("[Main]\nLeft=1\n");
        }
        const QString link = folder + QStringLiteral("/QelNotes.ini");
        QVERIFY(QFile::link(target, link));

        SettingsFile settings(link);
        QCOMPARE(settings.writeInteger(QStringLiteral("Main"), QStringLiteral("Left"), 2),
                 writable);
        QVERIFY(QFileInfo(link).isSymLink());
        if (QFileInfo::exists(targetPath))
            QCOMPARE(contentsOf(targetPath),
                     writable ? QByteArray("[Main]\nLeft=2\n") : QByteArray("[Main]\nLeft=1\n"));
    }

    // Only the first of two sections of one name is read and written; the
    // second stays as it stands.
    void sectionGivenTwice()
    {
        const QByteArray original = "[Main]\nLeft=1\n[Other]\nx=1\n[main]\r\nLeft = 7\r\nTop=8\n";
        const QString path = fileWith(original);
        SettingsFile settings(path);
        QCOMPARE(settings.readInteger(QStringLiteral("Main"), QStringLiteral("Top"), -1), -1);
        QVERIFY(settings.writeInteger(QStringLiteral("Main"), QStringLiteral("Left"), 2));
        QVERIFY(settings.writeInteger(QStringLiteral("Main"), QStringLiteral("Top"), 3));
        QCOMPARE(contentsOf(path), QByteArray(original).replace("Left=1\n", "Left=2\nTop=3\n"));
        QCOMPARE(settings.readInteger(QStringLiteral("Main"), QStringLiteral("Left"), -1), 2);
    }

    // Records follow their notes: the second and third move down over the
    // first, a new fourth starts empty, a fifth is added; the rest stays.
    void copySections()
    {
        const QByteArray original = "; notes\n[Main]\nLeft=1\n[Note_1]\nColor=1\nLeft=10\n"
                                    "[note_2]\nColor=2\n\n[Note_3]\nColor=3\n[Note_4]\nColor=4\n"
                                    "[Note_1]\nColor=99";
        const QString path = fileWith(original);
        SettingsFile settings(path);
        QVERIFY(settings.copySections({{QStringLiteral("Note_2"), QStringLiteral("Note_1")},
                                       {QStringLiteral("Note_3"), QStringLiteral("Note_2")},
                                       {QString(), QStringLiteral("Note_4")},
                                       {QStringLiteral("Note_1"), QStringLiteral("Note_5")}}));
        QCOMPARE(contentsOf(path), QByteArray("; notes\n[Main]\nLeft=1\n[Note_1]\nColor=2\n\n"
                                              "[note_2]\nColor=3\n[Note_3]\nColor=3\n[Note_4]\n"
                                              "[Note_1]\nColor=99\n[Note_5]\nColor=1\nLeft=10\n"));
        QCOMPARE(settings.readInteger(QStringLiteral("Note_4"), QStringLiteral("Color"), -1), -1);
    }

    // The first section of a name wins however the sections are spelt: one
    // spelt outside ASCII (a Kelvin sign for "K") matches the name "key".
    void firstSectionOfMixedSpellings_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("section");
        QTest::addColumn<int>("expected");
        QTest::newRow("other spelling first") << QByteArray("[a]\nA=0\n[\xE2\x84\xAA"
                                                            "ey]\nA=1\n[KEY]\nA=2\n")
                                              << "key" << 1;
        QTest::newRow("ASCII spelling first") << QByteArray("[key]\nA=2\n[\xE2\x84\xAA"
                                                            "ey]\nA=1\n")
                                              << "KEY" << 2;
        QTest::newRow("name outside ASCII") << QByteArray("[k\xC3\xB6]\nA=0\n[K\xC3\x96]\nA=3\n")
                                            << QString::fromUtf8("K\u00F6") << 0;
        QTest::newRow("section without key, then the one with it")
            << QByteArray("[Main]\nB=1\n[main]\nA=4\n") << "Main" << -1;
        QTest::newRow("missing section") << QByteArray("[Main]\nA=4\n") << "Note_1" << -1;
    }

    void firstSectionOfMixedSpellings()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, section);
        QFETCH(int, expected);
        const SettingsFile settings(fileWith(contents));
        QCOMPARE(settings.readInteger(section, QStringLiteral("A"), -1), expected);
    }

    // Reads are answered from what was read before only while the file is
    // as it was: changes by other programs are seen at the next read, also
    // one of the same size in the same tick of the file system's clock, or
    // one that sets the modification time back.
    void changesByOthersAreSeen_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("same size at once") << "in place";
        QTest::newRow("modification time set back") << "time set back";
        QTest::newRow("replaced") << "replaced";
        QTest::newRow("deleted") << "deleted";
    }

    void changesByOthersAreSeen()
    {
        QFETCH(QString, change);
        const QString path = fileWith("[Main]\nLeft=1\n");
        QFile file(path);
        const QDateTime earlier = QDateTime::currentDateTime().addSecs(-3600);
        if (change == u"time set back") {
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(earlier, QFileDevice::FileModificationTime));
            file.close();
        }
        const SettingsFile settings(path);
        QCOMPARE(settings.readInteger(QStringLiteral("Main"), QStringLiteral("Left"), -1), 1);
        QCOMPARE(settings.readInteger(QStringLiteral("Main"), QStringLiteral("Left"), -1), 1);

        int expected = 2;
        if (change == u"deleted") {
            QVERIFY(file.remove());
            expected = -1;
        } else if (change == u"replaced") {
            const QString other = m_dir.filePath(QStringLiteral("other.ini"));
            QFile::remove(other);
            QFile replacement(other);
            QVERIFY(replacement.open(QIODevice::WriteOnly));
            replacement.write("[Main]\nLeft=2\n");
            replacement.close();
            QVERIFY(QFile::remove(path) && QFile::rename(other, path));
        } else {
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.seek(12));
            QCOMPARE(file.write("2"), 1);
            if (change == u"time set back")
                QVERIFY(file.setFileTime(earlier, QFileDevice::FileModificationTime));
            file.close();
        }
        QCOMPARE(settings.readInteger(QStringLiteral("Main"), QStringLiteral("Left"), -1),
                 expected);
        // Another instance sees it too, and a write keeps the change.
        SettingsFile writer(path);
        QVERIFY(writer.writeInteger(QStringLiteral("Main"), QStringLiteral("Top"), 5));
        QCOMPARE(settings.readInteger(QStringLiteral("Main"), QStringLiteral("Left"), -1),
                 expected);
        QCOMPARE(settings.readInteger(QStringLiteral("Main"), QStringLiteral("Top"), -1), 5);
    }
};

QTEST_APPLESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
