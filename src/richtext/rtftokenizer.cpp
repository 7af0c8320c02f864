#include "richtext/rtftokenizer.h"

#include <array>
#include <climits>

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The bytes that end a run of text.
constexpr auto endsText = [] {
    std::array<bool, 256> table{};
    for (const char c : {'{', '}', '\\', '\r', '\n', '\0'})
        table[uchar(c)] = true;
    return table;
}();

} // namespace

RtfTokenizer::RtfTokenizer(QByteArrayView data)
    : m_data(data.data())
    , m_size(data.size())
{}

bool RtfTokenizer::next(RtfToken &token)
{
    while (m_pos < m_size) {
        const char c = m_data[m_pos];
        token.offset = m_pos;
        switch (c) {
        case '{':
            ++m_pos;
            token.type = RtfToken::GroupStart;
            return true;
        case '}':
            ++m_pos;
            token.type = RtfToken::GroupEnd;
            return true;
        case '\\':
            if (readControl(token))
                return true;
            continue;
        case '\r':
        case '\n':
        case '\0':
            ++m_pos;
            continue;
        default:
            break;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_size && !endsText[uchar(m_data[m_pos])])
            ++m_pos;
        token.type = RtfToken::Text;
        token.text = QByteArrayView(m_data + start, m_pos - start);
        return true;
    }
    return false;
}

bool RtfTokenizer::readControl(RtfToken &token)
{
    ++m_pos; // the backslash
    if (m_pos >= m_size)
        return false;
    const char c = m_data[m_pos];
    if (isLetter(c)) {
        const qsizetype nameStart = m_pos;
        while (m_pos < m_size && isLetter(m_data[m_pos]))
            ++m_pos;
        token.type = RtfToken::ControlWord;
        token.text = QByteArrayView(m_data + nameStart, m_pos - nameStart);
        token.hasParam = false;
        token.param = 0;
        qsizetype p = m_pos;
        const bool negative = p < m_size && m_data[p] == '-';
        if (negative)
            ++p;
        if (p < m_size && isDigit(m_data[p])) {
            qint64 value = 0;
            while (p < m_size && isDigit(m_data[p])) {
                if (value <= INT_MAX)
                    value = value * 10 + (m_data[p] - '0');
                ++p;
            }
            value = qMin<qint64>(value, INT_MAX);
            token.hasParam = true;
            token.param = int(negative ? -value : value);
            m_pos = p;
        }
        if (m_pos < m_size && m_data[m_pos] == ' ')
            ++m_pos;
        return true;
    }
    if (c == '\'') {
        const int high = m_pos + 1 < m_size ? hexValue(m_data[m_pos + 1]) : -1;
        const int low = m_pos + 2 < m_size ? hexValue(m_data[m_pos + 2]) : -1;
        if (high >= 0 && low >= 0) {
            m_pos += 3;
            token.type = RtfToken::HexByte;
            token.byte = uchar(high * 16 + low);
            return true;
        }
        // A broken \' is dropped with the one hex digit it may have: the digit is no text.
        m_pos += high >= 0 ? 2 : 1;
        return false;
    }
    ++m_pos;
    token.type = RtfToken::ControlSymbol;
    token.symbol = c;
    return true;
}

bool RtfTokenizer::skipGroup()
{
    int depth = 1;
    while (m_pos < m_size) {
        const char c = m_data[m_pos];
        if (c == '{') {
            ++depth;
            ++m_pos;
        } else if (c == '}') {
            ++m_pos;
            if (--depth == 0)
                return true;
        } else if (c == '\\') {
            RtfToken token;
            if (readControl(token) && token.type == RtfToken::ControlWord && token.hasParam
                && token.text == "bin") {
                QByteArrayView skipped;
                if (!takeBinary(token.param, &skipped))
                    return false;
            }
        } else {
            ++m_pos;
        }
    }
    return false;
}

bool RtfTokenizer::takeBinary(qsizetype length, QByteArrayView *bytes)
{
    length = qMax<qsizetype>(length, 0);
    if (length > m_size - m_pos)
        return false;
    *bytes = QByteArrayView(m_data + m_pos, length);
    m_pos += length;
    return true;
}
