#include "commands/masterpasswordprompt.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

MasterPasswordPrompt::MasterPasswordPrompt(QWidget *parent)
    : QDialog(parent)
    , m_entry(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Master Password"));
    auto *label = new QLabel(QStringLiteral("Please Enter Master Password"), this);
    label->setBuddy(m_entry);
    m_entry->setMaxLength(MaxLength);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_entry);
    layout->addWidget(buttons);
}

std::optional<QString> MasterPasswordPrompt::ask(QWidget *parent)
{
    MasterPasswordPrompt prompt(parent);
    const bool accepted = prompt.exec() == QDialog::Accepted;
    const QString entry = prompt.takeEntry();
    if (!accepted)
        return std::nullopt;
    return entry;
}

QString MasterPasswordPrompt::takeEntry()
{
    const QString entry = m_entry->text();
    m_entry->clear();
    return entry;
}
