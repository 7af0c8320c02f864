#include "spell/personalwords.h"

#include "platform/wholefile.h"

#include <QFile>

#include <algorithm>

namespace {

// Far above any list a person writes by hand.
constexpr qint64 MaxListSize = 8 * 1024 * 1024;

} // namespace

PersonalWords::PersonalWords(QString path)
    : m_path(std::move(path))
{
    QString error;
    reload(&error);
}

bool PersonalWords::reload(QString *error)
{
    if (!QFile::exists(m_path)) {
        m_words.clear();
        return true;
    }
    const std::optional<QByteArray> data = readWholeFile(m_path, MaxListSize, error);
    if (!data)
        return false;
    m_words.clear();
    for (const QString &line : QString::fromUtf8(*data).split(QLatin1Char('\n'))) {
        const QString word = line.trimmed();
        if (!word.isEmpty())
            m_words.insert(word);
    }
    return true;
}

bool PersonalWords::add(const QString &word, QString *error)
{
    // A list that cannot be read is never replaced by a shorter one.
    QString readError;
    if (!reload(&readError)) {
        m_words.insert(word);
        *error = m_path + QStringLiteral(": ") + readError;
        return false;
    }
    m_words.insert(word);
    QStringList sorted = m_words.values();
    std::sort(sorted.begin(), sorted.end());
    return writeWholeFile(m_path, (sorted.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8(),
                          error);
}
