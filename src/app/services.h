#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QUrl>

#include <functional>

namespace common {
class Dialogs;
}
namespace transport {
class MediaPlayer;
}

namespace app {

// The outside world as the main window sees it; tests hand in fakes.
struct Services
{
    common::Dialogs *dialogs = nullptr;
    transport::MediaPlayer *player = nullptr;
    // Synchronous GET: the body, empty on failure.
    std::function<QByteArray(const QByteArray &address)> fetchPage;
    // The desktop's "open" for a web address.
    std::function<bool(const QUrl &url)> openUrl;
    std::function<QDateTime()> clock;
};

} // namespace app
