#include "crypt/blowfish.h"
#include "crypt/cryptmarker.h"

#include <QRandomGenerator>
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
    void checkValueTellsEveryWrongPassword();
    void oldMarkersRefuseWhatNoTextGives_data();
    void oldMarkersRefuseWhatNoTextGives();
    void newMarkersStayReadable();
};

void tst_CryptMarker::markerListsCountAndBytes_data()
{
    QTest::addColumn<QString>("plain");
    QTest::addColumn<int>("count");
    // The text, its zero and the eight bytes of the check value, padded.
    QTest::newRow("8 bytes") << "12345678" << 24;
    QTest::newRow("3 bytes") << "abc" << 16;
    QTest::newRow("7 bytes, a whole block of padding") << "1234567" << 24;
    QTest::newRow("empty") << "" << 16;
    QTest::newRow("Windows-1252, a byte each") << QString::fromUtf8("äß€") << 16;
    QTest::newRow("UTF-8 behind its mark") << QString::fromUtf8("Привет") << 32;
}

void tst_CryptMarker::markerListsCountAndBytes()
{
    QFETCH(QString, plain);
    QFETCH(int, count);
    const QString marker = CryptMarker::encrypt(plain, "master");
    static const QRegularExpression format("^QelCrypt:#0([1-9]\\d*)((#(0|[1-9]\\d{0,2}))+)$");
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
    // Text Windows-1252 holds is encrypted as earlier versions did, and their
    // markers of it read.
    const QString plain = QString::fromUtf8("Grüße €");
    const QByteArray bytes("Gr\xFC\xDF"
                           "e \x80");
    QVERIFY(
        decryptedBytes(CryptMarker::encrypt(plain, "master"), "master").startsWith(bytes + '\0'));
    QCOMPARE(CryptMarker::decrypt(markerOf(bytes, "master"), "master").text, plain);
}

void tst_CryptMarker::otherTextIsMarkedUtf8()
{
    const QString marker = CryptMarker::encrypt(QString::fromUtf8("Ж"), "master");
    QCOMPARE(decryptedBytes(marker, "master").left(6), QByteArray("\xEF\xBB\xBF\xD0\x96\0", 6));
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
    QCOMPARE(CryptMarker::decrypt(marker, "Master").status, Decrypted::WrongPassword);
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
    // Notes hold markers like this one, made before markers had a check value:
    // it must always decrypt (qelnote's tests use it too).
    const QString marker = "QelCrypt:#8#229#254#251#103#16#137#147#190";
    QCOMPARE(CryptMarker::decrypt(marker, "master").status, Decrypted::Ok);
    QCOMPARE(CryptMarker::decrypt(marker, "master").text, QString::fromUtf8("Grüße €"));
}

void tst_CryptMarker::missingFieldsOfTheLastBlockAreZero()
{
    const Decrypted full = CryptMarker::decrypt("QelCrypt:#8#1#2#3#4#5#0#0#0", "master");
    const Decrypted shortened = CryptMarker::decrypt("QelCrypt:#8#1#2#3#4#5", "master");
    QCOMPARE(shortened.status, full.status);
    QCOMPARE(shortened.text, full.text);
}

namespace {

// Passwords as people choose them: a word and a number.
QStringList ordinaryPasswords(int count, quint32 seed)
{
    static const char *const words[]
        = {"shadow",   "hunter",   "dragon",  "monkey", "letmein", "sunshine", "master",  "qwerty",
           "football", "princess", "welcome", "secret", "horse",   "summer",   "password"};
    QRandomGenerator random(seed);
    QStringList passwords;
    for (int i = 0; i < count; ++i) {
        QString word = QLatin1String(words[random.bounded(int(std::size(words)))]);
        if (random.bounded(3) == 0)
            word[0] = word[0].toUpper();
        passwords << word + QString::number(random.bounded(10000));
    }
    return passwords;
}

} // namespace

