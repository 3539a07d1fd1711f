#include "editor/rtf/rtf.h"
#include "editor/rtf/textproperties.h"

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

#include <random>

using namespace Qt::StringLiterals;

namespace {

// One line per attribute set, so that a failing comparison shows what differs.
QString describe(const QTextCharFormat &f)
{
    QStringList parts;
    parts << f.fontFamilies().toStringList().value(0) << QString::number(f.fontPointSize());
    if (f.fontWeight() >= QFont::DemiBold)
        parts << u"bold"_s;
    if (f.fontItalic())
        parts << u"italic"_s;
    if (f.fontUnderline())
        parts << u"underline"_s;
    if (f.fontStrikeOut())
        parts << u"strike"_s;
    if (f.hasProperty(QTextFormat::ForegroundBrush))
        parts << f.foreground().color().name();
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        parts << u"super"_s;
    if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        parts << u"sub"_s;
    if (f.intProperty(rtf::OffsetTwipsProperty) != 0)
        parts << u"offset%1"_s.arg(f.intProperty(rtf::OffsetTwipsProperty));
    if (f.boolProperty(rtf::ProtectedProperty))
        parts << u"protected"_s;
    return parts.join(u' ');
}

// The document as runs "text [attributes]", adjacent equal runs merged, paragraphs marked with "¶".
QStringList runs(const QTextDocument &doc)
{
    QStringList out;
    QString lastDesc;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b != doc.begin()) {
            out << u"¶"_s;
            lastDesc.clear();
        }
        if (b.length() <= 1)
            out << u"[" + describe(b.charFormat()) + u']';
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QString desc = describe(it.fragment().charFormat());
            if (desc == lastDesc && !out.isEmpty()) {
                out.last().insert(out.last().lastIndexOf(u" ["_s), it.fragment().text());
            } else {
                out << it.fragment().text() + u" ["_s + desc + u']';
                lastDesc = desc;
            }
        }
    }
    return out;
}

// Attributes of the first character of the first occurrence of needle.
QString formatOf(const QTextDocument &doc, const QString &needle)
{
    const QTextCursor found = doc.find(needle);
    if (found.isNull())
        return u"<not found: "_s + needle + u'>';
    QTextCursor c(const_cast<QTextDocument *>(&doc));
    c.setPosition(found.selectionStart() + 1);
    return describe(c.charFormat());
}

QByteArray fixture(const char *name)
{
    QFile f(qEnvironmentVariable("FIXTURES") + u'/' + QString::fromLatin1(name));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", name);
    return f.readAll();
}

// The text with paragraphs as "\n"; unlike toPlainText() it keeps line separators and no-break spaces.
QString textOf(const QTextDocument &doc)
{
    QStringList blocks;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        blocks << b.text();
    return blocks.join(u'\n');
}

QString read(const QByteArray &rtf, rtf::ReadResult *result = nullptr)
{
    QTextDocument doc;
    const rtf::ReadResult r = rtf::readRtf(rtf, &doc);
    if (result)
        *result = r;
    return textOf(doc);
}

QTextCharFormat fmt(const QString &family, qreal size)
{
    QTextCharFormat f;
    f.setFontFamilies({family});
    f.setFontPointSize(size);
    return f;
}

struct Run
{
    QString text;
    QTextCharFormat format;
};
using Paragraphs = QList<QList<Run>>;

void build(QTextDocument &doc, const Paragraphs &paragraphs)
{
    QTextCursor c(&doc);
    c.setBlockCharFormat(fmt(u"宋体"_s, 10.5)); // as the editor's caret starts
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            c.insertBlock();
        for (const Run &r : paragraphs.at(i))
            c.insertText(r.text, r.format);
    }
}

} // namespace

Q_DECLARE_METATYPE(Paragraphs)

class TestRtf : public QObject
{
    Q_OBJECT

private slots:
    void writerForm();
    void writerEscapes_data();
    void writerEscapes();
    void roundTrip_data();
    void roundTrip();
    void randomDocumentsRoundTrip();
    void readText_data();
    void readText();
    void readAttributes_data();
    void readAttributes();
    void fixtures_data();
    void fixtures();
    void damaged_data();
    void damaged();
    void notRtf();
};

