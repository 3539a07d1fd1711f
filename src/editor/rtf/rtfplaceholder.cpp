#include "rtf.h"

#include <QTextDocument>

// Stand-in until the real reader and writer land.
namespace rtf {

ReadResult readRtf(const QByteArray &bytes, QTextDocument *document)
{
    ReadResult result;
    result.isRtf = bytes.startsWith("{\\rtf");
    if (result.isRtf)
        document->setPlainText(QString::fromLatin1(bytes));
    return result;
}

QByteArray writeRtf(const QTextDocument *document)
{
    return "{\\rtf1\\ansi " + document->toPlainText().toLatin1() + "}";
}

} // namespace rtf
