#pragma once

#include <QLabel>

namespace app {

// A label whose blanks keep the widths they have in 宋体 9 pt (half a full-width character each), whatever font
// draws the glyphs, so the labels laid over its blanks never run into its words.
class CellCaption : public QLabel
{
    Q_OBJECT
public:
    explicit CellCaption(const QString &text, QWidget *parent = nullptr);

    static constexpr int FullWidthCell = 12;
    static constexpr int HalfWidthCell = 6;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace app
