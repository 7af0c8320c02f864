#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// count bytes from the system's cryptographically strong random source.
QByteArray RandomBytes(int count);

// A source of random bytes: count bytes, or fewer (none) when it fails.
using RandomSource = std::function<QByteArray(int count)>;

// A password of Length characters, each drawn uniformly from Alphabet: random
// bytes that are alphabet characters are kept, the others passed over. Nothing
// when the source fails or gives no usable byte in a generous number of
// draws, so a broken source can never keep the caller waiting.
std::optional<QString> RandomPassword(const RandomSource &source = RandomBytes);

namespace PasswordAlphabet {
inline constexpr QLatin1StringView Characters{
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ;,!_-"};
inline constexpr int Length = 17;
} // namespace PasswordAlphabet
