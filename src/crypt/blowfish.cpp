#include "crypt/blowfish.h"

#include "crypt/piwords.h"

#include <QtEndian>

#include <utility>

namespace {

quint32 readBlockWord(const char *bytes)
{
    return qFromLittleEndian<quint32>(bytes);
}

void writeBlockWord(quint32 word, char *bytes)
{
    qToLittleEndian(word, bytes);
}

} // namespace

TBlowfish::TBlowfish()
{
    Reset();
}

TBlowfish::~TBlowfish()
{
    // No key material is left behind in freed memory.
    Reset();
}

void TBlowfish::Reset()
{
    for (size_t i = 0; i < PA.size(); ++i)
        PA[i] = PiFractionWords[i];
    size_t word = PA.size();
    for (auto &box : SB) {
        for (quint16 &entry : box)
            entry = quint16(PiFractionWords[word++]);
    }
}

bool TBlowfish::Set_Passwd(const QByteArray &APwd)
{
    Reset();
    if (APwd.isEmpty()) {
        m_errorText = "Password may not be zero";
        return false;
    }
    const auto key = [&APwd](size_t i) { return quint32(quint8(APwd.at(i % APwd.size()))); };
    for (size_t i = 0; i < PA.size(); ++i)
        PA[i] = key(4 * i) | key(4 * i + 1) << 8 | key(4 * i + 2) << 16 | key(4 * i + 3) << 24;

    quint32 l = 0;
    quint32 r = 0;
    for (size_t i = 0; i < PA.size(); i += 2) {
        encryptBlock(l, r);
        PA[i] = l;
        PA[i + 1] = r;
    }
    for (auto &box : SB) {
        for (size_t j = 0; j < box.size(); j += 2) {
            encryptBlock(l, r);
            box[j] = quint16(l);
            box[j + 1] = quint16(r);
        }
    }
    return true;
}

bool TBlowfish::Encrypt(TCharArray &data) const
{
    data.append(BlockSize - data.size() % BlockSize, '\0');
    for (qsizetype at = 0; at < data.size(); at += BlockSize) {
        char *block = data.data() + at;
        quint32 l = readBlockWord(block);
        quint32 r = readBlockWord(block + 4);
        encryptBlock(l, r);
        writeBlockWord(l, block);
        writeBlockWord(r, block + 4);
    }
    return true;
}

bool TBlowfish::Decrypt(TCharArray &data)
{
    if (data.size() % BlockSize != 0) {
        m_errorText = "Blowfish requires the input to be a multiple of 8 bytes (64bits) to work.";
        return false;
    }
    for (qsizetype at = 0; at < data.size(); at += BlockSize) {
        char *block = data.data() + at;
        quint32 l = readBlockWord(block);
        quint32 r = readBlockWord(block + 4);
        decryptBlock(l, r);
        writeBlockWord(l, block);
        writeBlockWord(r, block + 4);
    }
    return true;
}

quint32 TBlowfish::F(quint32 x) const
{
    // The least significant byte picks from the first box.
    return ((quint32(SB[0][x & 0xFF]) + SB[1][(x >> 8) & 0xFF]) ^ SB[2][(x >> 16) & 0xFF])
           + SB[3][x >> 24];
}

void TBlowfish::encryptBlock(quint32 &l, quint32 &r) const
{
    for (int i = 0; i < 16; ++i) {
        l ^= PA[i];
        r ^= F(l);
        std::swap(l, r);
    }
    std::swap(l, r);
    r ^= PA[16];
    l ^= PA[17];
}

void TBlowfish::decryptBlock(quint32 &l, quint32 &r) const
{
    for (int i = 17; i >= 2; --i) {
        l ^= PA[i];
        r ^= F(l);
        std::swap(l, r);
    }
    std::swap(l, r);
    r ^= PA[1];
    l ^= PA[0];
}
