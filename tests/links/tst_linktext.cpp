#include "links/linktarget.h"
#include "links/linktext.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_LinkText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void countLineFeeds_data();
    void countLineFeeds();
    void tokenAround_data();
    void tokenAround();
    void isMailAddress_data();
    void isMailAddress();
    void hasLinkPrefix_data();
    void hasLinkPrefix();
    void linkTarget_data();
    void linkTarget();

private:
    QString inFolder(QString text) const { return text.replace(u"%dir%"_qs, m_folder.path()); }

    QTemporaryDir m_folder;
};

void tst_LinkText::initTestCase()
{
    QVERIFY(m_folder.isValid());
    QDir folder(m_folder.path());
    QVERIFY(folder.mkdir(u"Folder"_qs));
    const auto write
        = [&](const QString &name, const QByteArray &content, QFile::Permissions permissions) {
              QFile file(folder.filePath(name));
              QVERIFY(file.open(QIODevice::WriteOnly));
              file.write(content);
              file.close();
              QVERIFY(file.setPermissions(permissions));
          };
    const QFile::Permissions readable = QFile::ReadOwner | QFile::WriteOwner;
    write(u"Plain.txt"_qs, "text\n", readable);
    write(u"run.sh"_qs, "#!/bin/sh\necho\n", readable | QFile::ExeOwner | QFile::ExeUser);
    write(u"script.txt"_qs, "#!/bin/sh\necho\n", readable | QFile::ExeOwner | QFile::ExeUser);
    write(u"app.desktop"_qs, "[Desktop Entry]\nType=Application\nExec=xterm\n", readable);
    write(u"tool.exe"_qs, "MZ\x90", readable);
}

void tst_LinkText::countLineFeeds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << QString() << 5 << 0;
    QTest::newRow("n 1") << u"\r\n\r\n"_qs << 1 << 0;
    QTest::newRow("n 0") << u"\r\n\r\n"_qs << 0 << 0;
    // The first n - 1 characters only.
    QTest::newRow("before the LF") << u"a\r\nb"_qs << 3 << 0;
    QTest::newRow("after the LF") << u"a\r\nb"_qs << 4 << 1;
    // n is limited to the length first, so the last character never counts.
    QTest::newRow("n beyond the text") << u"a\r\n"_qs << 100 << 0;
    QTest::newRow("two") << u"a\r\nb\r\nc"_qs << 7 << 2;
}

void tst_LinkText::countLineFeeds()
{
    QFETCH(QString, text);
    QFETCH(int, n);
    QFETCH(int, count);
    QCOMPARE(CountLineFeeds(text, n), count);
}

void tst_LinkText::tokenAround_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("p");
    QTest::addColumn<QString>("delimiters");
    QTest::addColumn<QString>("token");
    QTest::addColumn<int>("i");
    QTest::addColumn<int>("j");
    QTest::addColumn<int>("lf");
    QTest::newRow("empty text") << QString() << 1 << u" "_qs << QString() << 0 << 0 << 0;
    QTest::newRow("first word") << u"hello world"_qs << 3 << u" "_qs << u"hello"_qs << 0 << 6 << 0;
    QTest::newRow("last word") << u"hello world"_qs << 11 << u" "_qs << u"world"_qs << 6 << 12 << 0;
    QTest::newRow("blanks belong to a quoted token")
        << u"say \"/a b/c\" ok"_qs << 5 << u"\""_qs << u"/a b/c"_qs << 5 << 12 << 0;
    QTest::newRow("whole line without extra delimiters")
        << u"x\r\nsee www.a.org\r\n"_qs << 9 << u"\""_qs << u"see www.a.org"_qs << 3 << 17 << 1;
    // On a delimiter: the token behind it, as the quoted-path pass needs.
    QTest::newRow("on a delimiter") << u"a b"_qs << 2 << u" "_qs << u"b"_qs << 2 << 4 << 0;
    QTest::newRow("beyond the end") << u"ab"_qs << 3 << u" "_qs << QString() << 3 << 4 << 0;
}

void tst_LinkText::tokenAround()
{
    QFETCH(QString, text);
    QFETCH(int, p);
    QFETCH(QString, delimiters);
    const TokenAt at = TokenAround(text, p, delimiters);
    QTEST(at.token, "token");
    QTEST(at.i, "i");
    QTEST(at.j, "j");
    QTEST(at.lf, "lf");
}

void tst_LinkText::isMailAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("mail");
    QTest::newRow("letter @ letter . letter") << u"a@b.c"_qs << true;
    QTest::newRow("@. alone") << u"@."_qs << true;
    QTest::newRow("dot only before @") << u"a.b@c"_qs << false;
    QTest::newRow("no dot") << u"a@b"_qs << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("dots both sides") << u"x.y@z.w"_qs << true;
}