void TestRtf::writerForm()
{
    QTextDocument doc;
    QTextCharFormat title = fmt(u"黑体"_s, 16);
    title.setFontWeight(QFont::Bold);
    title.setForeground(QColor(255, 0, 0));
    build(doc, {{{u"标题"_s, title}}, {{u"正文 text"_s, fmt(u"宋体"_s, 10.5)}, {u"x"_s, fmt(u"Arial"_s, 9)}}});
    const QByteArray rtf = rtf::writeRtf(&doc);

    QVERIFY2(rtf.startsWith("{\\rtf1\\ansi\\ansicpg936\\deff0"), rtf.constData());
    QVERIFY(rtf.endsWith("\\par\r\n}"));
    for (const char c : rtf) {
        QVERIFY2(uchar(c) < 0x80 && c != 0, "7-bit ASCII only, no zero byte");
    }
    QVERIFY(rtf.contains("{\\f1\\fnil\\fcharset134 \\'ba\\'da\\'cc\\'e5;}")); // 黑体
    QVERIFY(rtf.contains("\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"));       // 宋体
    QVERIFY(rtf.contains("\\fcharset0 Arial;}"));
    QVERIFY(rtf.contains("{\\colortbl ;\\red255\\green0\\blue0;}"));
    QVERIFY(rtf.contains("\\f1\\hich\\af1\\dbch\\af1\\loch\\fs32\\b\\cf1\\'b1\\'ea\\'cc\\'e2")); // 标题
    QVERIFY(rtf.contains("\\fs21\\b0\\cf0\\'d5\\'fd\\'ce\\'c4 text"));                             // 正文, 10.5 pt
    QCOMPARE(rtf.count("\\par\r\n"), 2);
}

void TestRtf::writerEscapes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("RTF's own characters are escaped") << u"a\\b{c}"_s << QByteArray("a\\\\b\\{c\\}");
    QTest::newRow("tab and soft line break") << u"a\tb\u2028c"_s << QByteArray("a\\tab b\\line c");
    QTest::newRow("GBK character as two bytes") << u"你"_s << QByteArray("\\'c4\\'e3");
    QTest::newRow("character outside GBK as \\u with a fallback") << u"¥"_s << QByteArray("\\u165?");
    QTest::newRow("euro is not a GBK double-byte character") << u"€"_s << QByteArray("\\u8364?");
    QTest::newRow("Hangul above 32767 is negative") << u"한"_s << QByteArray("\\u-10916?");
    QTest::newRow("surrogate pair as two \\u") << u"𠀀"_s << QByteArray("\\u-10176?\\u-9216?");
    QTest::newRow("blank after a control word is doubled") << u"\t x"_s << QByteArray("\\tab  x");
    QTest::newRow("digits after a control word are delimited") << u"\t1"_s << QByteArray("\\tab 1");
}

void TestRtf::writerEscapes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QTextDocument doc;
    build(doc, {{{text, fmt(u"宋体"_s, 12)}}});
    const QByteArray rtf = rtf::writeRtf(&doc);
    QVERIFY2(rtf.contains(expected), rtf.constData());
    QCOMPARE(read(rtf), text);
}

