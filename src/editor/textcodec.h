#pragma once

#include <QByteArray>
#include <QString>

namespace editor {

// Plain transcript text as saved: CR LF paragraph breaks, no byte-order mark, GB18030 (GBK for every GBK character).
QByteArray encodePlainText(const QString &text);

// Bytes of a plain-text file as a transcript: UTF-16 and UTF-8 byte-order marks honoured, valid UTF-8 read as
// UTF-8, anything else as GB18030; the text ends at the first zero byte; LF and CR alone are paragraph breaks.
QString decodePlainText(const QByteArray &bytes);

} // namespace editor
