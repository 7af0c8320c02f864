#pragma once

#include <QByteArray>

// A long note as the rich-edit control writes it: paragraphs of sentences
// where about every other sentence has a phrase in bold, italic, colour,
// highlight, underline or another font; accented letters as \'hh and Cyrillic
// as \u; tabs, line breaks, links and now and then a few bullets. The same
// size gives the same note. Dense, the format changes at every word instead.
inline QByteArray generateNote(qsizetype size, bool dense = false)
{
    static const char *const words[] = {
        "note",
        "calc",
        "meeting",
        "Caf\\'e9",
        "Gr\\'fc\\'dfe",
        "\\u1055?\\u1088?\\u1080?",
        "x",
        "=",
        "12.5",
        "remember",
        "the",
        "quick",
        "brown",
        "fox",
        "jumps",
        "over",
        "lazy",
        "dog",
        "and",
        "\\{list\\}",
        "r\\'e9sum\\'e9",
        "2026",
        "matrix",
        "result",
        "monday",
        "call",
        "about",
        "budget",
        "with",
        "a",
    };
    static const char *const styles[] = {
        "\\b ",  "\\i ",          "\\cf1 ", "\\highlight3 ", "\\ul ", "\\cf2\\ulwave\\ulc1 ",
        "\\f1 ", "\\b\\i\\fs20 ",
    };
    static const char *const plain = "\\b0\\i0\\cf0\\highlight0\\ulnone\\f0\\fs16 ";
    QByteArray rtf;
    rtf.reserve(size + 4096);
    rtf += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl"
           "{\\f0\\fnil\\fcharset0 Tahoma;}{\\f1\\fnil\\fcharset0 Courier New;}"
           "{\\f2\\fnil\\fcharset2 Symbol;}}\r\n"
           "{\\colortbl "
           ";\\red255\\green0\\blue0;\\red0\\green0\\blue255;\\red255\\green255\\blue0;}\r\n"
           "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n\\pard\\f0\\fs16\\lang1033 ";
    quint32 seed = 12345;
    const auto next = [&seed](quint32 bound) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % bound;
    };
    const auto word = [&] {
        if (dense)
            rtf += next(2) ? styles[next(std::size(styles))] : plain;
        rtf += words[next(std::size(words))];
    };
    for (int paragraph = 0; rtf.size() < size; ++paragraph) {
        if (paragraph % 40 == 39) {
            for (int item = 0; item < 3; ++item) {
                rtf += item == 0
                           ? "\\pard{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0"
                             "{\\pntxtb\\'B7}}\\fi-200\\li200 "
                           : "{\\pntext\\f2\\'B7\\tab}";
                rtf += "item ";
                word();
                rtf += "\\par\r\n";
            }
            rtf += "\\pard ";
            continue;
        }
        for (int sentence = 2 + int(next(5)); sentence > 0; --sentence) {
            const int length = 8 + int(next(13));
            const int styled = next(2) ? int(next(quint32(length))) : -1;
            for (int w = 0; w < length; ++w) {
                if (w == styled) {
                    rtf += styles[next(std::size(styles))];
                    for (int n = 1 + int(next(3)); n > 0; --n) {
                        word();
                        rtf += ' ';
                    }
                    rtf += plain;
                }
                word();
                rtf += ' ';
            }
            rtf += ". ";
            if (next(8) == 0)
                rtf += "\\tab ";
            else if (next(12) == 0)
                rtf += "\\line ";
        }
        if (paragraph % 25 == 0) {
            rtf += "{\\field{\\*\\fldinst{HYPERLINK \"https://example.com/";
            rtf += QByteArray::number(paragraph);
            rtf += "\"}}{\\fldrslt{\\ul\\cf2 example link}}}";
        }
        rtf += "\\par\r\n";
    }
    rtf += "}\r\n";
    return rtf;
}
