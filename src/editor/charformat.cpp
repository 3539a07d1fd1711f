#include "charformat.h"

#include "editor/rtf/textproperties.h"

#include <QFont>
#include <QTextCharFormat>

namespace editor {

namespace {

// Word and the rich-edit control stop at 1638 pt; larger sizes only stall the layout.
constexpr qreal MaxPointSize = 1638;

} // namespace

void applyCharFormat(const CharFormat &f, QTextCharFormat &format)
{
    if (!f.fontName.isEmpty()) {
        // The name is kept even when no such font is installed, so saved files still name it.
        format.setFontFamilies(QStringList{f.fontName});
        format.clearProperty(QTextFormat::OldFontFamily);
    }
    if (f.fontSize > 0) {
        format.setFontPointSize(qMin(qreal(f.fontSize), MaxPointSize));
        format.clearProperty(QTextFormat::FontPixelSize);
    }

    // An offset replaces super- and subscript; a zero offset removes all three.
    format.clearProperty(QTextFormat::TextVerticalAlignment);
    format.clearProperty(QTextFormat::TextSuperScriptBaseline);
    format.clearProperty(QTextFormat::TextSubScriptBaseline);
    if (f.charOffset != 0) {
        format.setProperty(rtf::OffsetTwipsProperty, f.charOffset * 20);
        const qreal size = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : 0;
        if (size > 0)
            format.setBaselineOffset(100.0 * f.charOffset / size);
        else
            format.clearProperty(QTextFormat::TextBaselineOffset);
    } else {
        format.clearProperty(rtf::OffsetTwipsProperty);
        format.clearProperty(QTextFormat::TextBaselineOffset);
    }

    const qint32 effects = f.effects & 31;
    format.setFontWeight((effects & EffectBold) ? QFont::Bold : QFont::Normal);
    format.setFontItalic(effects & EffectItalic);
    format.setFontUnderline(effects & EffectUnderline);
    format.setFontStrikeOut(effects & EffectStrikeout);
    if (effects & EffectProtected)
        format.setProperty(rtf::ProtectedProperty, true);
    else
        format.clearProperty(rtf::ProtectedProperty);

    if (f.textColor == AutoColor)
        format.clearForeground();
    else
        format.setForeground(colorFromRgbValue(f.textColor));
}

QTextCharFormat toTextCharFormat(const CharFormat &f)
{
    QTextCharFormat format;
    applyCharFormat(f, format);
    return format;
}

CharFormat fromTextCharFormat(const QTextCharFormat &format)
{
    CharFormat f;
    const QStringList families = format.fontFamilies().toStringList();
    f.fontName = families.value(0);

    const qreal size = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : 0;
    f.fontSize = int(size);

    if (format.hasProperty(rtf::OffsetTwipsProperty))
        f.charOffset = format.intProperty(rtf::OffsetTwipsProperty) / 20;
    else if (format.hasProperty(QTextFormat::TextBaselineOffset))
        f.charOffset = int(format.baselineOffset() * size / 100.0);
    else
        f.charOffset = 0;

    qint32 effects = 0;
    if (format.fontWeight() >= QFont::DemiBold)
        effects |= EffectBold;
    if (format.fontItalic())
        effects |= EffectItalic;
    // Dotted, wavy and double underlines from other programs count as underlined.
    if (format.hasProperty(QTextFormat::TextUnderlineStyle) ? format.underlineStyle() != QTextCharFormat::NoUnderline
                                                            : format.boolProperty(QTextFormat::FontUnderline))
        effects |= EffectUnderline;
    if (format.fontStrikeOut())
        effects |= EffectStrikeout;
    if (format.boolProperty(rtf::ProtectedProperty))
        effects |= EffectProtected;
    f.effects = effects;

    const QBrush foreground = format.foreground();
    f.textColor = format.hasProperty(QTextFormat::ForegroundBrush) && foreground.style() != Qt::NoBrush
        ? rgbValue(foreground.color())
        : AutoColor;
    return f;
}

} // namespace editor
