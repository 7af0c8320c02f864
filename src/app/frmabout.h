#pragma once

#include <QDialog>

// The About box: the program's picture and version, and where its notes live.
class TFrmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit TFrmAbout(QWidget *parent = nullptr);

    // "QelNotes Version <version>".
    static QString versionText();
};
