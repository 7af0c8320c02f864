#include "richtext/textfont.h"

#include <QFontDatabase>
#include <QFontInfo>

TextFont TextFont::standard()
{
    static const QString family = [] {
        const QString preferred = QStringLiteral("Tahoma");
        return QFontDatabase::hasFamily(preferred)
                   ? preferred
                   // The face the desktop's font is drawn in: its family may be a generic
                   // name ("Sans Serif") that other programs reading a note do not know.
                   : QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family();
    }();
    QFont font(family);
    font.setPointSize(8);
    return {font, QColor()};
}
