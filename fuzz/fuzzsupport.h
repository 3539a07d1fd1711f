#pragma once

#include <QGuiApplication>

#include <cstdlib>

// Text documents need a GUI application for their fonts; the offscreen platform needs no display.
inline void startGuiForFuzzing(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
}
