#include "cli/notefile.h"

#include "richtext/rtfreader.h"

#include <QFile>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>

bool NoteFile::load(const QString &path, QTextDocument *document, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    document->setUndoRedoEnabled(false); // nothing to undo in a one-shot conversion
    document->clear();
    QTextCursor cursor(document);
    QString reason;
    if (!RtfReader::read(data, cursor, &reason)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, reason);
        return false;
    }
    return true;
}

bool NoteFile::writeOut(const QByteArray &bytes)
{
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size())
           && std::fflush(stdout) == 0;
}

int NoteFile::fail(const QString &message)
{
    std::fprintf(stderr, "qelnote: %s\n", qPrintable(message));
    return 1;
}
