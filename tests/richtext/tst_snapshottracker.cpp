#include "richtext/rtfwriter.h"
#include "richtext/richdocument.h"
#include "richtext/snapshottracker.h"

#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

#include <functional>

using Edit = std::function<void(RichDocument &)>;
Q_DECLARE_METATYPE(Edit)

namespace {

void select(RichDocument &note, int start, int length)
{
    note.setSelStart(start);
    note.setSelLength(length);
}

int paragraphStart(const RichDocument &note, int paragraph)
{
    return note.textDocument()->findBlockByNumber(paragraph).position();
}

QImage picture(int width)
{
    QImage image(width, 6, QImage::Format_RGB32);
    image.fill(Qt::blue);
    return image;
}

} // namespace

// A snapshot kept up to date through edits writes what a snapshot taken
// afresh writes, after each edit, its undoing and its redoing.
class TestSnapshotTracker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void followsEdits_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::newRow("type in a paragraph") << Edit([](RichDocument &note) {
            select(note, 8, 0);
            note.setSelText(QStringLiteral("x"));
        });
        QTest::newRow("type at the start") << Edit([](RichDocument &note) {
            select(note, 0, 0);
            note.setSelText(QStringLiteral("y"));
        });
        QTest::newRow("type at the end") << Edit([](RichDocument &note) {
            select(note, note.textDocument()->characterCount() - 1, 0);
            note.setSelText(QStringLiteral("z"));
        });
        QTest::newRow("break a paragraph") << Edit([](RichDocument &note) {
            select(note, 2, 0);
            note.setSelText(QStringLiteral("\r\n"));
        });
        QTest::newRow("break one in a list") << Edit([](RichDocument &note) {
            select(note, paragraphStart(note, 2) + 2, 0);
            note.setSelText(QStringLiteral("\r\nnew item\r\n"));
        });
        QTest::newRow("join paragraphs") << Edit([](RichDocument &note) {
            select(note, paragraphStart(note, 1) - 1, 1);
            note.setSelText({});
        });
        QTest::newRow("delete across lists") << Edit([](RichDocument &note) {
            const int start = paragraphStart(note, 1) + 1;
            select(note, start, paragraphStart(note, 5) + 2 - start);
            note.setSelText({});
        });
        QTest::newRow("bold across paragraphs") << Edit([](RichDocument &note) {
            select(note, 3, paragraphStart(note, 2));
            note.SelAttributes().setStyle(TFontStyles(TFontStyle::fsItalic));
        });
        QTest::newRow("align a paragraph") << Edit([](RichDocument &note) {
            select(note, paragraphStart(note, 3), 0);
            note.Paragraph().setAlignment(TParaAlignment::paCenter);
        });
        QTest::newRow("number a paragraph") << Edit([](RichDocument &note) {
            select(note, paragraphStart(note, 3), 0);
            note.Paragraph().setNumbering(TNumberingStyle::nsBullet);
        });
        QTest::newRow("end a list item") << Edit([](RichDocument &note) {
            select(note, paragraphStart(note, 1), 0);
            note.Paragraph().setNumbering(TNumberingStyle::nsNone);
        });
        QTest::newRow("indent a list") << Edit([](RichDocument &note) {
            QTextList *list = note.textDocument()->findBlockByNumber(4).textList();
            QTextListFormat format = list->format();
            format.setIndent(3);
            list->setFormat(format);
        });
        QTest::newRow("insert a picture") << Edit([](RichDocument &note) {
            select(note, 4, 0);
            note.InsertGraphic(picture(5), true);
        });
        QTest::newRow("resize a picture") << Edit([](RichDocument &note) {
            QTextCursor cursor(note.textDocument());
            cursor.setPosition(note.textDocument()->characterCount() - 2);
            cursor.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor);
            QTextImageFormat format = cursor.charFormat().toImageFormat();
            QVERIFY(format.isValid());
            format.setWidth(40);
            cursor.setCharFormat(format);
        });
        QTest::newRow("replace the whole text")
            << Edit([](RichDocument &note) { note.setText(QStringLiteral("one\r\ntwo")); });
        QTest::newRow("load RTF") << Edit([](RichDocument &note) {
            QVERIFY(
                note.setRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 a\\par\\b b\\b0\\par c}"));
        });
        const auto loadTable = [](RichDocument &note) {
            QVERIFY(
                note.setRtf("{\\rtf1 a\\par\\trowd\\cellx900\\clmgf\\cellx1800\\clmrg\\cellx2700"
                            "\\intbl b\\cell c\\par d\\cell\\cell\\row\\trowd\\cellx900\\cellx1800"
                            "\\intbl e\\cell f\\cell\\row\\pard g}"));
        };
        QTest::newRow("load a table") << Edit(loadTable);
        QTest::newRow("type in a table's cell") << Edit([=](RichDocument &note) {
            loadTable(note);
            select(note, note.textDocument()->find(QStringLiteral("f")).position(), 0);
            note.setSelText(QStringLiteral("x\r\ny"));
        });
        QTest::newRow("add a row, merge cells") << Edit([=](RichDocument &note) {
            loadTable(note);
            QTextCursor cursor = note.textDocument()->find(QStringLiteral("e"));
            QTextTable *table = cursor.currentTable();
            QVERIFY(table);
            table->insertRows(1, 1);
            table->mergeCells(1, 0, 2, 1);
        });
        QTest::newRow("clear") << Edit([](RichDocument &note) { note.textDocument()->clear(); });
        QTest::newRow("change the default font") << Edit([](RichDocument &note) {
            note.textDocument()->setDefaultFont(QFont(QStringLiteral("Courier New"), 15));
        });
    }

    void followsEdits()
    {
        QFETCH(Edit, edit);
        RichDocument note;
        note.setText(QStringLiteral("first\r\nsecond\r\nthird\r\n\r\nfourth\r\nfifth"));
        for (int paragraph : {1, 2, 4, 5}) {
            select(note, paragraphStart(note, paragraph), 0);
            note.Paragraph().setNumbering(TNumberingStyle::nsBullet);
        }
        select(note, 3, 4);
        note.SelAttributes().setStyle(TFontStyles(TFontStyle::fsBold));
        select(note, note.textDocument()->characterCount() - 1, 0);
        note.InsertGraphic(picture(8), false);
        QTextDocument &document = *note.textDocument();
        SnapshotTracker tracker(document);

        const auto tracked = [&] {
            return RtfWriter::write(*tracker.snapshot().toDocument()) == RtfWriter::write(document);
        };
        QVERIFY2(tracked(), "before the edit");
        edit(note);
        QVERIFY2(tracked(), "after the edit");
        document.undo();
        QVERIFY2(tracked(), "after undoing it");
        document.redo();
        QVERIFY2(tracked(), "after redoing it");
        // Two edits between snapshots.
        document.undo();
        select(note, 1, 0);
        note.setSelText(QStringLiteral("\r\n"));
        QVERIFY2(tracked(), "after another edit");
    }

    // Edits over many paragraphs, while an earlier snapshot is held as the
    // save's worker holds it: the held one stays as it was taken.
    void followsEditsOfALongNote()
    {
        RichDocument note;
        QStringList lines;
        for (int line = 0; line < 1000; ++line)
            lines.append(QStringLiteral("line %1").arg(line));
        note.setText(lines.join(QStringLiteral("\r\n")));
        QTextDocument &document = *note.textDocument();
        SnapshotTracker tracker(document);
        const DocumentSnapshot held = tracker.snapshot();
        const QByteArray heldRtf = RtfWriter::write(document);

        const auto tracked = [&] {
            return RtfWriter::write(*tracker.snapshot().toDocument()) == RtfWriter::write(document);
        };
        const int deleted = paragraphStart(note, 200) + 3;
        select(note, deleted, paragraphStart(note, 700) - deleted);
        note.setSelText({});
        QVERIFY2(tracked(), "after deleting 500 paragraphs");
        select(note, paragraphStart(note, 100), 0);
        note.setSelText(lines.mid(0, 800).join(QStringLiteral("\r\n")));
        QVERIFY2(tracked(), "after pasting 800 paragraphs");
        for (int paragraph : {255, 256, 511, 512, 1000}) {
            select(note, paragraphStart(note, paragraph), 0);
            note.setSelText(QStringLiteral("typed"));
            select(note, paragraphStart(note, paragraph + 1) - 1, 1);
            note.setSelText({});
        }
        QVERIFY2(tracked(), "after typing and joining");
        while (document.isUndoAvailable())
            document.undo();
        QVERIFY2(tracked(), "after undoing everything");
        QCOMPARE(RtfWriter::write(*held.toDocument()), heldRtf);
    }
};

QTEST_MAIN(TestSnapshotTracker)
#include "tst_snapshottracker.moc"
