#include "knobbutton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QtMath>

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

namespace {

// Whole pixels relative to the knob, as a pointer report carries them: left of the knob is negative.
QPoint reportedPoint(const QMouseEvent *event)
{
    const QPointF p = event->position();
    return {qFloor(p.x()), qFloor(p.y())};
}

} // namespace

void KnobButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = reportedPoint(event);
    emit knobPressed(toReport(p.x()), toReport(p.y()), event->modifiers());
}

void KnobButton::mouseMoveEvent(QMouseEvent *event)
{
    // Qt grabs the pointer for the widget that took the press until the last button is up, so moves
    // arrive from anywhere on the screen, also from outside the window.
    const QPoint p = reportedPoint(event);
    emit knobMoved(toReport(p.x()), toReport(p.y()), event->modifiers());
}

void KnobButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = reportedPoint(event);
    emit knobReleased(toReport(p.x()), toReport(p.y()), event->modifiers());
}

void KnobButton::keyPressEvent(QKeyEvent *event)
{
    QWidget::keyPressEvent(event);
}

} // namespace transport
