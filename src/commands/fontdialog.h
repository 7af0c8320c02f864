#pragma once

#include "richtext/textfont.h"

#include <QDialog>

class QFontDialog;
class QPushButton;

// The Set Font dialog: Qt's font chooser for face and size, with a button
// beside it for the text colour, which QFontDialog does not offer.
class FontDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FontDialog(const TextFont &initial, QWidget *parent = nullptr);

    TextFont selectedFont() const;

private:
    void chooseColor();
    void showColor();

    QFontDialog *m_fonts;
    QPushButton *m_colorButton;
    // Invalid: the automatic text colour.
    QColor m_color;
};
