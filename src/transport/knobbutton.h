#pragma once

#include <QPixmap>
#include <QWidget>

namespace transport {

// The seek-bar knob: a picture that reports the left button's press, moves and release with
// the pointer position relative to its top-left corner as unsigned 16-bit numbers.
class KnobButton : public QWidget
{
    Q_OBJECT
public:
    explicit KnobButton(QWidget *parent = nullptr);

    void setPicture(const QPixmap &picture);

    static int toReport(int coordinate) { return coordinate & 0xFFFF; }

signals:
    void knobPressed(int x, int y, Qt::KeyboardModifiers keys);
    void knobMoved(int x, int y, Qt::KeyboardModifiers keys);
    void knobReleased(int x, int y, Qt::KeyboardModifiers keys);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPixmap m_picture;
};

} // namespace transport
