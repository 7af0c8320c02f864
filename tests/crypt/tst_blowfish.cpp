#include "crypt/blowfish.h"
#include "crypt/piwords.h"

#include <QTest>

#include <vector>

namespace {

// A fixed-point number: words[0] is the integer part, then 32-bit fraction
// words, most significant first.
using Fixed = std::vector<quint32>;

void divide(Fixed &number, quint32 divisor)
{
    quint64 remainder = 0;
    for (quint32 &word : number) {
        const quint64 current = remainder << 32 | word;
        word = quint32(current / divisor);
        remainder = current % divisor;
    }
}

void add(Fixed &sum, const Fixed &term, bool subtract)
{
    qint64 carry = 0;
    for (size_t i = sum.size(); i-- > 0;) {
        const qint64 value
            = qint64(sum[i]) + (subtract ? -qint64(term[i]) : qint64(term[i])) + carry;
        sum[i] = quint32(value);
        carry = value >> 32;
    }
}

// arctan(1/x) times factor, by its series.
Fixed arctanOfInverse(quint32 x, quint32 factor, size_t words)
{
    Fixed sum(words), power(words);
    power[0] = factor;
    divide(power, x);
    for (quint32 k = 0;; ++k) {
        Fixed term = power;
        divide(term, 2 * k + 1);
        if (std::all_of(term.begin(), term.end(), [](quint32 w) { return w == 0; }))
            return sum;
        add(sum, term, k % 2 == 1);
        divide(power, x * x);
    }
}

// pi's fraction words by Machin's formula: pi = 16 arctan(1/5) - 4 arctan(1/239).
Fixed piFraction(size_t count)
{
    const size_t words = 1 + count + 2; // two guard words against truncation
    Fixed pi = arctanOfInverse(5, 16, words);
    add(pi, arctanOfInverse(239, 4, words), true);
    return Fixed(pi.begin() + 1, pi.begin() + 1 + qsizetype(count));
}

QByteArray hex(const char *digits)
{
    return QByteArray::fromHex(digits);
}

} // namespace

class tst_Blowfish : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void resetTablesAreTheFractionDigitsOfPi();
    void encryptsWithResetTables_data();
    void encryptsWithResetTables();
    void keysAreUsedCyclicallyAndOnlyTo72Bytes_data();
    void keysAreUsedCyclicallyAndOnlyTo72Bytes();
    void decryptUndoesEncryptBlockByBlock();
    void refusesEmptyKeysAndPartialBlocks();
};

void tst_Blowfish::resetTablesAreTheFractionDigitsOfPi()
{
    const Fixed pi = piFraction(PiFractionWords.size());
    QCOMPARE(pi.front(), 0x243F6A88u);
    QCOMPARE(pi.at(18), 0xD1310BA6u); // the first S-box entry's word
    for (size_t i = 0; i < pi.size(); ++i)
        QVERIFY2(PiFractionWords[i] == pi[i], qPrintable(QString("word %1").arg(i)));
}

void tst_Blowfish::encryptsWithResetTables_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("encrypted");
    QTest::newRow("abc") << QByteArray("abc") << hex("234B7ABA7912210D");
    QTest::newRow("empty, one block of zeros") << QByteArray() << hex("088B78BA18A1400D");
    QTest::newRow("a whole block gains a block of zeros")
        << QByteArray(8, '\0') << hex("088B78BA18A1400D088B78BA18A1400D");
}

void tst_Blowfish::encryptsWithResetTables()
{
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, encrypted);
    TBlowfish cipher;
    QVERIFY(cipher.Encrypt(plain));
    QCOMPARE(plain.toHex(' '), encrypted.toHex(' '));
}

void tst_Blowfish::keysAreUsedCyclicallyAndOnlyTo72Bytes_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("other");
    QTest::addColumn<bool>("same");
    const QByteArray long72 = QByteArray("0123456789").repeated(8).left(72);
    QTest::newRow("written twice") << QByteArray("secret") << QByteArray("secretsecret") << true;
    QTest::newRow("one byte") << QByteArray("x") << QByteArray("xxxxx") << true;
    QTest::newRow("differs after the 72nd byte") << long72 + "A" << long72 + "B" << true;
    QTest::newRow("differs at the 72nd byte")
        << long72.left(71) + "A" << long72.left(71) + "B" << false;
    QTest::newRow("other key") << QByteArray("secret") << QByteArray("secreT") << false;
}

void tst_Blowfish::keysAreUsedCyclicallyAndOnlyTo72Bytes()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, other);
    QFETCH(bool, same);
    const auto encrypted = [](const QByteArray &password) {
        TBlowfish cipher;
        cipher.Set_Passwd(password);
        QByteArray data("some plain text");
        cipher.Encrypt(data);
        return data;
    };
    QCOMPARE(encrypted(key) == encrypted(other), same);
}

void tst_Blowfish::decryptUndoesEncryptBlockByBlock()
{
    TBlowfish cipher;
    QVERIFY(cipher.Set_Passwd("master"));
    QByteArray data("0123456701234567x");
    cipher.Encrypt(data);
    QCOMPARE(data.size(), 24);
    // No chaining: equal plain blocks give equal encrypted blocks.
    QCOMPARE(data.mid(0, 8), data.mid(8, 8));
    QVERIFY(cipher.Decrypt(data));
    QCOMPARE(data, QByteArray("0123456701234567x") + QByteArray(7, '\0'));
}

void tst_Blowfish::refusesEmptyKeysAndPartialBlocks()
{
    TBlowfish cipher;
    QVERIFY(!cipher.Set_Passwd({}));
    QCOMPARE(cipher.ErrorText(), QByteArray("Password may not be zero"));
    QByteArray empty;
    cipher.Encrypt(empty);
    QCOMPARE(empty, hex("088B78BA18A1400D")); // still reset

    QByteArray twelve(12, 'x');
    QVERIFY(!cipher.Decrypt(twelve));
    QCOMPARE(twelve, QByteArray(12, 'x'));
    QCOMPARE(
        cipher.ErrorText(),
        QByteArray("Blowfish requires the input to be a multiple of 8 bytes (64bits) to work."));
}

QTEST_APPLESS_MAIN(tst_Blowfish)
#include "tst_blowfish.moc"
