#include "commands/imagelist.h"

#include <array>

namespace {

struct Picture
{
    int index;
    const char *themeName; // freedesktop icon name
    const char *fallback;  // our own drawing in the resources
};

// Indexes no command refers to stay empty.
constexpr std::array Pictures{
    Picture{0, "edit-cut", "cut"},
    Picture{1, "edit-copy", "copy"},
    Picture{2, "edit-paste", "paste"},
    Picture{3, "edit-undo", "undo"},
    Picture{5, "edit-delete", "delete"},
    Picture{7, "window-new", "opennote"},
    Picture{10, "x-office-spreadsheet", "table"},
    Picture{28, "format-text-underline", "underline"},
    Picture{29, "format-text-italic", "italic"},
    Picture{31, "format-text-bold", "bold"},
    Picture{35, "format-justify-left", "alignleft"},
    Picture{36, "format-justify-right", "alignright"},
    Picture{37, "format-justify-center", "center"},
    Picture{38, "format-list-unordered", "bullets"},
    Picture{44, "format-text-strikethrough", "strikeout"},
    Picture{45, "document-print", "print"},
    Picture{46, "document-save-as", "saveas"},
    Picture{47, "format-indent-more", "indentmore"},
    Picture{48, "format-indent-less", "indentless"},
    Picture{50, "edit-cut", "cut"},
    Picture{51, "edit-copy", "copy"},
    Picture{52, "edit-paste", "paste"},
    Picture{53, "edit-undo", "undo"},
    Picture{54, "edit-delete", "delete"},
    Picture{56, "format-font-size-less", "fontsmaller"},
    Picture{57, "format-font-size-more", "fontbigger"},
    Picture{58, "document-new", "new"},
    Picture{59, "insert-object", "insertobject"},
    Picture{60, "application-exit", "exit"},
    Picture{61, "help-about", "about"},
    Picture{62, "format-text-subscript", "subscript"},
    Picture{63, "format-text-superscript", "superscript"},
    Picture{64, "accessories-calculator", "calc"},
    Picture{65, "document-open", "open"},
    Picture{66, "document-save", "save"},
    Picture{67, "changes-allow", "decrypt"},
    Picture{68, "changes-prevent", "crypt"},
    // Copy Format's two states need two pictures that tell them apart, which
    // no theme provides; always our own.
    Picture{69, "", "copyformat"},
    Picture{70, "", "copyformatheld"},
    Picture{71, "edit-clear", "clearpassword"},
    Picture{72, "dialog-password", "createpassword"},
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

QIcon ImageList::fallbackIcon(int index)
{
    const Picture *picture = pictureAt(index);
    if (!picture)
        return {};
    registerResources();
    return QIcon(QStringLiteral(":/commands/icons/%1.svg").arg(QLatin1String(picture->fallback)));
}

QIcon ImageList::icon(int index)
{
    const Picture *picture = pictureAt(index);
    if (!picture)
        return {};
    const QString themeName = QLatin1String(picture->themeName);
    if (!themeName.isEmpty() && QIcon::hasThemeIcon(themeName))
        return QIcon::fromTheme(themeName);
    return fallbackIcon(index);
}
