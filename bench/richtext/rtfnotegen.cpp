// Writes a generated note of the given size in megabytes, for compare.sh.

#include "notegenerator.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: rtfnotegen FILE MEGABYTES\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    const QByteArray note = generateNote(qsizetype(std::atof(argv[2]) * 1024 * 1024));
    if (!file.open(QIODevice::WriteOnly) || file.write(note) != note.size()) {
        std::fprintf(stderr, "rtfnotegen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
