#include "links/linktarget.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Which files a link opens and which only have their folder shown, decided
// by the file's name and content as the desktop's opener would see them.
class tst_LinkTarget : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void onlySafeDocumentsOpen_data();
    void onlySafeDocumentsOpen();

private:
    QTemporaryDir m_folder;
};

void tst_LinkTarget::initTestCase()
{
    QVERIFY(m_folder.isValid());
}

void tst_LinkTarget::onlySafeDocumentsOpen_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("runBit");
    QTest::addColumn<bool>("opens");

    const QByteArray text("Just some words.\n");
    const QByteArray zip("PK\x03\x04\x14\x00\x00\x00\x08\x00", 10);
    QTest::newRow("text") << "notes.txt" << text << false << true;
    QTest::newRow("text without a telling name") << "README" << text << false << true;
    QTest::newRow("markdown") << "notes.md" << text << false << true;
    QTest::newRow("PDF") << "report.pdf" << QByteArray("%PDF-1.4\n%\xE2\xE3\n") << false << true;
    QTest::newRow("picture") << "photo.png" << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)
                             << false << true;
    QTest::newRow("office document") << "letter.docx" << zip << false << true;
    QTest::newRow("spreadsheet") << "sums.ods" << zip << false << true;
    QTest::newRow("sound") << "song.ogg" << QByteArray("OggS\0\x02", 6) << false << true;

    QTest::newRow("Java launch file")
        << "app.jnlp" << QByteArray("<?xml version=\"1.0\"?>\n<jnlp spec=\"1.0+\"></jnlp>\n")
        << false << false;
    QTest::newRow("batch file") << "run.bat" << QByteArray("@echo off\r\ndel *.*\r\n") << false
                                << false;
    QTest::newRow("PowerShell script")
        << "run.ps1" << QByteArray("Remove-Item -Recurse ~\n") << false << false;
    QTest::newRow("internet shortcut")
        << "site.url" << QByteArray("[InternetShortcut]\r\nURL=file:///tmp/x.exe\r\n") << false
        << false;
    QTest::newRow("desktop launcher")
        << "app.desktop" << QByteArray("[Desktop Entry]\nType=Application\nExec=sh\n") << false
        << false;
    QTest::newRow("web page") << "page.html" << QByteArray("<html><script></script></html>")
                              << false << false;
    QTest::newRow("drawing that may hold scripts")
        << "drawing.svg" << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"/>") << false
        << false;
    QTest::newRow("archive") << "bundle.zip" << zip << false << false;
    QTest::newRow("unknown kind") << "data.qqq" << QByteArray("\x01\x02\x03", 3) << false << false;
    QTest::newRow("a launcher named like a document")
        << "report.pdf.pdf" << QByteArray("[Desktop Entry]\nType=Application\nExec=sh\n") << false
        << false;
    QTest::newRow("a script named like text")
        << "notes2.txt" << QByteArray("#!/bin/sh\nrm -rf ~\n") << false << false;
    QTest::newRow("a program named like a picture")
        << "photo2.png"
        << QByteArray("\x7F"
                      "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0",
                      16)
        << false << false;
    QTest::newRow("text with its run bit") << "notes3.txt" << text << true << false;
}

void tst_LinkTarget::onlySafeDocumentsOpen()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, runBit);
    QFETCH(bool, opens);
    const QString path = QDir(m_folder.path()).filePath(name);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    file.close();
    if (runBit)
        QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner));

    // As a path and as a file URL, the same.
    for (const QString &token : {path, QUrl::fromLocalFile(path).toString()}) {
        const LinkTarget target = LinkTarget::resolve(token);
        if (opens) {
            QCOMPARE(target.kind, LinkTarget::Kind::Open);
            QCOMPARE(target.url, QUrl::fromLocalFile(path));
        } else {
            QCOMPARE(target.kind, LinkTarget::Kind::ShowInFolder);
            QCOMPARE(target.path, path);
        }
    }
}

QTEST_APPLESS_MAIN(tst_LinkTarget)
#include "tst_linktarget.moc"
