#include "codepages.h"
#include "rtf.h"
#include "textproperties.h"

#include <QColor>
#include <QHash>
#include <QTextCursor>
#include <QTextDocument>

#include <string_view>
#include <unordered_map>
#include <vector>

namespace rtf {

namespace {

// Groups nested deeper than this share their parent's state: the file is hostile or broken, and the stack
// must not grow with it.
constexpr int kMaxDepth = 512;
constexpr int kDefaultSize = 24; // half points: 12 pt after \plain
constexpr int kMaxSize = 3276;   // 1638 pt, the largest size Word offers
constexpr int kMaxOffset = 32760;
constexpr int kMaxTableEntries = 4096;

enum class Dest : quint8 {
    Text,
    FontTable,
    ColorTable,
    Upr, // the ANSI half of {\upr ...}; its \ud group carries the real text
};

enum class Mode : quint8 { None, Loch, Hich, Dbch };

enum VAlign : quint8 { VNone, VSuper, VSub };

struct CharState
{
    int font = -1; // -1: \deff
    int size = kDefaultSize;
    int color = 0;
    int offset = 0; // twips
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    bool protect = false;
    quint8 valign = VNone;
    Mode mode = Mode::None;
    bool rtl = false;
    // What \af, \afs, \ab, \ai set while in \dbch mode; -1 = not set, fall back to \f, \fs, \b, \i.
    int dbFont = -1;
    int dbSize = -1;
    qint8 dbBold = -1;
    qint8 dbItalic = -1;
};

struct Group
{
    CharState ch;
    Dest dest = Dest::Text;
    quint8 uc = 1;
};

struct FormatKey
{
    int font;
    int size;
    int color;
    int offset;
    quint32 flags;
    bool operator==(const FormatKey &o) const
    {
        return font == o.font && size == o.size && color == o.color && offset == o.offset && flags == o.flags;
    }
    bool operator!=(const FormatKey &o) const { return !(*this == o); }
};

struct FormatKeyHash
{
    size_t operator()(const FormatKey &k) const
    {
        return qHashMulti(0, k.font, k.size, k.color, k.offset, k.flags);
    }
};

struct Font
{
    QString name;
    int charset = 0;
    int cpg = 0;
    bool nameDone = false;
    const CodePage *page = nullptr;
};

enum class Kw : quint8 {
    Unknown,
    Rtf, Ansi, Mac, Pc, Pca, Ansicpg, Deff,
    Fonttbl, Colortbl, SkipDest, Upr, Ud, Field, Fldrslt,
    F, Fcharset, Cpg, Red, Green, Blue,
    Fs, B, I, Ul, Ulnone, Strike, Striked, V, Cf, Super, Sub, Nosupersub, Up, Dn, Protect,
    Plain, Pard, Par, Line, Tab, Cell, Row, Page, Sect,
    Loch, Hich, Dbch, Rtlch, Ltrch, Af, Afs, Ab, Ai,
    U, Uc, Bin,
    Emdash, Endash, Emspace, Enspace, Qmspace, Lquote, Rquote, Ldblquote, Rdblquote, Bullet, Zwj, Zwnj,
};

const std::unordered_map<std::string_view, Kw> &keywords()
{
    static const std::unordered_map<std::string_view, Kw> map = [] {
        std::unordered_map<std::string_view, Kw> m{
            {"rtf", Kw::Rtf}, {"ansi", Kw::Ansi}, {"mac", Kw::Mac}, {"pc", Kw::Pc}, {"pca", Kw::Pca},
            {"ansicpg", Kw::Ansicpg}, {"deff", Kw::Deff},
            {"fonttbl", Kw::Fonttbl}, {"colortbl", Kw::Colortbl}, {"upr", Kw::Upr}, {"ud", Kw::Ud},
            {"field", Kw::Field}, {"fldrslt", Kw::Fldrslt},
            {"f", Kw::F}, {"fcharset", Kw::Fcharset}, {"cpg", Kw::Cpg},
            {"red", Kw::Red}, {"green", Kw::Green}, {"blue", Kw::Blue},
            {"fs", Kw::Fs}, {"b", Kw::B}, {"i", Kw::I},
            {"ul", Kw::Ul}, {"ulnone", Kw::Ulnone}, {"strike", Kw::Strike}, {"striked", Kw::Striked},
            {"v", Kw::V}, {"cf", Kw::Cf}, {"super", Kw::Super}, {"sub", Kw::Sub},
            {"nosupersub", Kw::Nosupersub}, {"up", Kw::Up}, {"dn", Kw::Dn}, {"protect", Kw::Protect},
            {"plain", Kw::Plain}, {"pard", Kw::Pard}, {"par", Kw::Par}, {"line", Kw::Line}, {"tab", Kw::Tab},
            {"cell", Kw::Cell}, {"nestcell", Kw::Cell}, {"row", Kw::Row}, {"nestrow", Kw::Row},
            {"page", Kw::Page}, {"sect", Kw::Sect},
            {"loch", Kw::Loch}, {"hich", Kw::Hich}, {"dbch", Kw::Dbch}, {"rtlch", Kw::Rtlch},
            {"ltrch", Kw::Ltrch}, {"af", Kw::Af}, {"afs", Kw::Afs}, {"ab", Kw::Ab}, {"ai", Kw::Ai},
            {"u", Kw::U}, {"uc", Kw::Uc}, {"bin", Kw::Bin},
            {"emdash", Kw::Emdash}, {"endash", Kw::Endash}, {"emspace", Kw::Emspace},
            {"enspace", Kw::Enspace}, {"qmspace", Kw::Qmspace}, {"lquote", Kw::Lquote},
            {"rquote", Kw::Rquote}, {"ldblquote", Kw::Ldblquote}, {"rdblquote", Kw::Rdblquote},
            {"bullet", Kw::Bullet}, {"zwj", Kw::Zwj}, {"zwnj", Kw::Zwnj},
        };
        // Underline styles are all underlines here; \ulc (its colour) is not one.
        for (const char *w : {"uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth",
                              "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw",
                              "ulwave"})
            m.emplace(w, Kw::Ul);
        // Destinations whose content is not document text.
        for (const char *w :
             {"stylesheet", "info", "pict", "object", "objdata", "header", "headerl", "headerr", "headerf",
              "footer", "footerl", "footerr", "footerf", "footnote", "annotation", "fldinst", "xe", "tc", "txe",
              "rxe", "pn", "pntxta", "pntxtb", "listtable", "listoverridetable", "revtbl", "rsidtbl",
              "generator", "filetbl", "private", "themedata", "colorschememapping", "datastore", "latentstyles",
              "xmlnstbl", "mmathPr", "bkmkstart", "bkmkend", "template", "docvar", "userprops", "nonshppict",
              "shppict", "shpinst", "shptxt", "sp", "sn", "sv", "comment", "title", "subject", "author",
              "keywords", "operator", "doccomm", "hlinkbase", "buptim", "creatim", "printim", "revtim",
              "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn", "pgdsctbl", "wgrffmtfilter",
              "passwordhash", "blipuid", "panose", "falt", "fname", "objclass", "objname", "do", "atnid",
              "atnauthor", "atndate", "atnref", "atrfstart", "atrfend", "fontemb", "fontfile", "mhtmltag",
              "htmltag", "listtext"})
            m.emplace(w, Kw::SkipDest);
        m["listtext"] = Kw::Unknown; // the list number as text, for readers without lists: keep it
        return m;
    }();
    return map;
}

bool isAlpha(uchar c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(uchar c)
{
    return c >= '0' && c <= '9';
}

int hexValue(uchar c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int clampInt(long long v, int lo, int hi)
{
    return v < lo ? lo : v > hi ? hi : int(v);
}

class Reader
{
public:
    Reader(const QByteArray &bytes, QTextDocument *document)
        : m_p(reinterpret_cast<const uchar *>(bytes.constData()))
        , m_end(m_p + bytes.size())
        , m_document(document)
        , m_cursor(document)
    {
    }

    bool run(qsizetype start);

private:
    // Tokens
    void controlWord();
    void controlSymbol(uchar c);
    void keyword(std::string_view word, bool hasParam, long long param);
    void skipGroup();
    void skipBinary(long long count);
    void openGroup();
    bool closeGroup();

    // Text
    void rawByte(uchar b);
    void textByte(uchar b);
    void textChar(char16_t c);
    void emitUnit(char16_t c);
    void appendToSink(char16_t c);
    void breakPendingLead();
    void refresh();
    void startText();
    void flushRun();
    void paragraph();
    QTextCharFormat formatFor(const FormatKey &key);

    const uchar *m_p;
    const uchar *m_end;
    QTextDocument *m_document;
    QTextCursor m_cursor;

    Group m_cur;
    std::vector<Group> m_stack;
    int m_overflow = 0;
    bool m_rootClosed = false;
    bool m_ignorableNext = false;

    int m_ansiCpg = 1252;
    int m_deff = 0;
    QHash<int, Font> m_fonts;
    int m_fontEntry = -1;
    std::vector<QRgb> m_colors; // 0 = automatic; alpha 255 marks a real colour
    int m_red = -1, m_green = -1, m_blue = -1;

    // Decoding context, recomputed when a control word or a group boundary may have changed it.
    bool m_dirty = true;
    const CodePage *m_page = nullptr;
    FormatKey m_key{};
    bool m_hiddenNow = false;

    uchar m_lead = 0;
    int m_skip = 0; // \uc fallback characters still to skip
    char16_t m_highSurrogate = 0;

    QString m_run;
    FormatKey m_runKey{};
    bool m_haveRun = false;
    int m_pendingPars = 0;
    int m_pendingTabs = 0;
    bool m_paraEmpty = true;
    std::unordered_map<FormatKey, QTextCharFormat, FormatKeyHash> m_formats;
};

void Reader::openGroup()
{
    breakPendingLead();
    m_skip = 0;
    if (int(m_stack.size()) >= kMaxDepth) {
        ++m_overflow;
        return;
    }
    m_stack.push_back(m_cur);
}

bool Reader::closeGroup()
{
    breakPendingLead();
    m_skip = 0;
    m_ignorableNext = false;
    if (m_overflow > 0) {
        --m_overflow;
        return true;
    }
    if (m_stack.empty())
        return false;
    const Dest closing = m_cur.dest;
    if (closing == Dest::FontTable) {
        // An entry that ends without its ';'. Skipped parts such as {\*\panose} close before the name.
        const auto f = m_fonts.find(m_fontEntry);
        if (f != m_fonts.end() && !f->nameDone && !f->name.trimmed().isEmpty()) {
            f->name = f->name.trimmed();
            f->nameDone = true;
        }
    }
    m_cur = m_stack.back();
    m_stack.pop_back();
    if (closing == Dest::FontTable && m_fontEntry >= 0 && m_cur.dest != Dest::FontTable)
        m_fontEntry = -1;
    if (closing == Dest::ColorTable && m_cur.dest != Dest::ColorTable && m_red + m_green + m_blue > -3
        && m_colors.size() < size_t(kMaxTableEntries)) {
        // A last entry without its ';'.
        m_colors.push_back(qRgb(qMax(m_red, 0), qMax(m_green, 0), qMax(m_blue, 0)));
        m_red = m_green = m_blue = -1;
    }
    m_dirty = true;
    return true;
}

void Reader::skipBinary(long long count)
{
    // After the blank that ends \binN come N raw bytes; a file shorter than N just ends.
    const long long left = m_end - m_p;
    m_p += count < 0 ? 0 : count > left ? left : count;
}

// Skips to the end of the current group, which was already opened; tokens only matter for their braces
// and for \bin, whose data may hold braces.
void Reader::skipGroup()
{
    int depth = 1;
    while (m_p < m_end) {
        const uchar c = *m_p++;
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0) {
                --m_p; // let the main loop close the group
                return;
            }
        } else if (c == '\\' && m_p < m_end) {
            const uchar n = *m_p;
            if (!isAlpha(n)) {
                ++m_p;
                continue;
            }
            const uchar *word = m_p;
            while (m_p < m_end && isAlpha(*m_p))
                ++m_p;
            const bool bin = m_p - word == 3 && word[0] == 'b' && word[1] == 'i' && word[2] == 'n';
            bool negative = false;
            if (m_p < m_end && *m_p == '-') {
                negative = true;
                ++m_p;
            }
            long long value = 0;
            while (m_p < m_end && isDigit(*m_p)) {
                if (value < 1000000000000LL)
                    value = value * 10 + (*m_p - '0');
                ++m_p;
            }
            if (m_p < m_end && *m_p == ' ')
                ++m_p;
            if (bin && !negative)
                skipBinary(value);
        }
    }
}

void Reader::breakPendingLead()
{
    if (m_lead) {
        m_lead = 0;
        emitUnit(0xFFFD);
    }
}

void Reader::refresh()
{
    m_dirty = false;
    const CharState &ch = m_cur.ch;
    if (m_cur.dest == Dest::FontTable) {
        const auto it = m_fonts.constFind(m_fontEntry);
        m_page = it != m_fonts.cend() && it->page ? it->page : &codePage(m_ansiCpg);
        return;
    }
    const bool db = ch.mode == Mode::Dbch;
    int font = db && ch.dbFont >= 0 ? ch.dbFont : ch.font;
    if (font < 0)
        font = m_deff;
    const auto it = m_fonts.constFind(font);
    if (it == m_fonts.cend())
        font = -1;
    m_page = it != m_fonts.cend() && it->page ? it->page : &codePage(m_ansiCpg);

    const bool bold = db && ch.dbBold >= 0 ? ch.dbBold != 0 : ch.bold;
    const bool italic = db && ch.dbItalic >= 0 ? ch.dbItalic != 0 : ch.italic;
    int color = ch.color;
    if (color < 0 || size_t(color) >= m_colors.size() || qAlpha(m_colors[size_t(color)]) == 0)
        color = 0;
    m_key.font = font;
    m_key.size = db && ch.dbSize > 0 ? ch.dbSize : ch.size;
    m_key.color = color;
    m_key.offset = ch.offset;
    m_key.flags = quint32(bold) | quint32(italic) << 1 | quint32(ch.underline) << 2 | quint32(ch.strike) << 3
        | quint32(ch.protect) << 4 | quint32(ch.valign) << 5;
    m_hiddenNow = ch.hidden;
}

QTextCharFormat Reader::formatFor(const FormatKey &key)
{
    const auto found = m_formats.find(key);
    if (found != m_formats.end())
        return found->second;
    QTextCharFormat f;
    if (key.font >= 0) {
        const QString name = m_fonts.value(key.font).name;
        if (!name.isEmpty())
            f.setFontFamilies(QStringList{name});
    }
    f.setFontPointSize(key.size / 2.0);
    if (key.flags & 1)
        f.setFontWeight(QFont::Bold);
    if (key.flags & 2)
        f.setFontItalic(true);
    if (key.flags & 4)
        f.setFontUnderline(true);
    if (key.flags & 8)
        f.setFontStrikeOut(true);
    if (key.flags & 16)
        f.setProperty(ProtectedProperty, true);
    const quint32 valign = key.flags >> 5 & 3;
    if (valign == VSuper)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (valign == VSub)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (key.offset != 0) {
        f.setProperty(OffsetTwipsProperty, key.offset);
        // Shown raised or lowered as the editor shows an offset it set itself: a percentage of the size.
        f.setBaselineOffset(100.0 * (key.offset / 20.0) / (key.size / 2.0));
    }
    if (key.color > 0)
        f.setForeground(QColor(m_colors[size_t(key.color)]));
    m_formats.emplace(key, f);
    return f;
}

void Reader::flushRun()
{
    if (m_highSurrogate) {
        m_highSurrogate = 0;
        m_run.append(QChar(0xFFFD));
    }
    if (!m_run.isEmpty()) {
        m_cursor.insertText(m_run, formatFor(m_runKey));
        m_run.clear();
    }
}

// Called before anything visible goes into the document: opens the paragraphs and cells that are due.
void Reader::startText()
{
    if (m_dirty)
        refresh();
    if (m_pendingPars > 0) {
        flushRun();
        const QTextCharFormat f = formatFor(m_key);
        for (; m_pendingPars > 0; --m_pendingPars)
            m_cursor.insertBlock(QTextBlockFormat(), f);
        m_paraEmpty = true;
    }
    if (!m_haveRun || m_key != m_runKey) {
        flushRun();
        m_runKey = m_key;
        m_haveRun = true;
    }
    if (m_pendingTabs > 0) {
        m_run.append(QString(m_pendingTabs, u'\t'));
        m_pendingTabs = 0;
    }
    m_paraEmpty = false;
}

void Reader::appendToSink(char16_t c)
{
    if (m_cur.dest == Dest::FontTable) {
        auto it = m_fonts.find(m_fontEntry);
        if (it == m_fonts.end() || it->nameDone)
            return;
        if (c == ';') {
            it->name = it->name.trimmed();
            it->nameDone = true;
        } else if (it->name.size() < 256) {
            it->name.append(QChar(c));
        }
        return;
    }
    if (m_cur.dest != Dest::Text)
        return;
    if (m_dirty)
        refresh();
    // U+FFFC would stand for an object the document does not have.
    if (m_hiddenNow || c == 0 || c == QChar::ObjectReplacementCharacter)
        return;
    startText();
    m_run.append(QChar(c));
}

// One UTF-16 code unit of text; joins surrogate pairs and replaces halves that stand alone.
void Reader::emitUnit(char16_t c)
{
    if (QChar::isHighSurrogate(c)) {
        if (m_highSurrogate)
            appendToSink(0xFFFD);
        m_highSurrogate = c;
        return;
    }
    if (QChar::isLowSurrogate(c)) {
        if (!m_highSurrogate) {
            appendToSink(0xFFFD);
            return;
        }
        const char16_t high = m_highSurrogate;
        m_highSurrogate = 0;
        if (m_cur.dest == Dest::Text) {
            if (m_dirty)
                refresh();
            if (m_hiddenNow)
                return;
            startText();
            m_run.append(QChar(high));
            m_run.append(QChar(c));
        }
        return;
    }
    if (m_highSurrogate) {
        m_highSurrogate = 0;
        appendToSink(0xFFFD);
    }
    appendToSink(c);
}

void Reader::textChar(char16_t c)
{
    breakPendingLead();
    emitUnit(c);
}

// A byte of text in the current font's code page: \'hh, a raw 8-bit byte, or the trail of a double-byte pair.
void Reader::textByte(uchar b)
{
    if (m_cur.dest != Dest::Text && m_cur.dest != Dest::FontTable)
        return;
    if (m_dirty)
        refresh();
    const CodePage &page = *m_page;
    if (m_lead) {
        const uchar lead = m_lead;
        m_lead = 0;
        const char16_t c = page.pair(lead, b);
        if (c) {
            emitUnit(c);
            return;
        }
        emitUnit(0xFFFD);
        if (b >= 0x80 && !page.lead[b])
            return; // the pair was one bad character
    }
    if (page.lead[b]) {
        m_lead = b;
        return;
    }
    const char16_t c = page.single[b];
    if (c)
        emitUnit(c);
    else if (b != 0)
        emitUnit(0xFFFD);
}

void Reader::rawByte(uchar b)
{
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    if (b < 0x80 && !m_lead) {
        if (b == ';' && m_cur.dest == Dest::ColorTable) {
            // Beyond any real table, further entries are ignored.
            if (m_colors.size() < size_t(kMaxTableEntries)) {
                if (m_red + m_green + m_blue == -3)
                    m_colors.push_back(0); // automatic
                else
                    m_colors.push_back(qRgb(qMax(m_red, 0), qMax(m_green, 0), qMax(m_blue, 0)));
            }
            m_red = m_green = m_blue = -1;
            return;
        }
        if (b == '\t') {
            emitUnit(u'\t');
            return;
        }
        if (b < 0x20)
            return;
        emitUnit(char16_t(b));
        return;
    }
    textByte(b);
}

void Reader::paragraph()
{
    breakPendingLead();
    if (m_highSurrogate) {
        m_highSurrogate = 0;
        appendToSink(0xFFFD);
    }
    if (m_cur.dest != Dest::Text)
        return;
    m_pendingTabs = 0;
    // A paragraph that ends empty keeps the formatting in force at its end, as the format of typing there.
    // The one just ended by text opens lazily, so that a final \par adds no paragraph.
    if (m_dirty)
        refresh();
    if (m_pendingPars > 0) {
        flushRun();
        m_cursor.insertBlock(QTextBlockFormat(), formatFor(m_key));
    } else if (m_paraEmpty) {
        flushRun();
        m_cursor.setBlockCharFormat(formatFor(m_key));
    }
    m_pendingPars = 1;
}

void Reader::keyword(std::string_view word, bool hasParam, long long param)
{
    const auto &map = keywords();
    const auto it = map.find(word);
    const Kw kw = it == map.end() ? Kw::Unknown : it->second;
    const bool ignorable = m_ignorableNext;
    m_ignorableNext = false;

    if (kw != Kw::U && kw != Kw::Bin)
        m_skip = 0;
    if (kw != Kw::U && kw != Kw::Uc && kw != Kw::Bin)
        breakPendingLead();

    const int n = clampInt(param, -2147483647, 2147483647);
    const bool on = !hasParam || param != 0;
    CharState &ch = m_cur.ch;

    if (ignorable && kw != Kw::Ud && kw != Kw::Fldrslt) {
        // {\*\word ...}: a destination this reader does not know, or one whose text is not document text.
        if (kw == Kw::Fonttbl || kw == Kw::Colortbl) {
            // fall through to the normal handling
        } else {
            skipGroup();
            return;
        }
    }

    switch (kw) {
    case Kw::Unknown:
    case Kw::Rtf:
    case Kw::Field:
    case Kw::Fldrslt:
        return;
    case Kw::Ansi: m_ansiCpg = 1252; m_dirty = true; return;
    case Kw::Mac: m_ansiCpg = 10000; m_dirty = true; return;
    case Kw::Pc: m_ansiCpg = 437; m_dirty = true; return;
    case Kw::Pca: m_ansiCpg = 850; m_dirty = true; return;
    case Kw::Ansicpg:
        if (hasParam) {
            m_ansiCpg = codePage(n).number;
            m_dirty = true;
        }
        return;
    case Kw::Deff:
        m_deff = n;
        m_dirty = true;
        return;
    case Kw::Fonttbl:
        m_cur.dest = Dest::FontTable;
        m_fontEntry = -1;
        m_dirty = true;
        return;
    case Kw::Colortbl:
        m_cur.dest = Dest::ColorTable;
        m_colors.clear();
        m_red = m_green = m_blue = -1;
        return;
    case Kw::SkipDest:
        skipGroup();
        return;
    case Kw::Upr:
        m_cur.dest = Dest::Upr;
        return;
    case Kw::Ud:
        if (m_cur.dest == Dest::Upr)
            m_cur.dest = Dest::Text;
        else if (ignorable)
            skipGroup();
        return;
    case Kw::U: {
        m_skip = 0;
        breakPendingLead();
        const long long unit = param < 0 ? param + 65536 : param;
        emitUnit(unit >= 0 && unit <= 0xFFFF ? char16_t(unit) : char16_t(0xFFFD));
        m_skip = m_cur.uc;
        return;
    }
    case Kw::Uc:
        m_cur.uc = quint8(clampInt(param, 0, 255));
        return;
    case Kw::Bin:
        if (hasParam && param > 0)
            skipBinary(param);
        return;
    default:
        break;
    }

    if (m_cur.dest == Dest::FontTable) {
        switch (kw) {
        case Kw::F: {
            // Real tables hold dozens of fonts; a file that defines more is not worth its memory.
            if (m_fonts.size() >= kMaxTableEntries && !m_fonts.contains(n)) {
                m_fontEntry = -1;
                return;
            }
            m_fontEntry = n;
            Font &font = m_fonts[n];
            font = Font();
            font.page = &codePage(1252);
            m_dirty = true;
            return;
        }
        case Kw::Fcharset:
        case Kw::Cpg: {
            const auto f = m_fonts.find(m_fontEntry);
            if (f == m_fonts.end())
                return;
            if (kw == Kw::Fcharset)
                f->charset = n;
            else
                f->cpg = n;
            const int cp = f->cpg > 0 ? f->cpg : codePageForCharset(f->charset);
            f->page = &codePage(cp > 0 ? cp : m_ansiCpg);
            m_dirty = true;
            return;
        }
        default:
            return;
        }
    }
    if (m_cur.dest == Dest::ColorTable) {
        switch (kw) {
        case Kw::Red: m_red = clampInt(param, 0, 255); return;
        case Kw::Green: m_green = clampInt(param, 0, 255); return;
        case Kw::Blue: m_blue = clampInt(param, 0, 255); return;
        default: return;
        }
    }

    switch (kw) {
    case Kw::F:
        if (ch.mode == Mode::Dbch)
            ch.dbFont = n;
        else
            ch.font = n;
        break;
    case Kw::Fs: ch.size = hasParam && n > 0 ? clampInt(n, 2, kMaxSize) : kDefaultSize; break;
    case Kw::B: ch.bold = on; break;
    case Kw::I: ch.italic = on; break;
    case Kw::Ul: ch.underline = on; break;
    case Kw::Ulnone: ch.underline = false; break;
    case Kw::Strike:
    case Kw::Striked: ch.strike = on; break;
    case Kw::V: ch.hidden = on; break;
    case Kw::Protect: ch.protect = on; break;
    case Kw::Cf: ch.color = n; break;
    case Kw::Super: ch.valign = on ? VSuper : VNone; break;
    case Kw::Sub: ch.valign = on ? VSub : VNone; break;
    case Kw::Nosupersub: ch.valign = VNone; break;
    case Kw::Up: ch.offset = clampInt((hasParam ? param : 6) * 10, -kMaxOffset, kMaxOffset); break;
    case Kw::Dn: ch.offset = clampInt((hasParam ? param : 6) * -10, -kMaxOffset, kMaxOffset); break;
    case Kw::Plain: ch = CharState(); break;
    case Kw::Pard: return;
    case Kw::Loch: ch.mode = Mode::Loch; break;
    case Kw::Hich: ch.mode = Mode::Hich; break;
    case Kw::Dbch: ch.mode = Mode::Dbch; break;
    case Kw::Rtlch: ch.rtl = true; return;
    case Kw::Ltrch: ch.rtl = false; return;
    case Kw::Af:
        if (ch.mode == Mode::Dbch && !ch.rtl)
            ch.dbFont = n;
        break;
    case Kw::Afs:
        if (ch.mode == Mode::Dbch && !ch.rtl)
            ch.dbSize = hasParam && n > 0 ? clampInt(n, 2, kMaxSize) : kDefaultSize;
        break;
    case Kw::Ab:
        if (ch.mode == Mode::Dbch && !ch.rtl)
            ch.dbBold = on;
        break;
    case Kw::Ai:
        if (ch.mode == Mode::Dbch && !ch.rtl)
            ch.dbItalic = on;
        break;
    case Kw::Par: paragraph(); return;
    case Kw::Row: paragraph(); return;
    case Kw::Page:
    case Kw::Sect:
        if (m_cur.dest == Dest::Text && m_pendingPars == 0 && !m_paraEmpty)
            paragraph();
        return;
    case Kw::Cell:
        if (m_cur.dest == Dest::Text)
            ++m_pendingTabs;
        return;
    case Kw::Line: textChar(QChar::LineSeparator); return;
    case Kw::Tab: textChar(u'\t'); return;
    case Kw::Emdash: textChar(0x2014); return;
    case Kw::Endash: textChar(0x2013); return;
    case Kw::Emspace: textChar(0x2003); return;
    case Kw::Enspace: textChar(0x2002); return;
    case Kw::Qmspace: textChar(0x2005); return;
    case Kw::Lquote: textChar(0x2018); return;
    case Kw::Rquote: textChar(0x2019); return;
    case Kw::Ldblquote: textChar(0x201C); return;
    case Kw::Rdblquote: textChar(0x201D); return;
    case Kw::Bullet: textChar(0x2022); return;
    case Kw::Zwj: textChar(0x200D); return;
    case Kw::Zwnj: textChar(0x200C); return;
    default: return;
    }
    m_dirty = true;
}

void Reader::controlWord()
{
    const uchar *start = m_p;
    while (m_p < m_end && isAlpha(*m_p))
        ++m_p;
    // Longer words are not RTF; keep the length bounded for the lookup and move on.
    const std::string_view word(reinterpret_cast<const char *>(start), size_t(qMin<qsizetype>(m_p - start, 32)));
    bool hasParam = false;
    bool negative = false;
    long long value = 0;
    if (m_p < m_end && *m_p == '-' && m_p + 1 < m_end && isDigit(m_p[1])) {
        negative = true;
        ++m_p;
    }
    while (m_p < m_end && isDigit(*m_p)) {
        hasParam = true;
        if (value < 1000000000000LL)
            value = value * 10 + (*m_p - '0');
        ++m_p;
    }
    if (m_p < m_end && *m_p == ' ')
        ++m_p;
    keyword(word, hasParam, negative ? -value : value);
}

void Reader::controlSymbol(uchar c)
{
    switch (c) {
    case '\'': {
        int hi = m_p < m_end ? hexValue(*m_p) : -1;
        if (hi < 0)
            return;
        ++m_p;
        const int lo = m_p < m_end ? hexValue(*m_p) : -1;
        int value = hi;
        if (lo >= 0) {
            ++m_p;
            value = hi * 16 + lo;
        }
        m_ignorableNext = false;
        if (m_skip > 0) {
            --m_skip;
            return;
        }
        if (m_cur.dest == Dest::ColorTable)
            return;
        textByte(uchar(value));
        return;
    }
    case '\\':
    case '{':
    case '}':
        m_ignorableNext = false;
        if (m_skip > 0) {
            --m_skip;
            return;
        }
        if (m_lead) {
            textByte(c); // the trail byte of a double-byte character, escaped
            return;
        }
        emitUnit(c);
        return;
    case '*':
        m_ignorableNext = true;
        return;
    default:
        break;
    }
    m_ignorableNext = false;
    m_skip = 0;
    breakPendingLead();
    switch (c) {
    case '~': emitUnit(0x00A0); return;
    case '-': emitUnit(0x00AD); return;
    case '_': emitUnit(0x2011); return;
    case '\r':
    case '\n': paragraph(); return;
    case '\t': emitUnit(u'\t'); return;
    default: return;
    }
}

bool Reader::run(qsizetype start)
{
    bool damaged = false;
    const bool undo = m_document->isUndoRedoEnabled();
    m_document->setUndoRedoEnabled(false);
    m_document->clear();
    m_cursor = QTextCursor(m_document);
    m_cursor.beginEditBlock();

    m_p += start + 1; // past the root '{'
    while (m_p < m_end) {
        const uchar c = *m_p++;
        switch (c) {
        case '{':
            openGroup();
            break;
        case '}':
            if (!closeGroup()) {
                // The root group is closed. Anything but blanks after it is text that a stray '}' cut off.
                const uchar *q = m_p;
                while (q < m_end && (*q <= ' '))
                    ++q;
                if (q == m_end) {
                    m_rootClosed = true;
                    m_p = m_end;
                } else {
                    damaged = true;
                }
            }
            break;
        case '\\':
            if (m_p >= m_end)
                break;
            if (isAlpha(*m_p))
                controlWord();
            else
                controlSymbol(*m_p++);
            break;
        case '\r':
        case '\n':
            break;
        default:
            m_ignorableNext = false;
            if (c < 0x80 && c >= 0x20 && !m_lead && m_skip == 0 && m_cur.dest == Dest::Text && !m_highSurrogate) {
                if (m_dirty)
                    refresh();
                if (m_hiddenNow)
                    break;
                // Plain ASCII: take the whole stretch at once.
                const uchar *s = m_p - 1;
                while (m_p < m_end && *m_p >= 0x20 && *m_p < 0x80 && *m_p != '\\' && *m_p != '{' && *m_p != '}')
                    ++m_p;
                startText();
                m_run.append(QLatin1String(reinterpret_cast<const char *>(s), m_p - s));
                break;
            }
            rawByte(c);
            break;
        }
    }
    if (!m_rootClosed)
        damaged = true;
    breakPendingLead();
    if (m_highSurrogate) {
        m_highSurrogate = 0;
        appendToSink(0xFFFD);
    }
    // The \par before the final '}' ends the last paragraph; it does not open another.
    if (m_pendingPars > 0)
        --m_pendingPars;
    if (m_pendingPars > 0) {
        m_cur.dest = Dest::Text;
        startText();
    }
    flushRun();
    m_cursor.endEditBlock();
    m_document->setUndoRedoEnabled(undo);
    return damaged;
}

} // namespace

ReadResult readRtf(const QByteArray &bytes, QTextDocument *document)
{
    ReadResult result;
    qsizetype start = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        start = 3;
    while (start < bytes.size() && (bytes.at(start) == ' ' || bytes.at(start) == '\r' || bytes.at(start) == '\n'
                                    || bytes.at(start) == '\t'))
        ++start;
    if (!document || !QByteArrayView(bytes).sliced(start).startsWith("{\\rtf"))
        return result;
    result.isRtf = true;
    Reader reader(bytes, document);
    result.damaged = reader.run(start);
    return result;
}

} // namespace rtf
