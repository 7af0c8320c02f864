#include "richtext/rtfpicture.h"

#include "richtext/pngreader.h"
#include "richtext/textformat.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

namespace {

quint16 le16(QByteArrayView data, qsizetype at)
{
    return qFromLittleEndian<quint16>(data.data() + at);
}

quint32 le32(QByteArrayView data, qsizetype at)
{
    return qFromLittleEndian<quint32>(data.data() + at);
}

void appendLe32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// Side length above which a device bitmap is refused rather than allocated.
constexpr int MaxBitmapSide = 32768;

} // namespace

void RtfPicture::addHex(QByteArrayView text)
{
    data.reserve(data.size() + text.size() / 2);
    for (const char c : text) {
        int value;
        if (c >= '0' && c <= '9')
            value = c - '0';
        else if (c >= 'a' && c <= 'f')
            value = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            value = c - 'A' + 10;
        else
            continue;
        if (m_pendingNibble < 0) {
            m_pendingNibble = value;
        } else {
            data.append(char(m_pendingNibble * 16 + value));
            m_pendingNibble = -1;
        }
    }
}

QImage RtfPicture::decode(qint64 *budget, QString *error) const
{
    switch (kind) {
    case Png:
        return PngReader::read(data, budget, error);
    case Jpeg:
        return readImage(data, "JPEG", budget);
    case Dib:
        return imageFromDib(data, budget);
    case DeviceBitmap:
        return deviceBitmap(budget);
    default:
        return {};
    }
}

QImage RtfPicture::preview(qint64 *budget) const
{
    if (kind == WindowsMetafile)
        return bitmapInWindowsMetafile(budget);
    if (kind == EnhancedMetafile)
        return bitmapInEnhancedMetafile(budget);
    return {};
}

QImage RtfPicture::readImage(const QByteArray &bytes, const char *format, qint64 *budget)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    // A few bytes of compressed data can claim a huge picture: the size is
    // checked before any pixel is allocated.
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() * 4 > *budget)
        return {};
    QImage image = reader.read();
    *budget -= image.sizeInBytes();
    return image;
}

QSizeF RtfPicture::displaySize(const QImage &image) const
{
    const qreal w = goalWidth > 0 ? TextFormat::twipsToUnits(goalWidth) : image.width();
    const qreal h = goalHeight > 0 ? TextFormat::twipsToUnits(goalHeight) : image.height();
    // Scaled beyond 22 inches a picture takes no more room than that.
    const qreal largest = TextFormat::twipsToUnits(31680);
    return QSizeF(qMin(w * qMax(1, scaleX) / 100.0, largest),
                  qMin(h * qMax(1, scaleY) / 100.0, largest));
}

QImage RtfPicture::imageFromDib(QByteArrayView dib, qint64 *budget)
{
    if (dib.size() < 12)
        return {};
    const quint32 headerSize = le32(dib, 0);
    if (headerSize < 12 || headerSize > quint32(dib.size()))
        return {};
    quint32 paletteBytes = 0;
    if (headerSize == 12) {
        const int bitCount = le16(dib, 10);
        paletteBytes = bitCount <= 8 ? (1u << bitCount) * 3 : 0;
    } else {
        if (dib.size() < 40)
            return {};
        const int bitCount = le16(dib, 14);
        const quint32 compression = le32(dib, 16);
        const quint32 coloursUsed = qMin<quint32>(le32(dib, 32), 1u << 16);
        const quint32 colours = coloursUsed ? coloursUsed : (bitCount <= 8 ? 1u << bitCount : 0);
        paletteBytes = colours * 4;
        if (headerSize == 40 && compression == 3)
            paletteBytes += 12; // the three colour masks of BI_BITFIELDS
    }
    // Bits said to start past the data: Qt's reader would complain on standard error.
    if (qint64(headerSize) + paletteBytes > dib.size())
        return {};
    // A BMP file is the packed bitmap behind a file header naming where the bits start.
    QByteArray file("BM");
    appendLe32(file, quint32(14 + dib.size()));
    appendLe32(file, 0);
    appendLe32(file, 14 + headerSize + paletteBytes);
    file.append(dib.data(), dib.size());
    return readImage(file, "BMP", budget);
}

