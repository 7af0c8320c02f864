#include "platform/x11globalkeys.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>

namespace {
// X key symbols of the keys outside the Latin-1 range that a shortcut
// commonly uses.
constexpr uint32_t XK_Num_Lock = 0xff7f;
constexpr uint32_t XK_Alt_L = 0xffe9;
constexpr uint32_t XK_Super_L = 0xffeb;
constexpr uint32_t XK_F1 = 0xffbe;

constexpr std::array<std::pair<Qt::Key, uint32_t>, 18> SpecialKeys{{
    {Qt::Key_Escape, 0xff1b},
    {Qt::Key_Tab, 0xff09},
    {Qt::Key_Backspace, 0xff08},
    {Qt::Key_Return, 0xff0d},
    {Qt::Key_Enter, 0xff8d},
    {Qt::Key_Insert, 0xff63},
    {Qt::Key_Delete, 0xffff},
    {Qt::Key_Pause, 0xff13},
    {Qt::Key_Print, 0xff61},
    {Qt::Key_Home, 0xff50},
    {Qt::Key_End, 0xff57},
    {Qt::Key_Left, 0xff51},
    {Qt::Key_Up, 0xff52},
    {Qt::Key_Right, 0xff53},
    {Qt::Key_Down, 0xff54},
    {Qt::Key_PageUp, 0xff55},
    {Qt::Key_PageDown, 0xff56},
    {Qt::Key_Menu, 0xff67},
}};

// The key symbol of key, 0 when there is none.
uint32_t keysymOf(Qt::Key key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return uint32_t(key - Qt::Key_A) + 'a';
    // Latin-1 characters are their own key symbols.
    if ((key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde)
        || (key >= Qt::Key_nobreakspace && key <= Qt::Key_ydiaeresis))
        return uint32_t(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return XK_F1 + uint32_t(key - Qt::Key_F1);
    for (const auto &[qtKey, keysym] : SpecialKeys) {
        if (qtKey == key)
            return keysym;
    }
    return 0;
}

template <typename Reply>
using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPointer<Reply> owned(Reply *reply)
{
    return ReplyPointer<Reply>(reply, &std::free);
}
} // namespace

xcb_connection_t *X11GlobalKeys::applicationConnection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

X11GlobalKeys::X11GlobalKeys(xcb_connection_t *connection, QObject *parent)
    : GlobalKeys(parent)
    , m_connection(connection)
{
    // The keys are taken on the first screen's root, the desktop the
    // program's windows are on.
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    m_numLock = modifierOf(XK_Num_Lock);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11GlobalKeys::~X11GlobalKeys()
{
    QCoreApplication::instance()->removeNativeEventFilter(this);
    for (const QKeyCombination &key : m_held.values())
        release(key);
}

uint8_t X11GlobalKeys::keycodeFor(uint32_t keysym) const
{
    const xcb_setup_t *setup = xcb_get_setup(m_connection);
    const uint8_t first = setup->min_keycode;
    const int count = setup->max_keycode - first + 1;
    const auto mapping = owned(xcb_get_keyboard_mapping_reply(
        m_connection, xcb_get_keyboard_mapping(m_connection, first, count), nullptr));
    if (!mapping || keysym == 0)
        return 0;
    const xcb_keysym_t *keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    const int perKeycode = mapping->keysyms_per_keycode;
    for (int code = 0; code < count; ++code) {
        for (int level = 0; level < perKeycode; ++level) {
            if (keysyms[code * perKeycode + level] == keysym)
                return uint8_t(first + code);
        }
    }
    return 0;
}

uint16_t X11GlobalKeys::modifierOf(uint32_t keysym) const
{
    const uint8_t keycode = keycodeFor(keysym);
    const auto mapping = owned(xcb_get_modifier_mapping_reply(
        m_connection, xcb_get_modifier_mapping(m_connection), nullptr));
    if (!mapping || keycode == 0)
        return 0;
    const xcb_keycode_t *keycodes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            if (keycodes[modifier * perModifier + i] == keycode)
                return uint16_t(1u << modifier);
        }
    }
    return 0;
}

