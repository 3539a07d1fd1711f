#include "codepages.h"
#include "rtf.h"
#include "textproperties.h"

#include <QColor>
#include <QHash>
#include <QTextBlock>
#include <QTextDocument>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace rtf {

namespace {

struct RunProps
{
    int font = 0;   // index in the font table
    int size = 24;  // half points
    int color = 0;  // index in the colour table, 0 = automatic
    int offset = 0; // half points, positive raises
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool protect = false;
    int valign = 0; // 0 none, 1 super, 2 sub
};

struct FontEntry
{
    QString name;
    bool chinese = false; // \fcharset134 and GBK bytes; otherwise \fcharset0 and windows-1252 bytes
};

bool isAscii(const QString &s)
{
    for (const QChar c : s) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

// Whether a run in a Latin face needs the Chinese charset to carry its text as bytes.
bool needsGbk(QStringView text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x80 && cp1252Code(u) == 0 && gbkCode(u) != 0)
            return true;
    }
    return false;
}

QString familyOf(const QTextCharFormat &f, const QString &fallback)
{
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    const QString family = f.stringProperty(QTextFormat::FontFamily);
    return family.isEmpty() ? fallback : family;
}

// Output buffer written through a pointer: at ten megabytes the checks of QByteArray::append show.
struct Out
{
    QByteArray bytes;
    char *data = nullptr;
    qsizetype used = 0;

    void reserve(qsizetype n)
    {
        bytes.resize(n);
        data = bytes.data();
    }
    void ensure(qsizetype more)
    {
        if (used + more > bytes.size())
            reserve(qMax(bytes.size() * 2, used + more + 4096));
    }
    void append(char c)
    {
        ensure(1);
        data[used++] = c;
    }
    void append(const char *p, qsizetype n)
    {
        ensure(n);
        std::memcpy(data + used, p, size_t(n));
        used += n;
    }
    void append(const char *p) { append(p, qsizetype(std::strlen(p))); }
    void append(const QByteArray &b) { append(b.constData(), b.size()); }
    void appendNumber(long long n)
    {
        char buffer[24];
        const int length = std::snprintf(buffer, sizeof buffer, "%lld", n);
        append(buffer, length);
    }
    qsizetype size() const { return used; }
    QByteArray take()
    {
        bytes.truncate(used);
        return std::move(bytes);
    }
};

class Writer
{
public:
    explicit Writer(const QTextDocument *document) : m_document(document) {}
    QByteArray run();

private:
    int fontIndex(const QString &name);
    int colorIndex(const QColor &c);
    const RunProps &propsFor(int formatIndex, const QTextCharFormat &format);
    void word(const char *w);
    void word(const char *w, int n);
    void writeProps(const RunProps &p);
    void writeText(QStringView text, bool chinese);
    void writeUnicode(char16_t u);
    void writeHex(uchar b);
    void writeFontName(const QString &name, bool chinese);

    const QTextDocument *m_document;
    Out m_out;
    bool m_delimit = false; // the last token was a control word that a letter, digit or blank would extend
    qsizetype m_lineStart = 0;

    QString m_defaultFamily;
    int m_defaultSize = 24;
    std::vector<FontEntry> m_fontTable;
    QHash<QString, int> m_fontByName;
    std::vector<QRgb> m_colorTable;
    QHash<QRgb, int> m_colorByRgb;
    QHash<int, int> m_propsByFormat; // document format index -> index in m_props
    std::vector<RunProps> m_props;

    RunProps m_state;
    bool m_stateKnown = false;
};

int Writer::fontIndex(const QString &name)
{
    const auto it = m_fontByName.constFind(name);
    if (it != m_fontByName.cend())
        return *it;
    const int index = int(m_fontTable.size());
    m_fontTable.push_back(FontEntry{name, !isAscii(name)});
    m_fontByName.insert(name, index);
    return index;
}

int Writer::colorIndex(const QColor &c)
{
    const QRgb rgb = c.rgb() | 0xFF000000u;
    const auto it = m_colorByRgb.constFind(rgb);
    if (it != m_colorByRgb.cend())
        return *it;
    m_colorTable.push_back(rgb);
    const int index = int(m_colorTable.size()); // entry 0 is the automatic colour
    m_colorByRgb.insert(rgb, index);
    return index;
}

