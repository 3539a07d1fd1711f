#include "colorpicker.h"

#include "editor/charformat.h"
#include "editor/formatting.h"

#include <QColorDialog>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace editor {

namespace {

struct Swatch
{
    QRgb rgb;
    const char16_t *name;
};

// The usual office palette: five rows of dark to light.
constexpr Swatch Swatches[] = {
    {0x000000, u"黑色"}, {0x993300, u"褐色"}, {0x333300, u"橄榄色"}, {0x003300, u"深绿"},
    {0x003366, u"深青"}, {0x000080, u"深蓝"}, {0x333399, u"靛蓝"}, {0x333333, u"灰色-80%"},
    {0x800000, u"深红"}, {0xFF6600, u"橙色"}, {0x808000, u"深黄"}, {0x008000, u"绿色"},
    {0x008080, u"青色"}, {0x0000FF, u"蓝色"}, {0x666699, u"蓝灰"}, {0x808080, u"灰色-50%"},
    {0xFF0000, u"红色"}, {0xFF9900, u"浅橙"}, {0x99CC00, u"酸橙"}, {0x339966, u"海绿"},
    {0x33CCCC, u"水绿"}, {0x3366FF, u"浅蓝"}, {0x800080, u"紫罗兰"}, {0x999999, u"灰色-40%"},
    {0xFF00FF, u"粉红"}, {0xFFCC00, u"金色"}, {0xFFFF00, u"黄色"}, {0x00FF00, u"鲜绿"},
    {0x00FFFF, u"青绿"}, {0x00CCFF, u"天蓝"}, {0x993366, u"梅红"}, {0xC0C0C0, u"灰色-25%"},
    {0xFF99CC, u"玫瑰红"}, {0xFFCC99, u"茶色"}, {0xFFFF99, u"浅黄"}, {0xCCFFCC, u"浅绿"},
    {0xCCFFFF, u"浅青绿"}, {0x99CCFF, u"淡蓝"}, {0xCC99FF, u"淡紫"}, {0xFFFFFF, u"白色"},
};
constexpr int Columns = 8;

QIcon swatchIcon(const QColor &color, const QSize &size)
{
    QPixmap pixmap(size);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
    return QIcon(pixmap);
}

// Arrow keys walk the palette's buttons; Esc closes it as any popup.
class PalettePopup : public QFrame
{
public:
    explicit PalettePopup(QWidget *parent)
        : QFrame(parent, Qt::Popup)
    {
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        setAttribute(Qt::WA_WindowPropagation);
    }

protected:
    bool event(QEvent *event) override
    {
        if (keepEscapeInPopup(event))
            return true;
        return QFrame::event(event);
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            focusNextPrevChild(false);
            return;
        case Qt::Key_Right:
        case Qt::Key_Down:
            focusNextPrevChild(true);
            return;
        default:
            QFrame::keyPressEvent(event);
        }
    }
};

} // namespace

ColorPicker::ColorPicker(QWidget *parent)
    : QToolButton(parent)
    , m_color(AutoColor)
    , m_colorDialog([](const QColor &initial, QWidget *owner) {
        return QColorDialog::getColor(initial, owner, QStringLiteral("其他颜色"));
    })
{
    setFocusPolicy(Qt::TabFocus);
    setToolTip(QStringLiteral("文字颜色"));
    setAccessibleName(QStringLiteral("文字颜色"));
    connect(this, &QToolButton::clicked, this, &ColorPicker::showPalette);
}

ColorPicker::~ColorPicker() = default;

void ColorPicker::setColor(qint32 color)
{
    if (m_color == color)
        return;
    m_color = color;
    update();
}

void ColorPicker::choose(qint32 color)
{
    if (m_popup)
        m_popup->hide();
    setColor(color);
    emit colorChosen(color);
}

void ColorPicker::chooseOther()
{
    if (m_popup)
        m_popup->hide();
    const QColor initial = m_color == AutoColor ? palette().color(QPalette::WindowText) : colorFromRgbValue(m_color);
    const QColor chosen = m_colorDialog(initial, window());
    if (chosen.isValid())
        choose(rgbValue(chosen));
}

QFrame *ColorPicker::palettePopup()
{
    if (m_popup)
        return m_popup;
    m_popup = new PalettePopup(this);
    m_popup->setObjectName(QStringLiteral("调色板"));
    auto *layout = new QVBoxLayout(m_popup);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    const auto addWideButton = [this, layout](const QString &name, const QString &text) {
        auto *button = new QToolButton(m_popup);
        button->setObjectName(name);
        button->setText(text);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        layout->addWidget(button);
        return button;
    };

    QToolButton *automatic = addWideButton(QStringLiteral("自动"), QStringLiteral("自动"));
    automatic->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    automatic->setIcon(swatchIcon(palette().color(QPalette::WindowText), QSize(12, 12)));
    automatic->setToolTip(QStringLiteral("自动（窗口文字颜色）"));
    connect(automatic, &QToolButton::clicked, this, [this] { choose(AutoColor); });

    auto *grid = new QGridLayout;
    grid->setSpacing(2);
    int i = 0;
    for (const Swatch &swatch : Swatches) {
        auto *button = new QToolButton(m_popup);
        button->setObjectName(QStringLiteral("swatch_%1").arg(i));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setIconSize(QSize(13, 13));
        button->setIcon(swatchIcon(QColor(swatch.rgb), QSize(13, 13)));
        const QString name = QString::fromUtf16(swatch.name);
        button->setToolTip(name);
        button->setAccessibleName(name);
        const QColor color(swatch.rgb);
        connect(button, &QToolButton::clicked, this, [this, color] { choose(rgbValue(color)); });
        grid->addWidget(button, i / Columns, i % Columns);
        ++i;
    }
    layout->addLayout(grid);

    QToolButton *other = addWideButton(QStringLiteral("其他颜色"), QStringLiteral("其他颜色..."));
    connect(other, &QToolButton::clicked, this, &ColorPicker::chooseOther);
    return m_popup;
}

void ColorPicker::showPalette()
{
    QFrame *popup = palettePopup();
    popup->adjustSize();
    QPoint at = mapToGlobal(QPoint(0, height()));
    if (const QScreen *s = screen()) {
        const QRect area = s->availableGeometry();
        at.setX(qBound(area.left(), at.x(), area.right() - popup->width()));
        if (at.y() + popup->height() > area.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - popup->height());
    }
    popup->move(at);
    popup->show();
    if (QWidget *first = popup->findChild<QWidget *>(QStringLiteral("自动")))
        first->setFocus(Qt::PopupFocusReason);
}

void ColorPicker::paintEvent(QPaintEvent *event)
{
    QToolButton::paintEvent(event);
    QPainter painter(this);
    // The swatch on the left, a small drop-down arrow on the right.
    const QRect swatch = rect().adjusted(5, 4, -15, -4);
    const QColor c = m_color == AutoColor ? palette().color(QPalette::WindowText) : colorFromRgbValue(m_color);
    painter.fillRect(swatch, c);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    const int x = width() - 11;
    const int y = height() / 2 - 1;
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(isEnabled() ? QPalette::WindowText : QPalette::Mid));
    const QPoint arrow[] = {{x, y}, {x + 6, y}, {x + 3, y + 3}};
    painter.drawPolygon(arrow, 3);
}

} // namespace editor
