#include "cellcaption.h"

#include <QPainter>

namespace app {

CellCaption::CellCaption(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
}

void CellCaption::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QString t = text();
    int x = 0;
    int i = 0;
    while (i < t.size()) {
        if (t.at(i) == QLatin1Char(' ')) {
            x += HalfWidthCell;
            ++i;
            continue;
        }
        int j = i;
        int cells = 0;
        while (j < t.size() && t.at(j) != QLatin1Char(' ')) {
            cells += t.at(j).unicode() < 0x80 ? HalfWidthCell : FullWidthCell;
            ++j;
        }
        painter.drawText(QRect(x, 0, width() - x, height()), Qt::AlignLeft | Qt::AlignVCenter, t.mid(i, j - i));
        x += qMax(cells, fontMetrics().horizontalAdvance(t.mid(i, j - i)));
        i = j;
    }
}

} // namespace app
