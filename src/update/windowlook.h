#pragma once

#include <QFont>
#include <QIcon>

namespace update {

// The program icon from the shared resources; the windows of this folder carry it in their title bars.
inline QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 72, 96, 128})
        icon.addFile(QStringLiteral(":/icons/app-%1.png").arg(size), QSize(size, size));
    return icon;
}

inline QFont songti9()
{
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(9);
    return font;
}

} // namespace update
