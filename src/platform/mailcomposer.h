#pragma once

#include "platform/mailmessage.h"

#include <QObject>

// The user's mail program, opened with a new message to edit and send. Tests
// put a recording composer in its place.
class MailComposer : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void compose(const MailMessage &message) = 0;

Q_SIGNALS:
    // The mail program could not be started; reason says why, for the user.
    void failed(const QString &reason);
};