void tst_LinkText::isMailAddress()
{
    QFETCH(QString, text);
    QTEST(IsMailAddress(text), "mail");
}

void tst_LinkText::hasLinkPrefix_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("link");
    QTest::newRow("upper case http") << u"HTTP://X.ORG"_qs << true;
    QTest::newRow("https with one slash") << u"https:/x"_qs << true;
    QTest::newRow("www after a word") << u"see www.x.org"_qs << true;
    QTest::newRow("http without slash") << u"http:x"_qs << false;
    QTest::newRow("other scheme") << u"ftp://x.org"_qs << false;
    QTest::newRow("www without dot") << u"wwwx.org"_qs << false;
}

void tst_LinkText::hasLinkPrefix()
{
    QFETCH(QString, text);
    QTEST(HasLinkPrefix(text), "link");
}

void tst_LinkText::linkTarget_data()
{
    using Kind = LinkTarget::Kind;
    QTest::addColumn<QString>("token");
    QTest::addColumn<Kind>("kind");
    // The URL opened, the path shown in its folder, or the mail's address.
    QTest::addColumn<QString>("target");

    QTest::newRow("folder") << u"%dir%/Folder"_qs << Kind::Open << u"file://%dir%/Folder"_qs;
    QTest::newRow("document") << u"%dir%/Plain.txt"_qs << Kind::Open
                              << u"file://%dir%/Plain.txt"_qs;
    QTest::newRow("letter case counts") << u"%dir%/plain.txt"_qs << Kind::None << QString();
    QTest::newRow("relative path") << u"Plain.txt"_qs << Kind::None << QString();
    QTest::newRow("script with run bit")
        << u"%dir%/run.sh"_qs << Kind::ShowInFolder << u"%dir%/run.sh"_qs;
    QTest::newRow("run bit whatever the name")
        << u"%dir%/script.txt"_qs << Kind::ShowInFolder << u"%dir%/script.txt"_qs;
    QTest::newRow("desktop launcher")
        << u"%dir%/app.desktop"_qs << Kind::ShowInFolder << u"%dir%/app.desktop"_qs;
    QTest::newRow("windows program")
        << u"%dir%/tool.exe"_qs << Kind::ShowInFolder << u"%dir%/tool.exe"_qs;
    QTest::newRow("file URL of a launcher")
        << u"file://%dir%/run.sh"_qs << Kind::ShowInFolder << u"%dir%/run.sh"_qs;
    QTest::newRow("file URL of a document")
        << u"file://%dir%/Plain.txt"_qs << Kind::Open << u"file://%dir%/Plain.txt"_qs;
    QTest::newRow("www address") << u"www.example.org"_qs << Kind::Open
                                 << u"http://www.example.org"_qs;
    QTest::newRow("www address after a word: the whole line")
        << u"see www.example.org"_qs << Kind::None << QString();
    QTest::newRow("https") << u"https://example.org/a?b=c"_qs << Kind::Open
                           << u"https://example.org/a?b=c"_qs;
    QTest::newRow("an @ in a web address")
        << u"https://example.org/@some.one"_qs << Kind::Open << u"https://example.org/@some.one"_qs;
    QTest::newRow("javascript") << u"javascript:alert(1)"_qs << Kind::None << QString();
    QTest::newRow("ftp") << u"ftp://example.org/x"_qs << Kind::None << QString();
    QTest::newRow("smb") << u"smb://host/share"_qs << Kind::None << QString();
    QTest::newRow("http without host") << u"http:/x"_qs << Kind::None << QString();
    QTest::newRow("mail address") << u"a@b.c"_qs << Kind::Mail << u"a@b.c"_qs;
    QTest::newRow("mailto keeps only the address")
        << u"mailto:a@b.c?bcc=x@y.z"_qs << Kind::Mail << u"a@b.c"_qs;
    QTest::newRow("plain words") << u"hello there"_qs << Kind::None << QString();
}

void tst_LinkText::linkTarget()
{
    QFETCH(QString, token);
    QFETCH(LinkTarget::Kind, kind);
    QFETCH(QString, target);
    const LinkTarget resolved = LinkTarget::resolve(inFolder(token));
    QCOMPARE(resolved.kind, kind);
    switch (kind) {
    case LinkTarget::Kind::Open:
        QCOMPARE(resolved.url, QUrl(inFolder(target)));
        break;
    case LinkTarget::Kind::ShowInFolder:
        QCOMPARE(resolved.path, inFolder(target));
        break;
    case LinkTarget::Kind::Mail:
        QCOMPARE(resolved.address, target);
        break;
    case LinkTarget::Kind::None:
        break;
    }
}

QTEST_APPLESS_MAIN(tst_LinkText)
#include "tst_linktext.moc"
