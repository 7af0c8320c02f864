#include "richtext/codepage.h"

#include <QMutex>
#include <QStringDecoder>

#include <map>
#include <memory>

namespace {

QByteArray decoderName(int codePage)
{
    switch (codePage) {
    // The Mac East Asian code pages are the Windows ones in all but a few
    // symbols, which the converters have no tables for.
    case 932:
    case 10001:
        return "Shift_JIS";
    case 936:
    case 10008:
        return "GBK";
    case 949:
    case 10003:
        return "windows-949";
    case 950:
    case 10002:
        return "Big5";
    case 437:
    case 850:
    case 852:
    case 866:
        return "IBM" + QByteArray::number(codePage);
    case 65001:
        return "UTF-8";
    default:
        return "windows-" + QByteArray::number(codePage);
    }
}

CodePage::Table buildTable(int codePage)
{
    CodePage::Table table{};
    if (codePage == CodePage::Symbol) {
        for (int byte = 0; byte < 256; ++byte)
            table[byte] = char16_t(byte);
        return table;
    }
    QStringDecoder decoder(decoderName(codePage).constData());
    if (!decoder.isValid() || CodePage::isMultiByte(codePage))
        decoder = QStringDecoder(decoderName(CodePage::System).constData());
    for (int byte = 0; byte < 256; ++byte) {
        const char c = char(byte);
        const QString s = decoder.decode(QByteArrayView(&c, 1));
        decoder.resetState();
        table[byte] = s.size() == 1 ? s.at(0).unicode() : char16_t(0xFFFD);
    }
    return table;
}

} // namespace

int CodePage::fromCharset(int charset, int fallback)
{
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return Symbol;
    case 77:
        return 10000;
    case 78:
        return 10001;
    case 79:
        return 10003;
    case 80:
        return 10008;
    case 81:
        return 10002;
    case 83:
        return 10005;
    case 84:
        return 10004;
    case 85:
        return 10006;
    case 86:
        return 10081;
    case 87:
        return 10021;
    case 88:
        return 10029;
    case 89:
        return 10007;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    default:
        return fallback;
    }
}

bool CodePage::isMultiByte(int codePage)
{
    switch (codePage) {
    case 932:
    case 936:
    case 949:
    case 950:
    case 10001:
    case 10002:
    case 10003:
    case 10008:
    case 65001: // UTF-8
        return true;
    default:
        return false;
    }
}

const CodePage::Table &CodePage::table(int codePage)
{
    static QMutex mutex;
    static std::map<int, std::unique_ptr<Table>> tables;
    const QMutexLocker locker(&mutex);
    auto &entry = tables[codePage];
    if (!entry)
        entry = std::make_unique<Table>(buildTable(codePage));
    return *entry;
}

QString CodePage::decode(QByteArrayView bytes, int codePage)
{
    if (isMultiByte(codePage)) {
        QStringDecoder decoder(decoderName(codePage).constData());
        if (decoder.isValid())
            return decoder.decode(bytes);
    }
    const Table &map = table(codePage);
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes)
        *out++ = QChar(map[uchar(byte)]);
    return text;
}

QString CodePage::decodePlainText(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.sliced(3));
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringConverter::Utf16LE).decode(bytes.sliced(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringConverter::Utf16BE).decode(bytes.sliced(2));
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    // Text in the system code page is almost never valid UTF-8 by chance.
    return utf8.hasError() ? decode(bytes, System) : text;
}
