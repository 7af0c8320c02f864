#include "commands/commanddialogs.h"
#include "commands/commandmodule.h"
#include "commands/cryptcommands.h"
#include "commands/masterpasswordprompt.h"
#include "crypt/cryptmarker.h"
#include "platform/datafolder.h"
#include "platform/settingsfile.h"
#include "richedit/jvrichedit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <deque>

namespace {

// The prompt answered from a script, the messages kept.
class ScriptedDialogs : public CommandDialogs
{
public:
    std::deque<std::optional<QString>> answers;
    int asked = 0;
    QStringList told;
    QStringList errors;

    std::optional<QString> askMasterPassword(QWidget *) override
    {
        ++asked;
        if (answers.empty())
            return std::nullopt;
        const std::optional<QString> answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void showMessage(QWidget *, const QString &text) override { told << text; }
    void showError(QWidget *, const QString &, const QString &text) override { errors << text; }
};

// The marker the Crypt command makes of "Grüße €" under "master"; qelnote's
// tests expect the same.
const QString GreetingMarker(
    "QelCrypt:#024#229#254#251#103#16#137#147#190#111#53#92#251#77#242#33#114#49#251#121#103#199#"
    "218#110#97");

} // namespace

class tst_CryptCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void cryptRefusesWhatItCannotEncrypt_data();
    void cryptRefusesWhatItCannotEncrypt();
    void selectionSurvivesCryptStoreReloadDecrypt_data();
    void selectionSurvivesCryptStoreReloadDecrypt();
    void markerIsTheOneQelnotePrints();
    void wrongPasswordIsToldAndForgotten();
    void decryptLeavesWhatItCannotDecrypt_data();
    void decryptLeavesWhatItCannotDecrypt();
    void cancelledOrBlankPromptEndsSilently_data();
    void cancelledOrBlankPromptEndsSilently();
    void passwordFromTheSettingsFileUntilCleared();
    void clearingReportsAnUnwritableSettingsFile();
    void createPasswordTypesSeventeenAlphabetCharacters();
    void createPasswordWithoutRandomSourceInsertsNothing();
    void nothingHappensOutsideANoteEditor();
    void promptMasksWhatIsTypedAndForgetsIt();
    void passwordIsWrittenOverWhenForgotten();

private:
    // Puts text into the editor, selects from..from+length and focuses it.
    void select(const QString &text, int from, int length);
    // The command module as the program starts it, with scripted dialogs.
    void start();
    CryptCommands *commands() const { return m_dm->cryptCommands(); }

    TDM *m_dm = nullptr;
    ScriptedDialogs *m_dialogs = nullptr;

    QTemporaryDir m_folder;
    QWidget m_window;
    TJvRichEdit *m_editor = nullptr;
    QLineEdit *m_line = nullptr;
};

void tst_CryptCommands::initTestCase()
{
    QVERIFY(m_folder.isValid());
    setDataFolderForTesting(m_folder.path());
    auto *layout = new QVBoxLayout(&m_window);
    m_editor = new TJvRichEdit(&m_window);
    m_line = new QLineEdit(&m_window);
    layout->addWidget(m_editor);
    layout->addWidget(m_line);
    m_window.show();
    QApplication::setActiveWindow(&m_window);
    QVERIFY(QTest::qWaitForWindowActive(&m_window));
}

void tst_CryptCommands::init()
{
    QDir folder(m_folder.path());
    folder.remove(QFileInfo(ProgramSettingsFilePath()).fileName());
    folder.rmdir(QFileInfo(ProgramSettingsFilePath()).fileName());
    start();
}

void tst_CryptCommands::cleanup()
{
    delete m_dm;
    m_dm = nullptr;
}

void tst_CryptCommands::start()
{
    delete m_dm;
    m_dm = new TDM;
    auto dialogs = std::make_unique<ScriptedDialogs>();
    m_dialogs = dialogs.get();
    m_dm->setDialogs(std::move(dialogs));
}

void tst_CryptCommands::select(const QString &text, int from, int length)
{
    m_editor->setText(text);
    m_editor->setFocus();
    m_editor->setSelStart(from);
    m_editor->setSelLength(length);
}

