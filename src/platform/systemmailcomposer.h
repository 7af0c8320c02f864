#pragma once

#include "platform/mailcomposer.h"

// The desktop's mail composer: the message goes as one mailto: address to
// xdg-email, which starts the user's mail program, or to the desktop's handler
// of mailto: addresses where xdg-email is missing. A message whose address is
// longer than a program argument may be is refused with a reason.
class SystemMailComposer : public MailComposer
{
    Q_OBJECT

public:
    using MailComposer::MailComposer;

    void compose(const MailMessage &message) override;

    // The longest address one program argument can carry.
    static constexpr qsizetype MaximumAddressLength = 128 * 1024 - 1;
};
