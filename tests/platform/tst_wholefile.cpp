#include "platform/wholefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

// Reading a file the way every file of the program is read: whatever sits at
// the path, the call returns at once, with the bytes of a regular file within
// the limit or a reason.
class TestWholeFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QFile file(path("note.rtf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\\rtf1 hello}");
        file.close();
        QVERIFY(QDir().mkdir(path("folder")));
        QVERIFY(QFile::link(path("note.rtf"), path("link.rtf")));
        QVERIFY(QFile::link(path("missing.rtf"), path("dangling.rtf")));
#ifdef Q_OS_UNIX
        QCOMPARE(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
        QVERIFY(QFile::link(path("fifo"), path("fifolink.rtf")));
#endif
    }

    void read_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<bool>("refuseLinks");
        QTest::addColumn<QByteArray>("expected"); // empty: refused
        QTest::addColumn<QString>("reason");

        const QByteArray text = "{\\rtf1 hello}";
        const qint64 size = text.size();
        QTest::newRow("regular file") << "note.rtf" << size << false << text << "";
        QTest::newRow("one byte over the limit")
            << "note.rtf" << size - 1 << false << QByteArray() << "larger than 12 bytes";
        QTest::newRow("link followed") << "link.rtf" << size << false << text << "";
        QTest::newRow("link refused")
            << "link.rtf" << size << true << QByteArray() << "symbolic link";
        QTest::newRow("dangling link refused")
            << "dangling.rtf" << size << true << QByteArray() << "symbolic link";
        QTest::newRow("missing") << "missing.rtf" << size << false << QByteArray()
                                 << "No such file";
        QTest::newRow("folder") << "folder" << size << false << QByteArray() << "it is a folder";
#ifdef Q_OS_UNIX
        // Opening a FIFO for reading would wait for a writer forever.
        QTest::newRow("fifo") << "fifo" << size << false << QByteArray() << "not a regular file";
        QTest::newRow("link to a fifo")
            << "fifolink.rtf" << size << false << QByteArray() << "not a regular file";
        QTest::newRow("device") << "/dev/zero" << size << false << QByteArray()
                                << "not a regular file";
#endif
    }

    void read()
    {
        QFETCH(QString, name);
        QFETCH(qint64, limit);
        QFETCH(bool, refuseLinks);
        QFETCH(QByteArray, expected);
        QFETCH(QString, reason);

        QString error;
        const std::optional<QByteArray> data
            = readWholeFile(name.startsWith(u'/') ? name : path(name), limit, &error,
                            refuseLinks ? FileLinks::Refuse : FileLinks::Follow);
        if (expected.isEmpty()) {
            QVERIFY(!data);
            QVERIFY2(error.contains(reason), qPrintable(error));
        } else {
            QVERIFY2(data, qPrintable(error));
            QCOMPARE(*data, expected);
        }
    }

    // A file is read to its end, not to the size it had when opened, and a
    // large one in full: nothing is cut at a buffer's size.
    void readsLargeFileWhole()
    {
        QByteArray big(300'000, 'x');
        for (qsizetype i = 0; i < big.size(); i += 997)
            big[i] = char('a' + i % 26);
        QString error;
        QVERIFY(writeWholeFile(path("big"), big, &error));
        QCOMPARE(readWholeFile(path("big"), big.size(), &error).value_or("<refused>"), big);
        QVERIFY(!readWholeFile(path("big"), big.size() - 1, &error));
#ifdef Q_OS_LINUX
        // A file whose size the system tells as 0 until it is read.
        const std::optional<QByteArray> status
            = readWholeFile(QStringLiteral("/proc/self/status"), 1 << 20, &error);
        QVERIFY2(status, qPrintable(error));
        QVERIFY(status->startsWith("Name:") && status->endsWith('\n'));
#endif
    }

    // The bytes are kept as they were read, by thousands of notes at once:
    // no block of reserve may stay behind each of them.
    void keepsNoReserve()
    {
        QString error;
        const std::optional<QByteArray> data = readWholeFile(path("note.rtf"), 1000, &error);
        QVERIFY2(data, qPrintable(error));
        QVERIFY2(data->capacity() < data->size() + 64,
                 qPrintable(QString::number(data->capacity())));
    }
};

QTEST_APPLESS_MAIN(TestWholeFile)
#include "tst_wholefile.moc"