void tst_CryptCommands::cryptRefusesWhatItCannotEncrypt_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing") << "" << CryptCommands::NothingToEncrypt;
    QTest::newRow("blanks and a break") << " \t\r " << CryptCommands::NothingToEncrypt;
    QTest::newRow("a marker") << GreetingMarker << CryptCommands::NothingToEncrypt;
    QTest::newRow("a marker in capitals")
        << GreetingMarker.toUpper() << CryptCommands::NothingToEncrypt;
    QTest::newRow("a picture") << "a \uFFFC b" << CryptCommands::ObjectsCannotBeEncrypted;
}

void tst_CryptCommands::cryptRefusesWhatItCannotEncrypt()
{
    QFETCH(QString, selected);
    QFETCH(QString, message);
    select("[]", 1, 0);
    if (selected.contains(QChar::ObjectReplacementCharacter)) {
        m_editor->setSelText("a ");
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        m_editor->InsertGraphic(picture, false);
        m_editor->setSelStart(4);
        m_editor->setSelText(" b");
    } else {
        m_editor->setSelText(selected);
    }
    const QString before = m_editor->Text();
    m_editor->setSelStart(1);
    m_editor->setSelLength(int(selected.size()));
    QCOMPARE(m_editor->SelText(), selected);

    m_dialogs->answers = {"master"};
    m_dm->action(CommandId::acCrypt)->trigger();
    QCOMPARE(m_dialogs->told, QStringList{message});
    QCOMPARE(m_dialogs->asked, 0);
    QCOMPARE(m_editor->Text(), before);
}

void tst_CryptCommands::selectionSurvivesCryptStoreReloadDecrypt_data()
{
    QTest::addColumn<QString>("secret");
    QTest::newRow("ASCII") << "The key is under the mat.";
    QTest::newRow("Windows-1252") << QString::fromUtf8("Grüße, Maß: 5 €");
    QTest::newRow("non-Latin") << QString::fromUtf8("Пароль 秘密 🙂");
    QTest::newRow("apostrophes and #65 as typed") << "don't #65";
    QTest::newRow("two paragraphs") << "line one\rline two";
}

void tst_CryptCommands::selectionSurvivesCryptStoreReloadDecrypt()
{
    QFETCH(QString, secret);
    select("before " + secret + " after", 7, int(secret.size()));
    m_dialogs->answers = {"master"};
    m_dm->action(CommandId::acCrypt)->trigger();
    QCOMPARE(m_dialogs->asked, 1);
    QCOMPARE(m_dialogs->told, QStringList());
    const QString marker = CryptMarker::encrypt(secret, "master");
    QCOMPARE(m_editor->Text(), "before " + marker + " after");

    // The note is stored and read again at the next start.
    const QByteArray stored = m_editor->toRtf();
    start();
    m_editor->setText(QString());
    QVERIFY(m_editor->setRtf(stored));
    m_editor->setFocus();
    m_editor->setSelStart(7);
    m_editor->setSelLength(int(marker.size()));
    m_dialogs->answers = {"master"};
    m_dm->action(CommandId::acDecrypt)->trigger();
    QCOMPARE(m_dialogs->told, QStringList());
    QCOMPARE(m_editor->Text(), "before " + QString(secret).replace("\r", "\r\n") + " after");
}

void tst_CryptCommands::markerIsTheOneQelnotePrints()
{
    const QString greeting = QString::fromUtf8("Grüße €");
    select(greeting, 0, int(greeting.size()));
    commands()->SetMasterPassword("master");
    m_dm->action(CommandId::acCrypt)->trigger();
    QCOMPARE(m_editor->Text(), GreetingMarker);
}

void tst_CryptCommands::wrongPasswordIsToldAndForgotten()
{
    const QString marker = CryptMarker::encrypt("secret", "master");
    select(marker, 0, int(marker.size()));
    m_dialogs->answers = {"other", "master"};
    m_dm->action(CommandId::acDecrypt)->trigger();
    QCOMPARE(m_dialogs->told, QStringList{CryptCommands::WrongPassword});
    QCOMPARE(m_editor->Text(), marker);
    QCOMPARE(m_editor->SelLength(), marker.size());
    QCOMPARE(commands()->MasterPassword(), QString());

    m_dm->action(CommandId::acDecrypt)->trigger();
    QCOMPARE(m_dialogs->asked, 2);
    QCOMPARE(m_editor->Text(), QString("secret"));
}

