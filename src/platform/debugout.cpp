#include "platform/debugout.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(qelDebug, "qel.debug")

void DebugOut(const QString &text)
{
    qCDebug(qelDebug).noquote() << text;
}
