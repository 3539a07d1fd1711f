#include "statuspart.h"

#include <QHBoxLayout>
#include <QLabel>

namespace app {

StatusPart::StatusPart(const QPixmap &image, const QString &toolTip, QWidget *parent)
    : QWidget(parent)
    , m_text(new QLabel(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(3);
    auto *icon = new QLabel(this);
    icon->setPixmap(image);
    icon->setFixedSize(16, 15);
    layout->addWidget(icon);
    layout->addWidget(m_text, 1);
    m_text->setTextFormat(Qt::PlainText);
    setToolTip(toolTip);
    setAccessibleName(toolTip);
}

QString StatusPart::text() const
{
    return m_text->text();
}

void StatusPart::setText(const QString &text)
{
    m_text->setText(text);
    m_text->setAccessibleName(text);
}

} // namespace app
