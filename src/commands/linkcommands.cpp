#include "commands/linkcommands.h"

#include "links/linktarget.h"
#include "links/marklinks.h"
#include "platform/systemdesktopopener.h"
#include "platform/systemmailcomposer.h"
#include "richedit/jvrichedit.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>

namespace {

void showError(const QString &text)
{
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                          text);
}

bool isWebAddress(const LinkTarget &target)
{
    const QString scheme = target.url.scheme();
    return target.kind == LinkTarget::Kind::Open && (scheme == u"http" || scheme == u"https");
}

} // namespace

LinkCommands::LinkCommands(QAction *acSendMail, QAction *acSendNote, QAction *BrowseURL1,
                           QObject *parent)
    : QObject(parent)
    , m_sendMail(acSendMail)
    , m_browseUrl(BrowseURL1)
    , m_report(showError)
{
    setDesktop(std::make_unique<SystemDesktopOpener>(), std::make_unique<SystemMailComposer>());
    connect(acSendNote, &QAction::triggered, this, &LinkCommands::acSendNoteExecute);
    acSendNote->setEnabled(true);
    connect(m_sendMail, &QAction::triggered, this, [this] {
        sendMail({m_mailAddress, QString(), QString()});
    });
    connect(m_browseUrl, &QAction::triggered, this, [this] { m_opener->openUrl(m_url); });
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { trackFocus(now); });
    trackFocus(QApplication::focusWidget());
}

LinkCommands::~LinkCommands() = default;

void LinkCommands::setDesktop(std::unique_ptr<DesktopOpener> opener,
                              std::unique_ptr<MailComposer> composer)
{
    m_opener = std::move(opener);
    m_composer = std::move(composer);
    connect(m_composer.get(), &MailComposer::failed, this, [this](const QString &reason) {
        m_report(tr("The mail could not be handed to the mail program.\n%1").arg(reason));
    });
}

void LinkCommands::setErrorReporter(std::function<void(const QString &)> report)
{
    m_report = report ? std::move(report) : showError;
}

void LinkCommands::open(const QString &token)
{
    const LinkTarget target = LinkTarget::resolve(token);
    switch (target.kind) {
    case LinkTarget::Kind::Open:
        m_opener->openUrl(target.url);
        break;
    case LinkTarget::Kind::ShowInFolder:
        m_opener->showInFolder(target.path);
        break;
    case LinkTarget::Kind::Mail:
        sendMail({target.address, QString(), QString()});
        break;
    case LinkTarget::Kind::None:
        break;
    }
}

void LinkCommands::sendMail(const MailMessage &message)
{
    m_composer->compose(message);
}

void LinkCommands::acSendNoteExecute()
{
    if (auto *editor = qobject_cast<TJvRichEdit *>(QApplication::focusWidget()))
        sendMail({QString(), editor->Title(), editor->Text()});
}

void LinkCommands::trackFocus(QWidget *now)
{
    auto *editor = qobject_cast<TJvRichEdit *>(now);
    if (!editor || editor == m_editor)
        return;
    if (m_editor)
        disconnect(m_editor, nullptr, this, nullptr);
    m_editor = editor;
    connect(editor, &TJvRichEdit::OnSelectionChange, this, &LinkCommands::selectionChanged);
    selectionChanged();
}

void LinkCommands::selectionChanged()
{
    const LinkTarget target
        = m_editor ? LinkTarget::resolve(linkAtSelection(*m_editor)) : LinkTarget();
    m_mailAddress = target.kind == LinkTarget::Kind::Mail ? target.address : QString();
    m_url = isWebAddress(target) ? target.url : QUrl();
    m_sendMail->setEnabled(!m_mailAddress.isEmpty());
    m_browseUrl->setEnabled(!m_url.isEmpty());
}
