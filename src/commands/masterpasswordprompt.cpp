#include "commands/masterpasswordprompt.h"

#include "crypt/wipe.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

MasterPasswordPrompt::MasterPasswordPrompt(QWidget *parent)
    : QDialog(parent)
    , m_entry(new QLineEdit(this))
    , m_show(new QCheckBox(tr("&Show password"), this))
{
    setWindowTitle(tr("Master Password"));
    auto *label = new QLabel(tr("Please Enter Master Password"), this);
    label->setBuddy(m_entry);
    m_entry->setMaxLength(MaxLength);
    // Whoever watches the screen sees dots; the owner may choose to see the text.
    m_entry->setEchoMode(QLineEdit::Password);
    connect(m_show, &QCheckBox::toggled, m_entry, [this](bool shown) {
        m_entry->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
    });
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_entry);
    layout->addWidget(m_show);
    layout->addWidget(buttons);
    // The window manager draws the caption in a bold face of about this size,
    // with an icon and three buttons beside it.
    QFont captionFont = font();
    captionFont.setBold(true);
    const int titleButton = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    setMinimumWidth(QFontMetrics(captionFont).horizontalAdvance(windowTitle()) + 5 * titleButton);
}

MasterPasswordPrompt::~MasterPasswordPrompt()
{
    wipeEntry();
}

std::optional<QString> MasterPasswordPrompt::ask(QWidget *parent)
{
    MasterPasswordPrompt prompt(parent);
    const bool accepted = prompt.exec() == QDialog::Accepted;
    QString entry = prompt.takeEntry();
    if (!accepted) {
        wipe(entry);
        return std::nullopt;
    }
    return entry;
}

QString MasterPasswordPrompt::takeEntry()
{
    const QString shown = m_entry->text();
    QString entry(shown.constData(), shown.size()); // a copy of the caller's own
    wipeEntry();
    return entry;
}

void MasterPasswordPrompt::wipeEntry()
{
    // text() shares the field's buffer: wiping it wipes the field's text.
    QString text = m_entry->text();
    wipe(text);
    // Setting a text drops the undo steps, each holding a typed character;
    // inserting as many characters as the field takes writes over their slots
    // before the field is emptied for good.
    m_entry->setText(QString());
    m_entry->insert(QString(MaxLength, u'*'));
    QString filler = m_entry->text();
    wipe(filler);
    m_entry->setText(QString());
}
