#pragma once

#include <QByteArray>
#include <QList>

namespace update {

// Pieces of the feed page, GBK bytes as the page holds them.
using VersionFeed = QList<QByteArray>;

struct ProgramEntry
{
    QByteArray title;
    QByteArray link;
};

} // namespace update
