#include "crypt/randompassword.h"

#include <QTest>

class tst_RandomPassword : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void drawsSeventeenAlphabetCharacters();
    void keepsOnlyAlphabetBytes();
    void endsWhenTheSourceFails_data();
    void endsWhenTheSourceFails();
};

void tst_RandomPassword::drawsSeventeenAlphabetCharacters()
{
    QCOMPARE(PasswordAlphabet::Characters.size(), 67);
    const std::optional<QString> password = RandomPassword();
    QVERIFY(password);
    QCOMPARE(password->size(), 17);
    for (QChar c : *password)
        QVERIFY2(PasswordAlphabet::Characters.contains(c), qPrintable(*password));
    QVERIFY(RandomPassword() != password);
}

void tst_RandomPassword::keepsOnlyAlphabetBytes()
{
    // Every byte value in turn: the alphabet characters come out in byte order.
    int next = 0;
    const auto everyByte = [&next](int count) {
        QByteArray bytes;
        for (int i = 0; i < count; ++i)
            bytes.append(char(next++ % 256));
        return bytes;
    };
    QCOMPARE(RandomPassword(everyByte), QString("!,-0123456789;ABC"));
}

void tst_RandomPassword::endsWhenTheSourceFails_data()
{
    QTest::addColumn<int>("byte"); // -1: the source gives nothing
    QTest::newRow("no bytes") << -1;
    QTest::newRow("never an alphabet byte") << 0xFF;
}

void tst_RandomPassword::endsWhenTheSourceFails()
{
    QFETCH(int, byte);
    const auto source
        = [byte](int count) { return byte < 0 ? QByteArray() : QByteArray(count, char(byte)); };
    QCOMPARE(RandomPassword(source), std::nullopt);
}

QTEST_APPLESS_MAIN(tst_RandomPassword)
#include "tst_randompassword.moc"
