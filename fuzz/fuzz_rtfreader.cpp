// Any bytes as a note file: read into a document, written back and read again.

#include "fuzzsetup.h"

#include "richtext/richdocument.h"
#include "richtext/rtfreader.h"

#include <QTextCursor>
#include <QTextDocument>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    startGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    RichDocument document;
    document.textDocument()->setUndoRedoEnabled(false);
    QTextCursor cursor(document.textDocument());
    if (!RtfReader::read(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), cursor))
        std::abort(); // there is always a document to read into
    // What the reader made must be writable and read back (a store after a load).
    RichDocument copy;
    if (!copy.setRtf(document.toRtf()))
        std::abort();
    return 0;
}
