#include "crypt/blowfish.h"
#include "crypt/cryptmarker.h"

#include <QRegularExpression>
#include <QTest>

namespace {

using Decrypted = CryptMarker::Decrypted;

// The marker of bytes encrypted exactly as they are, built by hand.
QString markerOf(QByteArray bytes, const QByteArray &key)
{
    TBlowfish cipher;
    cipher.Set_Passwd(key);
    cipher.Encrypt(bytes);
    QString marker = "QelCrypt:#" + QString::number(bytes.size());
    for (char byte : std::as_const(bytes))
        marker += '#' + QString::number(quint8(byte));
    return marker;
}

// The bytes a marker decrypts to, padding included.
QByteArray decryptedBytes(const QString &marker, const QByteArray &key)
{
    QByteArray bytes;
    const QStringList fields = marker.mid(10).split('#');
    for (const QString &field : fields.mid(1))
        bytes.append(char(field.toInt()));
    TBlowfish cipher;
    cipher.Set_Passwd(key);
    cipher.Decrypt(bytes);
    return bytes;
}

} // namespace

class tst_CryptMarker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void markerListsCountAndBytes_data();
    void markerListsCountAndBytes();
    void roundTripGivesTheTextBack_data();
    void roundTripGivesTheTextBack();
    void codePageTextKeepsItsBytes();
    void otherTextIsMarkedUtf8();
    void passwordKeys_data();
    void passwordKeys();
    void markerIsFoundInAnyCase();
    void byteFieldsKeepTheirLowEightBits();
    void wrongPasswordIsTold();
    void damagedMarkersAreRefused_data();
    void damagedMarkersAreRefused();
    void markersStayAsTheyWere();
    void missingFieldsOfTheLastBlockAreZero();
};

void tst_CryptMarker::markerListsCountAndBytes_data()
{
    QTest::addColumn<QString>("plain");
    QTest::addColumn<int>("count");
    QTest::newRow("8 bytes") << "12345678" << 16;
    QTest::newRow("3 bytes") << "abc" << 8;
    QTest::newRow("empty") << "" << 8;
    QTest::newRow("Windows-1252, a byte each") << QString::fromUtf8("äß€") << 8;
    QTest::newRow("UTF-8 behind its mark") << QString::fromUtf8("Привет") << 16;
}

void tst_CryptMarker::markerListsCountAndBytes()
{
    QFETCH(QString, plain);
    QFETCH(int, count);
    const QString marker = CryptMarker::encrypt(plain, "master");
    static const QRegularExpression format("^QelCrypt:#(\\d+)((#(0|[1-9]\\d{0,2}))+)$");
    const QRegularExpressionMatch match = format.match(marker);
    QVERIFY2(match.hasMatch(), qPrintable(marker));
    QCOMPARE(match.captured(1).toInt(), count);
    const QStringList bytes = match.captured(2).mid(1).split('#');
    QCOMPARE(bytes.size(), count);
    for (const QString &byte : bytes)
        QVERIFY(byte.toInt() <= 255);
    QCOMPARE(CryptMarker::pattern().match(marker).capturedLength(), marker.size());
}

void tst_CryptMarker::roundTripGivesTheTextBack_data()
{
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("password");
    QTest::newRow("ASCII") << "The key is under the mat."
                           << "master";
    QTest::newRow("apostrophe and #65 stay as typed") << "don't '#65' #13#"
                                                      << "master";
    QTest::newRow("Windows-1252") << QString::fromUtf8("Grüße, Maß: 5 € – “ok”") << "master";
    QTest::newRow("Cyrillic, CJK, emoji")
        << QString::fromUtf8("Пароль 秘密 🙂") << "master";
    QTest::newRow("paragraphs") << "line one\rline two\r"
                                << "master";
    QTest::newRow("text that begins with a byte-order mark character")
        << QString(QChar(0xFEFF)) + QStringLiteral("zero width") << "master";
    QTest::newRow("code-page text that begins like the UTF-8 mark")
        << QString::fromUtf8("ï»¿abc") << "master";
    QTest::newRow("empty") << ""
                           << "master";
    QTest::newRow("Cyrillic password") << "secret" << QString::fromUtf8("пароль");
    QTest::newRow("password with blanks kept") << "secret"
                                               << " m ";
}

void tst_CryptMarker::roundTripGivesTheTextBack()
{
    QFETCH(QString, plain);
    QFETCH(QString, password);
    const Decrypted decrypted
        = CryptMarker::decrypt(CryptMarker::encrypt(plain, password), password);
    QCOMPARE(decrypted.status, Decrypted::Ok);
    QCOMPARE(decrypted.text, plain);
}

void tst_CryptMarker::codePageTextKeepsItsBytes()
{
    // Markers of text Windows-1252 holds are those earlier versions made and read.
    const QString plain = QString::fromUtf8("Grüße €");
    const QByteArray bytes("Gr\xFC\xDF"
                           "e \x80");
    const QString marker = markerOf(bytes, "master");
    QCOMPARE(CryptMarker::encrypt(plain, "master"), marker);
    QCOMPARE(CryptMarker::decrypt(marker, "master").text, plain);
}

