#include "cli/notefile.h"

#include "cli/subcommand.h"

#include "platform/notefilename.h"
#include "platform/wholefile.h"
#include "richtext/notetitle.h"
#include "richtext/richdocument.h"
#include "richtext/rtfreader.h"
#include "richtext/textformat.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <memory>

bool NoteFile::load(const QString &path, RichDocument &document, QString *error)
{
    QString reason;
    const std::optional<QByteArray> data = readWholeFile(path, FileSizeLimits::Note, &reason);
    if (!data) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, reason);
        return false;
    }
    // Nothing is undone in a one-shot run: the reader need not record its steps.
    QTextDocument *text = document.textDocument();
    text->setUndoRedoEnabled(false);
    QTextCursor cursor(text);
    cursor.select(QTextCursor::Document);
    const RtfReader::Result read = RtfReader::read(*data, cursor);
    if (!read) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, read.message);
        return false;
    }
    if (read.damaged())
        warn(QStringLiteral("%1 is damaged, read as far as it goes: %2").arg(path, read.message));
    else if (!read.pictureMessage.isEmpty())
        warn(QStringLiteral("%1: %2").arg(path, read.pictureMessage));
    return true;
}

bool NoteFile::notesOfFolder(const QString &folder, QStringList *files, QString *error)
{
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable()) {
        *error = QStringLiteral("%1 is not a readable folder").arg(folder);
        return false;
    }
    *files = NoteFilesInBoardOrder(QDir(folder).absolutePath() + u'/');
    return true;
}

bool NoteFile::forEachNote(const QStringList &files,
                           const std::function<bool(qsizetype number, RichDocument &document)> &use)
{
    bool whole = true;
    for (qsizetype number = 0; number < files.size(); ++number) {
        RichDocument document;
        QString error;
        if (!load(files.at(number), document, &error)) {
            warn(error);
            whole = false;
        } else if (!use(number, document)) {
            break;
        }
    }
    return whole;
}

QString NoteFile::title(const RichDocument &document)
{
    QString title = NoteTitle(document.Text());
    title.chop(2); // the dots
    return title;
}

namespace {

bool hasHiddenText(const QTextDocument &document)
{
    const QList<QTextFormat> formats = document.allFormats();
    return std::any_of(formats.cbegin(), formats.cend(), [](const QTextFormat &format) {
        return format.objectType() == TextFormat::HiddenTextType;
    });
}

// Texts from this many characters on are converted in two halves at once.
constexpr qsizetype ParallelSize = 1024 * 1024;

// The raw text with every break a line feed, as UTF-8.
QByteArray linesInUtf8(QString text)
{
    QChar *const data = text.data(); // the halves share one buffer of the text's own
    const auto convert = [data](qsizetype from, qsizetype to) {
        // Every break lies at or above the line separator: one comparison passes over almost
        // every character.
        for (QChar *c = data + from; c != data + to; ++c) {
            if (*c >= QChar::LineSeparator && TextFormat::isBreak(*c))
                *c = u'\n';
        }
        return QStringView(data + from, to - from).toUtf8();
    };
    const qsizetype size = text.size();
    if (size < ParallelSize)
        return convert(0, size);
    qsizetype half = size / 2;
    if (data[half].isLowSurrogate())
        ++half; // a surrogate pair stays in one half
    QByteArray second;
    const std::unique_ptr<QThread> thread(QThread::create([&] { second = convert(half, size); }));
    thread->start();
    QByteArray first = convert(0, half);
    thread->wait();
    return first.append(second);
}

} // namespace

QByteArray NoteFile::plainText(const QTextDocument &document)
{
    if (document.characterCount() <= 1)
        return {};
    // A note without hidden text (almost every note) is its raw text with every break made a
    // line feed: one copy instead of one per piece of text.
    if (!hasHiddenText(document)) {
        QString text = document.toRawText();
        text += u'\n';
        return linesInUtf8(std::move(text));
    }
    QString text;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            // Hidden text stays hidden; fragment texts keep non-breaking spaces as they are.
            if (it.fragment().charFormat().objectType() != TextFormat::HiddenTextType)
                text += it.fragment().text();
        }
        text += u'\n';
    }
    text.replace(QChar::LineSeparator, u'\n');
    return text.toUtf8();
}

int NoteFile::printNote(const QStringList &arguments, QByteArray (*render)(const RichDocument &),
                        const char *what)
{
    if (arguments.size() != 1)
        return Subcommand::BadArguments;
    RichDocument document;
    QString error;
    if (!load(arguments.first(), document, &error))
        return fail(error);
    if (!writeOut(render(document)))
        return fail(
            QStringLiteral("cannot write the %1 to standard output").arg(QLatin1String(what)));
    return 0;
}

bool NoteFile::writeOut(const QByteArray &bytes)
{
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size())
           && std::fflush(stdout) == 0;
}

void NoteFile::warn(const QString &message)
{
    std::fprintf(stderr, "qelnote: %s\n", qPrintable(message));
}

int NoteFile::fail(const QString &message)
{
    warn(message);
    return 1;
}
