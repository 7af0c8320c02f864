#include "platform/systemmailcomposer.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace {

// The exit codes of xdg-email.
QString xdgEmailFailure(int exitCode)
{
    switch (exitCode) {
    case 3:
        return QObject::tr("No mail program is set up on this desktop.");
    case 5:
        return QObject::tr("The mail program may not be started.");
    default:
        return QObject::tr("The mail program failed (exit code %1).").arg(exitCode);
    }
}

} // namespace

void SystemMailComposer::compose(const MailMessage &message)
{
    const QByteArray address = mailtoUrl(message).toEncoded();
    if (address.size() > MaximumAddressLength) {
        Q_EMIT failed(tr("The note is too long to be handed to the mail program: it takes %1 "
                         "characters as a mail address, and at most %2 fit.")
                          .arg(address.size())
                          .arg(MaximumAddressLength));
        return;
    }
    const QString xdgEmail = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (xdgEmail.isEmpty()) {
        if (!QDesktopServices::openUrl(QUrl::fromEncoded(address)))
            Q_EMIT failed(tr("No program for mail addresses is set up on this desktop."));
        return;
    }
    auto *process = new QProcess(this);
    process->setProgram(xdgEmail);
    process->setArguments({QString::fromLatin1(address)});
    process->setProcessChannelMode(QProcess::ForwardedOutputChannel);
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            Q_EMIT failed(process->errorString());
            process->deleteLater();
        }
    });
    connect(process, &QProcess::finished, this,
            [this, process](int exitCode, QProcess::ExitStatus status) {
                process->deleteLater();
                if (status != QProcess::NormalExit || exitCode == 0)
                    return;
                const QString reason = xdgEmailFailure(exitCode);
                const QString detail = QString::fromLocal8Bit(process->readAllStandardError());
                Q_EMIT failed(detail.trimmed().isEmpty() ? reason
                                                         : reason + u'\n' + detail.trimmed());
            });
    process->start();
}
