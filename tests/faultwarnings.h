#pragma once

#include <QRegularExpression>
#include <QTest>

// Makes the running test fail on any warning by which Qt tells of a fault in
// the calling code rather than of the platform: a pixmap used off the
// interface thread, an object given a parent or a timer across threads, an
// invalid image, color or position handed to Qt. Called from init().
inline void failOnFaultWarnings()
{
    static const char *const patterns[] = {
        "^QPixmap: It is not safe to use pixmaps outside the GUI thread",
        "in a different thread",
        "from another thread",
        "^QObject::connect: (Cannot queue arguments|No such (signal|slot))",
        "^QTextCursor::insertImage: attempt to add an invalid image",
        "^QTextCursor::setPosition: Position '-?\\d+' out of range",
        "^Qt: Invalid color format",
        "^QImage::setPixelColor: color is invalid",
        "^QPainter::begin: Cannot paint on a null (image|pixmap)",
    };
    for (const char *pattern : patterns)
        QTest::failOnWarning(QRegularExpression(QString::fromLatin1(pattern)));
}
