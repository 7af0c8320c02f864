#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>
#include <QTextFormat>
#include <QTextListFormat>

#include <vector>

// What an RTF document holds, read completely before any of it reaches a
// QTextDocument: the text, cut into runs of one character format, grouped in
// paragraphs, and the pictures and objects.
struct RtfContent
{
    struct Run
    {
        qsizetype start; // into text
        qsizetype length;
        int charFormat;  // index into charFormats
        int object = -1; // index into objects; the run is one U+FFFC
    };

    struct Paragraph
    {
        int blockFormat; // index into blockFormats
        int markFormat;  // character format of the paragraph mark
        int firstRun;
        int runCount;
        bool terminated; // ended by \par (otherwise the document ended)
    };

    struct Object
    {
        QImage image;       // a decoded picture
        QByteArray encoded; // the PNG or JPEG file it was decoded from
        QByteArray raw;     // else: the original RTF of a picture or object
        QImage preview;     // what a raw object looks like, when known
        QSizeF size;        // on the page, in document units
    };

    QString text;
    std::vector<Run> runs;
    std::vector<Paragraph> paragraphs;
    std::vector<QTextCharFormat> charFormats;
    std::vector<QTextBlockFormat> blockFormats;
    // By block format: the list its paragraphs belong to, of style 0 for none.
    std::vector<QTextListFormat> listFormats;
    std::vector<Object> objects;
    // Why the document could be read only up to where its data ends; empty
    // when it was whole.
    QString damage;
    // Reading stopped at a paragraph limit before the document ended.
    bool cut = false;
    // Why the first picture that could not be decoded is damaged; it is kept as
    // RTF like pictures of unknown kinds.
    QString damagedPicture;
};