QImage RtfPicture::deviceBitmap(qint64 *budget) const
{
    if (width <= 0 || height <= 0 || width > MaxBitmapSide || height > MaxBitmapSide
        || qint64(width) * height * 4 > *budget)
        return {};
    QImage::Format format;
    switch (bitsPerPixel) {
    case 1:
        format = QImage::Format_Mono;
        break;
    case 24:
        format = QImage::Format_BGR888;
        break;
    case 32:
        format = QImage::Format_RGB32;
        break;
    default:
        return {}; // palette bitmaps name no palette: nothing to show them with
    }
    // Rows of a device-dependent bitmap are padded to whole 16-bit words.
    const qint64 stride
        = widthBytes > 0 ? widthBytes : (qint64(width) * bitsPerPixel + 15) / 16 * 2;
    if (stride * 8 < qint64(width) * bitsPerPixel || stride * height > data.size())
        return {};
    QImage image(reinterpret_cast<const uchar *>(data.constData()), width, height, stride, format);
    if (format == QImage::Format_Mono)
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    image = image.copy();
    *budget -= image.sizeInBytes();
    return image;
}

QImage RtfPicture::bitmapInWindowsMetafile(qint64 *budget) const
{
    QByteArrayView wmf(data);
    qsizetype at = 0;
    if (wmf.size() >= 22 && le32(wmf, 0) == 0x9AC6CDD7u)
        at = 22; // placeable header
    if (wmf.size() < at + 18)
        return {};
    at += qsizetype(le16(wmf, at + 2)) * 2; // header size in 16-bit words
    while (at + 6 <= wmf.size()) {
        const qint64 recordBytes = qint64(le32(wmf, at)) * 2;
        const quint16 function = le16(wmf, at + 4);
        if (recordBytes < 6 || at + recordBytes > wmf.size() || function == 0)
            break;
        // Offset of the bitmap in the records that carry one.
        qsizetype dibOffset = 0;
        if (function == 0x0F43) // StretchDIBits
            dibOffset = 28;
        else if (function == 0x0B41) // DIBStretchBlt
            dibOffset = 26;
        else if (function == 0x0940) // DIBBitBlt
            dibOffset = 22;
        else if (function == 0x0D33) // SetDIBitsToDevice
            dibOffset = 24;
        if (dibOffset && recordBytes > dibOffset + 12) {
            const QImage image
                = imageFromDib(wmf.sliced(at + dibOffset, recordBytes - dibOffset), budget);
            if (!image.isNull())
                return image;
        }
        at += recordBytes;
    }
    return {};
}

QImage RtfPicture::bitmapInEnhancedMetafile(qint64 *budget) const
{
    QByteArrayView emf(data);
    qsizetype at = 0;
    while (at + 8 <= emf.size()) {
        const quint32 type = le32(emf, at);
        const quint32 size = le32(emf, at + 4);
        if (size < 8 || at + qint64(size) > emf.size())
            break;
        // SetDIBitsToDevice and StretchDIBits keep header and bits at the same offsets.
        if ((type == 80 || type == 81) && size >= 64) {
            const QByteArrayView record = emf.sliced(at, size);
            const quint32 headerAt = le32(record, 48), headerSize = le32(record, 52);
            const quint32 bitsAt = le32(record, 56), bitsSize = le32(record, 60);
            if (headerAt <= size && headerSize <= size - headerAt && bitsAt <= size
                && bitsSize <= size - bitsAt) {
                QByteArray dib = record.sliced(headerAt, headerSize).toByteArray();
                dib.append(record.sliced(bitsAt, bitsSize));
                const QImage image = imageFromDib(dib, budget);
                if (!image.isNull())
                    return image;
            }
        }
        if (type == 14) // end of file
            break;
        at += size;
    }
    return {};
}
