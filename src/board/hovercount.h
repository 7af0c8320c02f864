#pragma once

// How many of the desktop icon, the board and the board's parts the pointer
// is over, as their enter and leave events tell: the icon's auto-hide timer
// hides the board once it is 0 or less. The icon owns it; the board counts
// into it. It is deliberately not guarded against going negative: a leave
// whose enter went to a window that has gone since counts as well.
class HoverCount
{
public:
    void enter() { ++m_count; }
    void leave() { --m_count; }
    // The count starts anew from count (an enter of the icon without a
    // leave, after a menu, must not pile up).
    void restart(int count) { m_count = count; }
    bool pointerOver() const { return m_count > 0; }
    int value() const { return m_count; }

private:
    int m_count = 0;
};
