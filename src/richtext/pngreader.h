#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QString>

// Decodes PNG data with libpng directly: libpng's own handlers, which Qt's
// image reader keeps, print damaged data's errors on standard error, past any
// message handling of the program. Here they come back as text instead.
class PngReader
{
public:
    // The picture, or a null image when the data is damaged (*error says why)
    // or its pixels would take more than *budget bytes; the image's bytes are
    // taken from *budget.
    static QImage read(QByteArrayView data, qint64 *budget, QString *error);
};
