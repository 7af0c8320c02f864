#include "cli/notefile.h"
#include "cli/subcommand.h"

#include "calcdriver/calcdriver.h"
#include "calcdriver/textcalc.h"
#include "plot/chartrenderer.h"
#include "richtext/richdocument.h"

#include <QStringList>
#include <QTextDocument>

namespace {

// Exactly what the note's Calc command runs; earlier results are cleared first. Plots are
// drawn for an editor of the default size. Results are written into the note's document.
int calculateAndWrite(const QString &path)
{
    RichDocument document;
    QString error;
    if (!NoteFile::load(path, document, &error))
        return NoteFile::fail(error);
    TCalcDriver driver(&document);
    driver.setPlotRenderer(&ChartRenderer::render);
    driver.Parse();
    if (!document.Lines().SaveToFile(path, &error))
        return NoteFile::fail(QStringLiteral("cannot write %1: %2").arg(path, error));
    if (!NoteFile::writeOut(NoteFile::plainText(*document.textDocument())))
        return NoteFile::fail(QStringLiteral("cannot write the text to standard output"));
    return 0;
}

// The same run for printing only: over the note's text, without a document.
int calculateAndPrint(const QString &path)
{
    NoteText note;
    QString error;
    if (!NoteFile::readText(path, &note, &error, TextCalc::earlierResults()))
        return NoteFile::fail(error);
    TextCalc calc;
    calc.setPlotRenderer(&ChartRenderer::render);
    calc.run(note);
    if (!NoteFile::writeOut(std::move(note).plainText()))
        return NoteFile::fail(QStringLiteral("cannot write the text to standard output"));
    return 0;
}

int run(const QStringList &arguments)
{
    const bool write = arguments.size() == 2 && arguments.at(1) == QLatin1String("--write");
    if (arguments.size() != 1 && !write)
        return Subcommand::BadArguments;
    return write ? calculateAndWrite(arguments.first()) : calculateAndPrint(arguments.first());
}

} // namespace

extern const Subcommand calcCommand
    = {"calc", "FILE [--write]",
       "run the note's calculations and print its text; --write stores the results and plots "
       "(drawn for a 600 x 400 pixel editor) in FILE",
       run};
