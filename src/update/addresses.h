#pragma once

#include <QByteArray>

namespace update {

// The maker's addresses, to be filled in at release. Until then they lie under a reserved domain
// that never resolves, so no start-up sends traffic to a stranger's host.
inline const QByteArray FeedAddress = QByteArrayLiteral("https://vornel.example/blog/version-feed.html");
inline const QByteArray BlogListAddress = QByteArrayLiteral("https://vornel.example/blog/list.html");
inline const QByteArray SiteRoot = QByteArrayLiteral("https://vornel.example");

// The three together, so that tests can point the windows at a local server.
struct Addresses
{
    QByteArray feed = FeedAddress;
    QByteArray blogList = BlogListAddress;
    QByteArray siteRoot = SiteRoot;
};

inline const QByteArray CurrentVersion = QByteArrayLiteral("5.0");

} // namespace update
