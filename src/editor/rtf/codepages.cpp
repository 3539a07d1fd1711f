#include "codepages.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringDecoder>

#include <map>
#include <memory>
#include <mutex>

namespace rtf {

namespace {

// Converter names that Qt's ICU backend knows, in order of preference.
QList<const char *> converterNames(int number)
{
    switch (number) {
    case 437: return {"IBM437", "cp437"};
    case 850: return {"IBM850", "cp850"};
    case 874: return {"windows-874", "cp874", "TIS-620"};
    case 932: return {"windows-31j", "cp932", "Shift_JIS"};
    case 936: return {"GBK", "windows-936", "cp936"};
    case 949: return {"windows-949", "cp949", "EUC-KR"};
    case 950: return {"windows-950", "cp950", "Big5"};
    case 10000: return {"macintosh", "x-mac-roman"};
    case 54936: return {"GB18030"};
    default: break;
    }
    if (number >= 1250 && number <= 1258) {
        static const char *const windows[] = {"windows-1250", "windows-1251", "windows-1252",
                                              "windows-1253", "windows-1254", "windows-1255",
                                              "windows-1256", "windows-1257", "windows-1258"};
        return {windows[number - 1250]};
    }
    return {};
}

bool isLeadByte(int number, uchar b)
{
    switch (number) {
    case 932: return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case 936:
    case 949:
    case 950:
    case 54936: return b >= 0x81 && b <= 0xFE;
    default: return false;
    }
}

bool usable(char16_t c)
{
    // ICU marks bytes it cannot map with U+FFFD or the SUB control character.
    return c != 0xFFFD && c != 0x1A;
}

void fillLatin1(CodePage &page)
{
    for (int b = 0; b < 256; ++b)
        page.single[b] = char16_t(b);
}

std::unique_ptr<CodePage> buildPage(int number)
{
    auto page = std::make_unique<CodePage>();
    page->number = number;
    QStringDecoder decoder;
    for (const char *name : converterNames(number)) {
        decoder = QStringDecoder(name, QStringDecoder::Flag::Stateless);
        if (decoder.isValid())
            break;
    }
    if (!decoder.isValid()) {
        // Without a converter Latin-1 keeps at least ASCII and the Western letters.
        fillLatin1(*page);
        return page;
    }

    page->doubleByte = isLeadByte(number, 0x81);
    for (int b = 0; b < 256; ++b) {
        page->lead[b] = isLeadByte(number, uchar(b));
        if (page->lead[b])
            continue;
        const char byte = char(b);
        const QString s = decoder.decode(QByteArrayView(&byte, 1));
        if (s.size() == 1 && usable(s.at(0).unicode()))
            page->single[b] = s.at(0).unicode();
    }
    page->single[0] = 0;

    if (page->doubleByte) {
        page->pairs.assign(65536, 0);
        // Every pair in one call, each followed by a line feed, which resynchronises any multi-byte converter.
        QByteArray all;
        all.reserve(126 * 192 * 3);
        for (int l = 0x81; l <= 0xFE; ++l) {
            if (!page->lead[l])
                continue;
            for (int t = 0x40; t <= 0xFE; ++t) {
                all.append(char(l));
                all.append(char(t));
                all.append('\n');
            }
        }
        const QString decoded = decoder.decode(all);
        const QList<QStringView> parts = QStringView(decoded).split(u'\n');
        qsizetype i = 0;
        const bool aligned = parts.size() == all.size() / 3 + 1;
        for (int l = 0x81; l <= 0xFE; ++l) {
            if (!page->lead[l])
                continue;
            for (int t = 0x40; t <= 0xFE; ++t) {
                QString one;
                QStringView part;
                if (aligned) {
                    part = parts.at(i++);
                } else {
                    const char bytes[2] = {char(l), char(t)};
                    one = decoder.decode(QByteArrayView(bytes, 2));
                    part = one;
                }
                if (part.size() == 1 && usable(part.at(0).unicode()))
                    page->pairs[size_t(l) << 8 | size_t(t)] = part.at(0).unicode();
            }
        }
    }
    return page;
}

struct GbkTables
{
    std::vector<quint16> code = std::vector<quint16>(65536, 0);
    uchar cp1252[65536] = {};
};

const GbkTables &writerTables()
{
    static const GbkTables *tables = [] {
        auto *t = new GbkTables;
        const CodePage &gbk = codePage(936);
        const CodePage &gb18030 = codePage(54936);
        for (int l = 0x81; l <= 0xFE; ++l) {
            for (int tr = 0x40; tr <= 0xFE; ++tr) {
                const char16_t c = gbk.pair(uchar(l), uchar(tr));
                if (c < 0x80 || (c >= 0xE000 && c <= 0xF8FF) || (c >= 0xD800 && c <= 0xDFFF))
                    continue;
                if (gb18030.pair(uchar(l), uchar(tr)) != c || t->code[c] != 0)
                    continue;
                t->code[c] = quint16(l << 8 | tr);
            }
        }
        const CodePage &western = codePage(1252);
        for (int b = 0x80; b < 256; ++b) {
            const char16_t c = western.single[b];
            if (c >= 0x80 && t->cp1252[c] == 0)
                t->cp1252[c] = uchar(b);
        }
        return t;
    }();
    return *tables;
}

} // namespace

const CodePage &codePage(int number)
{
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<CodePage>> pages;
    if (converterNames(number).isEmpty())
        number = 1252;
    const std::lock_guard<std::mutex> lock(mutex);
    auto it = pages.find(number);
    if (it == pages.end())
        it = pages.emplace(number, buildPage(number)).first;
    return *it->second;
}

int codePageForCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 2: return 1252; // symbol fonts: their bytes are glyph numbers; Western keeps them readable
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
    }
}

quint16 gbkCode(char16_t c)
{
    return writerTables().code[c];
}

uchar cp1252Code(char16_t c)
{
    return writerTables().cp1252[c];
}

} // namespace rtf
