#pragma once

#include <QDialog>

#include <optional>

class QCheckBox;
class QLineEdit;

// The box that asks for the master password: caption "Master Password", the
// label "Please Enter Master Password", one entry of at most 255 characters
// that shows dots for what is typed unless "Show password" is ticked, OK (the
// default) and Cancel. The box is at least as wide as its caption needs.
class MasterPasswordPrompt : public QDialog
{
    Q_OBJECT

public:
    explicit MasterPasswordPrompt(QWidget *parent = nullptr);
    // The entry is written over, should it still hold a password.
    ~MasterPasswordPrompt() override;

    // Shows the box modally: what was entered when OK was chosen, nothing on Cancel.
    static std::optional<QString> ask(QWidget *parent);

    // The entry's text; the field's own memory of it (its text and its undo
    // steps) is written over and emptied, so the password is not kept in the box.
    QString takeEntry();

    static constexpr int MaxLength = 255;

private:
    void wipeEntry();

    QLineEdit *m_entry;
    QCheckBox *m_show;
};
