#pragma once

#include "update/feed.h"
#include "update/feedtypes.h"

#include <QByteArray>
#include <QList>

namespace update {

// Where one scrape writes: the program list and, from the first page only, the further list pages.
struct ProgramLists
{
    QList<ProgramEntry> &programEntries;
    QList<QByteArray> &extraPageAddresses;
};

// Cuts one blog list page into articles, appended in page order. On the first page the numbered page links of
// the navigation (read from the last article block) become further page addresses; siteRoot prefixes every
// relative address the page holds.
void scrapeListPage(const QByteArray &text, bool firstPage, const QByteArray &siteRoot, ProgramLists lists);

// Fetches the list page at address and scrapes it.
void collectPrograms(const QByteArray &address, bool firstPage, const FetchPage &fetchPage,
    const QByteArray &siteRoot, ProgramLists lists);

} // namespace update