void TestRtf::roundTrip_data()
{
    QTest::addColumn<Paragraphs>("document");

    const QTextCharFormat song = fmt(u"宋体"_s, 10.5);
    QTextCharFormat bold = song;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat italic = fmt(u"楷体"_s, 14);
    italic.setFontItalic(true);
    QTextCharFormat underline = fmt(u"Arial"_s, 9);
    underline.setFontUnderline(true);
    QTextCharFormat strike = song;
    strike.setFontStrikeOut(true);
    QTextCharFormat all = fmt(u"微软雅黑"_s, 72);
    all.setFontWeight(QFont::Bold);
    all.setFontItalic(true);
    all.setFontUnderline(true);
    all.setFontStrikeOut(true);
    QTextCharFormat red = song;
    red.setForeground(QColor(255, 0, 0));
    QTextCharFormat black = song;
    black.setForeground(QColor(0, 0, 0));
    QTextCharFormat blue = fmt(u"Times New Roman"_s, 12);
    blue.setForeground(QColor(0x12, 0x34, 0x56));
    QTextCharFormat super = song;
    super.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    QTextCharFormat sub = song;
    sub.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    QTextCharFormat raised = song;
    raised.setProperty(rtf::OffsetTwipsProperty, 100);
    QTextCharFormat lowered = song;
    lowered.setProperty(rtf::OffsetTwipsProperty, -60);
    QTextCharFormat locked = song;
    locked.setProperty(rtf::ProtectedProperty, true);
    QTextCharFormat missing = fmt(u"No Such Font 字体"_s, 11);

    QTest::newRow("Chinese text in one face")
        << Paragraphs{{{u"今天的会议讨论了三个问题。"_s, song}}};
    QTest::newRow("bold, italic, underline, strike on and off")
        << Paragraphs{{{u"一"_s, song}, {u"二"_s, bold}, {u"三"_s, song}, {u"四"_s, italic},
                       {u"five"_s, underline}, {u"六"_s, strike}, {u"七"_s, all}, {u"八"_s, song}}};
    QTest::newRow("red, explicit black and automatic colour")
        << Paragraphs{{{u"红"_s, red}, {u"黑"_s, black}, {u"auto"_s, song}, {u"blue"_s, blue}, {u"红"_s, red}}};
    QTest::newRow("superscript, subscript and baseline offsets")
        << Paragraphs{{{u"x"_s, song}, {u"2"_s, super}, {u"H"_s, song}, {u"2"_s, sub}, {u"O"_s, song},
                       {u"上"_s, raised}, {u"下"_s, lowered}, {u"平"_s, song}}};
    QTest::newRow("protected text") << Paragraphs{{{u"【1:23】"_s, locked}, {u"可改"_s, song}}};
    QTest::newRow("characters outside GBK")
        << Paragraphs{{{u"𠀀😀¥€한é"_s, song}, {u"café € 😀"_s, underline}}};
    QTest::newRow("Latin face carrying Chinese") << Paragraphs{{{u"Arial 里的中文"_s, underline}}};
    QTest::newRow("backslash, braces, tab, line break, no-break space")
        << Paragraphs{{{u"a\\b{c}\td\u2028e\u00a0f -1 ;"_s, song}}};
    QTest::newRow("font that is not installed keeps its name") << Paragraphs{{{u"字"_s, missing}}};
    QTest::newRow("paragraphs, empty ones and an empty last one")
        << Paragraphs{{{u"第一段"_s, song}}, {}, {{u"第三段"_s, bold}}, {}};
    QTest::newRow("empty document") << Paragraphs{{}};
    QTest::newRow("empty paragraphs keep their format")
        << Paragraphs{{{u"标题"_s, all}}, {}, {{u"正文"_s, song}}, {}, {}};
}

void TestRtf::roundTrip()
{
    QFETCH(Paragraphs, document);
    QTextDocument original;
    build(original, document);
    const QByteArray rtf = rtf::writeRtf(&original);
    QTextDocument again;
    const rtf::ReadResult result = rtf::readRtf(rtf, &again);
    QVERIFY(result.isRtf);
    QVERIFY(!result.damaged);
    QCOMPARE(textOf(again), textOf(original));
    QCOMPARE(again.blockCount(), original.blockCount());
    QCOMPARE(runs(again), runs(original));
}

