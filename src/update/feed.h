#pragma once

#include "update/feedtypes.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace update {

// Synchronous GET: the body as read, empty when nothing could be read.
using FetchPage = std::function<QByteArray(const QByteArray &address)>;

inline const QByteArray FeedMarker = QByteArrayLiteral("########");
constexpr int FeedPieceLimit = 5;

// The bytes up to the first zero byte, kept as GBK.
QByteArray pageText(const QByteArray &bytes);

// Cuts text at every marker. A byte of 0x80 or above starts a two-byte GBK character that is stepped over whole,
// so a marker never matches inside one. Empty pieces before and between markers count, a trailing empty piece
// does not; with limit > 0 cutting stops once that many pieces exist and the rest is dropped.
QList<QByteArray> splitText(const QByteArray &text, const QByteArray &marker, int limit = 0);

VersionFeed splitFeed(const QByteArray &text);

// Piece 4 with each "&amp;" turned into "&" in one pass, so a doubly escaped ampersand keeps one level.
QByteArray downloadAddress(const VersionFeed &feed);

// The text after the first start marker up to the first end marker after it; empty when either is missing.
QByteArray textBetween(const QByteArray &text, const QByteArray &start, const QByteArray &end);

// GBK bytes as the user sees them.
QString displayText(const QByteArray &gbk);

} // namespace update