const RunProps &Writer::propsFor(int formatIndex, const QTextCharFormat &f)
{
    const auto it = m_propsByFormat.constFind(formatIndex);
    if (it != m_propsByFormat.cend())
        return m_props[size_t(*it)];

    RunProps p;
    p.font = fontIndex(familyOf(f, m_defaultFamily));
    const double points = f.fontPointSize();
    p.size = points > 0 ? qBound(2, int(std::lround(points * 2)), 3276) : m_defaultSize;
    p.bold = f.fontWeight() >= QFont::DemiBold;
    p.italic = f.fontItalic();
    p.underline = f.fontUnderline();
    p.strike = f.fontStrikeOut();
    p.protect = f.boolProperty(ProtectedProperty);
    const int twips = f.intProperty(OffsetTwipsProperty);
    p.offset = int(std::lround(twips / 10.0));
    switch (f.verticalAlignment()) {
    case QTextCharFormat::AlignSuperScript: p.valign = 1; break;
    case QTextCharFormat::AlignSubScript: p.valign = 2; break;
    default: break;
    }
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
        p.color = colorIndex(f.foreground().color());
    m_props.push_back(p);
    m_propsByFormat.insert(formatIndex, int(m_props.size() - 1));
    return m_props.back();
}

void Writer::word(const char *w)
{
    m_out.append('\\');
    m_out.append(w);
    m_delimit = true;
}

void Writer::word(const char *w, int n)
{
    m_out.append('\\');
    m_out.append(w);
    m_out.appendNumber(n);
    m_delimit = true;
}

void Writer::writeHex(uchar b)
{
    static const char digits[] = "0123456789abcdef";
    const char hex[4] = {'\\', '\'', digits[b >> 4], digits[b & 15]};
    m_out.append(hex, 4);
    m_delimit = false;
}

void Writer::writeUnicode(char16_t u)
{
    // \uN takes a signed 16-bit number; '?' is the one fallback character that \uc1 announces.
    word("u", u > 32767 ? int(u) - 65536 : int(u));
    m_out.append('?');
    m_delimit = false;
}