// Documents of characters and formats picked at random, so that no pairing of neighbours breaks the escaping.
void TestRtf::randomDocumentsRoundTrip()
{
    const QStringList pieces{u"a"_s, u"Z9"_s, u" "_s, u"-"_s, u"\\"_s, u"{"_s, u"}"_s, u"\t"_s, u"\u2028"_s,
                             u"\u00a0"_s, u"\u00ad"_s, u"\u2011"_s, u"你"_s, u"園"_s, u"é"_s, u"€"_s, u"¥"_s,
                             u"한"_s, u"😀"_s, u"𠀀"_s, u"\u0001"_s, u"?"_s, u"'"_s, u"“"_s, u"\u00ff"_s, u"\uffff"_s};
    QList<QTextCharFormat> formats;
    for (const QString &family : {u"宋体"_s, u"Arial"_s, u"黑体"_s, u"Times New Roman"_s}) {
        for (int variant = 0; variant < 4; ++variant) {
            QTextCharFormat f = fmt(family, 9 + variant * 1.5);
            if (variant & 1)
                f.setFontWeight(QFont::Bold);
            if (variant == 2) {
                f.setForeground(QColor(variant * 60, 0, 0));
                f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
            }
            if (variant == 3) {
                f.setFontUnderline(true);
                f.setProperty(rtf::OffsetTwipsProperty, -40);
            }
            formats << f;
        }
    }
    std::mt19937 random(7);
    for (int round = 0; round < 60; ++round) {
        Paragraphs paragraphs;
        const int count = 1 + int(random() % 4);
        for (int p = 0; p < count; ++p) {
            QList<Run> runList;
            const int runCount = int(random() % 5);
            for (int r = 0; r < runCount; ++r) {
                QString text;
                const int length = 1 + int(random() % 8);
                for (int i = 0; i < length; ++i)
                    text += pieces.at(qsizetype(random() % pieces.size()));
                runList << Run{text, formats.at(qsizetype(random() % formats.size()))};
            }
            paragraphs << runList;
        }
        QTextDocument original;
        build(original, paragraphs);
        QTextDocument again;
        const QByteArray rtf = rtf::writeRtf(&original);
        rtf::readRtf(rtf, &again);
        QCOMPARE(runs(again), runs(original));
    }
}

