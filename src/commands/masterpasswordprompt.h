#pragma once

#include <QDialog>

#include <optional>

class QLineEdit;

// The box that asks for the master password: caption "Master Password", the
// label "Please Enter Master Password", one entry of at most 255 characters
// that shows what is typed, OK (the default) and Cancel.
class MasterPasswordPrompt : public QDialog
{
    Q_OBJECT

public:
    explicit MasterPasswordPrompt(QWidget *parent = nullptr);

    // Shows the box modally: what was entered when OK was chosen, nothing on Cancel.
    static std::optional<QString> ask(QWidget *parent);

    // The entry's text; the field is emptied, so the password is not kept
    // in the box.
    QString takeEntry();

    static constexpr int MaxLength = 255;

private:
    QLineEdit *m_entry;
};
