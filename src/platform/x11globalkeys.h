#pragma once

#include "platform/globalkeys.h"

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QSet>

#include <cstdint>
#include <optional>

struct xcb_connection_t;

// Global keys of an X11 desktop: a passive grab of each key on the root
// window, taken once for every state of Num Lock and Caps Lock so that the
// key works whatever the lights show. Presses come through the application's
// native event filter and are passed on after Qt has seen them, so that the
// window they bring up is activated with the time of that press.
class X11GlobalKeys : public GlobalKeys, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    // The application's X connection, when the program runs as an X11 client.
    static xcb_connection_t *applicationConnection();

    explicit X11GlobalKeys(xcb_connection_t *connection, QObject *parent = nullptr);
    ~X11GlobalKeys() override;

    Grab grab(QKeyCombination key) override;
    void release(QKeyCombination key) override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    struct XKey
    {
        uint8_t keycode = 0;
        uint16_t modifiers = 0;
        friend bool operator==(XKey a, XKey b)
        {
            return a.keycode == b.keycode && a.modifiers == b.modifiers;
        }
        friend size_t qHash(XKey key, size_t seed)
        {
            return qHashMulti(seed, key.keycode, key.modifiers);
        }
    };

    std::optional<XKey> toXKey(QKeyCombination key) const;
    // The lock states a grab is repeated for.
    QList<uint16_t> lockVariants() const;
    uint8_t keycodeFor(uint32_t keysym) const;
    uint16_t modifierOf(uint32_t keysym) const;

    xcb_connection_t *m_connection;
    uint32_t m_root = 0;
    uint16_t m_numLock = 0;
    QHash<XKey, QKeyCombination> m_held;
    QSet<uint8_t> m_down; // held keys pressed and not yet let go
};