void TestRtf::readText_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    const QByteArray fonts = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 Song;}"
                             "{\\f1\\fnil\\fcharset0 Arial;}{\\f2\\fnil\\fcharset136 Ming;}"
                             "{\\f3\\fnil\\fcharset128 Mincho;}{\\f4\\fnil\\fcharset129 Batang;}"
                             "{\\f5\\fnil Plain;}{\\f6\\fnil\\fcharset204 Cyr;}}";
    QTest::newRow("GBK bytes under a charset 134 font") << fonts + "\\f0\\'c4\\'e3\\'ba\\'c3}" << u"你好"_s;
    QTest::newRow("same byte under a charset 0 font is Latin") << fonts + "\\f1 caf\\'e9}" << u"café"_s;
    QTest::newRow("Big5, Shift-JIS, Korean, Cyrillic by charset")
        << fonts + "\\f2\\'c1\\'63\\f3\\'93\\'fa\\f4\\'c7\\'d1\\f6\\'c4\\'e0}" << u"繁日한Да"_s;
    QTest::newRow("font without a charset is charset 0") << fonts + "\\f5\\'c4\\'e3}" << u"Äã"_s;
    QTest::newRow("no font at all uses the ansi code page")
        << QByteArray("{\\rtf1\\ansi\\ansicpg936 \\'c4\\'e3}") << u"你"_s;
    QTest::newRow("trail byte as a raw character") << fonts + "\\f0\\'88@}" << u"園"_s;
    QTest::newRow("lead and trail split over a line break") << fonts + "\\f0\\'c4\r\n\\'e3}" << u"你"_s;
    QTest::newRow("escaped trail bytes") << fonts + "\\f0\\'b0\\\\\\'d4\\{}" << u"癨詛"_s;
    QTest::newRow("raw 8-bit bytes") << fonts + "\\f0 \xc4\xe3\xba\xc3}" << u"你好"_s;
    QTest::newRow("lone lead byte does not swallow the next character") << fonts + "\\f0\\'c4 \\par x}"
                                                                     << u"\uFFFD \nx"_s;
    QTest::newRow("\\u negative and unsigned") << QByteArray("{\\rtf1 \\u-24879?\\u40657?}") << u"黑黑"_s;
    QTest::newRow("\\uc skips fallback bytes and characters")
        << QByteArray("{\\rtf1\\uc2 \\u20320\\'c4\\'e3\\u22909 ab!}") << u"你好!"_s;
    QTest::newRow("\\uc0 skips nothing") << QByteArray("{\\rtf1\\uc0 \\u20320 x}") << u"你x"_s;
    QTest::newRow("\\uc is scoped to its group")
        << QByteArray("{\\rtf1{\\uc2 \\u20320??}\\u22909?}") << u"你好"_s;
    QTest::newRow("skipping stops at the end of a group") << QByteArray("{\\rtf1\\uc3{\\u20320?}x}") << u"你x"_s;
    QTest::newRow("surrogate pair") << QByteArray("{\\rtf1 \\u-10179?\\u-8704?}") << u"😀"_s;
    QTest::newRow("surrogate pair with changing \\uc")
        << QByteArray("{\\rtf1\\uc0 \\u55360\\uc1 \\u56320\\'3f}") << u"𠀀"_s;
    QTest::newRow("object replacement character stands for nothing") << QByteArray("{\\rtf1 a\\u-4?b}") << u"ab"_s;
    QTest::newRow("lone surrogate is replaced") << QByteArray("{\\rtf1 \\u55360?x}") << u"\uFFFDx"_s;
    QTest::newRow("\\upr takes the Unicode part")
        << QByteArray("{\\rtf1{\\upr{ansi}{\\*\\ud{\\u20013?\\u25991?}}}}") << u"中文"_s;
    QTest::newRow("symbol words")
        << QByteArray("{\\rtf1\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet\\~\\_\\-}")
        << u"—–‘’“”•\u00a0\u2011\u00ad"_s;
    QTest::newRow("tab, line and paragraph")
        << QByteArray("{\\rtf1 a\\tab b\\line c\\par d\\par}") << u"a\tb\u2028c\nd"_s;
    QTest::newRow("final \\par opens no empty paragraph") << QByteArray("{\\rtf1 a\\par}") << u"a"_s;
    QTest::newRow("two final \\par leave one empty paragraph") << QByteArray("{\\rtf1 a\\par\\par}") << u"a\n"_s;
    QTest::newRow("\\pard and \\plain do not break paragraphs")
        << QByteArray("{\\rtf1 a\\pard b\\plain c}") << u"abc"_s;
    QTest::newRow("ignorable and non-text destinations are skipped")
        << QByteArray("{\\rtf1{\\*\\generator gen;}{\\info{\\title t}}{\\stylesheet{\\s0 Normal;}}"
                      "{\\*\\unknownthing x}{\\header h\\par}{\\footer f}{\\footnote n}"
                      "{\\pict\\pngblip 89504e{7d}}{\\object{\\*\\objdata 0102}}a}")
        << u"a"_s;
    QTest::newRow("unknown word without \\* keeps its text") << QByteArray("{\\rtf1{\\madeup b}}") << u"b"_s;
    QTest::newRow("field result kept, instruction dropped")
        << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}}") << u"link"_s;
    QTest::newRow("\\bin data skipped by count, braces and all")
        << QByteArray("{\\rtf1 a{\\*\\blob\\bin4 }{\\}b}\\bin3 {{{c}") << u"ac"_s;
    QTest::newRow("hidden text is not shown") << QByteArray("{\\rtf1 a{\\v hidden}\\v b\\v0 c}") << u"ac"_s;
    QTest::newRow("table cells separated by tabs")
        << QByteArray("{\\rtf1\\trowd\\cellx100\\cellx200\\cellx300\\intbl A\\cell B\\cell C\\cell\\row"
                      "\\trowd\\cellx100\\cellx200\\cellx300\\intbl D\\cell\\cell F\\cell\\row\\pard after\\par}")
        << u"A\tB\tC\nD\t\tF\nafter"_s;
    QTest::newRow("font name in the font table is not text")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial{\\*\\falt Helvetica};}}x}") << u"x"_s;
    QTest::newRow("old font table without groups")
        << QByteArray("{\\rtf1{\\fonttbl\\f0\\fswiss Helvetica;\\f1\\fnil\\fcharset134 Song;}\\f1\\'c4\\'e3}")
        << u"你"_s;
}

