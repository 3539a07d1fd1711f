#include "update/feed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray text = update::pageText(bytes);
    const update::VersionFeed feed = update::splitFeed(text);
    if (feed.size() > update::FeedPieceLimit)
        __builtin_trap();
    if (feed.size() >= 4) {
        const QByteArray address = update::downloadAddress(feed);
        if (address.size() > feed.at(3).size())
            __builtin_trap();
    }
    qsizetype total = 0;
    for (const QByteArray &piece : feed)
        total += piece.size();
    if (total > text.size())
        __builtin_trap();
    update::displayText(text);
    return 0;
}
