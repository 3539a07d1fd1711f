#pragma once

#include <QtGlobal>

#include <vector>

namespace rtf {

// A Windows code page as lookup tables, so that decoding a byte never needs a stateful converter and a lone
// lead byte or a bad pair is handled the same way everywhere.
struct CodePage
{
    int number = 1252;
    bool doubleByte = false;
    // Character of each single byte; 0 where the byte means nothing on its own (lead bytes, gaps).
    char16_t single[256] = {};
    bool lead[256] = {};
    // Character of lead << 8 | trail; 0 where the pair is undefined. Empty for single-byte pages.
    std::vector<char16_t> pairs;

    char16_t pair(uchar leadByte, uchar trail) const
    {
        return pairs.empty() ? char16_t(0) : pairs[size_t(leadByte) << 8 | trail];
    }
};

// The page for a Windows code-page number; an unknown number gives windows-1252. Built once, kept for the process.
const CodePage &codePage(int number);

// Code page of a font's \fcharset; 0 when the charset means "the document's \ansicpg" (1, and unknown values).
int codePageForCharset(int charset);

// GBK (code page 936) bytes of a character as lead << 8 | trail, 0 when GBK has no two-byte code for it that
// every reader agrees on (GBK and GB18030 differ in the user-defined areas; those are left out).
quint16 gbkCode(char16_t c);

// The windows-1252 byte of a character above 0x7F, 0 when there is none.
uchar cp1252Code(char16_t c);

} // namespace rtf
