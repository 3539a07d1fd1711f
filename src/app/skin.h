#pragma once

#include "app/processstate.h"

#include <QByteArray>
#include <QIcon>

namespace app {

// Makes the program's images, skin and texts available; call once after QApplication.
void initResources();

// The built-in skin: a style sheet and palette kept in the program's resources.
QByteArray builtInSkin();

// Attaches the skin to the whole application, once; later windows take the same look.
// Hue, saturation and brightness shift the palette; password is unused (the skin is not protected).
void attachSkin(SkinEngine &engine, const QByteArray &skin, const char *password, int hue, int saturation,
    int brightness);

QIcon appIcon();

} // namespace app
