#include "crypt/textroutines.h"

#include <QTest>

class tst_TextRoutines : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void isBlank_data();
    void isBlank();
    void nextIntToken_data();
    void nextIntToken();
};

void tst_TextRoutines::isBlank_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("blank");
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("blanks, tabs, breaks and controls") << QString(" \t\r\n\x01 ") << true;
    QTest::newRow("a character") << QString("  x ") << false;
    QTest::newRow("no-break space is text") << QString(QChar(0xA0)) << false;
}

void tst_TextRoutines::isBlank()
{
    QFETCH(QString, text);
    QFETCH(bool, blank);
    QCOMPARE(IsBlank(text), blank);
}

void tst_TextRoutines::nextIntToken_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("rest");
    QTest::newRow("field and separator taken") << "12#34" << true << 12 << "34";
    QTest::newRow("last field") << "34" << true << 34 << "";
    QTest::newRow("leading blanks, trailing break") << "  -7\r\n#1" << true << -7 << "1";
    QTest::newRow("empty field") << "#5" << false << 0 << "5";
    QTest::newRow("not a number, still removed") << "1x#5" << false << 0 << "5";
    QTest::newRow("beyond 32 bits") << "2147483648#" << false << 0 << "";
    QTest::newRow("only blanks") << "   " << false << 0 << "";
}

void tst_TextRoutines::nextIntToken()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    QFETCH(QString, rest);
    int read = 0;
    QCOMPARE(NextIntToken(text, u'#', read), ok);
    QCOMPARE(read, value);
    QCOMPARE(text, rest);
}

QTEST_APPLESS_MAIN(tst_TextRoutines)
#include "tst_textroutines.moc"