std::optional<X11GlobalKeys::XKey> X11GlobalKeys::toXKey(QKeyCombination key) const
{
    XKey xkey;
    xkey.keycode = keycodeFor(keysymOf(key.key()));
    if (xkey.keycode == 0)
        return std::nullopt;
    const Qt::KeyboardModifiers modifiers = key.keyboardModifiers();
    if (modifiers & Qt::ShiftModifier)
        xkey.modifiers |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        xkey.modifiers |= XCB_MOD_MASK_CONTROL;
    // Alt and Super sit on Mod1 and Mod4 unless the keyboard says otherwise.
    if (modifiers & Qt::AltModifier) {
        const uint16_t alt = modifierOf(XK_Alt_L);
        xkey.modifiers |= alt ? alt : uint16_t(XCB_MOD_MASK_1);
    }
    if (modifiers & Qt::MetaModifier) {
        const uint16_t super = modifierOf(XK_Super_L);
        xkey.modifiers |= super ? super : uint16_t(XCB_MOD_MASK_4);
    }
    return xkey;
}

QList<uint16_t> X11GlobalKeys::lockVariants() const
{
    QList<uint16_t> variants{0, XCB_MOD_MASK_LOCK};
    if (m_numLock)
        variants << m_numLock << uint16_t(m_numLock | XCB_MOD_MASK_LOCK);
    return variants;
}

GlobalKeys::Grab X11GlobalKeys::grab(QKeyCombination key)
{
    const std::optional<XKey> xkey = toXKey(key);
    if (!xkey)
        return Grab::Unavailable;
    if (m_held.contains(*xkey))
        return Grab::Held;
    QList<uint16_t> taken;
    bool refused = false;
    for (uint16_t variant : lockVariants()) {
        const xcb_void_cookie_t cookie
            = xcb_grab_key_checked(m_connection, 0, m_root, xkey->modifiers | variant,
                                   xkey->keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (auto error = owned(xcb_request_check(m_connection, cookie))) {
            refused = true;
            break;
        }
        taken << variant;
    }
    if (refused) {
        // Half a key would work only with some lights on: none of it is kept.
        for (uint16_t variant : taken)
            xcb_ungrab_key(m_connection, xkey->keycode, m_root, xkey->modifiers | variant);
        xcb_flush(m_connection);
        return Grab::Taken;
    }
    m_held.insert(*xkey, key);
    return Grab::Held;
}

void X11GlobalKeys::release(QKeyCombination key)
{
    auto held
        = std::find_if(m_held.begin(), m_held.end(),
                       [key](const QKeyCombination &combination) { return combination == key; });
    if (held == m_held.end())
        return;
    for (uint16_t variant : lockVariants())
        xcb_ungrab_key(m_connection, held.key().keycode, m_root, held.key().modifiers | variant);
    xcb_flush(m_connection);
    m_down.remove(held.key().keycode);
    m_held.erase(held);
}

bool X11GlobalKeys::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const uint8_t type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    const auto *keyEvent = static_cast<const xcb_key_press_event_t *>(message);
    if (type == XCB_KEY_RELEASE) {
        m_down.remove(keyEvent->detail);
        return false;
    }
    // The lock states and the pointer's buttons do not tell keys apart.
    const uint16_t locks = XCB_MOD_MASK_LOCK | m_numLock;
    const uint16_t state = keyEvent->state & 0xff & ~locks;
    const auto held = m_held.constFind(XKey{keyEvent->detail, state});
    // A key held down repeats its press; the command runs once.
    if (held == m_held.constEnd() || m_down.contains(keyEvent->detail))
        return false;
    m_down.insert(keyEvent->detail);
    // Qt takes the press's time first: the window the key brings up is
    // activated with it.
    const QKeyCombination key = held.value();
    QTimer::singleShot(0, this, [this, key] { Q_EMIT pressed(key); });
    return false;
}