void TestRtf::readText()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    rtf::ReadResult result;
    QCOMPARE(read(rtf, &result), expected);
    QVERIFY(result.isRtf);
    QVERIFY(!result.damaged);
}

void TestRtf::readAttributes_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QString>("expected");

    const QByteArray head = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
                            "{\\f1\\fnil\\fcharset0 Arial;}{\\f2\\fnil\\fcharset134 \\'ba\\'da\\'cc\\'e5;}}"
                            "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue0;}";
    QTest::newRow("defaults: the \\deff font at 12 pt") << head + "plain}" << u"plain"_s << u"宋体 12"_s;
    QTest::newRow("half-point size") << head + "\\fs21 x}" << u"x"_s << u"宋体 10.5"_s;
    QTest::newRow("cf0 is automatic, not black") << head + "\\cf1\\cf0 x}" << u"x"_s << u"宋体 12"_s;
    QTest::newRow("explicit black is a colour") << head + "\\cf2 x}" << u"x"_s << u"宋体 12 #000000"_s;
    QTest::newRow("colour index out of range is automatic") << head + "\\cf99 x}" << u"x"_s << u"宋体 12"_s;
    QTest::newRow("effects and their off forms")
        << head + "\\b\\i\\ul\\strike\\b0\\i0\\ulnone\\strike0 x}" << u"x"_s << u"宋体 12"_s;
    QTest::newRow("double underline and double strike") << head + "\\uldb\\striked1 x}" << u"x"_s
                                                         << u"宋体 12 underline strike"_s;
    QTest::newRow("\\ul0 ends underline") << head + "\\ul a\\ul0 x}" << u"x"_s << u"宋体 12"_s;
    QTest::newRow("superscript ended by \\nosupersub") << head + "\\super 2\\nosupersub x}" << u"x"_s
                                                        << u"宋体 12"_s;
    QTest::newRow("subscript") << head + "\\sub x}" << u"x"_s << u"宋体 12 sub"_s;
    QTest::newRow("\\up is half points") << head + "\\up7 x}" << u"x"_s << u"宋体 12 offset70"_s;
    QTest::newRow("\\dn lowers") << head + "\\dn48 x}" << u"x"_s << u"宋体 12 offset-480"_s;
    QTest::newRow("protected") << head + "\\protect x}" << u"x"_s << u"宋体 12 protected"_s;
    QTest::newRow("\\plain resets character formatting")
        << head + "\\f1\\fs40\\b\\cf1\\super\\plain x}" << u"x"_s << u"宋体 12"_s;
    QTest::newRow("\\pard keeps character formatting") << head + "\\b\\pard x}" << u"x"_s << u"宋体 12 bold"_s;
    QTest::newRow("group restores formatting") << head + "{\\b a}x}" << u"x"_s << u"宋体 12"_s;
    QTest::newRow("Chinese run takes the \\dbch associated values")
        << head + "{\\rtlch\\af1\\afs32\\ab \\ltrch\\hich\\af1\\loch\\cf1\\f1\\dbch\\afs32\\ab\\af2\\dbch \\u20250\\'3f}}"
        << u"会"_s << u"黑体 16 bold #ff0000"_s;
    QTest::newRow("Latin run after \\loch takes \\f and \\fs")
        << head + "{\\rtlch\\af2\\afs40\\ab \\ltrch\\hich\\af1\\loch\\fs32\\b\\f1\\dbch\\af2\\loch Meeting}}"
        << u"Meeting"_s << u"Arial 16 bold"_s;
    QTest::newRow("right-to-left associated values are ignored")
        << head + "\\dbch\\rtlch\\af1\\afs60\\ab\\ltrch x}" << u"x"_s << u"宋体 12"_s;
    QTest::newRow("bare \\f in \\dbch mode sets the Asian font")
        << head + "\\loch\\af1\\dbch\\f2 \\'c4\\'e3}" << u"你"_s << u"黑体 12"_s;
    QTest::newRow("our own per-run form") << head + "\\f2\\hich\\af2\\dbch\\af2\\loch\\fs21\\'c4\\'e3}" << u"你"_s
                                          << u"黑体 10.5"_s;
    QTest::newRow("huge size is clamped") << head + "\\fs99999999999 x}" << u"x"_s << u"宋体 1638"_s;
}

