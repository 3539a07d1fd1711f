#include "knobbutton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace transport {

KnobButton::KnobButton(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void KnobButton::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void KnobButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), m_picture);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void KnobButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    emit knobPressed(toReport(p.x()), toReport(p.y()), event->modifiers());
}

void KnobButton::mouseMoveEvent(QMouseEvent *event)
{
    // Qt grabs the mouse for the widget that took the press, so moves arrive from anywhere.
    const QPoint p = event->position().toPoint();
    emit knobMoved(toReport(p.x()), toReport(p.y()), event->modifiers());
}

void KnobButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    emit knobReleased(toReport(p.x()), toReport(p.y()), event->modifiers());
}

void KnobButton::keyPressEvent(QKeyEvent *event)
{
    QWidget::keyPressEvent(event);
}

} // namespace transport
