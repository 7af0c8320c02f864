#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;
class RichDocument;

// The whole document of a RichDocument as a unit: loading, saving and
// suspending redrawing. What is read or written, and how, follows the
// document's StreamFormat and StreamMode.
//
// Failures never throw: the functions return false and set *error to
// "Failed to Load Stream", "Failed to Save Stream" or the file's own error
// text; the document is then unchanged.
class RichLines
{
public:
    explicit RichLines(RichDocument &document);
    RichLines(const RichLines &) = delete;
    RichLines &operator=(const RichLines &) = delete;

    // The format is chosen by the extension ("txt" plain text, anything else
    // RTF) when StreamFormat is sfDefault, otherwise by StreamFormat.
    bool LoadFromFile(const QString &fileName, QString *error = nullptr);
    bool SaveToFile(const QString &fileName, QString *error = nullptr);
    // Streams use StreamFormat alone (sfDefault meaning RTF).
    bool LoadFromStream(QIODevice &stream, QString *error = nullptr);
    bool SaveToStream(QIODevice &stream, QString *error = nullptr);

    // Why the document last loaded could be read only in part (an RTF file
    // cut short); empty when it was read whole. The load itself succeeded.
    QString loadDamage() const { return m_loadDamage; }

    // Suspend and resume redrawing around a series of changes; calls nest,
    // and the last EndUpdate redraws the editor.
    void BeginUpdate();
    void EndUpdate();

private:
    friend class RichDocument;

    bool load(const QByteArray &data, bool plain, bool selectionOnly, QString *error);
    QByteArray save(bool plain, bool selectionOnly) const;
    bool inSelectionMode() const;

    RichDocument &m_document;
    int m_updateDepth = 0;
    QString m_loadDamage;
};
