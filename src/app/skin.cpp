#include "skin.h"

#include <QApplication>
#include <QFile>
#include <QPalette>
#include <QStyleFactory>

static void initResourcesOnce()
{
    Q_INIT_RESOURCE(resources);
}

namespace app {

void initResources()
{
    initResourcesOnce();
}

QByteArray builtInSkin()
{
    QFile file(QStringLiteral(":/skin.qss"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

namespace {

QColor shifted(const QColor &c, int hue, int saturation, int brightness)
{
    if (hue == 0 && saturation == 0 && brightness == 0)
        return c;
    const int h = c.hslHue() < 0 ? 0 : (c.hslHue() + hue + 360) % 360;
    return QColor::fromHsl(h, qBound(0, c.hslSaturation() + saturation, 255), qBound(0, c.lightness() + brightness, 255));
}

} // namespace

void attachSkin(SkinEngine &engine, const QByteArray &skin, const char *password, int hue, int saturation,
    int brightness)
{
    Q_UNUSED(password);
    engine.loaded = true;
    auto *application = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (!application || skin.isEmpty() || engine.attached)
        return;
    if (QStyle *fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    QPalette p = QApplication::palette();
    const auto set = [&](QPalette::ColorRole role, const QColor &c) {
        p.setColor(role, shifted(c, hue, saturation, brightness));
    };
    set(QPalette::Window, QColor(0xee, 0xf1, 0xf5));
    set(QPalette::Button, QColor(0xe8, 0xec, 0xf1));
    set(QPalette::Highlight, QColor(0x3d, 0x6f, 0xa8));
    set(QPalette::Base, Qt::white);
    set(QPalette::ToolTipBase, QColor(0xff, 0xfb, 0xe6));
    QApplication::setPalette(p);
    application->setStyleSheet(QString::fromUtf8(skin));
    engine.attached = true;
}

QIcon appIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 72, 96, 128})
        icon.addFile(QStringLiteral(":/icons/app-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace app