void Writer::writeText(QStringView text, bool chinese)
{
    for (const QChar qc : text) {
        const char16_t u = qc.unicode();
        // Lines of bounded length, for line-oriented tools; readers ignore the break. Never right after a
        // control word, where a blank that follows would lose its meaning.
        if (!m_delimit && m_out.size() - m_lineStart > 200) {
            m_out.append("\r\n");
            m_lineStart = m_out.size();
        }
        if (u >= 0x20 && u < 0x80) {
            if (u == '\\' || u == '{' || u == '}') {
                m_out.append('\\');
                m_out.append(char(u));
                m_delimit = false;
                continue;
            }
            if (m_delimit && (u == ' ' || u == '-' || (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z')
                              || (u >= 'A' && u <= 'Z')))
                m_out.append(' ');
            m_out.append(char(u));
            m_delimit = false;
            continue;
        }
        switch (u) {
        case u'\t': word("tab"); continue;
        case QChar::LineSeparator: word("line"); continue;
        case 0x00A0: m_out.append("\\~"); m_delimit = false; continue;
        case 0x00AD: m_out.append("\\-"); m_delimit = false; continue;
        case 0x2011: m_out.append("\\_"); m_delimit = false; continue;
        default: break;
        }
        if (u >= 0x80) {
            if (chinese) {
                const quint16 code = gbkCode(u);
                if (code) {
                    writeHex(uchar(code >> 8));
                    writeHex(uchar(code & 0xFF));
                    continue;
                }
            } else if (const uchar b = cp1252Code(u)) {
                writeHex(b);
                continue;
            }
        }
        if (u == 0 || u == QChar::ObjectReplacementCharacter)
            continue; // an image or other object has no text to carry
        // Control characters, characters outside the charset, and each half of a surrogate pair.
        writeUnicode(u);
    }
}

void Writer::writeFontName(const QString &name, bool chinese)
{
    for (const QChar qc : name) {
        const char16_t u = qc.unicode();
        if (u == ';' || u < 0x20)
            continue;
        if (u < 0x80 && u != '\\' && u != '{' && u != '}') {
            m_out.append(char(u));
            continue;
        }
        writeText(QStringView(&qc, 1), chinese);
    }
}

void Writer::writeProps(const RunProps &p)
{
    const bool all = !m_stateKnown;
    RunProps &s = m_state;
    if (all || p.font != s.font) {
        word("f", p.font);
        word("hich");
        word("af", p.font);
        word("dbch");
        word("af", p.font);
        word("loch");
    }
    if (all || p.size != s.size)
        word("fs", p.size);
    if (all ? p.bold : p.bold != s.bold)
        word(p.bold ? "b" : "b0");
    if (all ? p.italic : p.italic != s.italic)
        word(p.italic ? "i" : "i0");
    if (all ? p.underline : p.underline != s.underline)
        word(p.underline ? "ul" : "ulnone");
    if (all ? p.strike : p.strike != s.strike)
        word(p.strike ? "strike" : "strike0");
    if (all || p.color != s.color)
        word("cf", p.color);
    if (all ? p.valign != 0 : p.valign != s.valign)
        word(p.valign == 1 ? "super" : p.valign == 2 ? "sub" : "nosupersub");
    if (all ? p.offset != 0 : p.offset != s.offset) {
        if (p.offset > 0)
            word("up", p.offset);
        else if (p.offset < 0)
            word("dn", -p.offset);
        else
            word(s.offset > 0 ? "up0" : "dn0");
    }
    if (all ? p.protect : p.protect != s.protect)
        word(p.protect ? "protect" : "protect0");
    s = p;
    m_stateKnown = true;
}

QByteArray Writer::run()
{
    const QFont defaultFont = m_document->defaultFont();
    m_defaultFamily = defaultFont.family().isEmpty() ? QStringLiteral("宋体") : defaultFont.family();
    if (defaultFont.pointSizeF() > 0)
        m_defaultSize = qBound(2, int(std::lround(defaultFont.pointSizeF() * 2)), 3276);
    fontIndex(m_defaultFamily); // \deff0

    // First pass: the font and colour tables, and which Latin faces carry Chinese text.
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const RunProps &p = propsFor(fragment.charFormatIndex(), fragment.charFormat());
            FontEntry &font = m_fontTable[size_t(p.font)];
            if (!font.chinese && needsGbk(fragment.text()))
                font.chinese = true;
        }
        if (block.length() <= 1)
            propsFor(block.charFormatIndex(), block.charFormat());
    }

    m_out.reserve(qsizetype(m_document->characterCount()) * 9 + 4096);
    m_out.append("{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl");
    for (size_t i = 0; i < m_fontTable.size(); ++i) {
        const FontEntry &font = m_fontTable[i];
        m_out.append("{\\f" + QByteArray::number(qsizetype(i)) + "\\fnil\\fcharset"
                     + (font.chinese ? "134 " : "0 "));
        m_delimit = false;
        m_lineStart = m_out.size(); // no line break inside a name
        writeFontName(font.name, font.chinese);
        m_out.append(";}");
    }
    m_out.append("}\r\n{\\colortbl ;");
    for (const QRgb rgb : m_colorTable) {
        m_out.append("\\red" + QByteArray::number(qRed(rgb)) + "\\green" + QByteArray::number(qGreen(rgb))
                     + "\\blue" + QByteArray::number(qBlue(rgb)) + ';');
    }
    m_out.append("}\r\n\\uc1\\pard");
    m_lineStart = m_out.size();
    m_delimit = true;

    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const RunProps &p = propsFor(fragment.charFormatIndex(), fragment.charFormat());
            writeProps(p);
            writeText(fragment.text(), m_fontTable[size_t(p.font)].chinese);
        }
        if (block.length() <= 1) // empty: what typing there would take
            writeProps(propsFor(block.charFormatIndex(), block.charFormat()));
        word("par");
        m_out.append("\r\n");
        m_delimit = false;
        m_lineStart = m_out.size();
    }
    m_out.append('}');
    return m_out.take();
}

} // namespace

QByteArray writeRtf(const QTextDocument *document)
{
    if (!document)
        return QByteArray("{\\rtf1\\ansi\\ansicpg936\\deff0\\par\r\n}");
    return Writer(document).run();
}

} // namespace rtf
