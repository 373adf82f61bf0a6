#pragma once
// What the calls' ladder and the journeys' ladder both draw: a party's box with its name and its
// line down the diagram, and the head of an arrow.
#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPen>
#include <QRect>
#include <QString>

namespace truno::window {

// The box of width `width` centred on x from `top`, its name inside, and a dashed line from it
// down to `bottom`.
inline void drawLifeline(QPainter& painter, const QPalette& colours, int x, int width, int top, int bottom,
                         const QString& name) {
    const QColor ink = colours.color(QPalette::Text);
    const QRect box(x - width / 2, top, width, painter.fontMetrics().height() + 8);
    painter.setPen(ink);
    painter.setBrush(colours.color(QPalette::AlternateBase));
    painter.drawRect(box);
    painter.drawText(box, Qt::AlignCenter, name);
    painter.setPen(QPen(ink, 1, Qt::DashLine));
    painter.drawLine(x, box.bottom(), x, bottom);
}

// The filled head of an arrow ending at (x, y), pointing right or left.
inline void drawArrowHead(QPainter& painter, int x, int y, bool pointingRight, const QColor& colour) {
    const int back = pointingRight ? -8 : 8;
    QPainterPath tip;
    tip.moveTo(x, y);
    tip.lineTo(x + back, y - 4);
    tip.lineTo(x + back, y + 4);
    tip.closeSubpath();
    painter.fillPath(tip, colour);
}

}  // namespace truno::window
