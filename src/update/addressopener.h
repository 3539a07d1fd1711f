#pragma once

#include <QByteArray>
#include <QUrl>

#include <functional>

class QLabel;

namespace update {

// The desktop's "open" for a web address; true when it was handed on.
using OpenUrl = std::function<bool(const QUrl &url)>;

// Whether address may be handed to the desktop: only http:// and https:// addresses with a host. Addresses come
// from web pages, and anything else given to the desktop's "open" could start a local program or open a file.
bool isWebAddress(const QByteArray &address);

// Stores address in the hidden hyperlink link and opens it with openUrl. Anything but a web address, the empty
// one included, opens nothing. Returns whether it was opened.
bool openAddress(QLabel *link, const QByteArray &address, const OpenUrl &openUrl);

// The real "open": the default browser through the desktop services, xdg-open when they fail.
bool openUrlOnDesktop(const QUrl &url);

} // namespace update