void TestRtf::readAttributes()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, needle);
    QFETCH(QString, expected);
    QTextDocument doc;
    rtf::readRtf(rtf, &doc);
    QCOMPARE(formatOf(doc, needle), expected);
}

void TestRtf::fixtures_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("formats"); // pairs: text to find, its attributes

    QTest::newRow("Word 2016") << QByteArray("word2016.rtf")
                               << u"Meeting 会议纪要\nx2你好€𠀀黑链接\nA1\t乙一\nend"_s
                               << QStringList{u"Meeting"_s, u"Calibri 16 bold #ff0000"_s,
                                              u"会议"_s, u"宋体 16 bold #ff0000"_s,
                                              u"2"_s, u"Calibri 10.5 super"_s,
                                              u"你好"_s, u"等线 10.5"_s,
                                              u"黑"_s, u"等线 10.5 italic #000000"_s,
                                              u"链接"_s, u"等线 10.5 underline"_s};
    QTest::newRow("WordPad") << QByteArray("wordpad.rtf")
                             << u"你好世界\n标题\nabc italic under s\nblack 【1:23】\nx2 up dn\nlock\tt\u2028l"_s
                             << QStringList{u"你好"_s, u"宋体 11"_s,
                                            u"世界"_s, u"黑体 11"_s,
                                            u"标题"_s, u"宋体 16 bold #ff0000"_s,
                                            u"italic"_s, u"Calibri 11 italic"_s,
                                            u"under"_s, u"Calibri 11 underline"_s,
                                            u"black"_s, u"宋体 11 #000000"_s,
                                            u"【"_s, u"宋体 11"_s,
                                            u"2 "_s, u"宋体 11 super"_s,
                                            u"up"_s, u"宋体 11 offset60"_s,
                                            u"dn"_s, u"宋体 11 offset-40"_s,
                                            u"lock"_s, u"宋体 11 protected"_s};
    QTest::newRow("WPS") << QByteArray("wps.rtf")
                         << u"第一段園園你café繁體한국癨詛\n😀한"_s
                         << QStringList{u"第一段"_s, u"宋体 10.5"_s,
                                        u"園"_s, u"宋体 10.5 #0070c0"_s,
                                        u"caf"_s, u"Arial 10.5"_s,
                                        u"繁體"_s, u"細明體 10.5"_s,
                                        u"한국"_s, u"바탕 10.5"_s};
    QTest::newRow("LibreOffice 7.4") << QByteArray("libreoffice74.rtf")
                                     << u"会议纪要 Meeting\n【1:23】黑体“café”¥𠀀x2y\n中文\tend"_s
                                     << QStringList{u"会议"_s, u"Noto Sans CJK SC 16 bold #c9211e"_s,
                                                    u"Meeting"_s, u"Noto Sans CJK SC 16 bold #c9211e"_s,
                                                    u"【"_s, u"宋体 12"_s,
                                                    u"黑体"_s, u"黑体 12"_s,
                                                    u"2y"_s, u"Liberation Serif 12 offset70"_s,
                                                    u"y"_s, u"Liberation Serif 12 offset-480"_s,
                                                    u"中文"_s, u"微软雅黑 12"_s};
}

void TestRtf::fixtures()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, text);
    QFETCH(QStringList, formats);
    QTextDocument doc;
    const rtf::ReadResult result = rtf::readRtf(fixture(file.constData()), &doc);
    QVERIFY(result.isRtf);
    QVERIFY(!result.damaged);
    QCOMPARE(textOf(doc), text);
    for (qsizetype i = 0; i + 1 < formats.size(); i += 2)
        QCOMPARE(formatOf(doc, formats.at(i)), formats.at(i + 1));
}

