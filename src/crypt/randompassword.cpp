#include "crypt/randompassword.h"

#include <QRandomGenerator>

QByteArray RandomBytes(int count)
{
    QByteArray bytes(count, Qt::Uninitialized);
    QRandomGenerator::system()->generate(bytes.begin(), bytes.end());
    return bytes;
}

std::optional<QString> RandomPassword(const RandomSource &source)
{
    // A batch holds about 17 alphabet characters (67 of 256 byte values);
    // forty batches without them mean the source is not random at all.
    constexpr int Batch = 64;
    constexpr int MaxBatches = 40;
    QString password;
    for (int draw = 0; draw < MaxBatches && password.size() < PasswordAlphabet::Length; ++draw) {
        const QByteArray bytes = source(Batch);
        if (bytes.isEmpty())
            return std::nullopt;
        for (char byte : bytes) {
            if (password.size() < PasswordAlphabet::Length
                && PasswordAlphabet::Characters.contains(QLatin1Char(byte)))
                password += QLatin1Char(byte);
        }
    }
    if (password.size() < PasswordAlphabet::Length)
        return std::nullopt;
    return password;
}
