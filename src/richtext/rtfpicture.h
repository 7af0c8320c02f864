#pragma once

#include <QByteArray>
#include <QImage>
#include <QSizeF>

// The data and properties of one RTF \pict group, and what can be decoded of
// it: PNG and JPEG pictures, device-independent and device-dependent bitmaps
// as pictures; metafiles only as a preview of the bitmap they carry.
class RtfPicture
{
public:
    enum Kind { Unknown, Png, Jpeg, Dib, DeviceBitmap, WindowsMetafile, EnhancedMetafile };

    Kind kind = Unknown;
    QByteArray data;
    int width = 0;      // \picw: pixels for bitmaps
    int height = 0;     // \pich
    int goalWidth = 0;  // \picwgoal: twips
    int goalHeight = 0; // \pichgoal
    int scaleX = 100;   // \picscalex: percent
    int scaleY = 100;
    int bitsPerPixel = 1; // \wbmbitspixel
    int widthBytes = 0;   // \wbmwidthbytes

    // Adds the hex digits of a text run to the data (other bytes are skipped).
    void addHex(QByteArrayView text);

    // The picture, or a null image when it cannot be shown as a picture or its
    // pixels would take more than *budget bytes; the image's bytes are taken
    // from *budget. *error tells why damaged PNG data could not be decoded.
    QImage decode(qint64 *budget, QString *error) const;
    // A bitmap found inside a metafile, or a null image; the budget as above.
    QImage preview(qint64 *budget) const;
    // The size on the page in document units; empty when the RTF gives none
    // and image is null.
    QSizeF displaySize(const QImage &image) const;

    // A packed device-independent bitmap (header, colours, bits) as an image.
    static QImage imageFromDib(QByteArrayView dib, qint64 *budget);

private:
    static QImage readImage(const QByteArray &bytes, const char *format, qint64 *budget);
    QImage deviceBitmap(qint64 *budget) const;
    QImage bitmapInWindowsMetafile(qint64 *budget) const;
    QImage bitmapInEnhancedMetafile(qint64 *budget) const;

    int m_pendingNibble = -1;
};
