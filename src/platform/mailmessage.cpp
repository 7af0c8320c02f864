#include "platform/mailmessage.h"

namespace {

QByteArray encoded(const QString &text)
{
    return QUrl::toPercentEncoding(text);
}

QString withCrLf(const QString &text)
{
    QString normal = text;
    normal.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normal.replace(u'\r', u'\n');
    normal.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return normal;
}

} // namespace

QUrl mailtoUrl(const MailMessage &message)
{
    QByteArray address = "mailto:" + QUrl::toPercentEncoding(message.recipient, "@");
    address += "?subject=" + encoded(message.subject);
    address += "&body=" + encoded(withCrLf(message.body));
    return QUrl::fromEncoded(address, QUrl::StrictMode);
}
