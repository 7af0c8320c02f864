#include "commands/cryptcommands.h"

#include "commands/commanddialogs.h"
#include "commands/commandmodule.h"
#include "crypt/cryptmarker.h"
#include "crypt/textroutines.h"
#include "crypt/wipe.h"
#include "platform/datafolder.h"
#include "platform/settingsfile.h"
#include "richedit/jvrichedit.h"

#include <QApplication>
#include <QPointer>

namespace {

const QString Section = QStringLiteral("DM");
const QString Key = QStringLiteral("MasterPassword");

} // namespace

const QString CryptCommands::NothingToEncrypt = QStringLiteral("No Text selected for Cryption");
const QString CryptCommands::NothingToDecrypt
    = QStringLiteral("No Text selected for Decrypt, or no QelCrypt at startup.");
const QString CryptCommands::ObjectsCannotBeEncrypted
    = QStringLiteral("The selection holds a picture or an object, which cannot be encrypted.");
const QString CryptCommands::DamagedMarker
    = QStringLiteral("The encrypted text is damaged: the selection was not decrypted.");
const QString CryptCommands::WrongPassword
    = QStringLiteral("Wrong master password: the selection was not decrypted.");
const QString CryptCommands::NoRandomSource
    = QStringLiteral("The system's random source failed: no password was created.");

CryptCommands::CryptCommands(TDM *module)
    : QObject(module)
    , m_module(module)
{
    LoadSettings();
}

CryptCommands::~CryptCommands()
{
    wipe(m_masterPassword);
}

void CryptCommands::SetMasterPassword(const QString &password)
{
    if (password.constData() == m_masterPassword.constData())
        return; // the same text: wiping the old one would wipe the new
    wipe(m_masterPassword);
    m_masterPassword = password;
}

void CryptCommands::LoadSettings()
{
    const SettingsFile settings(ProgramSettingsFilePath());
    SetMasterPassword(settings.readString(Section, Key, QString()));
}

bool CryptCommands::StoreSettings(QString *error)
{
    // The password typed at the prompt never reaches a file: only the
    // cleared one is written.
    SettingsFile settings(ProgramSettingsFilePath());
    if (settings.writeString(Section, Key, QString()))
        return true;
    *error = settings.errorString();
    return false;
}

void CryptCommands::acCryptExecute()
{
    QPointer<TJvRichEdit> editor = TDM::focusedEditor();
    if (!editor)
        return;
    const QString selected = editor->SelText();
    if (IsBlank(selected) || CryptMarker::isMarked(selected)) {
        dialogs().showMessage(editor, NothingToEncrypt);
        return;
    }
    // Only characters go into a marker: a picture would be lost.
    if (selected.contains(QChar::ObjectReplacementCharacter)) {
        dialogs().showMessage(editor, ObjectsCannotBeEncrypted);
        return;
    }
    if (!havePassword(editor) || !editor)
        return;
    editor->setSelText(CryptMarker::encrypt(editor->SelText(), m_masterPassword));
}

void CryptCommands::acDecryptExecute()
{
    QPointer<TJvRichEdit> editor = TDM::focusedEditor();
    if (!editor || !havePassword(editor) || !editor)
        return;
    const QString selected = editor->SelText();
    if (IsBlank(selected) || !CryptMarker::isMarked(selected)) {
        dialogs().showMessage(editor, NothingToDecrypt);
        return;
    }
    const CryptMarker::Decrypted decrypted = CryptMarker::decrypt(selected, m_masterPassword);
    switch (decrypted.status) {
    case CryptMarker::Decrypted::Ok:
        editor->setSelText(decrypted.text);
        break;
    case CryptMarker::Decrypted::Damaged:
        dialogs().showMessage(editor, DamagedMarker);
        break;
    case CryptMarker::Decrypted::WrongPassword:
        wipe(m_masterPassword);
        dialogs().showMessage(editor, WrongPassword);
        break;
    }
}

void CryptCommands::acMasterPasswordClearExecute()
{
    wipe(m_masterPassword);
    QString error;
    if (!StoreSettings(&error))
        dialogs().showError(TDM::focusedEditor(), QApplication::applicationDisplayName(), error);
}

void CryptCommands::acCreatePWDExecute()
{
    TJvRichEdit *editor = TDM::focusedEditor();
    if (!editor)
        return;
    const std::optional<QString> password = RandomPassword(m_randomSource);
    if (!password) {
        dialogs().showMessage(editor, NoRandomSource);
        return;
    }
    editor->setSelText(*password);
}

bool CryptCommands::havePassword(QWidget *parent)
{
    if (!IsBlank(m_masterPassword))
        return true;
    const std::optional<QString> answer = dialogs().askMasterPassword(parent);
    if (!answer || IsBlank(*answer))
        return false;
    SetMasterPassword(*answer);
    return true;
}

CommandDialogs &CryptCommands::dialogs() const
{
    return m_module->dialogs();
}
