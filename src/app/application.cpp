#include "application.h"

#include "app/mainwindow.h"
#include "app/processstate.h"
#include "app/services.h"
#include "app/skin.h"
#include "common/qtdialogs.h"
#include "transport/mpv/mpvplayer.h"
#include "update/addressopener.h"
#include "update/curl/curlfetch.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <clocale>

namespace app {

int run(int argc, char **argv)
{
    QApplication application(argc, argv);
    // libmpv parses numbers with the C library and refuses to start under a locale with a decimal comma.
    std::setlocale(LC_NUMERIC, "C");
    initResources();
    QApplication::setApplicationName(QStringLiteral("vornel-transcriber"));
    QApplication::setApplicationDisplayName(QString());
    QApplication::setDesktopFileName(QStringLiteral("vornel-transcriber"));

    // Qt's own texts (是/否/取消, the file dialog) in Chinese.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);

    ProcessState state;
    common::QtDialogs dialogs;
    Services services;
    services.dialogs = &dialogs;
    // Costs nothing until the first recording is opened.
    transport::MpvPlayer player;
    services.player = &player;
    services.clock = [] { return QDateTime::currentDateTime(); };
    services.fetchPage = [](const QByteArray &address) { return update::curl::fetchPage(address); };
    services.openUrl = &update::openUrlOnDesktop;

    int result = 0;
    {
        MainWindow window(state, services);
        window.onMainWindowCreated();
        window.show();
        result = QApplication::exec();
    }
    releaseState(state);
    return result;
}

} // namespace app
