#pragma once

#include <QColor>
#include <QToolButton>

#include <functional>

class QFrame;

namespace editor {

// A small colour button holding one colour in the 0x00BBGGRR encoding, or AutoColor. A click drops down
// a palette with 自动 (the window-text colour), forty colours and 其他颜色... for any other.
class ColorPicker : public QToolButton
{
    Q_OBJECT
public:
    // Asks for any colour; an invalid colour means the user cancelled.
    using ColorDialog = std::function<QColor(const QColor &initial, QWidget *parent)>;

    explicit ColorPicker(QWidget *parent = nullptr);
    ~ColorPicker() override;

    qint32 color() const { return m_color; }
    void setColor(qint32 color);

    void setColorDialog(ColorDialog dialog) { m_colorDialog = std::move(dialog); }

    // The drop-down palette, created on first use; its buttons are named 自动, 其他颜色 and swatch_<i>.
    QFrame *palettePopup();
    void showPalette();

signals:
    // The user chose a colour (not raised by setColor).
    void colorChosen(qint32 color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void choose(qint32 color);
    void chooseOther();

    qint32 m_color;
    QFrame *m_popup = nullptr;
    ColorDialog m_colorDialog;
};

} // namespace editor
