#include "feed.h"

#include <QStringDecoder>

namespace update {

namespace {

bool matchesAt(const QByteArray &text, qsizetype at, const QByteArray &marker)
{
    return text.size() - at >= marker.size() && std::equal(marker.cbegin(), marker.cend(), text.cbegin() + at);
}

qsizetype characterLength(const QByteArray &text, qsizetype at)
{
    return static_cast<unsigned char>(text.at(at)) >= 0x80 ? 2 : 1;
}

// Position of the first marker at or after from, on a character boundary; -1 when there is none.
qsizetype findMarker(const QByteArray &text, const QByteArray &marker, qsizetype from)
{
    if (marker.isEmpty())
        return -1;
    for (qsizetype i = from; i < text.size(); i += characterLength(text, i)) {
        if (matchesAt(text, i, marker))
            return i;
    }
    return -1;
}

} // namespace

QByteArray pageText(const QByteArray &bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    return zero < 0 ? bytes : bytes.left(zero);
}

QList<QByteArray> splitText(const QByteArray &text, const QByteArray &marker, int limit)
{
    QList<QByteArray> pieces;
    if (text.isEmpty())
        return pieces;
    if (marker.isEmpty()) {
        pieces.append(text);
        return pieces;
    }
    qsizetype cut = 0;
    qsizetype at = findMarker(text, marker, 0);
    while (at >= 0) {
        pieces.append(text.mid(cut, at - cut));
        if (limit > 0 && pieces.size() >= limit)
            return pieces;
        cut = at + marker.size();
        at = findMarker(text, marker, cut);
    }
    if (cut < text.size())
        pieces.append(text.mid(cut));
    return pieces;
}

VersionFeed splitFeed(const QByteArray &text)
{
    return splitText(text, FeedMarker, FeedPieceLimit);
}

QByteArray downloadAddress(const VersionFeed &feed)
{
    if (feed.size() < 4)
        return {};
    QByteArray address = feed.at(3);
    return address.replace(QByteArrayLiteral("&amp;"), QByteArrayLiteral("&"));
}

QByteArray textBetween(const QByteArray &text, const QByteArray &start, const QByteArray &end)
{
    const qsizetype begin = start.isEmpty() ? 0 : findMarker(text, start, 0);
    if (begin < 0)
        return {};
    const qsizetype from = begin + start.size();
    const qsizetype stop = findMarker(text, end, from);
    if (stop < 0)
        return {};
    return text.mid(from, stop - from);
}

QString displayText(const QByteArray &gbk)
{
    QStringDecoder decoder("GB18030");
    if (!decoder.isValid())
        return QString::fromLatin1(gbk);
    return decoder.decode(gbk);
}

} // namespace update
