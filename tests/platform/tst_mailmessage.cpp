#include "platform/mailmessage.h"
#include "platform/systemmailcomposer.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

class tst_MailMessage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mailtoUrl_data();
    void mailtoUrl();
    void noteTextAddsNoRecipientOrHeader();
    void composerHandsTheAddressToXdgEmailAndReportsItsFailure();
    void composerRefusesANoteTooLongForAnArgument();
};

void tst_MailMessage::mailtoUrl_data()
{
    QTest::addColumn<QString>("recipient");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QByteArray>("url");
    QTest::newRow("address, subject and lines")
        << u"a@b.c"_qs << u"Shopping list.."_qs << u"milk\r\nbread"_qs
        << QByteArray("mailto:a@b.c?subject=Shopping%20list..&body=milk%0D%0Abread");
    QTest::newRow("no recipient") << QString() << u"x"_qs << QString()
                                  << QByteArray("mailto:?subject=x&body=");
    QTest::newRow("lone CR and LF become CR LF")
        << QString() << QString() << u"a\rb\nc"_qs
        << QByteArray("mailto:?subject=&body=a%0D%0Ab%0D%0Ac");
    QTest::newRow("non-ASCII as UTF-8") << QString() << u"\u00e4"_qs << u"%&="_qs
                                        << QByteArray("mailto:?subject=%C3%A4&body=%25%26%3D");
}

void tst_MailMessage::mailtoUrl()
{
    QFETCH(QString, recipient);
    QFETCH(QString, subject);
    QFETCH(QString, body);
    QTEST(::mailtoUrl({recipient, subject, body}).toEncoded(), "url");
}

void tst_MailMessage::noteTextAddsNoRecipientOrHeader()
{
    const QString recipient = u"a@b.c?bcc=x@y.z&cc=q@r.s, evil@x.y"_qs;
    const QUrl url = ::mailtoUrl({recipient, u"s&bcc=x@y.z"_qs, u"b\r\nBcc: x@y.z"_qs});
    QCOMPARE(url.path(), recipient);
    QVERIFY(!url.path(QUrl::FullyEncoded).contains(u','));
    const QUrlQuery query(url);
    QCOMPARE(query.queryItems().size(), 2);
    QCOMPARE(query.queryItemValue(u"subject"_qs, QUrl::FullyDecoded), u"s&bcc=x@y.z"_qs);
    QCOMPARE(query.queryItemValue(u"body"_qs, QUrl::FullyDecoded), u"b\r\nBcc: x@y.z"_qs);
}

void tst_MailMessage::composerHandsTheAddressToXdgEmailAndReportsItsFailure()
{
    // An xdg-email that finds no mail program, as on a desktop without one.
    QTemporaryDir bin;
    QVERIFY(bin.isValid());
    const QString log = bin.filePath(u"arguments"_qs);
    QFile script(bin.filePath(u"xdg-email"_qs));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + log.toUtf8()
                 + "'\necho 'no method available' >&2\nexit 3\n");
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8() + ':' + path);

    SystemMailComposer composer;
    QSignalSpy failed(&composer, &MailComposer::failed);
    composer.compose({u"a@b.c"_qs, u"Hi"_qs, u"x y"_qs});
    QVERIFY(failed.wait(10000));
    qputenv("PATH", path);

    QCOMPARE(failed.first().first().toString(),
             u"No mail program is set up on this desktop.\nno method available"_qs);
    QFile arguments(log);
    QVERIFY(arguments.open(QIODevice::ReadOnly));
    QCOMPARE(arguments.readAll(), QByteArray("mailto:a@b.c?subject=Hi&body=x%20y\n"));
}

void tst_MailMessage::composerRefusesANoteTooLongForAnArgument()
{
    SystemMailComposer composer;
    QSignalSpy failed(&composer, &MailComposer::failed);
    composer.compose(
        {QString(), u"long"_qs, QString(SystemMailComposer::MaximumAddressLength, u'x')});
    QCOMPARE(failed.size(), 1);
    QVERIFY(failed.first().first().toString().startsWith(u"The note is too long"_qs));
}

QTEST_GUILESS_MAIN(tst_MailMessage)
#include "tst_mailmessage.moc"
