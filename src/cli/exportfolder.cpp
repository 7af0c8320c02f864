#include "cli/exportfolder.h"

#include "platform/wholefile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace {

// Record and exported files are read only up to this size: anything larger
// is not what an export wrote.
constexpr qint64 MaxReadSize = 256 * 1024 * 1024;

QByteArray digest(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// The contents of a regular file that is no link, or nothing.
std::optional<QByteArray> readRegular(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile() || info.size() > MaxReadSize)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.read(MaxReadSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > MaxReadSize)
        return std::nullopt;
    return bytes;
}

// "3 Title.html" -> "3 Title (2).html"
QString variant(const QString &name, int number)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    const qsizetype end = dot > 0 ? dot : name.size();
    return name.left(end) + QStringLiteral(" (%1)").arg(number) + name.mid(end);
}

} // namespace

ExportFolder::ExportFolder(const QString &path)
    : m_folder(path)
{}

bool ExportFolder::open(QString *error)
{
    if (!m_folder.mkpath(QStringLiteral("."))) {
        *error = QStringLiteral("cannot make the folder %1").arg(m_folder.path());
        return false;
    }
    const std::optional<QByteArray> record = readRegular(m_folder.filePath(RecordName));
    if (!record)
        return true;
    for (const QByteArray &line : record->split('\n')) {
        const qsizetype blank = line.indexOf(' ');
        if (blank > 0)
            m_written.insert(QString::fromUtf8(line.mid(blank + 1)), line.left(blank));
    }
    return true;
}

ExportFolder::Place ExportFolder::place(const QString &name) const
{
    const QString path = m_folder.filePath(name);
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return Place::Free;
    const auto recorded = m_written.constFind(name);
    if (recorded == m_written.constEnd())
        return Place::Taken;
    const std::optional<QByteArray> bytes = readRegular(path);
    return bytes && digest(*bytes) == *recorded ? Place::Ours : Place::Taken;
}

bool ExportFolder::writeAt(const QString &name, Place place, const QByteArray &bytes,
                           QString *error) const
{
    const QString path = m_folder.filePath(name);
    if (place == Place::Free) {
        // Claim the name: creating a new file fails on anything there, a
        // dangling link too, so nothing is written through a link made meanwhile.
        QFile claim(path);
        if (!claim.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            *error = claim.errorString();
            return false;
        }
        claim.close();
    }
    if (writeWholeFile(path, bytes, error))
        return true;
    if (place == Place::Free)
        QFile::remove(path);
    return false;
}

std::optional<ExportFolder::Written> ExportFolder::write(const QString &name,
                                                         const QByteArray &bytes, QString *error)
{
    Written written;
    for (int number = 1;; ++number) {
        const QString candidate = number == 1 ? name : variant(name, number);
        const Place found = place(candidate);
        if (found == Place::Taken) {
            written.renamed = true;
            continue;
        }
        if (!writeAt(candidate, found, bytes, error)) {
            const QFileInfo now(m_folder.filePath(candidate));
            if (found == Place::Free && (now.exists() || now.isSymLink())) {
                written.renamed = true; // something took the name meanwhile
                continue;
            }
            *error
                = QStringLiteral("cannot write %1: %2").arg(m_folder.filePath(candidate), *error);
            return std::nullopt;
        }
        m_written.insert(candidate, digest(bytes));
        written.path = m_folder.filePath(candidate);
        return written;
    }
}

bool ExportFolder::saveRecord(QString *error) const
{
    QByteArray record;
    for (auto it = m_written.constBegin(); it != m_written.constEnd(); ++it)
        record += it.value() + ' ' + it.key().toUtf8() + '\n';
    const QString path = m_folder.filePath(RecordName);
    const QFileInfo info(path);
    if (info.isSymLink() || (info.exists() && !info.isFile())) {
        *error = QStringLiteral("%1 is not a file: the record of exported files was not kept")
                     .arg(path);
        return false;
    }
    if (writeAt(RecordName, info.exists() ? Place::Ours : Place::Free, record, error))
        return true;
    *error = QStringLiteral("cannot write %1: %2").arg(path, *error);
    return false;
}
