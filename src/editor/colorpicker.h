#pragma once

#include <QToolButton>

namespace editor {

// A small colour button holding one colour in the 0x00BBGGRR encoding, or AutoColor.
class ColorPicker : public QToolButton
{
    Q_OBJECT
public:
    explicit ColorPicker(QWidget *parent = nullptr);

    qint32 color() const { return m_color; }
    void setColor(qint32 color);

signals:
    // The user chose a colour (not raised by setColor).
    void colorChosen(qint32 color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qint32 m_color;
};

} // namespace editor
