#include "app/menucheckstyle.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

MenuCheckStyle::MenuCheckStyle(QStyle *base)
    : QProxyStyle(base ? base : QStyleFactory::create(QApplication::style()->name()))
{}

void MenuCheckStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                   QPainter *painter, const QWidget *widget) const
{
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (element != PE_IndicatorCheckBox || !qobject_cast<const QMenu *>(widget))
        return;
    QColor frame = option->palette.color(QPalette::Text);
    frame.setAlpha(170);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(frame);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option->rect.adjusted(1, 1, -2, -2));
    painter->restore();
}
