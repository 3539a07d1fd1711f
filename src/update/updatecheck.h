#pragma once

#include "update/addressopener.h"
#include "update/feed.h"
#include "update/feedtypes.h"

class QLabel;

namespace common {
class Dialogs;
}

namespace update {

struct UpdateCheck
{
    VersionFeed &startupFeed;
    FetchPage fetchPage;
    OpenUrl openUrl;
    common::Dialogs *dialogs = nullptr;
    QLabel *link = nullptr; // the main window's hidden hyperlink
    QByteArray feedAddress;
};

// Reads the feed and, when it names another version than this one, offers to download it. Every failure of the
// network or the page ends the check silently.
void checkForUpdateAtStartup(const UpdateCheck &check);

} // namespace update
