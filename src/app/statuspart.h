#pragma once

#include <QWidget>

class QLabel;

namespace app {

// One part of the status bar: a small image at its left, then a text.
class StatusPart : public QWidget
{
    Q_OBJECT
public:
    StatusPart(const QPixmap &image, const QString &toolTip, QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);

private:
    QLabel *m_text;
};

} // namespace app
