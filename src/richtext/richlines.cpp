#include "richtext/richlines.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextCursor>
#include <QTextDocument>

#include "platform/wholefile.h"
#include "richtext/codepage.h"
#include "richtext/richdocument.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

namespace {

const QString LoadFailed = QStringLiteral("Failed to Load Stream");
const QString SaveFailed = QStringLiteral("Failed to Save Stream");

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

bool isPlainFile(const QString &fileName, TStreamFormat format)
{
    if (format == TStreamFormat::sfDefault)
        return QFileInfo(fileName).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0;
    return format == TStreamFormat::sfPlainText;
}

// Plain text is UTF-16 with smUnicode; otherwise CodePage finds out what it is.
// A byte-order mark says for itself what the text is.
QString decodePlain(const QByteArray &data, bool unicode)
{
    const bool marked = data.startsWith("\xEF\xBB\xBF") || data.startsWith("\xFF\xFE")
                        || data.startsWith("\xFE\xFF");
    if (unicode && !marked)
        return QStringDecoder(QStringConverter::Utf16LE).decode(data);
    return CodePage::decodePlainText(data);
}

QByteArray encodePlain(const QString &text, bool unicode)
{
    if (unicode)
        return QStringEncoder(QStringConverter::Utf16LE).encode(text);
    QStringEncoder encoder("windows-1252");
    return encoder.isValid() ? QByteArray(encoder.encode(text)) : text.toLatin1();
}

// The selected text with paragraph breaks as CR LF, as plain text files hold them.
QString plainTextOf(const QString &selectedText)
{
    QString text = selectedText;
    text.replace(QLatin1Char('\r'), QLatin1String("\r\n"));
    return text;
}

} // namespace

RichLines::RichLines(RichDocument &document)
    : m_document(document)
{}

bool RichLines::LoadFromFile(const QString &fileName, QString *error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, file.errorString());
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(error, file.errorString());
    return load(data, isPlainFile(fileName, m_document.StreamFormat()), inSelectionMode(), error);
}

bool RichLines::SaveToFile(const QString &fileName, QString *error)
{
    const QByteArray data
        = save(isPlainFile(fileName, m_document.StreamFormat()), inSelectionMode());
    return writeWholeFile(fileName, data, error);
}

bool RichLines::LoadFromStream(QIODevice &stream, QString *error)
{
    if (!stream.isReadable())
        return fail(error, LoadFailed);
    return load(stream.readAll(), m_document.StreamFormat() == TStreamFormat::sfPlainText,
                inSelectionMode(), error);
}

bool RichLines::SaveToStream(QIODevice &stream, QString *error)
{
    const QByteArray data
        = save(m_document.StreamFormat() == TStreamFormat::sfPlainText, inSelectionMode());
    if (!stream.isWritable() || stream.write(data) != data.size())
        return fail(error, SaveFailed);
    return true;
}

bool RichLines::inSelectionMode() const
{
    return m_document.StreamMode().testFlag(TStreamMode::smSelection);
}

bool RichLines::load(const QByteArray &data, bool plain, bool selectionOnly, QString *error)
{
    QTextDocument *document = m_document.textDocument();
    QTextCursor cursor = m_document.currentCursor();
    if (!selectionOnly)
        cursor.select(QTextCursor::Document);

    m_loadDamage.clear();
    if (plain) {
        const QString text
            = decodePlain(data, m_document.StreamMode().testFlag(TStreamMode::smUnicode));
        if (!selectionOnly) {
            m_document.setText(text);
            cursor = m_document.currentCursor();
        } else {
            const QTextCharFormat format = m_document.insertionFormat();
            cursor.beginEditBlock();
            cursor.removeSelectedText();
            cursor.insertText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")),
                              format);
            cursor.endEditBlock();
        }
    } else if (const RtfReader::Result read = RtfReader::read(data, cursor); !read) {
        return fail(error, LoadFailed);
    } else {
        m_loadDamage = read.message;
    }

    if (selectionOnly) {
        cursor.clearSelection();
    } else {
        // A whole new document: nothing to undo into, nothing changed yet, caret at the start.
        document->clearUndoRedoStacks();
        document->setModified(false);
        cursor.setPosition(0);
    }
    m_document.applyCursor(cursor);
    return true;
}

QByteArray RichLines::save(bool plain, bool selectionOnly) const
{
    const bool unicode = m_document.StreamMode().testFlag(TStreamMode::smUnicode);
    if (plain)
        return encodePlain(selectionOnly ? plainTextOf(m_document.SelText()) : m_document.Text(),
                           unicode);
    if (!selectionOnly)
        return RtfWriter::write(*m_document.textDocument());
    const QTextCursor cursor = m_document.currentCursor();
    return RtfWriter::write(*m_document.textDocument(), cursor.selectionStart(),
                            cursor.selectionEnd());
}

void RichLines::BeginUpdate()
{
    if (m_updateDepth++ == 0)
        m_document.setUpdatesSuspended(true);
}

void RichLines::EndUpdate()
{
    if (m_updateDepth == 0)
        return;
    if (--m_updateDepth == 0)
        m_document.setUpdatesSuspended(false);
}
