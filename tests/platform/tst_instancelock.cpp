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
        QElapsedTimer elapsed;
        elapsed.start();
        {
            InstanceLock second(folder.path());
            QCOMPARE(second.acquire(), InstanceLock::Result::HandedOver);
        }
        QVERIFY(elapsed.elapsed() < 1000);
        QCOMPARE(snapshot(folder.path()), before);
        QTRY_COMPARE(activations.size(), 1);
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
