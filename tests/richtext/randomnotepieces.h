#pragma once

#include <QByteArray>
#include <QList>

// RTF paragraph pieces that are blank, short, long, hidden, broken or in
// groups: random notes made of them in every order find where a reading that
// stops early, or one without a document, parts from the whole reading.
inline QList<QByteArray> randomNotePieces()
{
    return {"",
            " ",
            "\\tab ",
            "word",
            "a longer line of words",
            "{\\b bold} tail",
            "{\\v hid}",
            "x\\line y",
            "\\u1055?\\u1088?",
            "{\\i open",
            "a\\u13?b",
            "\\u10? c",
            "d\\u8233?e",
            "{\\pict\\pngblip 00}"};
}
