#include "richtext/textfont.h"

#include <QFontDatabase>

TextFont TextFont::standard()
{
    static const QString family = [] {
        const QString preferred = QStringLiteral("Tahoma");
        return QFontDatabase::hasFamily(preferred)
                   ? preferred
                   : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    QFont font(family);
    font.setPointSize(8);
    return {font, QColor()};
}
