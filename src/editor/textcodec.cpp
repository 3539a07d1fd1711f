#include "textcodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace editor {

namespace {

QString normalizeBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QByteArrayView upToZero(QByteArrayView bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    return zero < 0 ? bytes : bytes.first(zero);
}

QString decodeGb18030Part(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return QString();
    QStringDecoder decoder("GB18030", QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

// GB18030, with one addition: Windows code page 936 writes the euro sign as the single byte 0x80, which
// GB18030 leaves undefined. Files saved as "ANSI" on a Chinese Windows have it.
QString decodeGb18030(QByteArrayView bytes)
{
    QString out;
    qsizetype start = 0;
    qsizetype i = 0;
    const qsizetype n = bytes.size();
    bool truncated = false;
    while (i < n) {
        const uchar b = uchar(bytes[i]);
        if (b < 0x80 || b == 0xFF) {
            ++i;
            continue;
        }
        if (b == 0x80) {
            out += decodeGb18030Part(bytes.sliced(start, i - start));
            out += QChar(0x20AC);
            start = ++i;
            continue;
        }
        const qsizetype length = i + 1 < n && uchar(bytes[i + 1]) >= 0x30 && uchar(bytes[i + 1]) <= 0x39 ? 4 : 2;
        if (i + length > n) {
            // A character cut off by the end of the file; the converter would drop it silently.
            truncated = true;
            break;
        }
        i += length;
    }
    out += decodeGb18030Part(bytes.sliced(start, i - start));
    if (truncated)
        out += QChar(QChar::ReplacementCharacter);
    return out;
}

bool strictUtf8(QByteArrayView bytes, QString *out)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    *out = utf8.decode(bytes);
    return !utf8.hasError();
}

// Valid UTF-8, or valid UTF-8 whose last character was cut off (a file cut short, or ended by a zero byte).
bool decodeUtf8(QByteArrayView bytes, QString *out)
{
    if (strictUtf8(bytes, out))
        return true;
    for (qsizetype cut = 1; cut <= 3 && cut < bytes.size(); ++cut) {
        const uchar first = uchar(bytes[bytes.size() - cut]);
        if ((first & 0xC0) == 0x80)
            continue; // a continuation byte: the character starts further back
        const qsizetype needed = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC2 ? 2 : 0;
        if (needed <= cut || first > 0xF4)
            return false;
        if (!strictUtf8(bytes.first(bytes.size() - cut), out))
            return false;
        out->append(QChar(QChar::ReplacementCharacter));
        return true;
    }
    return false;
}

bool hasNonAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (uchar(c) >= 0x80)
            return true;
    }
    return false;
}

} // namespace

QByteArray encodePlainText(const QString &text)
{
    QString t;
    t.reserve(text.size() + text.size() / 16);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r')) {
            if (i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            t += QLatin1String("\r\n");
        } else if (c == QLatin1Char('\n') || c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            t += QLatin1String("\r\n");
        } else {
            t += c;
        }
    }
    QStringEncoder encoder("GB18030");
    if (!encoder.isValid())
        return t.toUtf8();
    return encoder.encode(t);
}

QString decodePlainText(const QByteArray &bytes)
{
    const QByteArrayView all(bytes);
    if (all.size() >= 2 && (all.startsWith("\xFF\xFE") || all.startsWith("\xFE\xFF"))) {
        // Windows "Unicode" text; its zero bytes are half of every ASCII character, so the rule for the
        // end of the text applies to the decoded characters.
        const bool little = uchar(all[0]) == 0xFF;
        QStringDecoder decoder(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        QString text = decoder.decode(all.sliced(2, (all.size() - 2) & ~qsizetype(1)));
        const qsizetype zero = text.indexOf(QChar(0));
        if (zero >= 0)
            text.truncate(zero);
        return normalizeBreaks(text);
    }
    if (all.startsWith("\xEF\xBB\xBF"))
        return normalizeBreaks(QString::fromUtf8(upToZero(all.sliced(3))));

    const QByteArrayView text = upToZero(all);
    if (hasNonAscii(text)) {
        QString decoded;
        if (decodeUtf8(text, &decoded))
            return normalizeBreaks(decoded);
        return normalizeBreaks(decodeGb18030(text));
    }
    return normalizeBreaks(QString::fromLatin1(text));
}

} // namespace editor
