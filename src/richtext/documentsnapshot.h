#pragma once

#include <QFont>
#include <QHash>
#include <QList>
#include <QString>
#include <QTextFormat>
#include <QVariant>

#include <memory>

class QTextDocument;

// A note document's contents as plain data: its text, its formats by index
// and the runs and paragraphs that use them. Taking it costs a walk over the
// paragraphs and runs, far less than writing the document out; the document
// it makes again, on any thread, writes the same RTF as the original.
class DocumentSnapshot
{
public:
    // On the thread that owns document.
    static DocumentSnapshot take(const QTextDocument &document);

    // A document of its own, for the thread that calls it.
    std::unique_ptr<QTextDocument> toDocument() const;

private:
    struct Run
    {
        int length = 0;
        int format = 0; // index into m_formats
    };
    struct Paragraph
    {
        int blockFormat = 0;
        int charFormat = 0; // the format of the paragraph mark
        int list = -1;      // the list format's index, -1 outside a list
        int listNumber = 0; // tells lists of the same format apart
        int runCount = 0;
    };

    QString m_text; // without paragraph marks
    QList<QTextFormat> m_formats;
    QList<Paragraph> m_paragraphs;
    QList<Run> m_runs;
    QHash<QString, QVariant> m_images; // by name
    QFont m_defaultFont;
};