void tst_CryptCommands::decryptLeavesWhatItCannotDecrypt_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a marker") << "text" << CryptCommands::NothingToDecrypt;
    QTest::newRow("marker after text") << "x " + GreetingMarker << CryptCommands::NothingToDecrypt;
    QTest::newRow("count 12") << "QelCrypt:#12#1#2#3#4#5#6#7#8#9#10#11#12"
                              << CryptCommands::DamagedMarker;
    QTest::newRow("not a number") << "QelCrypt:#8#1#2#x" << CryptCommands::DamagedMarker;
    QTest::newRow("count beyond its fields")
        << "QelCrypt:#99999992#1" << CryptCommands::DamagedMarker;
}

void tst_CryptCommands::decryptLeavesWhatItCannotDecrypt()
{
    QFETCH(QString, selected);
    QFETCH(QString, message);
    select(selected, 0, int(selected.size()));
    m_dialogs->answers = {"master"};
    m_dm->action(CommandId::acDecrypt)->trigger();
    QCOMPARE(m_dialogs->asked, 1); // the password comes first
    QCOMPARE(m_dialogs->told, QStringList{message});
    QCOMPARE(m_editor->Text(), selected);
    QCOMPARE(commands()->MasterPassword(), QString("master"));
}

void tst_CryptCommands::cancelledOrBlankPromptEndsSilently_data()
{
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::newRow("cancel") << std::optional<QString>();
    QTest::newRow("blank") << std::optional<QString>(" \t ");
}

void tst_CryptCommands::cancelledOrBlankPromptEndsSilently()
{
    QFETCH(std::optional<QString>, answer);
    for (const bool crypt : {true, false}) {
        // Crypt gets the text, Decrypt the marker.
        start();
        select(GreetingMarker + " text", crypt ? int(GreetingMarker.size()) + 1 : 0,
               crypt ? 4 : int(GreetingMarker.size()));
        m_dialogs->answers = {answer};
        (crypt ? m_dm->action(CommandId::acCrypt) : m_dm->action(CommandId::acDecrypt))->trigger();
        QCOMPARE(m_dialogs->asked, 1);
        QCOMPARE(m_dialogs->told, QStringList());
        QCOMPARE(m_editor->Text(), GreetingMarker + " text");
        QCOMPARE(commands()->MasterPassword(), QString());
    }
}

void tst_CryptCommands::passwordFromTheSettingsFileUntilCleared()
{
    SettingsFile settings(ProgramSettingsFilePath());
    QVERIFY(settings.writeString("DM", "MasterPassword", " from file "));
    start();
    QCOMPARE(commands()->MasterPassword(), QString(" from file "));
    select("abc", 0, 3);
    m_dm->action(CommandId::acCrypt)->trigger();
    QCOMPARE(m_dialogs->asked, 0);
    QCOMPARE(m_editor->Text(), CryptMarker::encrypt("abc", " from file "));

    m_dm->action(CommandId::acMasterPasswordClear)->trigger();
    QCOMPARE(m_dialogs->errors, QStringList());
    QFile file(ProgramSettingsFilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().trimmed(), QByteArray("[DM]\nMasterPassword="));
    select("abc", 0, 3);
    m_dialogs->answers = {"typed"};
    m_dm->action(CommandId::acCrypt)->trigger();
    QCOMPARE(m_dialogs->asked, 1);
    QCOMPARE(m_editor->Text(), CryptMarker::encrypt("abc", "typed"));
    // What was typed stays in memory only.
    QVERIFY(file.seek(0));
    QVERIFY(!file.readAll().contains("typed"));
}

void tst_CryptCommands::clearingReportsAnUnwritableSettingsFile()
{
    QVERIFY(QDir(m_folder.path()).mkdir(QFileInfo(ProgramSettingsFilePath()).fileName()));
    commands()->SetMasterPassword("master");
    m_dm->action(CommandId::acMasterPasswordClear)->trigger();
    QCOMPARE(commands()->MasterPassword(), QString());
    QCOMPARE(m_dialogs->errors, QStringList{"Unable to write to " + ProgramSettingsFilePath()
                                            + ": it could not be read (it is a folder)"});
}

void tst_CryptCommands::createPasswordTypesSeventeenAlphabetCharacters()
{
    select("ab12345cd", 2, 5);
    m_dm->action(CommandId::acCreatePWD)->trigger();
    const QString text = m_editor->Text();
    QCOMPARE(text.size(), 2 + 17 + 2);
    QVERIFY(text.startsWith("ab") && text.endsWith("cd"));
    for (QChar c : text.mid(2, 17))
        QVERIFY2(PasswordAlphabet::Characters.contains(c), qPrintable(text));
    QCOMPARE(m_editor->SelStart(), 19);
}

