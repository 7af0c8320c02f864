#include <QTest>

#include "calc/seqscanner.h"

namespace {

const char *symbolName(SymbolType sym)
{
    switch (sym) {
    case Ident:
        return "Ident";
    case IntNum:
        return "IntNum";
    case ReNum:
        return "ReNum";
    case ComplexNum:
        return "ComplexNum";
    case StrConst:
        return "StrConst";
    case Becomes:
        return ":=";
    case TwoPoint:
        return "..";
    case PointType:
        return ".";
    case DoublePoint:
        return ":";
    case NEq:
        return "<>";
    case LEq:
        return "<=";
    case GEq:
        return ">=";
    case Lss:
        return "<";
    case Gtr:
        return ">";
    case Eql:
        return "=";
    case Minus:
        return "-";
    case Plus:
        return "+";
    case RParen:
        return ")";
    case LParen:
        return "(";
    case EndSym:
        return "EndSym";
    case ElseSym:
        return "ElseSym";
    case StartSeq:
        return "StartSeq";
    case AndSym:
        return "AndSym";
    case PwrSym:
        return "^";
    case eof:
        return "eof";
    default:
        return "?";
    }
}

// The symbols of a whole text, each with its value: "Ident:X1 := IntNum:2 Ident:\0 eof".
QString scanAll(TSeqScanner &scanner, const QString &text)
{
    scanner.Reset();
    scanner.SetSource(text);
    QStringList symbols;
    for (int guard = 0; guard < 1000; ++guard) {
        scanner.GetSym();
        QString item = QString::fromLatin1(symbolName(scanner.sym()));
        switch (scanner.sym()) {
        case Ident:
            item += u':'
                    + scanner.GetIdent(scanner.idPos()).replace(QChar(0), QStringLiteral("\\0"));
            break;
        case IntNum:
            item += u':' + QString::number(scanner.intVal());
            break;
        case ReNum:
            item += u':' + QString::number(scanner.reVal());
            break;
        case ComplexNum:
            item += u':' + QString::number(scanner.cNum().Real()) + u'+'
                    + QString::number(scanner.cNum().Imaginary()) + u'i';
            break;
        case StrConst:
            item += u':' + scanner.sVal();
            break;
        default:
            break;
        }
        symbols << item;
        if (scanner.sym() == eof)
            break;
    }
    return symbols.join(u' ');
}

} // namespace

class TestSeqScanner : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void symbols_data();
    void symbols();
    void stringsLongerThan79();
    void positions();
    void symbolValuesAreTheInterface();
    void longNoteKeepsRoomForNames();
    void unclosedCommentsEndTheScan();
    void fullBufferEndsTheScan();
};

