#pragma once

#include "platform/mailmessage.h"

#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <memory>

class DesktopOpener;
class MailComposer;
class QAction;
class QWidget;
class TJvRichEdit;

// The command module's links and mail: opening what a piece of a note leads
// to, handing mails to the user's mail program, Send Note ("acSendNote") and
// the note menu's "Send Mail ..." and "Browse URL", which follow the token
// around the focused editor's selection: each is enabled while that token is
// a mail address or a web address, and acts on it.
//
// The desktop's opener and mail composer are used unless setDesktop() puts
// others in their place.
class LinkCommands : public QObject
{
    Q_OBJECT

public:
    LinkCommands(QAction *acSendMail, QAction *acSendNote, QAction *BrowseURL1, QObject *parent);
    ~LinkCommands() override;

    void setDesktop(std::unique_ptr<DesktopOpener> opener, std::unique_ptr<MailComposer> composer);
    // A failure the user is told of; by default a message box.
    void setErrorReporter(std::function<void(const QString &)> report);

    // Opens what token leads to (LinkTarget::resolve): a double click on it,
    // or a click on a link of that text.
    void open(const QString &token);
    // Opens the user's mail program with the message; a failure is reported.
    void sendMail(const MailMessage &message);

private:
    void acSendNoteExecute();
    void trackFocus(QWidget *now);
    void selectionChanged();

    QAction *m_sendMail;
    QAction *m_browseUrl;
    std::unique_ptr<DesktopOpener> m_opener;
    std::unique_ptr<MailComposer> m_composer;
    std::function<void(const QString &)> m_report;
    QPointer<TJvRichEdit> m_editor;
    // The mail address and the web address at the focused editor's selection.
    QString m_mailAddress;
    QUrl m_url;
};
