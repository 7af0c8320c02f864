#pragma once

#include <QString>
#include <QUrl>

// A mail handed to the user's mail program to be edited and sent there.
struct MailMessage
{
    QString recipient; // one address, or none
    QString subject;
    QString body;
};

// The message as a mailto: address. Every text is percent-encoded whole, so
// nothing in it can add a recipient or a header field; line breaks become
// CR LF, as mail wants them.
QUrl mailtoUrl(const MailMessage &message);
