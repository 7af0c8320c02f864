#include "richtext/documentsnapshot.h"
#include "richtext/richdocument.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"
#include "../faultwarnings.h"

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QThread>

// A snapshot made into a document again, on another thread, writes what the
// original writes: the periodic save stores it in place of the original.
class TestDocumentSnapshot : public QObject
{
    Q_OBJECT

private:
    static QByteArray writtenOnAnotherThread(const DocumentSnapshot &snapshot)
    {
        QByteArray written;
        std::unique_ptr<QThread> thread(
            QThread::create([&] { written = RtfWriter::write(*snapshot.toDocument()); }));
        thread->start();
        thread->wait();
        return written;
    }

private Q_SLOTS:
    void init() { failOnFaultWarnings(); }

    void sameRtfAsTheOriginal_data()
    {
        QTest::addColumn<QString>("file");
        const QDir data(QFINDTESTDATA("data"));
        for (const QString &name : data.entryList({QStringLiteral("*.rtf")}))
            QTest::newRow(qPrintable(name)) << data.filePath(name);
    }

    void sameRtfAsTheOriginal()
    {
        QFETCH(QString, file);
        QFile input(file);
        QVERIFY(input.open(QIODevice::ReadOnly));
        QTextDocument document;
        QTextCursor cursor(&document);
        RtfReader::read(input.readAll(), cursor);
        QCOMPARE(writtenOnAnotherThread(DocumentSnapshot::take(document)),
                 RtfWriter::write(document));
    }

    // Made by editing, not reading: two separate lists of one style, a
    // picture, a link, an empty paragraph and formats at paragraph ends.
    void sameRtfAfterEditing()
    {
        RichDocument note;
        note.setText(QStringLiteral("first\r\nsecond\r\nthird\r\n\r\nfourth\r\nfifth"));
        for (int paragraph : {1, 2, 4, 5}) {
            note.setSelStart(note.textDocument()->findBlockByNumber(paragraph).position());
            note.Paragraph().setNumbering(TNumberingStyle::nsBullet);
        }
        note.setSelStart(3);
        note.setSelLength(4);
        note.SelAttributes().setStyle(TFontStyles(TFontStyle::fsBold));
        QImage picture(8, 6, QImage::Format_RGB32);
        picture.fill(Qt::red);
        note.setSelStart(note.Text().size());
        note.InsertGraphic(picture, false);
        QTextCursor link(note.textDocument());
        link.setPosition(1);
        link.setPosition(4, QTextCursor::KeepAnchor);
        QTextCharFormat anchor;
        anchor.setAnchor(true);
        anchor.setAnchorHref(QStringLiteral("https://example.com/"));
        link.mergeCharFormat(anchor);

        const QTextDocument &document = *note.textDocument();
        QCOMPARE(writtenOnAnotherThread(DocumentSnapshot::take(document)),
                 RtfWriter::write(document));
    }

    // The editor holds a picture it has drawn as a QPixmap, which must not
    // reach the thread that writes the snapshot.
    void drawnPictureReachesTheWriterAsImage()
    {
        QImage picture(8, 6, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QTextDocument document;
        const QUrl name(QStringLiteral("drawn"));
        document.addResource(QTextDocument::ImageResource, name, QPixmap::fromImage(picture));
        QTextImageFormat format;
        format.setName(name.toString());
        QTextCursor(&document).insertImage(format);

        const DocumentSnapshot snapshot = DocumentSnapshot::take(document);
        const QVariant copied = snapshot.toDocument()->resource(QTextDocument::ImageResource, name);
        QCOMPARE(copied.typeId(), QMetaType::QImage);
        QCOMPARE(copied.value<QImage>().convertToFormat(QImage::Format_RGB32), picture);
        QCOMPARE(writtenOnAnotherThread(snapshot), RtfWriter::write(document));
    }
};

QTEST_MAIN(TestDocumentSnapshot)
#include "tst_documentsnapshot.moc"
