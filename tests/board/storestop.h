#pragma once

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

// Starts a note writer that stops at a chosen stage of a store (see
// storestop.cpp): the n-th time it reaches the stage it tells so and stops,
// and the test kills it there.
class StoreStop
{
public:
    StoreStop(const QString &stage, int ordinal)
        : m_at(stage + u' ' + QString::number(ordinal))
        , m_report(m_folder.filePath(QStringLiteral("report")))
    {}

    void start(QProcess &process, const QString &program, QProcessEnvironment environment) const
    {
        environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(STORESTOP_PATH));
        environment.insert(QStringLiteral("QEL_STOP_AT"), m_at);
        environment.insert(QStringLiteral("QEL_STOP_REPORT"), m_report);
        process.setProcessEnvironment(environment);
        process.start(program, {});
    }

    // True once the writer stopped where asked; false when it ended before
    // getting there or took longer than any run may.
    bool waitForStop(QProcess &process) const
    {
        const QDeadlineTimer deadline(60000);
        while (!deadline.hasExpired()) {
            if (stopped())
                return true;
            if (process.waitForFinished(10))
                return stopped();
        }
        return false;
    }

private:
    bool stopped() const
    {
        QFile report(m_report);
        return report.open(QIODevice::ReadOnly) && report.readAll().trimmed() == m_at.toUtf8();
    }

    QTemporaryDir m_folder;
    QString m_at;
    QString m_report;
};
