#include "colorpicker.h"

#include "editor/charformat.h"

#include <QPainter>

namespace editor {

ColorPicker::ColorPicker(QWidget *parent)
    : QToolButton(parent)
    , m_color(AutoColor)
{
    setFocusPolicy(Qt::TabFocus);
    setToolTip(QStringLiteral("文字颜色"));
    setAccessibleName(QStringLiteral("文字颜色"));
}

void ColorPicker::setColor(qint32 color)
{
    m_color = color;
    update();
}

void ColorPicker::paintEvent(QPaintEvent *event)
{
    QToolButton::paintEvent(event);
    QPainter painter(this);
    const QRect swatch = rect().adjusted(5, 4, -5, -4);
    const QColor c = m_color == AutoColor ? palette().color(QPalette::WindowText) : colorFromRgbValue(m_color);
    painter.fillRect(swatch, c);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}

} // namespace editor
