#include "textcodec.h"

// Stand-in until the real codec lands.
namespace editor {

QByteArray encodePlainText(const QString &text)
{
    QString t = text;
    t.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return t.toUtf8();
}

QString decodePlainText(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes.left(bytes.indexOf('\0') < 0 ? bytes.size() : bytes.indexOf('\0')));
}

} // namespace editor
