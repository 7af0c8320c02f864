// Any bytes as a settings file: the program's keys read, one written, and the
// written value read back.

#include "platform/settingsfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

QString path()
{
    static QTemporaryDir folder;
    return folder.filePath(QStringLiteral("QelNotes.ini"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QFile file(path());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char *>(data), qsizetype(size));
    file.close();

    SettingsFile settings(path());
    settings.readInteger(QStringLiteral("Main"), QStringLiteral("Left"), 7);
    settings.readBool(QStringLiteral("main"), QStringLiteral("showhint"), false);
    settings.readString(QStringLiteral("DM"), QStringLiteral("MasterPassword"), {});
    const int before = settings.readInteger(QStringLiteral("Note_1"), QStringLiteral("Top"), 5);
    if (!settings.writeInteger(QStringLiteral("Note_1"), QStringLiteral("Color"), -16777192))
        std::abort();
    // A write changes its own key and no other.
    if (settings.readInteger(QStringLiteral("Note_1"), QStringLiteral("Color"), 0) != -16777192
        || settings.readInteger(QStringLiteral("Note_1"), QStringLiteral("Top"), 5) != before)
        std::abort();
    return 0;
}