void TestRtf::damaged_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("damaged");

    const QByteArray good = "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 S;}}\\f0\\'c4\\'e3 ok\\par ";
    QTest::newRow("truncated keeps what came before") << good + "more\\'ba" << u"你 ok\nmore\uFFFD"_s << true;
    QTest::newRow("unclosed groups") << good + "{\\b x{\\i y" << u"你 ok\nxy"_s << true;
    QTest::newRow("extra closing brace keeps the text after it")
        << good + "a}}b}" << u"你 ok\nab"_s << true;
    QTest::newRow("blanks after the end are fine") << good + "a}\r\n\r\n" << u"你 ok\na"_s << false;
    QTest::newRow("deep nesting") << "{\\rtf1 a" + QByteArray(100000, '{') + "b" + QByteArray(100000, '}') + "}"
                                  << u"ab"_s << false;
    QTest::newRow("deep nesting never closed") << "{\\rtf1 a" + QByteArray(100000, '{') << u"a"_s << true;
    QTest::newRow("huge numbers") << QByteArray("{\\rtf1\\fs99999999999999999999\\uc99999999999\\u9999999999 x\\cf-"
                                                "99999999999\\f999999999999 y\\up99999999999 z}")
                                  << u"\uFFFDyz"_s << false;
    QTest::newRow("\\bin longer than the file") << QByteArray("{\\rtf1 a\\bin999999999999 bc}") << u"a"_s << true;
    QTest::newRow("\\bin negative") << QByteArray("{\\rtf1 a\\bin-5 b}") << u"ab"_s << false;
    QTest::newRow("control word that never ends")
        << "{\\rtf1 a\\" + QByteArray(100000, 'x') + " b}" << u"ab"_s << false;
    QTest::newRow("backslash at the very end") << QByteArray("{\\rtf1 a\\") << u"a"_s << true;
    QTest::newRow("hex escape cut short") << QByteArray("{\\rtf1 a\\'4") << u"a\u0004"_s << true;
    QTest::newRow("bad hex escape") << QByteArray("{\\rtf1 a\\'zz}") << u"azz"_s << false;
    QTest::newRow("zero bytes and control characters") << QByteArray("{\\rtf1 a\0\x01\x7f b}", 14)
                                                        << u"a\x7f b"_s << false;
    QByteArray manyFonts = "{\\rtf1{\\fonttbl";
    QByteArray manyColours = "{\\colortbl";
    for (int i = 0; i < 100000; ++i) {
        manyFonts += "{\\f" + QByteArray::number(i) + " F;}";
        manyColours += "\\red1;";
    }
    QTest::newRow("tables far larger than any real one")
        << manyFonts + "}" + manyColours + "}\\f99999\\cf99999 x}" << u"x"_s << false;
    QTest::newRow("just the magic") << QByteArray("{\\rtf") << QString() << true;
}

void TestRtf::damaged()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QFETCH(bool, damaged);
    rtf::ReadResult result;
    QCOMPARE(read(rtf, &result), expected);
    QVERIFY(result.isRtf);
    QCOMPARE(result.damaged, damaged);
}

void TestRtf::notRtf()
{
    QTextDocument doc;
    doc.setPlainText(u"unchanged"_s);
    for (const QByteArray &bytes : {QByteArray(), QByteArray("plain text {\\rtf1 x}"), QByteArray("{\\rt"),
                                    QByteArray("\xc4\xe3\xba\xc3")}) {
        const rtf::ReadResult result = rtf::readRtf(bytes, &doc);
        QVERIFY(!result.isRtf);
        QCOMPARE(doc.toPlainText(), u"unchanged"_s);
    }
    QVERIFY(rtf::readRtf("\xEF\xBB\xBF{\\rtf1 x}", &doc).isRtf);
    QCOMPARE(doc.toPlainText(), u"x"_s);
}

QTEST_MAIN(TestRtf)
#include "tst_rtf.moc"
