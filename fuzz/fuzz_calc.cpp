// Any text as a note's calculations: the Calc command run on it twice (the
// second run clears the first run's results).

#include "fuzzsetup.h"

#include "calcdriver/calcdriver.h"
#include "richtext/richdocument.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    startGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    RichDocument document;
    document.textDocument()->setUndoRedoEnabled(false);
    document.setText(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)));
    TCalcDriver driver(&document);
    driver.Parse();
    driver.Parse();
    return 0;
}
