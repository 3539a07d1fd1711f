#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace rtf {

struct ReadResult
{
    // False when the bytes are not RTF at all (no "{\rtf" at their start, after an optional UTF-8 byte-order
    // mark and blanks); the document is left untouched then.
    bool isRtf = false;
    // True when the file was damaged (unbalanced groups, truncated); what came before the damage was read.
    bool damaged = false;
};

// Replaces the document's content with what the RTF bytes hold. Undo history is cleared; the document's
// default font is left alone, so text without a font of its own shows in it.
ReadResult readRtf(const QByteArray &bytes, QTextDocument *document);

// The whole document as RTF: 7-bit ASCII, GBK bytes for what GBK has, \uN for the rest.
QByteArray writeRtf(const QTextDocument *document);

} // namespace rtf
