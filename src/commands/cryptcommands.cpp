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

// A message of the commands in the interface's language.
QString shown(const QString &message)
{
    return QCoreApplication::translate("CryptCommands", message.toUtf8().constData());
}

} // namespace

const QString CryptCommands::NothingToEncrypt
    = QStringLiteral(QT_TRANSLATE_NOOP("CryptCommands", "No Text selected for Cryption"));
const QString CryptCommands::NothingToDecrypt = QStringLiteral(
    QT_TRANSLATE_NOOP("CryptCommands", "No Text selected for Decrypt, or no QelCrypt at startup."));
const QString CryptCommands::ObjectsCannotBeEncrypted = QStringLiteral(QT_TRANSLATE_NOOP(
    "CryptCommands", "The selection holds a picture or an object, which cannot be encrypted."));
const QString CryptCommands::DamagedMarker = QStringLiteral(QT_TRANSLATE_NOOP(
    "CryptCommands", "The encrypted text is damaged: the selection was not decrypted."));
const QString CryptCommands::WrongPassword = QStringLiteral(
    QT_TRANSLATE_NOOP("CryptCommands", "Wrong master password: the selection was not decrypted."));
const QString CryptCommands::NoRandomSource = QStringLiteral(QT_TRANSLATE_NOOP(
    "CryptCommands", "The system's random source failed: no password was created."));

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
    // A copy of our own: wiping it later must not write over a text another
    // object still uses, such as a settings file's cache.
    QString copy(password.constData(), password.size());
    wipe(m_masterPassword);
    m_masterPassword = std::move(copy);
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
        dialogs().showMessage(editor, shown(NothingToEncrypt));
        return;
    }
    // Only characters go into a marker: a picture would be lost.
    if (selected.contains(QChar::ObjectReplacementCharacter)) {
        dialogs().showMessage(editor, shown(ObjectsCannotBeEncrypted));
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
        dialogs().showMessage(editor, shown(NothingToDecrypt));
        return;
    }
    const CryptMarker::Decrypted decrypted = CryptMarker::decrypt(selected, m_masterPassword);
    switch (decrypted.status) {
    case CryptMarker::Decrypted::Ok:
        editor->setSelText(decrypted.text);
        break;
    case CryptMarker::Decrypted::Damaged:
        dialogs().showMessage(editor, shown(DamagedMarker));
        break;
    case CryptMarker::Decrypted::WrongPassword:
        wipe(m_masterPassword);
        dialogs().showMessage(editor, shown(WrongPassword));
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
        dialogs().showMessage(editor, shown(NoRandomSource));
        return;
    }
    editor->setSelText(*password);
}

bool CryptCommands::havePassword(QWidget *parent)
{
    if (!IsBlank(m_masterPassword))
        return true;
    std::optional<QString> answer = dialogs().askMasterPassword(parent);
    if (!answer)
        return false;
    const bool blank = IsBlank(*answer);
    if (!blank)
        SetMasterPassword(*answer);
    wipe(*answer);
    return !blank;
}

CommandDialogs &CryptCommands::dialogs() const
{
    return m_module->dialogs();
}