void tst_CryptCommands::createPasswordWithoutRandomSourceInsertsNothing()
{
    select("ab", 1, 0);
    commands()->setRandomSource([](int) { return QByteArray(); });
    m_dm->action(CommandId::acCreatePWD)->trigger();
    QCOMPARE(m_dialogs->told, QStringList{CryptCommands::NoRandomSource});
    QCOMPARE(m_editor->Text(), QString("ab"));
}

void tst_CryptCommands::nothingHappensOutsideANoteEditor()
{
    m_editor->setText("text");
    m_editor->selectAll();
    m_line->setText("line");
    m_line->selectAll();
    m_line->setFocus();
    m_dialogs->answers = {"master"};
    for (QAction *command : {m_dm->action(CommandId::acCrypt), m_dm->action(CommandId::acDecrypt),
                             m_dm->action(CommandId::acCreatePWD)})
        command->trigger();
    QCOMPARE(m_dialogs->asked, 0);
    QCOMPARE(m_dialogs->told, QStringList());
    QCOMPARE(m_editor->Text(), QString("text"));
    QCOMPARE(m_line->text(), QString("line"));
}

namespace {

// True when a text's characters were written over where they lie.
bool writtenOver(const QString &copy)
{
    return std::all_of(copy.cbegin(), copy.cend(), [](QChar c) { return c.isNull(); });
}

} // namespace

void tst_CryptCommands::promptMasksWhatIsTypedAndForgetsIt()
{
    MasterPasswordPrompt prompt;
    prompt.show();
    QVERIFY(QTest::qWaitForWindowExposed(&prompt));
    QCOMPARE(prompt.windowTitle(), QString("Master Password"));
    QCOMPARE(prompt.findChild<QLabel *>()->text(), QString("Please Enter Master Password"));
    // Wide enough for the caption beside the window's buttons.
    QFont bold = prompt.font();
    bold.setBold(true);
    QVERIFY(prompt.width() > QFontMetrics(bold).horizontalAdvance(prompt.windowTitle()) * 2);
    auto *entry = prompt.findChild<QLineEdit *>();
    QCOMPARE(entry->text(), QString());
    QCOMPARE(entry->echoMode(), QLineEdit::Password);
    QCOMPARE(entry->maxLength(), 255);
    auto *buttons = prompt.findChild<QDialogButtonBox *>();
    QVERIFY(buttons->button(QDialogButtonBox::Ok)->isDefault());

    auto *show = prompt.findChild<QCheckBox *>();
    QTest::mouseClick(show, Qt::LeftButton, {}, QPoint(4, show->height() / 2));
    QCOMPARE(entry->echoMode(), QLineEdit::Normal);
    QTest::mouseClick(show, Qt::LeftButton, {}, QPoint(4, show->height() / 2));
    QCOMPARE(entry->echoMode(), QLineEdit::Password);

    QTest::keyClicks(entry, "My Master Keyy");
    QTest::keyClick(entry, Qt::Key_Backspace);
    const QString seen = entry->text(); // shares the field's memory
    QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    QCOMPARE(prompt.result(), int(QDialog::Accepted));
    QCOMPARE(prompt.takeEntry(), QString("My Master Key"));
    QCOMPARE(entry->text(), QString());
    QVERIFY(writtenOver(seen));
    QVERIFY(!entry->isUndoAvailable());
}

void tst_CryptCommands::passwordIsWrittenOverWhenForgotten()
{
    // A copy shares the password's memory, so it shows what became of it.
    commands()->SetMasterPassword(QString("cleared secret"));
    const QString cleared = commands()->MasterPassword();
    m_dm->action(CommandId::acMasterPasswordClear)->trigger();
    QVERIFY(writtenOver(cleared));

    commands()->SetMasterPassword(QString("replaced secret"));
    const QString replaced = commands()->MasterPassword();
    commands()->SetMasterPassword(QString("at exit"));
    QVERIFY(writtenOver(replaced));

    const QString atExit = commands()->MasterPassword();
    QCOMPARE(atExit, QString("at exit"));
    delete m_dm;
    m_dm = nullptr;
    QVERIFY(writtenOver(atExit));
}

QTEST_MAIN(tst_CryptCommands)
#include "tst_cryptcommands.moc"
