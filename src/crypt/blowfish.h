#pragma once

#include <QByteArray>

#include <array>

// The bytes the cipher works on, in place.
using TCharArray = QByteArray;

// The 64-bit block cipher of the crypt markers in notes: sixteen rounds over
// an 18-word key array and four boxes of 256 16-bit entries, both reset from
// pi's digits; the key words replace the array's entries, and blocks are read
// and written little-endian. Notes hold markers made by it, so none of that
// may change. Blocks are encrypted one by one (no chaining, no initial vector).
class TBlowfish
{
public:
    TBlowfish(); // in the reset state
    ~TBlowfish();
    TBlowfish(const TBlowfish &) = delete;
    TBlowfish &operator=(const TBlowfish &) = delete;

    // Back to the tables made of pi's digits.
    void Reset();
    // Resets and keys the tables with the bytes of APwd, used cyclically;
    // bytes beyond the 72nd have no effect. An empty key is refused (false,
    // ErrorText "Password may not be zero") and leaves the tables reset.
    bool Set_Passwd(const QByteArray &APwd);

    // Appends 1 to 8 zero bytes up to whole blocks (a whole block of zeros
    // when the length is a multiple of 8 already) and encrypts every block.
    bool Encrypt(TCharArray &data) const;
    // Decrypts every block; the padding comes back as zero bytes. A length
    // that is not a multiple of 8 is refused (false, ErrorText set, data
    // unchanged).
    bool Decrypt(TCharArray &data);

    QByteArray ErrorText() const { return m_errorText; }

    static constexpr int BlockSize = 8;

private:
    quint32 F(quint32 x) const;
    void encryptBlock(quint32 &l, quint32 &r) const;
    void decryptBlock(quint32 &l, quint32 &r) const;

    std::array<quint32, 18> PA;
    std::array<std::array<quint16, 256>, 4> SB;
    QByteArray m_errorText;
};
