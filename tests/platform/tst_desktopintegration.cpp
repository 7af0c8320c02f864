#include "platform/datafolder.h"
#include "platform/debugout.h"
#include "platform/desktopshortcut.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// The data folder and the launchers: both depend on where the user's folders
// are, which the tests point into a temporary home.
class TestDesktopIntegration : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;

    QString contentsOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    // The desktop's own checker passes the launcher without a word.
    void validate(const QString &path)
    {
        QProcess checker;
        checker.setProcessChannelMode(QProcess::MergedChannels);
        checker.start(QStringLiteral("desktop-file-validate"), {path});
        QVERIFY2(checker.waitForFinished(), "desktop-file-validate did not run");
        const QByteArray said = checker.readAll();
        QVERIFY2(checker.exitCode() == 0 && said.trimmed().isEmpty(), said.constData());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
        QCoreApplication::setApplicationName(QStringLiteral("QelNotes"));
        QCoreApplication::setOrganizationName(QString());
    }

    void writableProgramFolderIsTheDataFolder()
    {
        const QString program = m_home.filePath(QStringLiteral("program"));
        QVERIFY(QDir().mkpath(program));
        QCOMPARE(resolveDataFolder(program), program + u'/');
    }

    // Where nothing can be written, the user's data folder takes over and is
    // made on the spot. A path below a plain file stands for a read-only
    // folder also when the tests run as the superuser.
    void unwritableProgramFolderFallsBackToUserFolder()
    {
        QFile plain(m_home.filePath(QStringLiteral("plain")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QVERIFY(user.startsWith(m_home.path()));
        QVERIFY(!QFileInfo::exists(user));

        QCOMPARE(resolveDataFolder(plain.fileName() + QStringLiteral("/bin")), user + u'/');
        QVERIFY(QFileInfo(user).isDir());
    }

    // /usr/bin is writable to the superuser, ~/.local/bin to its owner: an
    // installed copy still keeps its notes in the user's data folder.
    void installedProgramKeepsNotesInUserFolder()
    {
        const QString bin = m_home.filePath(QStringLiteral("prefix/bin"));
        QVERIFY(QDir().mkpath(bin));
        const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QCOMPARE(resolveDataFolder(bin), user + u'/');
        QCOMPARE(resolveDataFolder(bin + u'/'), user + u'/');
    }

    void testingOverride()
    {
        setDataFolderForTesting(m_home.path());
        QCOMPARE(DataFolder(), m_home.path() + u'/');
        QVERIFY(DataFolderIsWritable());
        setDataFolderForTesting(QString());
    }

    void debugOutputReachesTheDebugChannel()
    {
        QTest::ignoreMessage(QtDebugMsg, "replaced: 12.000000000");
        DebugOut(QStringLiteral("replaced: 12.000000000"));
    }

    void toggleTwice_data()
    {
        QTest::addColumn<ShortcutFolder>("folder");
        QTest::addColumn<QString>("expectedPath");
        QTest::newRow("startup") << ShortcutFolder::Startup
                                 << m_home.filePath(
                                        QStringLiteral("config/autostart/QelNotes.desktop"));
        QTest::newRow("desktop") << ShortcutFolder::Desktop
                                 << m_home.filePath(QStringLiteral("Desktop/QelNotes.desktop"));
    }

    void toggleTwice()
    {
        QFETCH(ShortcutFolder, folder);
        QFETCH(QString, expectedPath);
        const QString name = QStringLiteral("QelNotes");
        const QString program = QStringLiteral("/opt/Qel Notes/bin/qelnotes");
        QCOMPARE(ShortcutPath(name, folder), expectedPath);
        QVERIFY(!ShortcutExists(name, folder));

        ToggleShortcut(program, name, ShortcutDescription(), folder);
        QVERIFY(ShortcutExists(name, folder));
        const QString entry = contentsOf(expectedPath);
        QVERIFY(entry.startsWith(QStringLiteral("[Desktop Entry]\n")));
        QVERIFY(entry.contains(QStringLiteral("\nType=Application\n")));
        QVERIFY(entry.contains(QStringLiteral("\nName=QelNotes\n")));
        QVERIFY(entry.contains(QStringLiteral("\nExec=\"/opt/Qel Notes/bin/qelnotes\"\n")));
        QVERIFY(entry.contains(QStringLiteral("\nPath=/opt/Qel Notes/bin/\n")));
        QVERIFY(entry.contains(QStringLiteral("\nComment=Qel Notes\\nhttps://")));
        QVERIFY(entry.contains(QStringLiteral("\nIcon=qelnotes\n")));
        QVERIFY(QFileInfo(expectedPath).isExecutable());
        validate(expectedPath);

        ToggleShortcut(program, name, ShortcutDescription(), folder);
        QVERIFY(!ShortcutExists(name, folder));
        QVERIFY(!QFileInfo::exists(expectedPath));
    }

    // A launcher put there by hand shows as present, and toggling deletes it.
    void handMadeLauncherIsDeleted()
    {
        const QString path = ShortcutPath(QStringLiteral("QelNotes"), ShortcutFolder::Startup);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(ShortcutExists(QStringLiteral("QelNotes"), ShortcutFolder::Startup));
        ToggleShortcut(QStringLiteral("/usr/bin/qelnotes"), QStringLiteral("QelNotes"),
                       ShortcutDescription(), ShortcutFolder::Startup);
        QVERIFY(!QFileInfo::exists(path));
    }

    void execLineEscapes()
    {
        const QString program = QStringLiteral("/home/u/50% \"odd\"$/qelnotes");
        ToggleShortcut(program, QStringLiteral("Odd"), ShortcutDescription(),
                       ShortcutFolder::Desktop);
        const QString entry
            = contentsOf(ShortcutPath(QStringLiteral("Odd"), ShortcutFolder::Desktop));
        // Quoted, with '"' and '$' escaped for the Exec rules and every
        // backslash doubled again for the string rules; '%' doubled.
        QVERIFY2(entry.contains(
                     QStringLiteral("\nExec=\"/home/u/50%% \\\\\"odd\\\\\"\\\\$/qelnotes\"\n")),
                 qPrintable(entry));
        validate(ShortcutPath(QStringLiteral("Odd"), ShortcutFolder::Desktop));
    }
};

QTEST_GUILESS_MAIN(TestDesktopIntegration)
#include "tst_desktopintegration.moc"
