#include "richtext/pngreader.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace {

struct Source
{
    QByteArrayView data;
    qsizetype at = 0;
    QString error;
};

[[noreturn]] void fail(png_structp png, png_const_charp message)
{
    static_cast<Source *>(png_get_error_ptr(png))->error = QString::fromLatin1(message);
    png_longjmp(png, 1);
}

void ignore(png_structp, png_const_charp) {}

void readBytes(png_structp png, png_bytep out, size_t length)
{
    auto *source = static_cast<Source *>(png_get_io_ptr(png));
    if (length > size_t(source->data.size() - source->at))
        png_error(png, "the data ends early");
    std::memcpy(out, source->data.data() + source->at, length);
    source->at += qsizetype(length);
}

// libpng leaves its steps by longjmp on an error: no object with a destructor
// may live in the functions that call them.
bool readHeader(png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    // Every kind of PNG becomes 8-bit RGBA.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return true;
}

bool readRows(png_structp png, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

} // namespace

QImage PngReader::read(QByteArrayView data, qint64 *budget, QString *error)
{
    Source source;
    source.data = data;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, fail, ignore);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    QImage image;
    if (info) {
        png_set_read_fn(png, &source, readBytes);
        if (readHeader(png, info)) {
            const qint64 width = png_get_image_width(png, info);
            const qint64 height = png_get_image_height(png, info);
            // A few bytes of compressed data can claim a huge picture: the size
            // is checked before any pixel is allocated.
            if (width * height * 4 <= *budget)
                image = QImage(int(width), int(height), QImage::Format_RGBA8888);
            std::vector<png_bytep> rows(image.height());
            for (int y = 0; y < image.height(); ++y)
                rows[y] = image.scanLine(y);
            if (image.isNull() || !readRows(png, rows.data()))
                image = QImage();
            else
                *budget -= image.sizeInBytes();
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    *error = source.error;
    return image;
}