void tst_CryptMarker::otherTextIsMarkedUtf8()
{
    const QString marker = CryptMarker::encrypt(QString::fromUtf8("Ж"), "master");
    QCOMPARE(decryptedBytes(marker, "master"), QByteArray("\xEF\xBB\xBF\xD0\x96\0\0\0", 8));
}

void tst_CryptMarker::passwordKeys_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("key");
    QTest::newRow("ASCII") << "Geheim" << QByteArray("Geheim");
    QTest::newRow("Windows-1252") << QString::fromUtf8("Grüße€")
                                  << QByteArray("Gr\xFC\xDF"
                                                "e\x80");
    QTest::newRow("Cyrillic") << QString::fromUtf8("пароль")
                              << QString::fromUtf8("пароль").toUtf8();
    QTest::newRow("mixed") << QString::fromUtf8("ü-ж") << QString::fromUtf8("ü-ж").toUtf8();
}

void tst_CryptMarker::passwordKeys()
{
    QFETCH(QString, password);
    QFETCH(QByteArray, key);
    QCOMPARE(CryptMarker::key(password), key);
    // Two Cyrillic passwords of one length are two keys.
    QVERIFY(CryptMarker::key(QString::fromUtf8("сорока")) != CryptMarker::key("пароль"));
}

void tst_CryptMarker::markerIsFoundInAnyCase()
{
    const QString marker = CryptMarker::encrypt("abc", "master");
    QString capitals = marker;
    capitals.replace("QelCrypt", "QELCRYPT");
    QVERIFY(CryptMarker::isMarked(capitals));
    QVERIFY(!CryptMarker::isMarked(" " + marker));
    QCOMPARE(CryptMarker::decrypt(capitals, "master").text, QString("abc"));
    QCOMPARE(CryptMarker::pattern().match("x " + capitals + " y").captured(), capitals);
}

void tst_CryptMarker::byteFieldsKeepTheirLowEightBits()
{
    const QString marker = CryptMarker::encrypt("abc", "master");
    const qsizetype last = marker.lastIndexOf('#');
    const QString wider
        = marker.left(last + 1) + QString::number(marker.mid(last + 1).toInt() + 256);
    QCOMPARE(CryptMarker::decrypt(wider, "master").text, QString("abc"));
}

void tst_CryptMarker::wrongPasswordIsTold()
{
    const QString marker = CryptMarker::encrypt("a secret", "master");
    // One wrong key in 256 leaves a zero last byte ("Master" does here) and
    // cannot be told from the right one.
    QCOMPARE(CryptMarker::decrypt(marker, "other").status, Decrypted::WrongPassword);
    QCOMPARE(CryptMarker::decrypt(marker, "master ").status, Decrypted::WrongPassword);
}

void tst_CryptMarker::damagedMarkersAreRefused_data()
{
    QTest::addColumn<QString>("marker");
    const QString eight = "#1#2#3#4#5#6#7#8";
    QTest::newRow("nothing after the prefix") << "QelCrypt:";
    QTest::newRow("no #") << "QelCrypt:8" + eight;
    QTest::newRow("empty count") << "QelCrypt:#" + eight;
    QTest::newRow("non-numeric field") << "QelCrypt:#8#1#2#x#4#5#6#7#8";
    QTest::newRow("empty field") << "QelCrypt:#8#1##3#4#5#6#7#8";
    QTest::newRow("count zero") << "QelCrypt:#0";
    QTest::newRow("count negative") << "QelCrypt:#-8" + eight;
    QTest::newRow("count 12") << "QelCrypt:#12" + eight + "#1#2#3#4";
    QTest::newRow("more fields than the count") << "QelCrypt:#8" + eight + "#9";
    QTest::newRow("count beyond the fields' blocks") << "QelCrypt:#16" + eight;
    QTest::newRow("count asking for gigabytes") << "QelCrypt:#2147483640#1";
    QTest::newRow("text after the marker") << "QelCrypt:#8" + eight + " and more";
}

void tst_CryptMarker::damagedMarkersAreRefused()
{
    QFETCH(QString, marker);
    QCOMPARE(CryptMarker::decrypt(marker, "master").status, Decrypted::Damaged);
}

void tst_CryptMarker::markersStayAsTheyWere()
{
    // Notes hold markers like this one: it must always decrypt, and the same
    // text and password must always give it (qelnote's tests use it too).
    const QString marker = "QelCrypt:#8#229#254#251#103#16#137#147#190";
    QCOMPARE(CryptMarker::encrypt(QString::fromUtf8("Grüße €"), "master"), marker);
}

void tst_CryptMarker::missingFieldsOfTheLastBlockAreZero()
{
    const Decrypted full = CryptMarker::decrypt("QelCrypt:#8#1#2#3#4#5#0#0#0", "master");
    const Decrypted shortened = CryptMarker::decrypt("QelCrypt:#8#1#2#3#4#5", "master");
    QCOMPARE(shortened.status, full.status);
    QCOMPARE(shortened.text, full.text);
}

QTEST_APPLESS_MAIN(tst_CryptMarker)
#include "tst_cryptmarker.moc"
