#include "board/boardfilter.h"
#include "board/errormessage.h"
#include "board/notesboard.h"
#include "commands/commandmodule.h"
#include "platform/datafolder.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "benchmain.h"

#include <chrono>

namespace {

// 60 frames a second: one keystroke's filtering must fit into one.
constexpr double FrameMilliseconds = 1000.0 / 60;

// A note of about 4 KB: lines of words, a few of them rare.
QByteArray noteText(int number)
{
    static const char *const words[] = {"alpha", "bravo", "charlie", "delta",  "echo", "foxtrot",
                                        "golf",  "hotel", "india",   "juliet", "kilo", "lima"};
    QByteArray text = "Note " + QByteArray::number(number) + "\r\n";
    for (int i = 0; text.size() < 4096; ++i) {
        text += words[(i * 7 + number) % std::size(words)];
        text += i % 12 == 11 ? "\r\n" : " ";
    }
    if (number % 10 == 0)
        text += "rare word\r\n";
    return text;
}

// Typing into the pinned board's field: every keystroke filters all rows.
void FilterPerKeystroke(benchmark::State &state)
{
    const int notes = int(state.range(0));
    QTemporaryDir folder;
    setDataFolderForTesting(folder.path());
    setErrorMessageHandlerForTesting([](const QString &) {});
    for (int i = 0; i < notes; ++i) {
        QFile file(folder.filePath(QStringLiteral("QelNotes_%1.txt").arg(i)));
        if (!file.open(QIODevice::WriteOnly) || file.write(noteText(i)) < 0)
            state.SkipWithError("cannot write the notes");
    }
    TDM dm;
    TFrmNote board;
    board.setStayOpen(true);
    board.show();
    // Two words, the second one rare, typed and taken back letter by letter.
    const QString typed = QStringLiteral("hotel rare");
    QStringList keystrokes;
    for (qsizetype length = 1; length <= typed.size(); ++length)
        keystrokes << typed.left(length);
    for (qsizetype length = typed.size() - 1; length > 1; --length)
        keystrokes << typed.left(length);
    // One pass first: the board reads a note's text when a filter first
    // needs it, and that one-time cost is not a keystroke's.
    for (const QString &keystroke : std::as_const(keystrokes))
        board.filter()->setText(keystroke);
    qsizetype next = 0;
    std::chrono::duration<double, std::milli> spent{};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        board.filter()->setText(keystrokes.at(next));
        spent += std::chrono::steady_clock::now() - start;
        next = (next + 1) % keystrokes.size();
    }
    // A keystroke's time over a frame's: below 1 it fits into one frame.
    state.counters["frame_share"] = spent.count() / double(state.iterations()) / FrameMilliseconds;
    setDataFolderForTesting(QString());
}

} // namespace

BENCHMARK(FilterPerKeystroke)->Arg(100)->Arg(1000)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return runBenchmarks<QApplication>(argc, argv);
}