void TestSeqScanner::symbols_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("errorCode");

    const QString lastId = QStringLiteral("eof");
    QTest::newRow("definition") << "x1 := 2\r\n"
                                << "Ident:X1 := IntNum:2 " + lastId << 0;
    QTest::newRow("keyword in any case")
        << "End END end else StartSequence AND\r\n"
        << "EndSym EndSym EndSym ElseSym StartSeq AndSym " + lastId << 0;
    QTest::newRow("range dots") << "1..5\r\n"
                                << "IntNum:1 .. IntNum:5 " + lastId << 0;
    QTest::newRow("real") << "3.5\r\n"
                          << "ReNum:3.5 " + lastId << 0;
    QTest::newRow("exponent") << "1E-5\r\n"
                              << "ReNum:1e-05 " + lastId << 0;
    QTest::newRow("too large for 32 bits") << "2147483648\r\n"
                                           << "ReNum:2.14748e+09 " + lastId << 0;
    QTest::newRow("largest integer") << "2147483647\r\n"
                                     << "IntNum:2147483647 " + lastId << 0;
    QTest::newRow("imaginary") << "5i 2.5E3I\r\n"
                               << "ComplexNum:0+5i ComplexNum:0+2500i " + lastId << 0;
    QTest::newRow("blank before i") << "5 i\r\n"
                                    << "IntNum:5 Ident:I " + lastId << 0;
    // A sign belongs to a number only right after its exponent letter, and the letter only
    // when digits follow it.
    QTest::newRow("minus after digits") << "10-3\r\n"
                                        << "IntNum:10 - IntNum:3 " + lastId << 0;
    QTest::newRow("plus after digits") << "10+3\r\n"
                                       << "IntNum:10 + IntNum:3 " + lastId << 0;
    QTest::newRow("signed exponents") << "1E+3 2e-2-1\r\n"
                                      << "ReNum:1000 ReNum:0.02 - IntNum:1 " + lastId << 0;
    QTest::newRow("exponent without digits") << "2E\r\n"
                                             << "IntNum:2 Ident:E " + lastId << 0;
    QTest::newRow("a unit after a number")
        << "3EUR 4E-x\r\n"
        << "IntNum:3 Ident:EUR IntNum:4 Ident:E - Ident:X " + lastId << 0;
    QTest::newRow("subtraction") << "10 - 3\r\n"
                                 << "IntNum:10 - IntNum:3 " + lastId << 0;
    QTest::newRow("two-character symbols") << "<> <= >= := : ..\r\n"
                                           << "<> <= >= := : .. " + lastId << 0;
    QTest::newRow("=> is two symbols") << "=>\r\n"
                                       << "= > " + lastId << 0;
    QTest::newRow("brace comment") << "{ a }b\r\n"
                                   << "Ident:B " + lastId << 0;
    QTest::newRow("paren comment") << "(* a *)b\r\n"
                                   << "Ident:B " + lastId << 0;
    QTest::newRow("two stars do not close") << "(* x **) y *)z\r\n"
                                            << "Ident:Z " + lastId << 0;
    // The end of the text ends the last symbol as a line break does.
    QTest::newRow("last character ends a symbol") << "3="
                                                  << "IntNum:3 = " + lastId << 0;
    QTest::newRow("definition without a line break") << "x := 2"
                                                     << "Ident:X := IntNum:2 " + lastId << 0;
    QTest::newRow("name at the end") << "ab"
                                     << "Ident:AB " + lastId << 0;
    QTest::newRow("empty") << "" << lastId << 0;
    QTest::newRow("only a line break") << "\r\n" << lastId << 0;
    QTest::newRow("dollar is skipped") << "$20 + $ 5\r\n"
                                       << "IntNum:20 + IntNum:5 " + lastId << 0;
    QTest::newRow("dot after a number") << "1.x\r\n"
                                        << "ReNum:1 Ident:X " + lastId << 0;
    QTest::newRow("dot before a blank") << "3. + 4\r\n"
                                        << "ReNum:3 + IntNum:4 " + lastId << 0;
    QTest::newRow("dot before =") << "4.=\r\n"
                                  << "ReNum:4 = " + lastId << 0;
    QTest::newRow("identifier tail") << "a$1_b.c\r\n"
                                     << "Ident:A$1_B . Ident:C " + lastId << 0;
    QTest::newRow("any first character") << "%x ?\r\n"
                                         << "Ident:%X Ident:? " + lastId << 0;
    QTest::newRow("string") << "'hi there' x\r\n"
                            << "StrConst:hi there Ident:X " + lastId << 0;
    QTest::newRow("string ended by CR")
        << "'open\r\nx\r\n"
        << "StrConst:open Ident:X " + lastId << int(TSeqScanner::UnterminatedStringError);
    QTest::newRow("power") << "2^x ^ 3\r\n"
                           << "IntNum:2 ^ Ident:X ^ IntNum:3 " + lastId << 0;
    // Times and dates are words of a note.
    QTest::newRow("times")
        << "12:34 9:05:30 12:34:5 12:345\r\n"
        << "Ident:12:34 Ident:9:05:30 IntNum:12 : IntNum:34 : IntNum:5 IntNum:12 "
           ": IntNum:345 "
               + lastId
        << 0;
    QTest::newRow("dates") << "2024-05-11: 11.05.2024 2024-05-111\r\n"
                           << "Ident:2024-05-11 : Ident:11.05.2024 IntNum:2024 - IntNum:5 - "
                              "IntNum:111 "
                                  + lastId
                           << 0;
    QTest::newRow("time before :=") << "12 := 3\r\n"
                                    << "IntNum:12 := IntNum:3 " + lastId << 0;
    QTest::newRow("NUL inside the text") << QStringLiteral("a") + QChar(0) + "b\r\n"
                                         << "Ident:A Ident:B " + lastId << 0;
}

void TestSeqScanner::symbols()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(int, errorCode);
    TSeqScanner scanner;
    QCOMPARE(scanAll(scanner, text), expected);
    QCOMPARE(scanner.ErrorCode(), errorCode);
}

