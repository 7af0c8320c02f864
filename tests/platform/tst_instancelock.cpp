#include "platform/instancelock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include "filesizelimit.h"

class TestInstanceLock : public QObject
{
    Q_OBJECT

private:
    // Names, sizes and times of everything in a folder.
    static QStringList snapshot(const QString &folder)
    {
        QStringList entries;
        const QFileInfoList infos
            = QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QFileInfo &info : infos) {
            entries << info.fileName() + u' ' + QString::number(info.size()) + u' '
                           + info.lastModified().toString(Qt::ISODateWithMs);
        }
        return entries;
    }

private Q_SLOTS:
    void secondCopyHandsOverWithoutTouchingFiles()
    {
        QTemporaryDir folder;
        InstanceLock first(folder.path());
        QCOMPARE(first.acquire(), InstanceLock::Result::Acquired);
        QSignalSpy activations(&first, &InstanceLock::activationRequested);

        const QStringList before = snapshot(folder.path());
        int pauses = 0;
        {
            // A listening owner is reached at the first attempt, with no wait.
            InstanceLock second(folder.path());
            second.setPause([&](std::chrono::milliseconds) { ++pauses; });
            QCOMPARE(second.acquire(), InstanceLock::Result::HandedOver);
        }
        QCOMPARE(pauses, 0);
        QCOMPARE(snapshot(folder.path()), before);
        QTRY_COMPARE(activations.size(), 1);
    }

    // What the later copy was started for reaches the owner as such, one
    // request per start.
    void requestsReachTheOwner()
    {
        QTemporaryDir folder;
        InstanceLock owner(folder.path());
        QCOMPARE(owner.acquire(), InstanceLock::Result::Acquired);
        QSignalSpy requests(&owner, &InstanceLock::activationRequested);
        const QList<InstanceLock::Request> sent{InstanceLock::Request::NewNote,
                                                InstanceLock::Request::ShowBoard,
                                                InstanceLock::Request::Show};
        for (InstanceLock::Request request : sent) {
            InstanceLock later(folder.path());
            QCOMPARE(later.acquire(request), InstanceLock::Result::HandedOver);
            QTRY_COMPARE(requests.size(), sent.indexOf(request) + 1);
        }
        QCOMPARE(requests.size(), sent.size());
        for (qsizetype i = 0; i < sent.size(); ++i)
            QCOMPARE(requests.at(i).at(0).value<InstanceLock::Request>(), sent.at(i));
    }

    // The owner holds the lock and is not listening yet (two copies started at
    // the same moment); after some pauses of the later copy it listens, ends,
    // or stays deaf.
    void laterCopyRetriesForAboutASecond_data()
    {
        QTest::addColumn<int>("changeAfterPauses");
        QTest::addColumn<bool>("ownerListens");
        QTest::addColumn<InstanceLock::Result>("expected");
        QTest::addColumn<int>("activations");
        QTest::newRow("owner starts listening")
            << 3 << true << InstanceLock::Result::HandedOver << 1;
        QTest::newRow("owner ends") << 1 << false << InstanceLock::Result::Acquired << 0;
        QTest::newRow("owner never listens") << -1 << true << InstanceLock::Result::Refused << 0;
    }

    void laterCopyRetriesForAboutASecond()
    {
        QFETCH(int, changeAfterPauses);
        QFETCH(bool, ownerListens);
        QFETCH(InstanceLock::Result, expected);
        QFETCH(int, activations);

        QTemporaryDir folder;
        auto locked = std::make_unique<QLockFile>(folder.filePath(InstanceLock::lockFileName()));
        QVERIFY(locked->tryLock(0));
        InstanceLock owner(folder.path());
        QSignalSpy requests(&owner, &InstanceLock::activationRequested);

        InstanceLock later(folder.path());
        int pauses = 0;
        std::chrono::milliseconds paused{0};
        later.setPause([&](std::chrono::milliseconds pause) {
            paused += pause;
            if (++pauses != changeAfterPauses)
                return;
            locked.reset();
            if (ownerListens)
                QCOMPARE(owner.acquire(), InstanceLock::Result::Acquired);
        });
        QCOMPARE(later.acquire(), expected);
        if (changeAfterPauses < 0) {
            QVERIFY(paused >= std::chrono::milliseconds(900));
            QVERIFY(paused <= std::chrono::milliseconds(1100));
        } else {
            QCOMPARE(pauses, changeAfterPauses);
        }
        QTRY_COMPARE(requests.size(), activations);
    }

    void differentFoldersDoNotMeet()
    {
        QTemporaryDir one;
        QTemporaryDir two;
        InstanceLock first(one.path());
        InstanceLock second(two.path());
        QCOMPARE(first.acquire(), InstanceLock::Result::Acquired);
        QCOMPARE(second.acquire(), InstanceLock::Result::Acquired);
    }

    void lockIsFreedWhenTheOwnerEnds()
    {
        QTemporaryDir folder;
        {
            InstanceLock first(folder.path());
            QCOMPARE(first.acquire(), InstanceLock::Result::Acquired);
        }
        InstanceLock next(folder.path());
        QCOMPARE(next.acquire(), InstanceLock::Result::Acquired);
    }

    // A copy killed without cleaning up leaves its lock file and its socket;
    // the lock names a process that no longer runs and never blocks.
    void staleLockOfKilledCopyIsTakenOver()
    {
        QTemporaryDir folder;
        QProcess gone;
        gone.start(QStringLiteral("true"), {});
        QVERIFY(gone.waitForStarted());
        const qint64 deadPid = gone.processId();
        QVERIFY(gone.waitForFinished());
        const QString path = folder.filePath(InstanceLock::lockFileName());
        QByteArray contents;
        {
            // A lock file in the real format, then its owner replaced.
            QLockFile real(path);
            QVERIFY(real.tryLock(0));
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            contents = file.readAll();
        }
        contents = QByteArray::number(deadPid) + contents.mid(contents.indexOf('\n'));
        QFile lock(path);
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(contents);
        lock.close();

        InstanceLock next(folder.path());
        QCOMPARE(next.acquire(), InstanceLock::Result::Acquired);
    }

    // No lock file can be made (the disk is full): the first copy owns the
    // folder through its socket and later ones hand over to it.
    void fullDiskStillKeepsOneCopy()
    {
        QTemporaryDir folder;
        InstanceLock first(folder.path());
        {
            FileSizeLimit full(0);
            if (!full.isActive())
                QSKIP("no file size limit on this platform");
            QCOMPARE(first.acquire(), InstanceLock::Result::Failed);
            QVERIFY(first.errorString().contains(InstanceLock::lockFileName()));
            QSignalSpy activations(&first, &InstanceLock::activationRequested);
            InstanceLock second(folder.path());
            second.setPause([](std::chrono::milliseconds) {});
            QCOMPARE(second.acquire(), InstanceLock::Result::HandedOver);
            QTRY_COMPARE(activations.size(), 1);
        }
        QVERIFY(!QFileInfo::exists(folder.filePath(InstanceLock::lockFileName())));
    }

    void unusableFolderFails()
    {
        QTemporaryDir folder;
        InstanceLock lock(folder.filePath(QStringLiteral("missing/deeper")));
        QCOMPARE(lock.acquire(), InstanceLock::Result::Failed);
        QVERIFY(lock.errorString().contains(InstanceLock::lockFileName()));
    }
};

QTEST_GUILESS_MAIN(TestInstanceLock)
#include "tst_instancelock.moc"
