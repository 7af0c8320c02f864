#include "commands/fontdialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

FontDialog::FontDialog(const TextFont &initial, QWidget *parent)
    : QDialog(parent)
    , m_fonts(new QFontDialog(this))
    , m_colorButton(new QPushButton(tr("&Colour..."), this))
    , m_color(initial.color)
{
    setWindowTitle(tr("Set Font"));
    // Embedded, the chooser is a plain widget; this dialog's buttons answer.
    m_fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    m_fonts->setWindowFlags(Qt::Widget);
    // The chooser finds the font's style in its list only by the face's own
    // name for it ("Book", "Regular", ...); otherwise it shows the first style.
    QFont preset = initial.font;
    preset.setStyleName(QFontInfo(preset).styleName());
    m_fonts->setCurrentFont(preset);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_colorButton, &QPushButton::clicked, this, &FontDialog::chooseColor);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_colorButton);
    bottom->addStretch();
    bottom->addWidget(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_fonts);
    layout->addLayout(bottom);
    showColor();
}

TextFont FontDialog::selectedFont() const
{
    return TextFont{m_fonts->currentFont(), m_color};
}

void FontDialog::chooseColor()
{
    const QColor initial = m_color.isValid() ? m_color : palette().color(QPalette::Text);
    const QColor color = QColorDialog::getColor(initial, this);
    if (!color.isValid())
        return;
    m_color = color;
    showColor();
}

void FontDialog::showColor()
{
    QPixmap swatch(16, 16);
    swatch.fill(m_color.isValid() ? m_color : palette().color(QPalette::Text));
    QPainter(&swatch).drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    m_colorButton->setIcon(QIcon(swatch));
}
