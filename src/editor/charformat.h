#pragma once

#include <QColor>
#include <QString>

class QTextCharFormat;

namespace editor {

enum Effect : qint32 {
    EffectBold = 1,
    EffectItalic = 2,
    EffectUnderline = 4,
    EffectStrikeout = 8,
    EffectProtected = 16,
};

constexpr qint32 AutoColor = qint32(0xFF000000u);

// The character format exchanged with the editor; a new value is 宋体 9 pt, no offset, no effects, automatic colour.
struct CharFormat
{
    QString fontName = QStringLiteral("宋体");
    qint32 fontSize = 9;
    qint32 charOffset = 0;
    qint32 effects = 0;
    qint32 textColor = AutoColor;

    bool operator==(const CharFormat &o) const
    {
        return fontName == o.fontName && fontSize == o.fontSize && charOffset == o.charOffset && effects == o.effects
            && textColor == o.textColor;
    }
    bool operator!=(const CharFormat &o) const { return !(*this == o); }
};

// 0x00BBGGRR, red in the low byte.
inline qint32 rgbValue(const QColor &c)
{
    return qint32(quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16));
}

inline QColor colorFromRgbValue(qint32 v)
{
    const quint32 u = quint32(v);
    return QColor(int(u & 0xFF), int((u >> 8) & 0xFF), int((u >> 16) & 0xFF));
}

// Writes every field of f onto format, leaving the properties CharFormat does not know untouched.
// An empty fontName keeps the family and a size below 1 keeps the size: neither names a real font.
void applyCharFormat(const CharFormat &f, QTextCharFormat &format);

// f as a complete QTextCharFormat.
QTextCharFormat toTextCharFormat(const CharFormat &f);

// Reads the five fields; sizes and offsets are truncated toward zero to whole points.
CharFormat fromTextCharFormat(const QTextCharFormat &format);

} // namespace editor
