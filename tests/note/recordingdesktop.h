#pragma once

#include "platform/desktopopener.h"
#include "platform/mailcomposer.h"

#include <QStringList>
#include <QUrl>

// The desktop's opener and mail composer replaced by ones that write what
// they were asked to do into a log: "open URL", "folder PATH",
// "mail RECIPIENT|SUBJECT|BODY".
class RecordingOpener : public DesktopOpener
{
public:
    explicit RecordingOpener(QStringList &log)
        : m_log(log)
    {}
    void openUrl(const QUrl &url) override { m_log << u"open "_qs + url.toString(); }
    void showInFolder(const QString &path) override { m_log << u"folder "_qs + path; }

private:
    QStringList &m_log;
};

class RecordingComposer : public MailComposer
{
public:
    // A composer whose mail program fails with failure, unless it is empty.
    RecordingComposer(QStringList &log, const QString &failure)
        : m_log(log)
        , m_failure(failure)
    {}
    void compose(const MailMessage &message) override
    {
        m_log << u"mail "_qs + message.recipient + u'|' + message.subject + u'|' + message.body;
        if (!m_failure.isEmpty())
            Q_EMIT failed(m_failure);
    }

private:
    QStringList &m_log;
    QString m_failure;
};
