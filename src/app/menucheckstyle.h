#pragma once

#include <QProxyStyle>

// The desktop's style, with the check boxes of menu entries outlined in the
// menu's text colour. Some styles draw an unticked box in shades of the
// window colour, which on a dark theme leaves it invisible: the board's
// "Desktop" or "Show Hint" would seem to be no options at all.
class MenuCheckStyle : public QProxyStyle
{
    Q_OBJECT

public:
    // Wraps base (owned from then on), or the application's style.
    explicit MenuCheckStyle(QStyle *base = nullptr);

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
};
