#include "app/globalkeysdialog.h"

#include "app/globalshortcuts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QKeySequence firstKey(const QKeySequence &keys)
{
    return keys.isEmpty() ? QKeySequence() : QKeySequence(keys[0]);
}
} // namespace

GlobalKeysDialog::GlobalKeysDialog(const QKeySequence &showBoard, const QKeySequence &newNote,
                                   QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Global Keys"));
    // Above the board and the icon, which stay above other windows.
    setWindowFlag(Qt::WindowStaysOnTopHint);
    m_showBoard = keyEdit(showBoard);
    m_showBoard->setObjectName(QStringLiteral("showBoardKey"));
    m_newNote = keyEdit(newNote);
    m_newNote->setObjectName(QStringLiteral("newNoteKey"));
    auto *form = new QFormLayout;
    form->addRow(GlobalShortcuts::commandName(GlobalShortcuts::Command::ShowBoard), m_showBoard);
    form->addRow(GlobalShortcuts::commandName(GlobalShortcuts::Command::NewNote), m_newNote);
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->hide();
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("These keys work while any program has the keyboard."), this));
    layout->addLayout(form);
    layout->addWidget(m_problem);
    layout->addWidget(m_buttons);
    check();
}

QKeySequenceEdit *GlobalKeysDialog::keyEdit(const QKeySequence &key)
{
    auto *edit = new QKeySequenceEdit(key, this);
    edit->setClearButtonEnabled(true);
    // One key with its modifiers: a global key has no second stroke.
    connect(edit, &QKeySequenceEdit::keySequenceChanged, this,
            [this, edit](const QKeySequence &keys) {
                if (keys.count() > 1)
                    edit->setKeySequence(QKeySequence(keys[0]));
                check();
            });
    return edit;
}

QKeySequence GlobalKeysDialog::showBoardKey() const
{
    return firstKey(m_showBoard->keySequence());
}

QKeySequence GlobalKeysDialog::newNoteKey() const
{
    return firstKey(m_newNote->keySequence());
}

void GlobalKeysDialog::check()
{
    const bool same = !showBoardKey().isEmpty() && showBoardKey() == newNoteKey();
    m_problem->setText(same ? tr("The two commands need different keys.") : QString());
    m_problem->setVisible(same);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(!same);
}