void TestSeqScanner::stringsLongerThan79()
{
    TSeqScanner scanner;
    QString body;
    for (int i = 0; i < 85; ++i)
        body += QChar(u'a' + i % 26);
    scanner.SetSource(u'\'' + body + QStringLiteral("' +\r\n"));
    scanner.GetSym();
    QCOMPARE(scanner.sym(), StrConst);
    QCOMPARE(scanner.sVal(), body.left(79));
    // The 80th character is lost; scanning resumes at the 81st.
    scanner.GetSym();
    QCOMPARE(scanner.sym(), Ident);
    QCOMPARE(scanner.GetIdent(scanner.idPos()), body.mid(80, 5).toUpper());
}

void TestSeqScanner::positions()
{
    TSeqScanner scanner;
    scanner.SetSource(QStringLiteral("a\r\nb =\r\n"));
    scanner.GetSym();
    scanner.GetSym();
    QCOMPARE(scanner.sym(), Ident);
    QCOMPARE(scanner.Line(), 1);
    QCOMPARE(scanner.NrOfChar(), 5);
    QCOMPARE(scanner.ch(), u' ');
    scanner.GetSym();
    QCOMPARE(scanner.sym(), Eql);
    // ch is the CR right after "=": editor position 5 (a, break, b, blank, "=" come first).
    QCOMPARE(scanner.NrOfChar() - 1 - scanner.Line(), 5);

    // Line feeds inside comments are counted too.
    scanner.Reset();
    scanner.SetSource(QStringLiteral("{\r\n}(*\r\n*)x\r\n"));
    scanner.GetSym();
    QCOMPARE(scanner.Line(), 2);
}

void TestSeqScanner::symbolValuesAreTheInterface()
{
    QCOMPARE(int(AndSym), 8);
    QCOMPARE(int(DivSym), 11);
    QCOMPARE(int(Plus), 12);
    QCOMPARE(int(OrSym), 14);
    QCOMPARE(int(NEq), 15);
    QCOMPARE(int(Lss), 19);
    QCOMPARE(int(Eql), 20);
    QCOMPARE(int(ReNum), 28);
    QCOMPARE(int(IntNum), 29);
    QCOMPARE(int(Ident), 58);
    QCOMPARE(int(eof), 59);
}

void TestSeqScanner::longNoteKeepsRoomForNames()
{
    // Far more kept names than the initial buffer holds: every name stays readable.
    TSeqScanner scanner;
    QString text;
    for (int i = 0; i < 5000; ++i)
        text += QStringLiteral("name%1 ").arg(i);
    scanner.SetSource(text + QStringLiteral("\r\n"));
    QList<qint32> positions;
    for (scanner.GetSym(); scanner.sym() == Ident; scanner.GetSym()) {
        if (scanner.GetIdent(scanner.idPos()).startsWith(QStringLiteral("NAME"))) {
            positions << scanner.idPos();
            scanner.KeepId();
        }
    }
    QCOMPARE(positions.size(), 5000);
    QVERIFY(positions.last() > TSeqScanner::InitialBufferSize);
    QCOMPARE(scanner.GetIdent(positions.last()), QStringLiteral("NAME4999"));
    QCOMPARE(scanner.ErrorCode(), 0);

    // After a reset the old names are gone.
    const qint32 old = positions.last();
    scanner.Reset();
    QCOMPARE(scanner.GetIdent(old), QString());
}

void TestSeqScanner::unclosedCommentsEndTheScan()
{
    for (const QString &text :
         {QStringLiteral("x { never closed\r\n y"), QStringLiteral("x (* never closed *\r\n*")}) {
        TSeqScanner scanner;
        QCOMPARE(scanAll(scanner, text), QStringLiteral("Ident:X eof"));
    }
}

void TestSeqScanner::fullBufferEndsTheScan()
{
    // A name longer than the buffer can hold is consumed all the same, and the scan ends there.
    TSeqScanner scanner;
    scanner.SetSource(QString(TSeqScanner::BufferLimit, u'a') + QStringLiteral(" b\r\n"));
    scanner.GetSym();
    QCOMPARE(scanner.sym(), eof);
    QCOMPARE(scanner.ErrorCode(), TSeqScanner::BufferFullError);
    QCOMPARE(scanner.ch(), u' ');
}

QTEST_APPLESS_MAIN(TestSeqScanner)
#include "tst_seqscanner.moc"
