#include "addressopener.h"

#include "update/feed.h"

#include <QDesktopServices>
#include <QLabel>
#include <QProcess>

namespace update {

namespace {

QUrl toUrl(const QByteArray &address)
{
    return QUrl(displayText(address), QUrl::TolerantMode);
}

} // namespace

bool isWebAddress(const QByteArray &address)
{
    const QByteArray lower = address.toLower();
    if (!lower.startsWith("http://") && !lower.startsWith("https://"))
        return false;
    const QUrl url = toUrl(address);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        && !url.host().isEmpty();
}

bool openAddress(QLabel *link, const QByteArray &address, const OpenUrl &openUrl)
{
    if (link) {
        link->setTextFormat(Qt::PlainText);
        link->setText(displayText(address));
    }
    if (!isWebAddress(address) || !openUrl)
        return false;
    return openUrl(toUrl(address));
}

bool openUrlOnDesktop(const QUrl &url)
{
    if (QDesktopServices::openUrl(url))
        return true;
    // An argument list, never a shell: the address reaches xdg-open as one word whatever it holds.
    return QProcess::startDetached(QStringLiteral("xdg-open"), {url.toString(QUrl::FullyEncoded)});
}

} // namespace update
