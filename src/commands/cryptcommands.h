#pragma once

#include "crypt/randompassword.h"

#include <QObject>
#include <QString>

class CommandDialogs;
class TDM;

// The encryption commands of the command module: Crypt replaces the selection
// of the focused note editor by its crypt marker, Decrypt turns a marked
// selection back into text, Clear Master Password forgets the password, and
// Create Password types a random password at the caret.
//
// The master password lives in memory only. At start it is read from the
// "DM" record's "MasterPassword" key of the program-named settings file
// (where the user may have put it by hand); the program only ever writes that
// key empty. A wrong password is told and forgotten, so the next command asks
// again. A password forgotten is written over in memory first.
class CryptCommands : public QObject
{
    Q_OBJECT

public:
    // Starts with the master password of the settings file; asks and tells
    // through the module's dialogs.
    explicit CryptCommands(TDM *module);
    // The master password's memory is written over.
    ~CryptCommands() override;

    QString MasterPassword() const { return m_masterPassword; }
    // The previous password's memory is written over.
    void SetMasterPassword(const QString &password);

    void LoadSettings();
    // Writes the "MasterPassword" key empty; false with the settings
    // file's message when it cannot be written.
    bool StoreSettings(QString *error);

    void acCryptExecute();
    void acDecryptExecute();
    void acMasterPasswordClearExecute();
    void acCreatePWDExecute();

    void setRandomSource(RandomSource source) { m_randomSource = std::move(source); }

    // The messages of the commands.
    static const QString NothingToEncrypt;
    static const QString NothingToDecrypt;
    static const QString ObjectsCannotBeEncrypted;
    static const QString DamagedMarker;
    static const QString WrongPassword;
    static const QString NoRandomSource;

private:
    // True once a master password is set, asking for one when there is none.
    bool havePassword(QWidget *parent);
    CommandDialogs &dialogs() const;

    TDM *m_module;
    QString m_masterPassword;
    RandomSource m_randomSource = RandomBytes;
};
