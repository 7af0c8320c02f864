// Writes a generated note of the given size in megabytes, for compare.sh; --dense changes the
// format at every word.

#include "notegenerator.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv)
{
    const bool dense = argc == 4 && std::strcmp(argv[3], "--dense") == 0;
    if (argc != 3 && !dense) {
        std::fprintf(stderr, "usage: rtfnotegen FILE MEGABYTES [--dense]\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    const QByteArray note = generateNote(qsizetype(std::atof(argv[2]) * 1024 * 1024), dense);
    if (!file.open(QIODevice::WriteOnly) || file.write(note) != note.size()) {
        std::fprintf(stderr, "rtfnotegen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