void tst_CryptMarker::checkValueTellsEveryWrongPassword()
{
    const QStringList rights{"right horse", "Summer2024", "correct staple", "x", "pa55word"};
    const QStringList texts{"secret", "The PIN is 4711.", QString::fromUtf8("Grüße €"),
                            "a longer secret over three blocks", QString::fromUtf8("Пароль")};
    const QStringList wrongs = ordinaryPasswords(1200, 30);
    int newAccepted = 0;
    int oldAccepted = 0;
    int lastByteZero = 0; // what a check of the padding's last byte alone accepted
    for (int i = 0; i < rights.size(); ++i) {
        const QString fresh = CryptMarker::encrypt(texts.at(i), rights.at(i));
        const QString old = markerOf(texts.at(i).toUtf8(), CryptMarker::key(rights.at(i)));
        QCOMPARE(CryptMarker::decrypt(fresh, rights.at(i)).text, texts.at(i));
        for (const QString &wrong : wrongs) {
            if (wrong == rights.at(i))
                continue;
            newAccepted += CryptMarker::decrypt(fresh, wrong).status == Decrypted::Ok;
            oldAccepted += CryptMarker::decrypt(old, wrong).status == Decrypted::Ok;
            lastByteZero += decryptedBytes(old, CryptMarker::key(wrong)).endsWith('\0');
        }
    }
    qInfo("%lld wrong passwords for each kind of marker: %d accepted for markers with a check "
          "value, %d for markers without (%d passed their last byte alone)",
          qint64(wrongs.size() * rights.size()), newAccepted, oldAccepted, lastByteZero);
    QCOMPARE(newAccepted, 0);
    // Without a check value a wrong password passes when its bytes look like
    // text: of a one-block marker's seven bytes, now and then.
    QVERIFY(oldAccepted * 5 < lastByteZero);
}

void tst_CryptMarker::oldMarkersRefuseWhatNoTextGives_data()
{
    QTest::addColumn<QByteArray>("bytes"); // encrypted as they are, without a check value
    QTest::addColumn<bool>("accepted");
    QTest::newRow("text") << QByteArray("secret") << true;
    QTest::newRow("tab, line feed and paragraph") << QByteArray("a\tb\nc\rd") << true;
    QTest::newRow("UTF-8 behind its mark") << QByteArray("\xEF\xBB\xBF\xD0\x96") << true;
    QTest::newRow("a control character") << QByteArray("sec\x07ret") << false;
    QTest::newRow("a byte the code page lacks") << QByteArray("sec\x81ret") << false;
    QTest::newRow("broken UTF-8 behind its mark") << QByteArray("\xEF\xBB\xBF\xD0x") << false;
    QTest::newRow("bytes after the zero") << QByteArray("abc\0de", 6) << false;
    QTest::newRow("a block of padding too many") << QByteArray("abc\0\0\0\0\0\0\0\0", 11) << false;
}

void tst_CryptMarker::oldMarkersRefuseWhatNoTextGives()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, accepted);
    const Decrypted decrypted = CryptMarker::decrypt(markerOf(bytes, "master"), "master");
    QCOMPARE(decrypted.status, accepted ? Decrypted::Ok : Decrypted::WrongPassword);
}

void tst_CryptMarker::newMarkersStayReadable()
{
    const QString marker = CryptMarker::encrypt("secret", "master");
    // What a reader without the check value takes: the text up to the zero,
    // behind a count it reads as a number.
    const QByteArray bytes = decryptedBytes(marker, "master");
    QCOMPARE(bytes.left(bytes.indexOf('\0')), QByteArray("secret"));
    QVERIFY(bytes.endsWith('\0'));
    QVERIFY(marker.startsWith("QelCrypt:#016#"));
    // Without its leading zero the check value still opens it; a changed
    // check value does not.
    QString unflagged = marker;
    QCOMPARE(CryptMarker::decrypt(unflagged.replace("#016#", "#16#"), "master").text,
             QString("secret"));
    TBlowfish cipher;
    cipher.Set_Passwd("master");
    QByteArray tampered = bytes;
    tampered[8] = char(tampered[8] ^ 1);
    cipher.Encrypt(tampered); // a block of padding more
    QString changed = "QelCrypt:#0" + QString::number(tampered.size() - 8);
    for (char byte : tampered.first(tampered.size() - 8))
        changed += '#' + QString::number(quint8(byte));
    QCOMPARE(CryptMarker::decrypt(changed, "master").status, Decrypted::WrongPassword);
}

QTEST_APPLESS_MAIN(tst_CryptMarker)
#include "tst_cryptmarker.moc"
