#include "commands/imagelist.h"

#include "commands/inkedicon.h"

#include <QFile>

#include <array>

namespace {

struct Picture
{
    int index;
    const char *name; // the drawing in the resources
};

// Indexes no command refers to stay empty.
constexpr std::array Pictures{
    Picture{0, "cut"},
    Picture{1, "copy"},
    Picture{2, "paste"},
    Picture{3, "undo"},
    Picture{5, "delete"},
    Picture{7, "opennote"},
    Picture{10, "table"},
    Picture{28, "underline"},
    Picture{29, "italic"},
    Picture{31, "bold"},
    Picture{35, "alignleft"},
    Picture{36, "alignright"},
    Picture{37, "center"},
    Picture{38, "bullets"},
    Picture{44, "strikeout"},
    Picture{45, "print"},
    Picture{46, "saveas"},
    Picture{47, "indentmore"},
    Picture{48, "indentless"},
    Picture{50, "cut"},
    Picture{51, "copy"},
    Picture{52, "paste"},
    Picture{53, "undo"},
    Picture{54, "delete"},
    Picture{56, "fontsmaller"},
    Picture{57, "fontbigger"},
    Picture{58, "new"},
    Picture{59, "insertobject"},
    Picture{60, "exit"},
    Picture{61, "about"},
    Picture{62, "subscript"},
    Picture{63, "superscript"},
    Picture{64, "calc"},
    Picture{65, "open"},
    Picture{66, "save"},
    Picture{67, "decrypt"},
    Picture{68, "crypt"},
    // Copy Format's two states.
    Picture{69, "copyformat"},
    Picture{70, "copyformatheld"},
    Picture{71, "clearpassword"},
    Picture{72, "createpassword"},
};

const Picture *pictureAt(int index)
{
    for (const Picture &picture : Pictures) {
        if (picture.index == index)
            return &picture;
    }
    return nullptr;
}

} // namespace

// The resources live in this static library; nothing references them by
// symbol, so they are registered explicitly.
static void registerResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(commandicons);
        return true;
    }();
    Q_UNUSED(done);
}

QIcon ImageList::icon(int index)
{
    const Picture *picture = pictureAt(index);
    if (!picture)
        return {};
    registerResources();
    QFile drawing(QStringLiteral(":/commands/icons/%1.svg").arg(QLatin1String(picture->name)));
    if (!drawing.open(QIODevice::ReadOnly))
        return {};
    return QIcon(new InkedIconEngine(drawing.readAll()));
}
