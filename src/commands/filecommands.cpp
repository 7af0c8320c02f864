#include "commands/filecommands.h"

#include "commands/commanddialogs.h"
#include "richedit/jvrichedit.h"
#include "richtext/codepage.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPrinter>
#include <QStringDecoder>

namespace {

const QString PrintTitle = QStringLiteral("QelNotes");

bool isRtf(const QByteArray &data)
{
    return data.startsWith("{\\rtf");
}

bool hasByteOrderMark(const QByteArray &data)
{
    return data.startsWith("\xEF\xBB\xBF") || data.startsWith("\xFF\xFE")
           || data.startsWith("\xFE\xFF");
}

// Text holds no control characters but the layout ones (tab, line and page
// breaks, escape); anything else marks a picture, a program, an archive...
bool looksLikeText(const QByteArray &data)
{
    if (hasByteOrderMark(data))
        return true;
    for (const char c : data) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 && byte != '\t' && byte != '\n' && byte != '\v' && byte != '\f'
            && byte != '\r' && byte != 0x1B)
            return false;
    }
    return true;
}

// Text files of this desktop are UTF-8; others are taken in the 8-bit code
// page notes have always used.
QString decodeText(const QByteArray &data)
{
    if (auto encoding = QStringConverter::encodingForData(data)) {
        QStringDecoder decoder(*encoding);
        return decoder.decode(data);
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8.decode(data);
    return utf8.hasError() ? CodePage::decode(data, CodePage::System) : text;
}

QString nativeName(const QString &fileName)
{
    return QDir::toNativeSeparators(fileName);
}

} // namespace

FileCommands::FileCommands(TJvRichEdit &editor, CommandDialogs &dialogs)
    : m_editor(editor)
    , m_dialogs(dialogs)
{}

void FileCommands::open()
{
    QPointer<TJvRichEdit> editor(&m_editor);
    const QString fileName = m_dialogs.openFileName(m_editor.window());
    if (fileName.isEmpty() || !editor)
        return;
    QString message;
    if (!insertFile(fileName, &message)) {
        m_dialogs.showError(
            m_editor.window(), QObject::tr("Open"),
            QObject::tr("%1 cannot be opened: %2").arg(nativeName(fileName), message));
    } else if (!message.isEmpty()) {
        m_dialogs.showError(
            m_editor.window(), QObject::tr("Open"),
            QObject::tr("%1 could be read only in part: %2").arg(nativeName(fileName), message));
    }
}

bool FileCommands::insertFile(const QString &fileName, QString *message)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *message = file.errorString();
        return false;
    }
    if (file.size() > MaximumOpenSize) {
        *message
            = QObject::tr("the file is larger than %1 MB.").arg(MaximumOpenSize / (1024 * 1024));
        return false;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *message = file.errorString();
        return false;
    }
    if (isRtf(data)) {
        QBuffer stream(&data);
        stream.open(QIODevice::ReadOnly);
        if (!m_editor.Lines().LoadFromStream(stream, message))
            return false;
        *message = m_editor.Lines().loadDamage();
        return true;
    }
    if (!looksLikeText(data)) {
        *message = QObject::tr("it is neither a rich text nor a text file.");
        return false;
    }
    m_editor.setSelText(decodeText(data));
    return true;
}

void FileCommands::saveAs()
{
    QPointer<TJvRichEdit> editor(&m_editor);
    const QString fileName = m_dialogs.saveFileName(m_editor.window());
    if (fileName.isEmpty() || !editor)
        return;
    QString error;
    if (!m_editor.Lines().SaveToFile(fileName, &error)) {
        m_dialogs.showError(m_editor.window(), QObject::tr("Save As"),
                            QObject::tr("%1 cannot be saved: %2").arg(nativeName(fileName), error));
    }
}

void FileCommands::print()
{
    QPointer<TJvRichEdit> editor(&m_editor);
    QPrinter printer(QPrinter::HighResolution);
    if (!m_dialogs.setUpPrinter(m_editor.window(), printer) || !editor)
        return;
    if (!m_editor.Print(PrintTitle, printer)) {
        const QString target = printer.outputFileName().isEmpty()
                                   ? printer.printerName()
                                   : nativeName(printer.outputFileName());
        m_dialogs.showError(m_editor.window(), QObject::tr("Print"),
                            QObject::tr("The note could not be printed on %1.").arg(target));
    }
}
