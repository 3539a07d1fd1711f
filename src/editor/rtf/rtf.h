#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace rtf {

struct ReadResult
{
    // False when the bytes are not RTF at all (no "{\rtf" at their start); nothing was read then.
    bool isRtf = false;
    // True when the file was damaged (unbalanced groups, truncated); what came before the damage was read.
    bool damaged = false;
};

// Replaces the document's content with what the RTF bytes hold.
ReadResult readRtf(const QByteArray &bytes, QTextDocument *document);

// The whole document as RTF: 7-bit ASCII, GBK bytes for what GBK has, \uN for the rest.
QByteArray writeRtf(const QTextDocument *document);

} // namespace rtf
