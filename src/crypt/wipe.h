#pragma once

#include <QByteArray>
#include <QString>

// Secrets (the master password, its key bytes) are written over before their
// memory is let go, so that neither the freed heap nor a core dump keeps them.
// The whole allocation is written over, in every copy sharing it, then the
// text is emptied; read-only literals are only emptied.
void wipe(QString &secret);
void wipe(QByteArray &secret);

// Wipes a secret when the scope it lives in ends, on every way out.
template <typename Secret>
class WipeOnExit
{
public:
    explicit WipeOnExit(Secret &secret)
        : m_secret(secret)
    {}
    ~WipeOnExit() { wipe(m_secret); }
    WipeOnExit(const WipeOnExit &) = delete;
    WipeOnExit &operator=(const WipeOnExit &) = delete;

private:
    Secret &m_secret;
};
